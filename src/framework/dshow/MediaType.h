// AM_MEDIA_TYPE with ownership: the format block and the IUnknown it may carry are
// released with the object, and copies are deep.
#pragma once

#include <windows.h>

#include <dshow.h>

namespace dshow {

// Frees what a media type points to (not the structure itself) and zeroes it.
void FreeMediaTypeContents(AM_MEDIA_TYPE& type);

// Deep copy into an empty structure. E_OUTOFMEMORY leaves target empty.
HRESULT CopyMediaTypeContents(AM_MEDIA_TYPE& target, const AM_MEDIA_TYPE& source);

// A CoTaskMemAlloc'd copy, as enumerators and IPin::ConnectionMediaType callers expect;
// null when out of memory. Freed with DeleteMediaType.
AM_MEDIA_TYPE* CreateMediaTypeCopy(const AM_MEDIA_TYPE& source);
void DeleteMediaType(AM_MEDIA_TYPE* type);

class CMediaType {
 public:
  CMediaType() = default;
  explicit CMediaType(const AM_MEDIA_TYPE& source) { CopyMediaTypeContents(m_type, source); }
  CMediaType(const CMediaType& other) : CMediaType(other.m_type) {}
  CMediaType& operator=(const CMediaType& other);
  CMediaType(CMediaType&& other) noexcept;
  CMediaType& operator=(CMediaType&& other) noexcept;
  ~CMediaType() { FreeMediaTypeContents(m_type); }

  const AM_MEDIA_TYPE& Get() const { return m_type; }
  AM_MEDIA_TYPE& Get() { return m_type; }
  bool IsEmpty() const { return m_type.majortype == GUID_NULL; }
  void Clear() { FreeMediaTypeContents(m_type); }

  // Replaces the format block with a zeroed one of `size` bytes; null when out of memory.
  BYTE* AllocateFormat(ULONG size);

  // The VIDEOINFOHEADER when the format is FORMAT_VideoInfo and large enough, else null.
  const VIDEOINFOHEADER* VideoInfo() const;

  // Whether this (complete) type fits a partial one, whose GUID_NULL fields match anything.
  bool MatchesPartial(const AM_MEDIA_TYPE& partial) const;

 private:
  AM_MEDIA_TYPE m_type{};
};

}  // namespace dshow
