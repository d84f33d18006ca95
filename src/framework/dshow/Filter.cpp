#include "framework/dshow/Filter.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "framework/dshow/Pins.h"

using Microsoft::WRL::ComPtr;

namespace dshow {

namespace {

// Lists a filter's pins as they are when the enumerator is made.
class CEnumPins : public IEnumPins {
 public:
  CEnumPins(CBaseFilter& filter, size_t position = 0) : m_filter(filter), m_position(position) {
    m_filter.AddRef();
    for (int i = 0; i < filter.PinCount(); ++i) m_pins.push_back(filter.PinAt(i));
  }
  CEnumPins(const CEnumPins&) = delete;
  CEnumPins& operator=(const CEnumPins&) = delete;
  virtual ~CEnumPins() { m_filter.Release(); }

  STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IEnumPins) {
      *object = static_cast<IEnumPins*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++m_references; }
  STDMETHODIMP_(ULONG) Release() override {
    const ULONG left = --m_references;
    if (left == 0) delete this;
    return left;
  }

  STDMETHODIMP Next(ULONG count, IPin** pins, ULONG* fetched) override {
    if (pins == nullptr || (count > 1 && fetched == nullptr)) return E_POINTER;
    ULONG done = 0;
    while (done < count && m_position < m_pins.size()) {
      pins[done] = m_pins[m_position++];
      pins[done]->AddRef();
      ++done;
    }
    if (fetched != nullptr) *fetched = done;
    return done == count ? S_OK : S_FALSE;
  }
  STDMETHODIMP Skip(ULONG count) override {
    if (m_position + count > m_pins.size()) {
      m_position = m_pins.size();
      return S_FALSE;
    }
    m_position += count;
    return S_OK;
  }
  STDMETHODIMP Reset() override {
    m_position = 0;
    return S_OK;
  }
  STDMETHODIMP Clone(IEnumPins** clone) override {
    if (clone == nullptr) return E_POINTER;
    *clone = new CEnumPins(m_filter, m_position);
    return S_OK;
  }

 private:
  std::atomic<ULONG> m_references{1};
  CBaseFilter& m_filter;
  std::vector<CBasePin*> m_pins;
  size_t m_position;
};

}  // namespace

CBaseFilter::CBaseFilter(const CLSID& classId) : m_classId(classId) {}

CBaseFilter::~CBaseFilter() = default;

STDMETHODIMP CBaseFilter::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_IPersist || iid == IID_IMediaFilter ||
      iid == IID_IBaseFilter) {
    *object = static_cast<IBaseFilter*>(this);
    AddRef();
    return S_OK;
  }
  return QueryFilterInterface(iid, object);
}

HRESULT CBaseFilter::QueryFilterInterface(REFIID, void** object) {
  *object = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) CBaseFilter::AddRef() {
  return ++m_references;
}

STDMETHODIMP_(ULONG) CBaseFilter::Release() {
  const ULONG left = --m_references;
  if (left == 0) delete this;
  return left;
}

STDMETHODIMP CBaseFilter::GetClassID(CLSID* classId) {
  if (classId == nullptr) return E_POINTER;
  *classId = m_classId;
  return S_OK;
}

STDMETHODIMP CBaseFilter::Stop() {
  framework::CAutoLock lock(m_stateLock);
  HRESULT result = S_OK;
  if (m_state != State_Stopped) {
    for (int i = 0; i < PinCount(); ++i) {
      const HRESULT pinResult = PinAt(i)->Inactive();
      if (FAILED(pinResult) && SUCCEEDED(result)) result = pinResult;
    }
  }
  m_state = State_Stopped;
  return result;
}

STDMETHODIMP CBaseFilter::Pause() {
  framework::CAutoLock lock(m_stateLock);
  if (m_state == State_Stopped) {
    for (int i = 0; i < PinCount(); ++i) {
      const HRESULT pinResult = PinAt(i)->Active();
      if (FAILED(pinResult)) {
        for (int j = 0; j < i; ++j) PinAt(j)->Inactive();
        return pinResult;
      }
    }
  }
  m_state = State_Paused;
  return S_OK;
}

STDMETHODIMP CBaseFilter::Run(REFERENCE_TIME start) {
  framework::CAutoLock lock(m_stateLock);
  if (m_state == State_Stopped) {
    const HRESULT paused = Pause();
    if (FAILED(paused)) return paused;
  }
  m_start = start;
  m_state = State_Running;
  return S_OK;
}

STDMETHODIMP CBaseFilter::GetState(DWORD, FILTER_STATE* state) {
  if (state == nullptr) return E_POINTER;
  *state = State();
  return S_OK;
}

STDMETHODIMP CBaseFilter::SetSyncSource(IReferenceClock* clock) {
  framework::CAutoLock lock(m_stateLock);
  m_clock = clock;
  return S_OK;
}

STDMETHODIMP CBaseFilter::GetSyncSource(IReferenceClock** clock) {
  if (clock == nullptr) return E_POINTER;
  framework::CAutoLock lock(m_stateLock);
  *clock = m_clock.Get();
  if (*clock != nullptr) (*clock)->AddRef();
  return S_OK;
}

ComPtr<IReferenceClock> CBaseFilter::Clock() {
  framework::CAutoLock lock(m_stateLock);
  return m_clock;
}

REFERENCE_TIME CBaseFilter::StreamStart() {
  framework::CAutoLock lock(m_stateLock);
  return m_start;
}

ComPtr<IFilterGraph> CBaseFilter::Graph() {
  framework::CAutoLock lock(m_stateLock);
  return m_graph;
}

STDMETHODIMP CBaseFilter::EnumPins(IEnumPins** pins) {
  if (pins == nullptr) return E_POINTER;
  *pins = new CEnumPins(*this);
  return S_OK;
}

STDMETHODIMP CBaseFilter::FindPin(LPCWSTR id, IPin** pin) {
  if (id == nullptr || pin == nullptr) return E_POINTER;
  for (int i = 0; i < PinCount(); ++i) {
    if (PinAt(i)->Name() == id) {
      *pin = PinAt(i);
      (*pin)->AddRef();
      return S_OK;
    }
  }
  *pin = nullptr;
  return VFW_E_NOT_FOUND;
}

STDMETHODIMP CBaseFilter::QueryFilterInfo(FILTER_INFO* info) {
  if (info == nullptr) return E_POINTER;
  framework::CAutoLock lock(m_stateLock);
  const size_t length = std::min(m_name.size(), static_cast<size_t>(MAX_FILTER_NAME - 1));
  std::memcpy(info->achName, m_name.c_str(), length * sizeof(wchar_t));
  info->achName[length] = L'\0';
  info->pGraph = m_graph;
  if (m_graph != nullptr) m_graph->AddRef();
  return S_OK;
}

STDMETHODIMP CBaseFilter::JoinFilterGraph(IFilterGraph* graph, LPCWSTR name) {
  framework::CAutoLock lock(m_stateLock);
  m_graph = graph;
  m_name = name != nullptr ? name : L"";
  return S_OK;
}

STDMETHODIMP CBaseFilter::QueryVendorInfo(LPWSTR*) {
  return E_NOTIMPL;
}

HRESULT CBaseFilter::NotifyEvent(long code, LONG_PTR param1, LONG_PTR param2) {
  ComPtr<IMediaEventSink> sink;
  {
    framework::CAutoLock lock(m_stateLock);
    if (m_graph == nullptr || FAILED(m_graph->QueryInterface(IID_PPV_ARGS(&sink))))
      return E_NOTIMPL;
  }
  return sink->Notify(code, param1, param2);
}

}  // namespace dshow
