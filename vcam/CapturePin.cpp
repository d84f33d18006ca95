#include "vcam/CapturePin.h"

#include <mmsystem.h>

#include <algorithm>
#include <cstring>

#include "vcam/FramePacer.h"
#include "vcam/MediaTypes.h"

using Microsoft::WRL::ComPtr;

namespace vcam {

namespace {

// Stream time from the performance counter, for a graph that runs without a clock.
REFERENCE_TIME CounterTime() {
  static const LONGLONG frequency = [] {
    LARGE_INTEGER value;
    ::QueryPerformanceFrequency(&value);
    return value.QuadPart;
  }();
  LARGE_INTEGER now;
  ::QueryPerformanceCounter(&now);
  return static_cast<REFERENCE_TIME>(now.QuadPart / frequency * kUnitsPerSecond +
                                     now.QuadPart % frequency * kUnitsPerSecond / frequency);
}

// Stream time now: by the graph's clock, or by the counter when the graph runs without one.
REFERENCE_TIME StreamTime(IReferenceClock* clock, REFERENCE_TIME start,
                          REFERENCE_TIME counterStart) {
  REFERENCE_TIME now = 0;
  if (clock == nullptr || FAILED(clock->GetTime(&now))) return CounterTime() - counterStart;
  return now - start;
}

// The streaming thread asks the timer for 1 ms waits while it runs; the default period
// (about 16 ms on Windows) would make a frame every 33 ms come out unevenly.
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

bool SameFormat(const dshow::CMediaType& a, const dshow::CMediaType& b) {
  TypeDescription first, second;
  return DescribeMediaType(a.Get(), first) && DescribeMediaType(b.Get(), second) &&
         first.layout.pixels == second.layout.pixels && first.layout.width == second.layout.width &&
         first.layout.height == second.layout.height;
}

}  // namespace

CCapturePin::CCapturePin(dshow::CBaseFilter& filter)
    : COutputPin(filter, L"Capture"),
      m_stop(::CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      m_wake(::CreateEventW(nullptr, FALSE, FALSE, nullptr)) {}

CCapturePin::~CCapturePin() {
  StopStreaming();
}

HRESULT CCapturePin::QueryPinInterface(REFIID iid, void** object) {
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

HRESULT CCapturePin::CheckMediaType(const dshow::CMediaType& type) {
  if (!IsDeliverable(type.Get())) return VFW_E_TYPE_NOT_ACCEPTED;
  framework::CAutoLock lock(m_filter.StateLock());
  if (!m_chosen.IsEmpty() && !SameFormat(type, m_chosen)) return VFW_E_TYPE_NOT_ACCEPTED;
  return S_OK;
}

HRESULT CCapturePin::GetMediaType(int index, dshow::CMediaType& type) {
  framework::CAutoLock lock(m_filter.StateLock());
  if (!m_chosen.IsEmpty()) {
    if (index != 0) return VFW_S_NO_MORE_ITEMS;
    type = m_chosen;
    return S_OK;
  }
  if (index < 0 || static_cast<std::size_t>(index) >= OfferedFormatCount())
    return VFW_S_NO_MORE_ITEMS;
  type = MakeMediaType(OfferedFormat(static_cast<std::size_t>(index)), kDefaultFrameInterval);
  return type.IsEmpty() ? E_OUTOFMEMORY : S_OK;
}

STDMETHODIMP CCapturePin::SetFormat(AM_MEDIA_TYPE* type) {
  framework::CAutoLock lock(m_filter.StateLock());
  if (m_filter.State() != State_Stopped) return VFW_E_NOT_STOPPED;
  if (type == nullptr) {
    // Back to offering every format; a connection keeps the one it has.
    m_chosen.Clear();
    return S_OK;
  }
  if (!IsDeliverable(*type)) return VFW_E_INVALIDMEDIATYPE;
  const dshow::CMediaType chosen(*type);
  if (m_peer == nullptr) {
    m_chosen = chosen;
    return S_OK;
  }
  // Connected: the other pin must take the new format, and the graph reconnects both.
  if (m_peer->QueryAccept(type) != S_OK) return VFW_E_INVALIDMEDIATYPE;
  ComPtr<IFilterGraph2> graph;
  const ComPtr<IFilterGraph> joined = m_filter.Graph();
  if (joined == nullptr || FAILED(joined.As(&graph))) return VFW_E_NOT_IN_GRAPH;
  const dshow::CMediaType previous = m_chosen;
  m_chosen = chosen;
  const HRESULT reconnected = graph->ReconnectEx(this, type);
  if (FAILED(reconnected)) {
    m_chosen = previous;
    return VFW_E_INVALIDMEDIATYPE;
  }
  return S_OK;
}

STDMETHODIMP CCapturePin::GetFormat(AM_MEDIA_TYPE** type) {
  if (type == nullptr) return E_POINTER;
  framework::CAutoLock lock(m_filter.StateLock());
  const dshow::CMediaType current = m_peer != nullptr ? m_type
                                    : !m_chosen.IsEmpty()
                                        ? m_chosen
                                        : MakeMediaType(OfferedFormat(0), kDefaultFrameInterval);
  *type = dshow::CreateMediaTypeCopy(current.Get());
  return *type != nullptr ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP CCapturePin::GetNumberOfCapabilities(int* count, int* size) {
  if (count == nullptr || size == nullptr) return E_POINTER;
  *count = static_cast<int>(OfferedFormatCount());
  *size = sizeof(VIDEO_STREAM_CONFIG_CAPS);
  return S_OK;
}

STDMETHODIMP CCapturePin::GetStreamCaps(int index, AM_MEDIA_TYPE** type, BYTE* caps) {
  if (type == nullptr || caps == nullptr) return E_POINTER;
  if (index < 0) return E_INVALIDARG;
  if (static_cast<std::size_t>(index) >= OfferedFormatCount()) return S_FALSE;
  const VideoFormat format = OfferedFormat(static_cast<std::size_t>(index));
  *type = dshow::CreateMediaTypeCopy(MakeMediaType(format, kDefaultFrameInterval).Get());
  if (*type == nullptr) return E_OUTOFMEMORY;
  VIDEO_STREAM_CONFIG_CAPS filled;
  FillStreamCaps(format, filled);
  std::memcpy(caps, &filled, sizeof filled);
  return S_OK;
}

HRESULT CCapturePin::DecideBufferSize(IMemAllocator* allocator,
                                      const ALLOCATOR_PROPERTIES& requested) {
  TypeDescription description;
  if (!DescribeMediaType(ConnectionType().Get(), description)) return VFW_E_TYPE_NOT_ACCEPTED;
  const long frameBytes = static_cast<long>(FrameBytes(description.layout));
  ALLOCATOR_PROPERTIES wanted = requested;
  // One buffer being filled, one downstream, one spare.
  wanted.cBuffers = std::max(wanted.cBuffers, 3L);
  wanted.cbBuffer = std::max(wanted.cbBuffer, frameBytes);
  wanted.cbAlign = std::max(wanted.cbAlign, 1L);
  ALLOCATOR_PROPERTIES actual{};
  const HRESULT result = allocator->SetProperties(&wanted, &actual);
  if (FAILED(result)) return result;
  return actual.cbBuffer >= frameBytes && actual.cBuffers >= 1 ? S_OK : E_FAIL;
}

// ---- IKsPropertySet

STDMETHODIMP CCapturePin::Set(REFGUID, DWORD, void*, DWORD, void*, DWORD) {
  return E_NOTIMPL;
}

STDMETHODIMP CCapturePin::Get(REFGUID set, DWORD id, void*, DWORD, void* data, DWORD dataBytes,
                              DWORD* returned) {
  if (set != AMPROPSETID_Pin) return E_PROP_SET_UNSUPPORTED;
  if (id != AMPROPERTY_PIN_CATEGORY) return E_PROP_ID_UNSUPPORTED;
  if (data == nullptr && returned == nullptr) return E_POINTER;
  if (returned != nullptr) *returned = sizeof(GUID);
  if (data == nullptr) return S_OK;  // the caller only asks for the size
  if (dataBytes < sizeof(GUID)) return E_UNEXPECTED;
  *static_cast<GUID*>(data) = PIN_CATEGORY_CAPTURE;
  return S_OK;
}

STDMETHODIMP CCapturePin::QuerySupported(REFGUID set, DWORD id, DWORD* support) {
  if (set != AMPROPSETID_Pin) return E_PROP_SET_UNSUPPORTED;
  if (id != AMPROPERTY_PIN_CATEGORY) return E_PROP_ID_UNSUPPORTED;
  if (support != nullptr) *support = KSPROPERTY_SUPPORT_GET;
  return S_OK;
}

// ---- streaming

HRESULT CCapturePin::Active() {
  const HRESULT committed = COutputPin::Active();
  if (FAILED(committed) || m_thread) return committed;
  if (!m_stop || !m_wake) return E_OUTOFMEMORY;
  ::ResetEvent(m_stop.Get());
  m_thread.Reset(::CreateThread(nullptr, 0, &CCapturePin::ThreadMain, this, 0, nullptr));
  if (!m_thread) {
    COutputPin::Inactive();
    return HRESULT_FROM_WIN32(::GetLastError());
  }
  return S_OK;
}

HRESULT CCapturePin::Inactive() {
  StopStreaming();
  return COutputPin::Inactive();
}

void CCapturePin::StopStreaming() {
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

void CCapturePin::StateChanged() {
  if (m_wake) ::SetEvent(m_wake.Get());
}

DWORD WINAPI CCapturePin::ThreadMain(void* pin) {
  static_cast<CCapturePin*>(pin)->Stream();
  return 0;
}

CCapturePin::Wake CCapturePin::WaitUntil(IReferenceClock* clock, REFERENCE_TIME start,
                                         REFERENCE_TIME counterStart, REFERENCE_TIME due) {
  // Timed waits against the clock's reading, not IReferenceClock::AdviseTime: Wine's system
  // clock starts its advise thread at the first advice, and when the graph is released
  // before that thread first waits, the thread misses the wake-up meant to end it and the
  // release waits for it forever (docs/wine-notes.md). A graph stopped soon after it ran
  // then hung its client. Reading the clock after each wait keeps the graph's time.
  const HANDLE events[] = {m_stop.Get(), m_wake.Get()};
  for (;;) {
    const REFERENCE_TIME now = StreamTime(clock, start, counterStart);
    if (now >= due) return Wake::Due;
    const REFERENCE_TIME unitsPerMs = 10000;
    const DWORD waitMs = static_cast<DWORD>((due - now + unitsPerMs - 1) / unitsPerMs);
    const DWORD woken = ::WaitForMultipleObjects(2, events, FALSE, waitMs);
    if (woken == WAIT_OBJECT_0) return Wake::Stop;
    if (woken == WAIT_OBJECT_0 + 1) return Wake::StateChanged;
  }
}

void CCapturePin::Stream() {
  TypeDescription description;
  if (!DescribeMediaType(ConnectionType().Get(), description)) return;
  OutputLayout layout = description.layout;
  CFramePacer pacer(description.frameInterval > 0 ? description.frameInterval
                                                  : kDefaultFrameInterval);
  const CFineTimerPeriod fineTimer;
  const REFERENCE_TIME counterStart = CounterTime();
  bool first = true;

  for (;;) {
    if (::WaitForSingleObject(m_stop.Get(), 0) == WAIT_OBJECT_0) return;
    if (m_filter.State() != State_Running) {
      // A live source sends nothing while paused.
      const HANDLE events[] = {m_stop.Get(), m_wake.Get()};
      if (::WaitForMultipleObjects(2, events, FALSE, INFINITE) == WAIT_OBJECT_0) return;
      continue;
    }

    const ComPtr<IReferenceClock> clock = m_filter.Clock();
    const REFERENCE_TIME start = m_filter.StreamStart();
    const REFERENCE_TIME due = pacer.NextDue(StreamTime(clock.Get(), start, counterStart));
    const Wake woken = WaitUntil(clock.Get(), start, counterStart, due);
    if (woken == Wake::Stop) return;
    if (woken == Wake::StateChanged) continue;

    ComPtr<IMediaSample> sample;
    if (FAILED(GetDeliveryBuffer(&sample))) {
      // Decommitted: the filter is stopping.
      if (::WaitForSingleObject(m_stop.Get(), 10) == WAIT_OBJECT_0) return;
      continue;
    }
    // A renderer may hand out a buffer of another layout (a wider stride) with its type.
    AM_MEDIA_TYPE* changed = nullptr;
    if (sample->GetMediaType(&changed) == S_OK && changed != nullptr) {
      TypeDescription offered;
      if (DescribeMediaType(*changed, offered) && offered.layout.pixels == layout.pixels &&
          offered.layout.width == layout.width && offered.layout.height == layout.height) {
        layout = offered.layout;
        SetConnectionType(dshow::CMediaType(*changed));
      }
      dshow::DeleteMediaType(changed);
    }

    BYTE* data = nullptr;
    const long size = sample->GetSize();
    if (FAILED(sample->GetPointer(&data)) || size <= 0 ||
        !m_producer.Fill(layout, data, static_cast<std::size_t>(size),
                         static_cast<std::int64_t>(::GetTickCount64()))) {
      pacer.Sent();  // this frame is lost; the next keeps the schedule
      continue;
    }
    sample->SetActualDataLength(static_cast<long>(FrameBytes(layout)));
    if (clock != nullptr) {
      REFERENCE_TIME end = due + pacer.Interval();
      REFERENCE_TIME begin = due;
      sample->SetTime(&begin, &end);
    } else {
      sample->SetTime(nullptr, nullptr);
    }
    LONGLONG frameNumber = pacer.FramesSent(), nextNumber = frameNumber + 1;
    sample->SetMediaTime(&frameNumber, &nextNumber);
    sample->SetSyncPoint(TRUE);
    sample->SetDiscontinuity(first);
    first = false;
    // A downstream filter that refuses a frame may take the next: a camera keeps going.
    Deliver(sample.Get());
    pacer.Sent();
  }
}

}  // namespace vcam
