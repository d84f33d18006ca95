#include "vcam/VirtualCameraFilter.h"

#include <new>

#include "vcam/CameraIds.h"
#include "vcam/ServerLife.h"

namespace vcam {

HRESULT CVirtualCameraFilter::Create(REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  auto* filter = new (std::nothrow) CVirtualCameraFilter();
  if (filter == nullptr) {
    *object = nullptr;
    return E_OUTOFMEMORY;
  }
  const HRESULT result = filter->QueryInterface(iid, object);
  filter->Release();
  return result;
}

CVirtualCameraFilter::CVirtualCameraFilter()
    : CBaseFilter(CLSID_PlumoraVirtualCamera), m_pin(*this) {
  ObjectCreated();
}

CVirtualCameraFilter::~CVirtualCameraFilter() {
  ObjectDestroyed();
}

HRESULT CVirtualCameraFilter::QueryFilterInterface(REFIID iid, void** object) {
  if (iid == IID_IAMFilterMiscFlags) {
    *object = static_cast<IAMFilterMiscFlags*>(this);
    AddRef();
    return S_OK;
  }
  return CBaseFilter::QueryFilterInterface(iid, object);
}

STDMETHODIMP CVirtualCameraFilter::Stop() {
  m_pin.StopStreaming();
  return CBaseFilter::Stop();
}

STDMETHODIMP CVirtualCameraFilter::Pause() {
  const HRESULT result = CBaseFilter::Pause();
  m_pin.StateChanged();
  return result;
}

STDMETHODIMP CVirtualCameraFilter::Run(REFERENCE_TIME start) {
  const HRESULT result = CBaseFilter::Run(start);
  m_pin.StateChanged();
  return result;
}

STDMETHODIMP CVirtualCameraFilter::GetState(DWORD timeoutMs, FILTER_STATE* state) {
  const HRESULT result = CBaseFilter::GetState(timeoutMs, state);
  if (SUCCEEDED(result) && *state == State_Paused) return VFW_S_CANT_CUE;
  return result;
}

}  // namespace vcam
