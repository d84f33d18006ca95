// The common part of our DirectShow filters: COM identity and reference count, the
// filter state machine, the clock, graph membership and pin enumeration. A filter
// derives from CBaseFilter, owns its pins as members and lists them through PinCount
// and PinAt; pins share the filter's reference count.
#pragma once

#include <windows.h>

#include <dshow.h>
#include <wrl/client.h>

#include <atomic>
#include <string>

#include "framework/Lock.h"

namespace dshow {

class CBasePin;

class CBaseFilter : public IBaseFilter {
 public:
  explicit CBaseFilter(const CLSID& classId);
  CBaseFilter(const CBaseFilter&) = delete;
  CBaseFilter& operator=(const CBaseFilter&) = delete;
  virtual ~CBaseFilter();

  // IUnknown
  STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;

  // IPersist
  STDMETHODIMP GetClassID(CLSID* classId) override;

  // IMediaFilter
  STDMETHODIMP Stop() override;
  STDMETHODIMP Pause() override;
  STDMETHODIMP Run(REFERENCE_TIME start) override;
  STDMETHODIMP GetState(DWORD timeoutMs, FILTER_STATE* state) override;
  STDMETHODIMP SetSyncSource(IReferenceClock* clock) override;
  STDMETHODIMP GetSyncSource(IReferenceClock** clock) override;

  // IBaseFilter
  STDMETHODIMP EnumPins(IEnumPins** pins) override;
  STDMETHODIMP FindPin(LPCWSTR id, IPin** pin) override;
  STDMETHODIMP QueryFilterInfo(FILTER_INFO* info) override;
  STDMETHODIMP JoinFilterGraph(IFilterGraph* graph, LPCWSTR name) override;
  STDMETHODIMP QueryVendorInfo(LPWSTR* vendorInfo) override;

  virtual int PinCount() = 0;
  virtual CBasePin* PinAt(int index) = 0;

  FILTER_STATE State() {
    framework::CAutoLock lock(m_stateLock);
    return m_state;
  }
  // Guards the state and the pins' connections.
  framework::CCriticalSection& StateLock() { return m_stateLock; }
  // The graph's clock, or null; the stream time of a sample is its time plus StreamStart.
  Microsoft::WRL::ComPtr<IReferenceClock> Clock();
  REFERENCE_TIME StreamStart();
  // The graph the filter has joined, or null.
  Microsoft::WRL::ComPtr<IFilterGraph> Graph();
  // Tells the graph manager about something that happened (EC_...), if in a graph.
  HRESULT NotifyEvent(long code, LONG_PTR param1, LONG_PTR param2);

 protected:
  // More interfaces of a derived filter; E_NOINTERFACE when none applies.
  virtual HRESULT QueryFilterInterface(REFIID iid, void** object);

 private:
  std::atomic<ULONG> m_references{1};
  const CLSID m_classId;
  framework::CCriticalSection m_stateLock;
  FILTER_STATE m_state = State_Stopped;
  REFERENCE_TIME m_start = 0;
  Microsoft::WRL::ComPtr<IReferenceClock> m_clock;
  IFilterGraph* m_graph = nullptr;  // not held: the graph holds the filter
  std::wstring m_name;
};

// Creates a filter object (reference count 1) and hands it over as the interface T.
template <typename Filter, typename T = IBaseFilter, typename... Args>
Microsoft::WRL::ComPtr<T> MakeFilter(Args&&... args) {
  Microsoft::WRL::ComPtr<T> result;
  result.Attach(new Filter(std::forward<Args>(args)...));
  return result;
}

}  // namespace dshow
