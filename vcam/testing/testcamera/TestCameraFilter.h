// A test camera: a live video capture source whose pins and behaviour follow the settings
// read from the registry when the filter is made (CameraSettings.h). Always a capture pin;
// a preview pin and a still pin (with IAMVideoControl) when the settings ask for them.
#pragma once

#include <windows.h>

#include <dshow.h>

#include <memory>
#include <vector>

#include "framework/dshow/Filter.h"
#include "vcam/testing/testcamera/CameraSettings.h"
#include "vcam/testing/testcamera/TestCameraPin.h"

namespace testcamera {

class CTestCameraFilter : public dshow::CBaseFilter,
                          public IAMFilterMiscFlags,
                          public IAMVideoControl {
 public:
  // A new filter of camera 1 or 2 (reference count 1) as the interface asked for.
  static HRESULT Create(int camera, REFIID iid, void** object);

  // IUnknown, for every base.
  STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
    return CBaseFilter::QueryInterface(iid, object);
  }
  STDMETHODIMP_(ULONG) AddRef() override { return CBaseFilter::AddRef(); }
  STDMETHODIMP_(ULONG) Release() override { return CBaseFilter::Release(); }

  // IMediaFilter: a live source cannot cue frames while paused, and its streaming
  // threads must end before the state lock is taken to stop.
  STDMETHODIMP Stop() override;
  STDMETHODIMP Pause() override;
  STDMETHODIMP Run(REFERENCE_TIME start) override;
  STDMETHODIMP GetState(DWORD timeoutMs, FILTER_STATE* state) override;

  // IAMFilterMiscFlags
  STDMETHODIMP_(ULONG) GetMiscFlags() override { return AM_FILTER_MISC_FLAGS_IS_SOURCE; }

  // IAMVideoControl, offered with a still pin: the still pin can be triggered.
  STDMETHODIMP GetCaps(IPin* pin, LONG* flags) override;
  STDMETHODIMP SetMode(IPin* pin, LONG mode) override;
  STDMETHODIMP GetMode(IPin* pin, LONG* mode) override;
  STDMETHODIMP GetCurrentActualFrameRate(IPin*, LONGLONG*) override { return E_NOTIMPL; }
  STDMETHODIMP GetMaxAvailableFrameRate(IPin*, LONG, SIZE, LONGLONG*) override { return E_NOTIMPL; }
  STDMETHODIMP GetFrameRateList(IPin*, LONG, SIZE, LONG*, LONGLONG**) override { return E_NOTIMPL; }

  int PinCount() override { return static_cast<int>(m_pins.size()); }
  dshow::CBasePin* PinAt(int index) override;

 protected:
  HRESULT QueryFilterInterface(REFIID iid, void** object) override;

 private:
  CTestCameraFilter(int camera, const CameraSettings& settings);
  ~CTestCameraFilter() override;

  // Our pin behind an IPin a client passes, or null.
  CTestCameraPin* OwnPin(IPin* pin);
  void EveryPin(void (CTestCameraPin::*action)());

  std::vector<std::unique_ptr<CTestCameraPin>> m_pins;
  CTestCameraPin* m_stillPin = nullptr;  // one of m_pins, or null
  LONG m_stillMode = 0;                  // guarded by the state lock
};

}  // namespace testcamera
