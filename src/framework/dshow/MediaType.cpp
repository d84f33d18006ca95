#include "framework/dshow/MediaType.h"

#include <cstring>
#include <utility>

namespace dshow {

void FreeMediaTypeContents(AM_MEDIA_TYPE& type) {
  if (type.cbFormat != 0 && type.pbFormat != nullptr) ::CoTaskMemFree(type.pbFormat);
  if (type.pUnk != nullptr) type.pUnk->Release();
  type = AM_MEDIA_TYPE{};
}

HRESULT CopyMediaTypeContents(AM_MEDIA_TYPE& target, const AM_MEDIA_TYPE& source) {
  target = source;
  target.pbFormat = nullptr;
  target.cbFormat = 0;
  target.pUnk = nullptr;
  if (source.cbFormat != 0 && source.pbFormat != nullptr) {
    target.pbFormat = static_cast<BYTE*>(::CoTaskMemAlloc(source.cbFormat));
    if (target.pbFormat == nullptr) {
      target = AM_MEDIA_TYPE{};
      return E_OUTOFMEMORY;
    }
    std::memcpy(target.pbFormat, source.pbFormat, source.cbFormat);
    target.cbFormat = source.cbFormat;
  }
  if (source.pUnk != nullptr) {
    target.pUnk = source.pUnk;
    target.pUnk->AddRef();
  }
  return S_OK;
}

AM_MEDIA_TYPE* CreateMediaTypeCopy(const AM_MEDIA_TYPE& source) {
  auto* copy = static_cast<AM_MEDIA_TYPE*>(::CoTaskMemAlloc(sizeof(AM_MEDIA_TYPE)));
  if (copy == nullptr) return nullptr;
  if (FAILED(CopyMediaTypeContents(*copy, source))) {
    ::CoTaskMemFree(copy);
    return nullptr;
  }
  return copy;
}

void DeleteMediaType(AM_MEDIA_TYPE* type) {
  if (type == nullptr) return;
  FreeMediaTypeContents(*type);
  ::CoTaskMemFree(type);
}

CMediaType& CMediaType::operator=(const CMediaType& other) {
  if (this != &other) {
    FreeMediaTypeContents(m_type);
    CopyMediaTypeContents(m_type, other.m_type);
  }
  return *this;
}

CMediaType::CMediaType(CMediaType&& other) noexcept
    : m_type(std::exchange(other.m_type, AM_MEDIA_TYPE{})) {}

CMediaType& CMediaType::operator=(CMediaType&& other) noexcept {
  if (this != &other) {
    FreeMediaTypeContents(m_type);
    m_type = std::exchange(other.m_type, AM_MEDIA_TYPE{});
  }
  return *this;
}

BYTE* CMediaType::AllocateFormat(ULONG size) {
  if (m_type.cbFormat != 0 && m_type.pbFormat != nullptr) ::CoTaskMemFree(m_type.pbFormat);
  m_type.pbFormat = static_cast<BYTE*>(::CoTaskMemAlloc(size));
  m_type.cbFormat = m_type.pbFormat != nullptr ? size : 0;
  if (m_type.pbFormat != nullptr) std::memset(m_type.pbFormat, 0, size);
  return m_type.pbFormat;
}

const VIDEOINFOHEADER* CMediaType::VideoInfo() const {
  if (m_type.formattype != FORMAT_VideoInfo || m_type.pbFormat == nullptr ||
      m_type.cbFormat < sizeof(VIDEOINFOHEADER))
    return nullptr;
  return reinterpret_cast<const VIDEOINFOHEADER*>(m_type.pbFormat);
}

bool CMediaType::MatchesPartial(const AM_MEDIA_TYPE& partial) const {
  if (partial.majortype != GUID_NULL && partial.majortype != m_type.majortype) return false;
  if (partial.subtype != GUID_NULL && partial.subtype != m_type.subtype) return false;
  if (partial.formattype != GUID_NULL) {
    if (partial.formattype != m_type.formattype) return false;
    if (partial.cbFormat != 0 && partial.pbFormat != nullptr &&
        (partial.cbFormat != m_type.cbFormat ||
         std::memcmp(partial.pbFormat, m_type.pbFormat, partial.cbFormat) != 0))
      return false;
  }
  return true;
}

}  // namespace dshow
