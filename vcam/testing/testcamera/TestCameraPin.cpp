#include "vcam/testing/testcamera/TestCameraPin.h"

#include <mmsystem.h>

#include <algorithm>
#include <cstring>
#include <utility>

#include "vcam/testing/testcamera/DeliveryGate.h"
#include "vcam/testing/testcamera/PinFormats.h"
#include "vcam/testing/testcamera/TestPicture.h"

using Microsoft::WRL::ComPtr;

namespace testcamera {

namespace {

// The performance counter in 100-nanosecond units: the pins' own time, so that pacing
// needs neither the graph's clock nor its advice (docs/wine-notes.md).
std::int64_t CounterNow() {
  static const LONGLONG frequency = [] {
    LARGE_INTEGER value;
    ::QueryPerformanceFrequency(&value);
    return value.QuadPart;
  }();
  LARGE_INTEGER now;
  ::QueryPerformanceCounter(&now);
  return now.QuadPart / frequency * kUnitsPerSecond +
         now.QuadPart % frequency * kUnitsPerSecond / frequency;
}

// 1 ms timer waits while a pin streams; the default period (about 16 ms on Windows) would
// make 30 frames a second come out unevenly.
class CFineTimerPeriod {
 public:
  CFineTimerPeriod() : m_set(::timeBeginPeriod(1) == TIMERR_NOERROR) {}
  ~CFineTimerPeriod() {
    if (m_set) ::timeEndPeriod(1);
  }
  CFineTimerPeriod(const CFineTimerPeriod&) = delete;
  CFineTimerPeriod& operator=(const CFineTimerPeriod&) = delete;

 private:
  bool m_set;
};

}  // namespace

CTestCameraPin::CTestCameraPin(dshow::CBaseFilter& filter, std::wstring name, PinSetup setup)
    : COutputPin(filter, std::move(name)),
      m_setup(std::move(setup)),
      m_stop(::CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      m_wake(::CreateEventW(nullptr, FALSE, FALSE, nullptr)),
      m_trigger(::CreateEventW(nullptr, FALSE, FALSE, nullptr)) {}

CTestCameraPin::~CTestCameraPin() {
  StopStreaming();
}

HRESULT CTestCameraPin::QueryPinInterface(REFIID iid, void** object) {
  if (iid == IID_IAMStreamConfig) {
    *object = static_cast<IAMStreamConfig*>(this);
  } else if (iid == IID_IKsPropertySet) {
    *object = static_cast<IKsPropertySet*>(this);
  } else {
    return COutputPin::QueryPinInterface(iid, object);
  }
  AddRef();
  return S_OK;
}

// ---- formats

bool CTestCameraPin::IsOffered(FrameSize size) const {
  return std::find(m_setup.sizes.begin(), m_setup.sizes.end(), size) != m_setup.sizes.end();
}

FrameSize CTestCameraPin::CurrentSize() const {
  return m_chosen.value_or(m_setup.sizes.front());
}

HRESULT CTestCameraPin::CheckMediaType(const dshow::CMediaType& type) {
  const std::optional<FrameSize> size = DescribeVideoType(type.Get(), m_setup.subtype);
  return size && IsOffered(*size) ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT CTestCameraPin::GetMediaType(int index, dshow::CMediaType& type) {
  framework::CAutoLock lock(m_filter.StateLock());
  const FrameSize first = CurrentSize();
  std::optional<FrameSize> size;
  if (index == 0) {
    size = first;
  } else {
    int position = 0;
    for (const FrameSize& other : m_setup.sizes) {
      if (other == first) continue;
      if (++position == index) {
        size = other;
        break;
      }
    }
  }
  if (!size) return VFW_S_NO_MORE_ITEMS;
  type = MakeVideoType(m_setup.subtype, *size, m_setup.frameInterval);
  return type.IsEmpty() ? E_OUTOFMEMORY : S_OK;
}

HRESULT CTestCameraPin::CompleteConnect(IPin* peer) {
  const HRESULT result = COutputPin::CompleteConnect(peer);
  if (SUCCEEDED(result) && m_setup.kind == StreamKind::Frames)
    if (const std::optional<FrameSize> size = DescribeVideoType(m_type.Get(), m_setup.subtype))
      RecordFormat(m_setup.camera, size->width, size->height);
  return result;
}

STDMETHODIMP CTestCameraPin::SetFormat(AM_MEDIA_TYPE* type) {
  if (type == nullptr) return E_POINTER;
  framework::CAutoLock lock(m_filter.StateLock());
  if (m_filter.State() != State_Stopped) return VFW_E_NOT_STOPPED;
  const std::optional<FrameSize> size = DescribeVideoType(*type, m_setup.subtype);
  if (!size || !IsOffered(*size)) return VFW_E_INVALIDMEDIATYPE;
  // Our own type of that size, not the caller's: its other fields (frame interval, image
  // size) are ours to decide, and reconnecting matches our offer byte for byte.
  const dshow::CMediaType ours = MakeVideoType(m_setup.subtype, *size, m_setup.frameInterval);
  if (ours.IsEmpty()) return E_OUTOFMEMORY;
  if (m_peer == nullptr) {
    m_chosen = *size;
  } else {
    // Connected: the other pin must take the new size, and the graph reconnects both.
    if (m_peer->QueryAccept(&ours.Get()) != S_OK) return VFW_E_INVALIDMEDIATYPE;
    ComPtr<IFilterGraph2> graph;
    const ComPtr<IFilterGraph> joined = m_filter.Graph();
    if (joined == nullptr || FAILED(joined.As(&graph))) return VFW_E_NOT_IN_GRAPH;
    const std::optional<FrameSize> previous = m_chosen;
    m_chosen = *size;
    if (FAILED(graph->ReconnectEx(this, &ours.Get()))) {
      m_chosen = previous;
      return VFW_E_INVALIDMEDIATYPE;
    }
  }
  if (m_setup.kind == StreamKind::Frames) RecordFormat(m_setup.camera, size->width, size->height);
  return S_OK;
}

STDMETHODIMP CTestCameraPin::GetFormat(AM_MEDIA_TYPE** type) {
  if (type == nullptr) return E_POINTER;
  framework::CAutoLock lock(m_filter.StateLock());
  const dshow::CMediaType current =
      m_peer != nullptr ? m_type
                        : MakeVideoType(m_setup.subtype, CurrentSize(), m_setup.frameInterval);
  *type = dshow::CreateMediaTypeCopy(current.Get());
  return *type != nullptr ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP CTestCameraPin::GetNumberOfCapabilities(int* count, int* size) {
  if (count == nullptr || size == nullptr) return E_POINTER;
  *count = static_cast<int>(m_setup.sizes.size());
  *size = sizeof(VIDEO_STREAM_CONFIG_CAPS);
  return S_OK;
}

STDMETHODIMP CTestCameraPin::GetStreamCaps(int index, AM_MEDIA_TYPE** type, BYTE* caps) {
  if (type == nullptr || caps == nullptr) return E_POINTER;
  if (index < 0) return E_INVALIDARG;
  if (static_cast<std::size_t>(index) >= m_setup.sizes.size()) return S_FALSE;
  const FrameSize size = m_setup.sizes[static_cast<std::size_t>(index)];
  *type =
      dshow::CreateMediaTypeCopy(MakeVideoType(m_setup.subtype, size, m_setup.frameInterval).Get());
  if (*type == nullptr) return E_OUTOFMEMORY;
  VIDEO_STREAM_CONFIG_CAPS filled;
  FillStreamCaps(size, m_setup.frameInterval, filled);
  std::memcpy(caps, &filled, sizeof filled);
  return S_OK;
}

HRESULT CTestCameraPin::DecideBufferSize(IMemAllocator* allocator,
                                         const ALLOCATOR_PROPERTIES& requested) {
  const std::optional<FrameSize> size = DescribeVideoType(ConnectionType().Get(), m_setup.subtype);
  if (!size) return VFW_E_TYPE_NOT_ACCEPTED;
  const long frameBytes = static_cast<long>(FrameBytes(size->width, size->height));
  ALLOCATOR_PROPERTIES wanted = requested;
  // One buffer being filled, one downstream, one spare; stills are rare and large.
  wanted.cBuffers = std::max(wanted.cBuffers, m_setup.kind == StreamKind::Stills ? 2L : 3L);
  wanted.cbBuffer = std::max(wanted.cbBuffer, frameBytes);
  wanted.cbAlign = std::max(wanted.cbAlign, 1L);
  ALLOCATOR_PROPERTIES actual{};
  const HRESULT result = allocator->SetProperties(&wanted, &actual);
  if (FAILED(result)) return result;
  return actual.cbBuffer >= frameBytes && actual.cBuffers >= 1 ? S_OK : E_FAIL;
}

// ---- IKsPropertySet

STDMETHODIMP CTestCameraPin::Set(REFGUID, DWORD, void*, DWORD, void*, DWORD) {
  return E_NOTIMPL;
}

STDMETHODIMP CTestCameraPin::Get(REFGUID set, DWORD id, void*, DWORD, void* data, DWORD dataBytes,
                                 DWORD* returned) {
  if (set != AMPROPSETID_Pin) return E_PROP_SET_UNSUPPORTED;
  if (id != AMPROPERTY_PIN_CATEGORY) return E_PROP_ID_UNSUPPORTED;
  if (data == nullptr && returned == nullptr) return E_POINTER;
  if (returned != nullptr) *returned = sizeof(GUID);
  if (data == nullptr) return S_OK;  // the caller only asks for the size
  if (dataBytes < sizeof(GUID)) return E_UNEXPECTED;
  *static_cast<GUID*>(data) = m_setup.category;
  return S_OK;
}

STDMETHODIMP CTestCameraPin::QuerySupported(REFGUID set, DWORD id, DWORD* support) {
  if (set != AMPROPSETID_Pin) return E_PROP_SET_UNSUPPORTED;
  if (id != AMPROPERTY_PIN_CATEGORY) return E_PROP_ID_UNSUPPORTED;
  if (support != nullptr) *support = KSPROPERTY_SUPPORT_GET;
  return S_OK;
}

// ---- streaming

HRESULT CTestCameraPin::Active() {
  const HRESULT committed = COutputPin::Active();
  if (FAILED(committed) || m_thread || !IsConnected()) return committed;
  if (!m_stop || !m_wake || !m_trigger) return E_OUTOFMEMORY;
  ::ResetEvent(m_stop.Get());
  ::ResetEvent(m_trigger.Get());
  m_thread.Reset(::CreateThread(nullptr, 0, &CTestCameraPin::ThreadMain, this, 0, nullptr));
  if (!m_thread) {
    const HRESULT failed = HRESULT_FROM_WIN32(::GetLastError());
    COutputPin::Inactive();
    return failed;
  }
  return S_OK;
}

HRESULT CTestCameraPin::Inactive() {
  StopStreaming();
  return COutputPin::Inactive();
}

void CTestCameraPin::StopStreaming() {
  if (!m_thread) return;
  ::SetEvent(m_stop.Get());
  // Decommitting ends a wait for a free buffer.
  COutputPin::Inactive();
  // A paused renderer holds the frame it was given until it runs or stops, and a client
  // may stop the camera before it: a flush makes it let go.
  if (::WaitForSingleObject(m_thread.Get(), kStopGraceMs) == WAIT_TIMEOUT) {
    DeliverBeginFlush();
    ::WaitForSingleObject(m_thread.Get(), INFINITE);
    DeliverEndFlush();
  }
  m_thread.Reset();
}

void CTestCameraPin::StateChanged() {
  if (m_wake) ::SetEvent(m_wake.Get());
}

void CTestCameraPin::Trigger() {
  if (m_trigger) ::SetEvent(m_trigger.Get());
}

DWORD WINAPI CTestCameraPin::ThreadMain(void* pin) {
  static_cast<CTestCameraPin*>(pin)->Stream();
  return 0;
}

CTestCameraPin::Wake CTestCameraPin::WaitUntil(std::int64_t due) {
  const HANDLE events[] = {m_stop.Get(), m_wake.Get(), m_trigger.Get()};
  for (;;) {
    DWORD timeoutMs = INFINITE;
    if (due >= 0) {
      const std::int64_t now = CounterNow();
      const std::int64_t unitsPerMs = 10000;
      timeoutMs = now >= due ? 0 : static_cast<DWORD>((due - now + unitsPerMs - 1) / unitsPerMs);
    }
    switch (::WaitForMultipleObjects(3, events, FALSE, timeoutMs)) {
      case WAIT_OBJECT_0:
        return Wake::Stop;
      case WAIT_OBJECT_0 + 1:
        return Wake::StateChanged;
      case WAIT_OBJECT_0 + 2:
        return Wake::Trigger;
      case WAIT_TIMEOUT:
        if (CounterNow() >= due) return Wake::Due;
        break;  // woken a little early: wait for the rest
      default:
        return Wake::Stop;  // the events are gone: nothing sensible left to do
    }
  }
}

void CTestCameraPin::Stream() {
  const std::optional<FrameSize> size = DescribeVideoType(ConnectionType().Get(), m_setup.subtype);
  if (!size) return;
  const CFineTimerPeriod fineTimer;
  const REFERENCE_TIME interval = m_setup.frameInterval;
  const bool paced = m_setup.delivers && interval > 0;
  std::int64_t due = -1;  // when the next paced frame is due; -1 while none is scheduled
  bool first = true;

  for (;;) {
    if (m_filter.State() != State_Running) {
      // A live source sends nothing while paused, and starts a new schedule when it runs.
      due = -1;
      if (WaitUntil(-1) == Wake::Stop) return;
      continue;
    }
    if (paced && due < 0) due = CounterNow();
    const Wake woken = WaitUntil(paced ? due : -1);
    if (woken == Wake::Stop) return;
    if (woken == Wake::StateChanged || !m_setup.delivers) continue;
    // Another state change may have come between the state's reading and the wait.
    if (m_filter.State() != State_Running) continue;
    SendFrame(*size, interval, first);
    first = false;
    if (woken == Wake::Due) {
      due += interval;
      // Fallen behind (a slow receiver): a new schedule from now, not a burst of frames.
      const std::int64_t now = CounterNow();
      if (due < now) due = now;
    }
  }
}

void CTestCameraPin::SendFrame(FrameSize size, REFERENCE_TIME duration, bool first) {
  // A held camera's frames are neither numbered nor sent; the still pin is never held.
  const CDeliveryPassage passage(m_setup.kind == StreamKind::Frames ? m_setup.camera : 0);
  if (!passage.Open()) return;
  ComPtr<IMediaSample> sample;
  // Fails once stopping has decommitted the allocator; the stop event ends the thread next.
  if (FAILED(GetDeliveryBuffer(&sample))) return;
  const std::size_t bytes = FrameBytes(size.width, size.height);
  BYTE* data = nullptr;
  if (FAILED(sample->GetPointer(&data)) || sample->GetSize() < static_cast<long>(bytes)) return;
  DrawFrame(m_setup.camera, size.width, size.height, ++m_sequence, data);
  sample->SetActualDataLength(static_cast<long>(bytes));
  // Stamped with the stream time it was made at, so that no renderer waits for it.
  const ComPtr<IReferenceClock> clock = m_filter.Clock();
  REFERENCE_TIME now = 0;
  if (clock != nullptr && SUCCEEDED(clock->GetTime(&now))) {
    REFERENCE_TIME start = now - m_filter.StreamStart();
    REFERENCE_TIME stop = start + std::max<REFERENCE_TIME>(duration, 1);
    sample->SetTime(&start, &stop);
  } else {
    sample->SetTime(nullptr, nullptr);
  }
  sample->SetSyncPoint(TRUE);
  sample->SetDiscontinuity(first);
  // A receiver that refuses a frame may take the next: a camera keeps going.
  Deliver(sample.Get());
  CountDelivery(m_setup.camera, m_setup.kind);
}

}  // namespace testcamera
