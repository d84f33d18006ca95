#include "vcam/testing/CaptureGraph.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>

#include "vcam/CardLayout.h"
#include "vcam/MediaTypes.h"
#include "vcam/testing/CameraDevices.h"

using Microsoft::WRL::ComPtr;

namespace vcam::testing_support {

namespace {

double Seconds() {
  LARGE_INTEGER now, frequency;
  ::QueryPerformanceCounter(&now);
  ::QueryPerformanceFrequency(&frequency);
  return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

}  // namespace

// Collects what the grabber passes on, on the streaming thread.
class CCaptureGraph::CCallback : public ISampleGrabberCB {
 public:
  STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_ISampleGrabberCB) {
      *object = static_cast<ISampleGrabberCB*>(this);
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  // Owned by a shared_ptr; the grabber's references do not count.
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }

  STDMETHODIMP SampleCB(double, IMediaSample* sample) override {
    GrabbedFrame frame;
    frame.arrivedSeconds = Seconds();
    frame.timed = sample->GetTime(&frame.start, &frame.stop) == S_OK;
    BYTE* data = nullptr;
    const long length = sample->GetActualDataLength();
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_keep > 0 && SUCCEEDED(sample->GetPointer(&data)) && length > 0) {
      frame.bytes.assign(data, data + length);
      m_kept.push_back(frame);
      if (m_kept.size() > m_keep) m_kept.pop_front();
      frame.bytes.clear();
    }
    m_times.push_back(frame);
    m_arrived.notify_all();
    return S_OK;
  }
  STDMETHODIMP BufferCB(double, BYTE*, long) override { return E_NOTIMPL; }

  void Keep(std::size_t count) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_keep = count;
  }
  bool WaitFor(std::size_t count, unsigned timeoutMs) {
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_arrived.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                              [&] { return m_times.size() >= count; });
  }
  std::size_t Count() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_times.size();
  }
  std::vector<GrabbedFrame> Kept() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return {m_kept.begin(), m_kept.end()};
  }
  std::vector<GrabbedFrame> Times() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_times;
  }

 private:
  std::mutex m_mutex;
  std::condition_variable m_arrived;
  std::size_t m_keep = 1;
  std::deque<GrabbedFrame> m_kept;
  std::vector<GrabbedFrame> m_times;
};

GUID SubtypeOf(PixelFormat pixels) {
  switch (pixels) {
    case PixelFormat::Rgb24:
      return MEDIASUBTYPE_RGB24;
    case PixelFormat::Rgb32:
      return MEDIASUBTYPE_RGB32;
    case PixelFormat::Yuy2:
      return MEDIASUBTYPE_YUY2;
    case PixelFormat::I420:
      return kMediaSubtypeI420;
  }
  return GUID_NULL;
}

CCaptureGraph::CCaptureGraph(const std::wstring& cameraName)
    : m_callback(std::make_shared<CCallback>()) {
  if (FAILED(::CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(&m_graph))) ||
      FAILED(m_graph.As(&m_control)))
    return;
  ComPtr<IBaseFilter> camera = OpenVideoInputDevice(cameraName);
  if (camera == nullptr || FAILED(m_graph->AddFilter(camera.Get(), cameraName.c_str()))) return;
  ComPtr<IEnumPins> pins;
  if (FAILED(camera->EnumPins(&pins)) || pins->Next(1, &m_pin, nullptr) != S_OK) return;
  if (FAILED(::CoCreateInstance(CLSID_SampleGrabber, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(&m_grabberFilter))) ||
      FAILED(m_grabberFilter.As(&m_grabber)) ||
      FAILED(m_graph->AddFilter(m_grabberFilter.Get(), L"Grabber")) ||
      FAILED(::CoCreateInstance(CLSID_NullRenderer, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(&m_renderer))) ||
      FAILED(m_graph->AddFilter(m_renderer.Get(), L"Null Renderer"))) {
    m_grabber.Reset();
    return;
  }
  m_grabber->SetCallback(m_callback.get(), 0);
  m_camera = camera;
}

CCaptureGraph::~CCaptureGraph() {
  if (m_control != nullptr) m_control->Stop();
  if (m_grabber != nullptr) m_grabber->SetCallback(nullptr, 0);
}

ComPtr<IAMStreamConfig> CCaptureGraph::StreamConfig() const {
  ComPtr<IAMStreamConfig> config;
  if (m_pin != nullptr) m_pin.As(&config);
  return config;
}

HRESULT CCaptureGraph::Connect(const VideoFormat& format) {
  if (!Ready()) return E_UNEXPECTED;
  const ComPtr<IAMStreamConfig> config = StreamConfig();
  if (config == nullptr) return E_NOINTERFACE;
  dshow::CMediaType type = MakeMediaType(format, kDefaultFrameInterval);
  HRESULT result = config->SetFormat(&type.Get());
  if (FAILED(result)) return result;

  AM_MEDIA_TYPE wanted{};
  wanted.majortype = MEDIATYPE_Video;
  wanted.subtype = SubtypeOf(format.pixels);
  if (FAILED(result = m_grabber->SetMediaType(&wanted))) return result;

  ComPtr<ICaptureGraphBuilder2> builder;
  if (FAILED(result = ::CoCreateInstance(CLSID_CaptureGraphBuilder2, nullptr, CLSCTX_INPROC_SERVER,
                                         IID_PPV_ARGS(&builder))) ||
      FAILED(result = builder->SetFiltergraph(m_graph.Get())) ||
      FAILED(result = builder->RenderStream(&PIN_CATEGORY_CAPTURE, &MEDIATYPE_Video, m_camera.Get(),
                                            m_grabberFilter.Get(), m_renderer.Get())))
    return result;
  m_connected = format;
  return S_OK;
}

OutputLayout CCaptureGraph::ConnectedLayout() const {
  AM_MEDIA_TYPE type{};
  OutputLayout layout;
  if (m_pin != nullptr && SUCCEEDED(m_pin->ConnectionMediaType(&type))) {
    TypeDescription description;
    if (DescribeMediaType(type, description)) layout = description.layout;
    dshow::FreeMediaTypeContents(type);
  }
  return layout;
}

HRESULT CCaptureGraph::ReconnectGrabberOutput() {
  ComPtr<IEnumPins> pins;
  ComPtr<IPin> pin, output, input;
  if (FAILED(m_grabberFilter->EnumPins(&pins))) return E_UNEXPECTED;
  while (pins->Next(1, &pin, nullptr) == S_OK) {
    PIN_DIRECTION direction;
    if (SUCCEEDED(pin->QueryDirection(&direction)) && direction == PINDIR_OUTPUT) output = pin;
    pin.Reset();
  }
  pins.Reset();
  if (output == nullptr || FAILED(m_renderer->EnumPins(&pins)) ||
      pins->Next(1, &input, nullptr) != S_OK)
    return E_UNEXPECTED;
  m_graph->Disconnect(output.Get());
  m_graph->Disconnect(input.Get());
  return m_graph->Connect(output.Get(), input.Get());
}

HRESULT CCaptureGraph::Run() {
  return m_control != nullptr ? m_control->Run() : E_UNEXPECTED;
}

HRESULT CCaptureGraph::Stop() {
  return m_control != nullptr ? m_control->Stop() : E_UNEXPECTED;
}

void CCaptureGraph::KeepFrames(std::size_t count) {
  m_callback->Keep(count);
}

bool CCaptureGraph::WaitForFrames(std::size_t count, unsigned timeoutMs) const {
  return m_callback->WaitFor(count, timeoutMs);
}

std::size_t CCaptureGraph::FrameCount() const {
  return m_callback->Count();
}

std::vector<GrabbedFrame> CCaptureGraph::KeptFrames() const {
  return m_callback->Kept();
}

std::vector<GrabbedFrame> CCaptureGraph::FrameTimes() const {
  return m_callback->Times();
}

GrabbedFrame CCaptureGraph::NextFrame(unsigned timeoutMs) const {
  const std::size_t seen = m_callback->Count();
  if (!m_callback->WaitFor(seen + 1, timeoutMs)) return {};
  std::vector<GrabbedFrame> kept = m_callback->Kept();
  return kept.empty() ? GrabbedFrame{} : kept.back();
}

Pixel PixelAt(const OutputLayout& layout, const std::vector<std::uint8_t>& frame, std::uint32_t x,
              std::uint32_t y) {
  const std::size_t bytesPerPixel = layout.pixels == PixelFormat::Rgb32 ? 4 : 3;
  const std::uint32_t row = layout.bottomUp ? layout.height - 1 - y : y;
  const std::size_t at = layout.stride * row + x * bytesPerPixel;
  if (at + 3 > frame.size()) return {-1, -1, -1};
  return {frame[at], frame[at + 1], frame[at + 2]};
}

bool ShowsCard(const OutputLayout& layout, const std::vector<std::uint8_t>& frame) {
  if (layout.pixels != PixelFormat::Rgb24 && layout.pixels != PixelFormat::Rgb32) return false;
  if (frame.size() < FrameBytes(layout) || layout.width < 16 || layout.height < 16) return false;
  const auto matches = [](const Pixel& pixel, const CardColour& colour, int tolerance) {
    return std::abs(pixel.blue - colour.blue) <= tolerance &&
           std::abs(pixel.green - colour.green) <= tolerance &&
           std::abs(pixel.red - colour.red) <= tolerance;
  };
  const std::uint32_t right = layout.width - 4, bottom = layout.height - 4;
  for (auto [x, y] : {std::pair{4u, 4u}, {right, 4u}, {4u, bottom}, {right, bottom}})
    if (!matches(PixelAt(layout, frame, x, y), kCardBackground, 4)) return false;
  // Some of the title's box is its light text, some of the subtitle's differs from the
  // background: the text was drawn.
  const CardLayout card = LayOutCard(layout.width, layout.height);
  std::size_t titlePixels = 0, subtitlePixels = 0;
  for (std::int32_t y = card.title.top; y < card.title.bottom; ++y)
    for (std::int32_t x = card.title.left; x < card.title.right; ++x)
      if (matches(PixelAt(layout, frame, x, y), kCardTitleColour, 40)) ++titlePixels;
  for (std::int32_t y = card.subtitle.top; y < card.subtitle.bottom; ++y)
    for (std::int32_t x = card.subtitle.left; x < card.subtitle.right; ++x)
      if (!matches(PixelAt(layout, frame, x, y), kCardBackground, 8)) ++subtitlePixels;
  const std::size_t titleArea = static_cast<std::size_t>(card.title.Width()) * card.title.Height();
  const std::size_t subtitleArea =
      static_cast<std::size_t>(card.subtitle.Width()) * card.subtitle.Height();
  return titlePixels * 100 >= titleArea && subtitlePixels * 200 >= subtitleArea;
}

}  // namespace vcam::testing_support
