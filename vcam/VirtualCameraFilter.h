// The camera filter: a live video capture source with one capture pin, whose frames come
// from the frame channel that Plumora plays into.
#pragma once

#include <windows.h>

#include <dshow.h>
#include <wrl/client.h>

#include "framework/dshow/Filter.h"
#include "vcam/CapturePin.h"

namespace vcam {

class CVirtualCameraFilter : public dshow::CBaseFilter, public IAMFilterMiscFlags {
 public:
  // A new filter (reference count 1) as the interface asked for; no aggregation.
  static HRESULT Create(REFIID iid, void** object);

  // IUnknown, for both bases.
  STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
    return CBaseFilter::QueryInterface(iid, object);
  }
  STDMETHODIMP_(ULONG) AddRef() override { return CBaseFilter::AddRef(); }
  STDMETHODIMP_(ULONG) Release() override { return CBaseFilter::Release(); }

  // IMediaFilter: a live source cannot cue frames while paused, and its streaming
  // thread must end before the state lock is taken to stop.
  STDMETHODIMP Stop() override;
  STDMETHODIMP Pause() override;
  STDMETHODIMP Run(REFERENCE_TIME start) override;
  STDMETHODIMP GetState(DWORD timeoutMs, FILTER_STATE* state) override;

  // IAMFilterMiscFlags
  STDMETHODIMP_(ULONG) GetMiscFlags() override { return AM_FILTER_MISC_FLAGS_IS_SOURCE; }

  int PinCount() override { return 1; }
  dshow::CBasePin* PinAt(int index) override { return index == 0 ? &m_pin : nullptr; }

 protected:
  HRESULT QueryFilterInterface(REFIID iid, void** object) override;

 private:
  CVirtualCameraFilter();
  ~CVirtualCameraFilter() override;

  CCapturePin m_pin;
};

}  // namespace vcam
