#include "vcam/testing/testcamera/CameraGraph.h"

#include <atomic>
#include <chrono>
#include <cstdlib>

#include "framework/dshow/MediaType.h"
#include "vcam/DeviceList.h"
#include "vcam/testing/testcamera/TestCamera.h"

using Microsoft::WRL::ComPtr;

namespace testcamera {

namespace {

double Seconds() {
  LARGE_INTEGER now, frequency;
  ::QueryPerformanceCounter(&now);
  ::QueryPerformanceFrequency(&frequency);
  return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

}  // namespace

// Collects what the grabber passes on, on the camera's streaming thread.
class CGrabberBranch::CCollector final : public ISampleGrabberCB {
 public:
  virtual ~CCollector() = default;

  STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_ISampleGrabberCB) {
      *object = static_cast<ISampleGrabberCB*>(this);
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

  STDMETHODIMP SampleCB(double, IMediaSample* sample) override {
    GrabbedFrame frame;
    frame.arrivedSeconds = Seconds();
    BYTE* data = nullptr;
    const long length = sample->GetActualDataLength();
    if (SUCCEEDED(sample->GetPointer(&data)) && length > 0) frame.bytes.assign(data, data + length);
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_count == 0) m_first = frame;
    m_kept.push_back(std::move(frame));
    if (m_kept.size() > kKeptFrames) m_kept.pop_front();
    ++m_count;
    m_arrived.notify_all();
    return S_OK;
  }
  STDMETHODIMP BufferCB(double, BYTE*, long) override { return E_NOTIMPL; }

  std::size_t Count() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_count;
  }
  bool WaitFor(std::size_t count, unsigned timeoutMs) {
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_arrived.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                              [&] { return m_count >= count; });
  }
  std::vector<GrabbedFrame> Kept() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return {m_kept.begin(), m_kept.end()};
  }
  GrabbedFrame First() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_first;
  }

 private:
  std::atomic<ULONG> m_references{1};
  std::mutex m_mutex;
  std::condition_variable m_arrived;
  GrabbedFrame m_first;
  std::deque<GrabbedFrame> m_kept;
  std::size_t m_count = 0;
};

FrameSize VideoSizeOf(const AM_MEDIA_TYPE& type) {
  if (type.formattype != FORMAT_VideoInfo || type.pbFormat == nullptr ||
      type.cbFormat < sizeof(VIDEOINFOHEADER))
    return {};
  const BITMAPINFOHEADER& header =
      reinterpret_cast<const VIDEOINFOHEADER*>(type.pbFormat)->bmiHeader;
  return {static_cast<std::uint32_t>(header.biWidth),
          static_cast<std::uint32_t>(std::labs(header.biHeight))};
}

FrameSize CurrentFormat(IAMStreamConfig* config) {
  AM_MEDIA_TYPE* type = nullptr;
  if (FAILED(config->GetFormat(&type)) || type == nullptr) return {};
  const FrameSize size = VideoSizeOf(*type);
  dshow::DeleteMediaType(type);
  return size;
}

HRESULT SetFormatAsAClient(IAMStreamConfig* config, FrameSize size, WORD bitCount) {
  AM_MEDIA_TYPE* type = nullptr;
  HRESULT result = config->GetFormat(&type);
  if (FAILED(result)) return result;
  if (type->formattype == FORMAT_VideoInfo && type->pbFormat != nullptr &&
      type->cbFormat >= sizeof(VIDEOINFOHEADER)) {
    BITMAPINFOHEADER& header = reinterpret_cast<VIDEOINFOHEADER*>(type->pbFormat)->bmiHeader;
    const DWORD bytes = size.width * size.height * bitCount / 8;
    header.biWidth = static_cast<LONG>(size.width);
    header.biHeight = static_cast<LONG>(size.height);
    header.biSizeImage = bytes;
    header.biBitCount = bitCount;
    type->lSampleSize = bytes;
    result = config->SetFormat(type);
  } else {
    result = E_UNEXPECTED;
  }
  dshow::DeleteMediaType(type);
  return result;
}

// ---- CGrabberBranch

CGrabberBranch::CGrabberBranch(IGraphBuilder* graph) {
  m_collector.Attach(new CCollector());
  if (graph == nullptr || FAILED(graph->QueryInterface(IID_PPV_ARGS(&m_control)))) return;
  AM_MEDIA_TYPE wanted{};
  wanted.majortype = MEDIATYPE_Video;
  wanted.subtype = MEDIASUBTYPE_RGB24;
  ComPtr<IBaseFilter> renderer;
  if (FAILED(::CoCreateInstance(CLSID_SampleGrabber, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(&m_grabberFilter))) ||
      FAILED(m_grabberFilter.As(&m_grabber)) || FAILED(m_grabber->SetMediaType(&wanted)) ||
      FAILED(m_grabber->SetCallback(m_collector.Get(), 0)) ||
      FAILED(graph->AddFilter(m_grabberFilter.Get(), nullptr)) ||
      FAILED(::CoCreateInstance(CLSID_NullRenderer, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(&renderer))) ||
      FAILED(graph->AddFilter(renderer.Get(), nullptr)))
    return;
  m_renderer = renderer;
}

CGrabberBranch::~CGrabberBranch() {
  if (m_control != nullptr) m_control->Stop();
  if (m_grabber != nullptr) m_grabber->SetCallback(nullptr, 0);
}

FrameSize CGrabberBranch::ConnectedSize() const {
  AM_MEDIA_TYPE type{};
  if (m_grabber == nullptr || FAILED(m_grabber->GetConnectedMediaType(&type))) return {};
  const FrameSize size = VideoSizeOf(type);
  dshow::FreeMediaTypeContents(type);
  return size;
}

std::size_t CGrabberBranch::FrameCount() const {
  return m_collector->Count();
}

bool CGrabberBranch::WaitForFrames(std::size_t count, unsigned timeoutMs) const {
  return m_collector->WaitFor(count, timeoutMs);
}

GrabbedFrame CGrabberBranch::FirstFrame() const {
  return m_collector->First();
}

std::vector<GrabbedFrame> CGrabberBranch::KeptFrames() const {
  return m_collector->Kept();
}

// ---- CCameraGraph

CCameraGraph::CCameraGraph(int camera) {
  if (FAILED(::CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(&m_graph))) ||
      FAILED(m_graph.As(&m_control)) ||
      FAILED(::CoCreateInstance(CLSID_CaptureGraphBuilder2, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(&m_builder))) ||
      FAILED(m_builder->SetFiltergraph(m_graph.Get())))
    return;
  const std::wstring name = CameraName(camera);
  ComPtr<IBaseFilter> filter = vcam::OpenVideoInputDevice(name);
  if (filter != nullptr && SUCCEEDED(m_graph->AddFilter(filter.Get(), name.c_str())))
    m_camera = filter;
}

CCameraGraph::~CCameraGraph() {
  if (m_control != nullptr) m_control->Stop();
}

ComPtr<IPin> CCameraGraph::PinOf(const GUID& category) const {
  ComPtr<IPin> pin;
  if (!Ready() ||
      FAILED(m_builder->FindPin(m_camera.Get(), PINDIR_OUTPUT, &category, nullptr, FALSE, 0, &pin)))
    return nullptr;
  return pin;
}

ComPtr<IAMStreamConfig> CCameraGraph::StreamConfigOf(const GUID& category) const {
  ComPtr<IAMStreamConfig> config;
  if (!Ready() || m_builder->FindInterface(&category, nullptr, m_camera.Get(), IID_IAMStreamConfig,
                                           reinterpret_cast<void**>(config.GetAddressOf())) != S_OK)
    return nullptr;
  return config;
}

HRESULT CCameraGraph::Render(const GUID& category, const CGrabberBranch& branch) {
  if (!Ready() || !branch.Ready()) return E_UNEXPECTED;
  return m_builder->RenderStream(&category, &MEDIATYPE_Video, m_camera.Get(), branch.Grabber(),
                                 branch.Renderer());
}

HRESULT CCameraGraph::Run() {
  return m_control != nullptr ? m_control->Run() : E_UNEXPECTED;
}

HRESULT CCameraGraph::Stop() {
  return m_control != nullptr ? m_control->Stop() : E_UNEXPECTED;
}

}  // namespace testcamera
