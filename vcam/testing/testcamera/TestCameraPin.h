// One output pin of the test camera: its category (IKsPropertySet), its sizes
// (IAMStreamConfig) and a streaming thread of its own that draws and sends the camera's
// picture at the pin's pace, or on a trigger, while the filter runs.
#pragma once

#include <windows.h>

#include <dshow.h>
#include <wrl/client.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "framework/Handle.h"
#include "framework/dshow/Filter.h"
#include "framework/dshow/MediaType.h"
#include "framework/dshow/Pins.h"
#include "vcam/testing/testcamera/CameraSettings.h"
#include "vcam/testing/testcamera/Counters.h"

namespace testcamera {

struct PinSetup {
  int camera = 1;
  StreamKind kind = StreamKind::Frames;  // what its deliveries count as
  GUID category = PIN_CATEGORY_CAPTURE;
  GUID subtype = MEDIASUBTYPE_RGB24;
  std::vector<FrameSize> sizes;  // not empty
  // Between two frames while running; 0 for frames on a trigger only.
  REFERENCE_TIME frameInterval = 0;
  bool delivers = true;
};

class CTestCameraPin : public dshow::COutputPin, public IAMStreamConfig, public IKsPropertySet {
 public:
  CTestCameraPin(dshow::CBaseFilter& filter, std::wstring name, PinSetup setup);
  ~CTestCameraPin() override;

  // IUnknown, shared with the filter.
  STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
    return CBasePin::QueryInterface(iid, object);
  }
  STDMETHODIMP_(ULONG) AddRef() override { return CBasePin::AddRef(); }
  STDMETHODIMP_(ULONG) Release() override { return CBasePin::Release(); }

  // IAMStreamConfig
  STDMETHODIMP SetFormat(AM_MEDIA_TYPE* type) override;
  STDMETHODIMP GetFormat(AM_MEDIA_TYPE** type) override;
  STDMETHODIMP GetNumberOfCapabilities(int* count, int* size) override;
  STDMETHODIMP GetStreamCaps(int index, AM_MEDIA_TYPE** type, BYTE* caps) override;

  // IKsPropertySet: the pin category, read-only.
  STDMETHODIMP Set(REFGUID set, DWORD id, void* instance, DWORD instanceBytes, void* data,
                   DWORD dataBytes) override;
  STDMETHODIMP Get(REFGUID set, DWORD id, void* instance, DWORD instanceBytes, void* data,
                   DWORD dataBytes, DWORD* returned) override;
  STDMETHODIMP QuerySupported(REFGUID set, DWORD id, DWORD* support) override;

  HRESULT CheckMediaType(const dshow::CMediaType& type) override;
  // The chosen size first, then the other offered sizes in their order.
  HRESULT GetMediaType(int index, dshow::CMediaType& type) override;
  // Leaving the stopped state starts the streaming thread of a connected pin.
  HRESULT Active() override;
  HRESULT Inactive() override;

  // Ends the streaming thread. The filter calls this before it takes its state lock to
  // stop, because the thread takes that lock for short moments.
  void StopStreaming();
  // The filter ran or paused: the thread looks at the state again.
  void StateChanged();
  // One frame now, if the filter runs.
  void Trigger();

  const GUID& Category() const { return m_setup.category; }

 protected:
  HRESULT QueryPinInterface(REFIID iid, void** object) override;
  HRESULT DecideBufferSize(IMemAllocator* allocator,
                           const ALLOCATOR_PROPERTIES& requested) override;
  HRESULT CompleteConnect(IPin* peer) override;

 private:
  enum class Wake { Due, Trigger, StateChanged, Stop };
  // How long stopping waits for the streaming thread before it flushes downstream.
  static constexpr DWORD kStopGraceMs = 500;

  bool IsOffered(FrameSize size) const;
  // Under the state lock: the chosen size, or the first offered one.
  FrameSize CurrentSize() const;

  static DWORD WINAPI ThreadMain(void* pin);
  void Stream();
  // Waits for the stop, state or trigger event, at most until the performance counter
  // reaches `due` (never when due is negative).
  Wake WaitUntil(std::int64_t due);
  void SendFrame(FrameSize size, REFERENCE_TIME duration, bool first);

  const PinSetup m_setup;
  // Chosen with SetFormat; guarded by the filter's state lock.
  std::optional<FrameSize> m_chosen;
  framework::CHandle m_thread;
  framework::CHandle m_stop;     // manual reset: set while the thread must end
  framework::CHandle m_wake;     // auto reset: a state change
  framework::CHandle m_trigger;  // auto reset: a frame wanted now
  // The streaming thread's alone: the number of the pin's last frame.
  std::uint32_t m_sequence = 0;
};

}  // namespace testcamera
