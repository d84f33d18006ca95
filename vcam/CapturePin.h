// The camera's one output pin: a capture pin (IKsPropertySet) whose formats clients
// choose through IAMStreamConfig, and the streaming thread that sends a frame from the
// frame channel at every tick of the graph's clock while the filter runs.
#pragma once

#include <windows.h>

#include <dshow.h>
#include <wrl/client.h>

#include "framework/Handle.h"
#include "framework/dshow/Filter.h"
#include "framework/dshow/MediaType.h"
#include "framework/dshow/Pins.h"
#include "vcam/FrameProducer.h"

namespace vcam {

class CCapturePin : public dshow::COutputPin, public IAMStreamConfig, public IKsPropertySet {
 public:
  explicit CCapturePin(dshow::CBaseFilter& filter);
  ~CCapturePin() override;

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
  HRESULT GetMediaType(int index, dshow::CMediaType& type) override;
  // Leaving the stopped state starts the streaming thread; entering it ends the thread.
  HRESULT Active() override;
  HRESULT Inactive() override;

  // Ends the streaming thread. The filter calls this before it takes its state lock to
  // stop, because the thread needs that lock for short moments.
  void StopStreaming();
  // The filter ran or paused: the thread looks at the state again.
  void StateChanged();

 protected:
  HRESULT QueryPinInterface(REFIID iid, void** object) override;
  HRESULT DecideBufferSize(IMemAllocator* allocator,
                           const ALLOCATOR_PROPERTIES& requested) override;

 private:
  enum class Wake { Due, StateChanged, Stop };
  // How long stopping waits for the streaming thread before it flushes downstream.
  static constexpr DWORD kStopGraceMs = 500;

  static DWORD WINAPI ThreadMain(void* pin);
  void Stream();
  // Waits until stream time `due`, read from the graph's clock when it has one (the
  // performance counter since `counterStart` when it has none).
  Wake WaitUntil(IReferenceClock* clock, REFERENCE_TIME start, REFERENCE_TIME counterStart,
                 REFERENCE_TIME due);

  // The format chosen with SetFormat; empty while every format is on offer. Guarded by
  // the filter's state lock.
  dshow::CMediaType m_chosen;
  framework::CHandle m_thread;
  framework::CHandle m_stop;  // manual reset: set while the thread must end
  framework::CHandle m_wake;  // auto reset: a state change
  // The streaming thread's alone.
  CFrameProducer m_producer;
};

}  // namespace vcam
