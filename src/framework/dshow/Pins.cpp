#include "framework/dshow/Pins.h"

#include <cstring>
#include <utility>

using Microsoft::WRL::ComPtr;

namespace dshow {

namespace {

// Lists a pin's preferred media types as they are when the enumerator is made.
class CEnumMediaTypes : public IEnumMediaTypes {
 public:
  CEnumMediaTypes(std::vector<CMediaType> types, size_t position)
      : m_types(std::move(types)), m_position(position) {}
  virtual ~CEnumMediaTypes() = default;

  STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IEnumMediaTypes) {
      *object = static_cast<IEnumMediaTypes*>(this);
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

  STDMETHODIMP Next(ULONG count, AM_MEDIA_TYPE** types, ULONG* fetched) override {
    if (types == nullptr || (count > 1 && fetched == nullptr)) return E_POINTER;
    ULONG done = 0;
    while (done < count && m_position < m_types.size()) {
      types[done] = CreateMediaTypeCopy(m_types[m_position].Get());
      if (types[done] == nullptr) break;
      ++m_position;
      ++done;
    }
    if (fetched != nullptr) *fetched = done;
    return done == count ? S_OK : S_FALSE;
  }
  STDMETHODIMP Skip(ULONG count) override {
    if (m_position + count > m_types.size()) {
      m_position = m_types.size();
      return S_FALSE;
    }
    m_position += count;
    return S_OK;
  }
  STDMETHODIMP Reset() override {
    m_position = 0;
    return S_OK;
  }
  STDMETHODIMP Clone(IEnumMediaTypes** clone) override {
    if (clone == nullptr) return E_POINTER;
    *clone = new CEnumMediaTypes(m_types, m_position);
    return S_OK;
  }

 private:
  std::atomic<ULONG> m_references{1};
  std::vector<CMediaType> m_types;
  size_t m_position;
};

}  // namespace

// ---- CBasePin

CBasePin::CBasePin(CBaseFilter& filter, std::wstring name, PIN_DIRECTION direction)
    : m_filter(filter), m_name(std::move(name)), m_direction(direction) {}

STDMETHODIMP CBasePin::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_IPin) {
    *object = static_cast<IPin*>(this);
    AddRef();
    return S_OK;
  }
  return QueryPinInterface(iid, object);
}

HRESULT CBasePin::QueryPinInterface(REFIID, void** object) {
  *object = nullptr;
  return E_NOINTERFACE;
}

bool CBasePin::IsConnected() {
  framework::CAutoLock lock(m_filter.StateLock());
  return m_peer != nullptr;
}

ComPtr<IPin> CBasePin::Peer() {
  framework::CAutoLock lock(m_filter.StateLock());
  return m_peer;
}

CMediaType CBasePin::ConnectionType() {
  framework::CAutoLock lock(m_filter.StateLock());
  return m_type;
}

void CBasePin::SetConnectionType(const CMediaType& type) {
  framework::CAutoLock lock(m_filter.StateLock());
  m_type = type;
}

HRESULT CBasePin::GetMediaType(int, CMediaType&) {
  return VFW_S_NO_MORE_ITEMS;
}

STDMETHODIMP CBasePin::Disconnect() {
  framework::CAutoLock lock(m_filter.StateLock());
  if (m_filter.State() != State_Stopped) return VFW_E_NOT_STOPPED;
  if (m_peer == nullptr) return S_FALSE;
  m_peer.Reset();
  m_type.Clear();
  BreakConnect();
  return S_OK;
}

STDMETHODIMP CBasePin::ConnectedTo(IPin** pin) {
  if (pin == nullptr) return E_POINTER;
  framework::CAutoLock lock(m_filter.StateLock());
  *pin = m_peer.Get();
  if (*pin == nullptr) return VFW_E_NOT_CONNECTED;
  (*pin)->AddRef();
  return S_OK;
}

STDMETHODIMP CBasePin::ConnectionMediaType(AM_MEDIA_TYPE* type) {
  if (type == nullptr) return E_POINTER;
  framework::CAutoLock lock(m_filter.StateLock());
  if (m_peer == nullptr) {
    *type = AM_MEDIA_TYPE{};
    return VFW_E_NOT_CONNECTED;
  }
  return CopyMediaTypeContents(*type, m_type.Get());
}

STDMETHODIMP CBasePin::QueryPinInfo(PIN_INFO* info) {
  if (info == nullptr) return E_POINTER;
  info->pFilter = &m_filter;
  m_filter.AddRef();
  info->dir = m_direction;
  const size_t length = std::min(m_name.size(), static_cast<size_t>(MAX_PIN_NAME - 1));
  std::memcpy(info->achName, m_name.c_str(), length * sizeof(wchar_t));
  info->achName[length] = L'\0';
  return S_OK;
}

STDMETHODIMP CBasePin::QueryDirection(PIN_DIRECTION* direction) {
  if (direction == nullptr) return E_POINTER;
  *direction = m_direction;
  return S_OK;
}

STDMETHODIMP CBasePin::QueryId(LPWSTR* id) {
  if (id == nullptr) return E_POINTER;
  const size_t bytes = (m_name.size() + 1) * sizeof(wchar_t);
  *id = static_cast<LPWSTR>(::CoTaskMemAlloc(bytes));
  if (*id == nullptr) return E_OUTOFMEMORY;
  std::memcpy(*id, m_name.c_str(), bytes);
  return S_OK;
}

STDMETHODIMP CBasePin::QueryAccept(const AM_MEDIA_TYPE* type) {
  if (type == nullptr) return E_POINTER;
  return SUCCEEDED(CheckMediaType(CMediaType(*type))) ? S_OK : S_FALSE;
}

STDMETHODIMP CBasePin::EnumMediaTypes(IEnumMediaTypes** types) {
  if (types == nullptr) return E_POINTER;
  std::vector<CMediaType> list;
  for (int i = 0;; ++i) {
    CMediaType type;
    if (GetMediaType(i, type) != S_OK) break;
    list.push_back(std::move(type));
  }
  *types = new CEnumMediaTypes(std::move(list), 0);
  return S_OK;
}

STDMETHODIMP CBasePin::QueryInternalConnections(IPin**, ULONG*) {
  return E_NOTIMPL;
}

// ---- CInputPin

CInputPin::CInputPin(CBaseFilter& filter, std::wstring name)
    : CBasePin(filter, std::move(name), PINDIR_INPUT) {}

HRESULT CInputPin::QueryPinInterface(REFIID iid, void** object) {
  if (iid == IID_IMemInputPin) {
    *object = static_cast<IMemInputPin*>(this);
    AddRef();
    return S_OK;
  }
  return CBasePin::QueryPinInterface(iid, object);
}

STDMETHODIMP CInputPin::Connect(IPin*, const AM_MEDIA_TYPE*) {
  // Output pins start connections.
  return E_UNEXPECTED;
}

STDMETHODIMP CInputPin::ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* type) {
  if (connector == nullptr || type == nullptr) return E_POINTER;
  framework::CAutoLock lock(m_filter.StateLock());
  if (m_peer != nullptr) return VFW_E_ALREADY_CONNECTED;
  if (m_filter.State() != State_Stopped) return VFW_E_NOT_STOPPED;
  PIN_DIRECTION direction;
  if (FAILED(connector->QueryDirection(&direction)) || direction != PINDIR_OUTPUT)
    return VFW_E_INVALID_DIRECTION;
  const CMediaType offered(*type);
  if (FAILED(CheckMediaType(offered))) return VFW_E_TYPE_NOT_ACCEPTED;
  m_peer = connector;
  m_type = offered;
  const HRESULT completed = CompleteConnect(connector);
  if (FAILED(completed)) {
    m_peer.Reset();
    m_type.Clear();
    BreakConnect();
  }
  return completed;
}

STDMETHODIMP CInputPin::Disconnect() {
  framework::CAutoLock lock(m_filter.StateLock());
  const HRESULT result = CBasePin::Disconnect();
  if (result == S_OK) m_allocator.Reset();
  return result;
}

STDMETHODIMP CInputPin::EndOfStream() {
  if (m_flushing) return S_FALSE;
  return OnEndOfStream();
}

STDMETHODIMP CInputPin::BeginFlush() {
  m_flushing = true;
  return OnBeginFlush();
}

STDMETHODIMP CInputPin::EndFlush() {
  const HRESULT result = OnEndFlush();
  m_flushing = false;
  return result;
}

STDMETHODIMP CInputPin::NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) {
  return OnNewSegment(start, stop, rate);
}

STDMETHODIMP CInputPin::GetAllocator(IMemAllocator** allocator) {
  if (allocator == nullptr) return E_POINTER;
  framework::CAutoLock lock(m_filter.StateLock());
  if (m_allocator == nullptr) {
    const HRESULT created = ::CoCreateInstance(CLSID_MemoryAllocator, nullptr, CLSCTX_INPROC_SERVER,
                                               IID_PPV_ARGS(&m_allocator));
    if (FAILED(created)) {
      *allocator = nullptr;
      return created;
    }
  }
  *allocator = m_allocator.Get();
  (*allocator)->AddRef();
  return S_OK;
}

STDMETHODIMP CInputPin::NotifyAllocator(IMemAllocator* allocator, BOOL) {
  if (allocator == nullptr) return E_POINTER;
  framework::CAutoLock lock(m_filter.StateLock());
  m_allocator = allocator;
  return S_OK;
}

STDMETHODIMP CInputPin::GetAllocatorRequirements(ALLOCATOR_PROPERTIES*) {
  return E_NOTIMPL;
}

STDMETHODIMP CInputPin::Receive(IMediaSample* sample) {
  if (sample == nullptr) return E_POINTER;
  if (m_filter.State() == State_Stopped) return VFW_E_WRONG_STATE;
  if (m_flushing) return S_FALSE;
  return OnReceive(sample);
}

STDMETHODIMP CInputPin::ReceiveMultiple(IMediaSample** samples, long count, long* processed) {
  if (samples == nullptr || processed == nullptr) return E_POINTER;
  HRESULT result = S_OK;
  *processed = 0;
  while (*processed < count) {
    result = Receive(samples[*processed]);
    if (result != S_OK) break;
    ++*processed;
  }
  return result;
}

STDMETHODIMP CInputPin::ReceiveCanBlock() {
  return S_OK;
}

// ---- COutputPin

COutputPin::COutputPin(CBaseFilter& filter, std::wstring name)
    : CBasePin(filter, std::move(name), PINDIR_OUTPUT) {}

STDMETHODIMP COutputPin::Connect(IPin* receivePin, const AM_MEDIA_TYPE* partial) {
  if (receivePin == nullptr) return E_POINTER;
  framework::CAutoLock lock(m_filter.StateLock());
  if (m_peer != nullptr) return VFW_E_ALREADY_CONNECTED;
  if (m_filter.State() != State_Stopped) return VFW_E_NOT_STOPPED;

  const auto acceptable = [partial](const CMediaType& type) {
    return partial == nullptr || type.MatchesPartial(*partial);
  };
  // Our own types first, then those the receiver proposes.
  for (int i = 0;; ++i) {
    CMediaType type;
    if (GetMediaType(i, type) != S_OK) break;
    if (acceptable(type) && SUCCEEDED(AttemptConnection(receivePin, type))) return S_OK;
  }
  ComPtr<IEnumMediaTypes> theirs;
  if (SUCCEEDED(receivePin->EnumMediaTypes(&theirs))) {
    AM_MEDIA_TYPE* proposed = nullptr;
    while (theirs->Next(1, &proposed, nullptr) == S_OK) {
      CMediaType type(*proposed);
      DeleteMediaType(proposed);
      if (acceptable(type) && SUCCEEDED(AttemptConnection(receivePin, type))) return S_OK;
    }
  }
  return VFW_E_NO_ACCEPTABLE_TYPES;
}

HRESULT COutputPin::AttemptConnection(IPin* receivePin, const CMediaType& type) {
  if (FAILED(CheckMediaType(type))) return VFW_E_TYPE_NOT_ACCEPTED;
  m_peer = receivePin;
  m_type = type;
  HRESULT result = receivePin->ReceiveConnection(this, &type.Get());
  if (SUCCEEDED(result)) {
    result = CompleteConnect(receivePin);
    if (FAILED(result)) receivePin->Disconnect();
  }
  if (FAILED(result)) {
    m_peer.Reset();
    m_type.Clear();
    BreakConnect();
  }
  return result;
}

STDMETHODIMP COutputPin::ReceiveConnection(IPin*, const AM_MEDIA_TYPE*) {
  // Output pins do not accept connections from other output pins.
  return E_UNEXPECTED;
}

STDMETHODIMP COutputPin::Disconnect() {
  return CBasePin::Disconnect();
}

HRESULT COutputPin::CompleteConnect(IPin* peer) {
  if (FAILED(peer->QueryInterface(IID_PPV_ARGS(&m_peerInput)))) return E_NOINTERFACE;
  return DecideAllocator();
}

void COutputPin::BreakConnect() {
  if (m_allocator != nullptr) m_allocator->Decommit();
  m_allocator.Reset();
  m_peerInput.Reset();
}

HRESULT COutputPin::DecideAllocator() {
  ALLOCATOR_PROPERTIES requested{};
  m_peerInput->GetAllocatorRequirements(&requested);

  // The receiver's allocator first, then a plain memory allocator of our own.
  ComPtr<IMemAllocator> allocator;
  if (SUCCEEDED(m_peerInput->GetAllocator(&allocator)) &&
      SUCCEEDED(DecideBufferSize(allocator.Get(), requested)) &&
      SUCCEEDED(m_peerInput->NotifyAllocator(allocator.Get(), FALSE))) {
    m_allocator = allocator;
    return S_OK;
  }
  allocator.Reset();
  HRESULT result = ::CoCreateInstance(CLSID_MemoryAllocator, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_PPV_ARGS(&allocator));
  if (SUCCEEDED(result)) result = DecideBufferSize(allocator.Get(), requested);
  if (SUCCEEDED(result)) result = m_peerInput->NotifyAllocator(allocator.Get(), FALSE);
  if (SUCCEEDED(result)) m_allocator = allocator;
  return result;
}

HRESULT COutputPin::Active() {
  framework::CAutoLock lock(m_filter.StateLock());
  return m_allocator != nullptr ? m_allocator->Commit() : S_OK;
}

HRESULT COutputPin::Inactive() {
  framework::CAutoLock lock(m_filter.StateLock());
  return m_allocator != nullptr ? m_allocator->Decommit() : S_OK;
}

HRESULT COutputPin::GetDeliveryBuffer(IMediaSample** sample) {
  ComPtr<IMemAllocator> allocator;
  {
    framework::CAutoLock lock(m_filter.StateLock());
    allocator = m_allocator;
  }
  if (allocator == nullptr) return VFW_E_NO_ALLOCATOR;
  // Outside the lock: this waits for a free buffer, and stopping must be able to
  // decommit the allocator meanwhile to end the wait.
  return allocator->GetBuffer(sample, nullptr, nullptr, 0);
}

HRESULT COutputPin::Deliver(IMediaSample* sample) {
  ComPtr<IMemInputPin> input;
  {
    framework::CAutoLock lock(m_filter.StateLock());
    input = m_peerInput;
  }
  return input != nullptr ? input->Receive(sample) : VFW_E_NOT_CONNECTED;
}

HRESULT COutputPin::DeliverEndOfStream() {
  const ComPtr<IPin> peer = Peer();
  return peer != nullptr ? peer->EndOfStream() : VFW_E_NOT_CONNECTED;
}

HRESULT COutputPin::DeliverBeginFlush() {
  const ComPtr<IPin> peer = Peer();
  return peer != nullptr ? peer->BeginFlush() : VFW_E_NOT_CONNECTED;
}

HRESULT COutputPin::DeliverEndFlush() {
  const ComPtr<IPin> peer = Peer();
  return peer != nullptr ? peer->EndFlush() : VFW_E_NOT_CONNECTED;
}

HRESULT COutputPin::DeliverNewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) {
  const ComPtr<IPin> peer = Peer();
  return peer != nullptr ? peer->NewSegment(start, stop, rate) : VFW_E_NOT_CONNECTED;
}

}  // namespace dshow
