#include "camera/CaptureVideo.h"

#include "camera/CaptureSizes.h"
#include "camera/SampleGrabberCB.h"
#include "feed/ErrorMessageText.h"
#include "framework/WarningBox.h"
#include "framework/dshow/MediaType.h"

using Microsoft::WRL::ComPtr;

namespace camera {
namespace {

// What both grabbers ask for: 24-bit RGB video of any format, so that the graph puts a
// colour converter in front of them when the camera delivers something else.
AM_MEDIA_TYPE Rgb24VideoType() {
  AM_MEDIA_TYPE type{};
  type.majortype = MEDIATYPE_Video;
  type.subtype = MEDIASUBTYPE_RGB24;
  return type;
}

constexpr int kStreamCapsSize = sizeof(VIDEO_STREAM_CONFIG_CAPS);
static_assert(kStreamCapsSize == 128, "the capability block callers rely on");
constexpr ULONG kVideoInfoSize = sizeof(VIDEOINFOHEADER);
static_assert(kVideoInfoSize == 88, "the format block callers rely on");

// An AM_MEDIA_TYPE handed out by a pin, freed with it.
struct OwnedMediaType {
  AM_MEDIA_TYPE* type = nullptr;
  OwnedMediaType() = default;
  OwnedMediaType(const OwnedMediaType&) = delete;
  OwnedMediaType& operator=(const OwnedMediaType&) = delete;
  ~OwnedMediaType() { dshow::DeleteMediaType(type); }
};

// The VIDEOINFOHEADER of a FORMAT_VideoInfo type whose block is large enough, or null.
VIDEOINFOHEADER* VideoInfoOf(AM_MEDIA_TYPE* type) {
  if (type == nullptr || type->pbFormat == nullptr || type->formattype != FORMAT_VideoInfo ||
      type->cbFormat < kVideoInfoSize)
    return nullptr;
  return reinterpret_cast<VIDEOINFOHEADER*>(type->pbFormat);
}

// The stream configuration of the capture filter's pin of category, when it answers S_OK.
ComPtr<IAMStreamConfig> FindStreamConfig(ICaptureGraphBuilder2* builder, IBaseFilter* filter,
                                         const GUID& category) {
  ComPtr<IAMStreamConfig> config;
  const HRESULT hr = builder->FindInterface(&category, nullptr, filter, IID_IAMStreamConfig,
                                            reinterpret_cast<void**>(config.GetAddressOf()));
  if (hr != S_OK) return nullptr;
  return config;
}

// Asks the pin for the request, or its largest size when it cannot reach the request; the
// largest size, when the pin offers any video size at all.
std::optional<FrameSize> NegotiateSize(IAMStreamConfig* config, FrameSize requested) {
  int count = 0, size = 0;
  if (FAILED(config->GetNumberOfCapabilities(&count, &size)) || size != kStreamCapsSize)
    return std::nullopt;
  std::vector<FrameSize> offers;
  for (int index = 0; index < count; ++index) {
    OwnedMediaType entry;
    VIDEO_STREAM_CONFIG_CAPS caps{};
    if (FAILED(config->GetStreamCaps(index, &entry.type, reinterpret_cast<BYTE*>(&caps)))) continue;
    if (const VIDEOINFOHEADER* info = VideoInfoOf(entry.type))
      offers.push_back({info->bmiHeader.biWidth, info->bmiHeader.biHeight});
  }
  const std::optional<FrameSize> largest = LargestOfferedSize(offers);
  if (!largest) return std::nullopt;
  const FrameSize target = StreamTargetSize(requested, *largest);

  OwnedMediaType current;
  if (SUCCEEDED(config->GetFormat(&current.type))) {
    if (VIDEOINFOHEADER* info = VideoInfoOf(current.type)) {
      const LONG bytes = target.width * target.height * 3;
      info->bmiHeader.biWidth = target.width;
      info->bmiHeader.biHeight = target.height;
      info->bmiHeader.biSizeImage = static_cast<DWORD>(bytes);
      info->bmiHeader.biBitCount = 24;
      current.type->lSampleSize = static_cast<ULONG>(bytes);
      // A camera that refuses keeps its own size; the connected type tells which it is.
      config->SetFormat(current.type);
    }
  }
  return largest;
}

// Reads the frame size a grabber connected with into callback.
HRESULT ReadConnectedSize(ISampleGrabber* grabber, CSampleGrabberCB& callback) {
  AM_MEDIA_TYPE type{};
  const HRESULT hr = grabber->GetConnectedMediaType(&type);
  if (FAILED(hr)) return hr;
  if (const VIDEOINFOHEADER* info = VideoInfoOf(&type)) {
    callback.m_frameWidth = info->bmiHeader.biWidth;
    callback.m_frameHeight = info->bmiHeader.biHeight;
  }
  dshow::FreeMediaTypeContents(type);
  return S_OK;
}

// The video input devices, or null with the result that stands for "no list".
HRESULT OpenVideoDeviceList(ComPtr<IEnumMoniker>& devices) {
  ComPtr<ICreateDevEnum> enumerator;
  if (::CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER,
                         IID_PPV_ARGS(&enumerator)) != S_OK)
    return E_FAIL;
  // S_FALSE: the category is empty.
  if (enumerator->CreateClassEnumerator(CLSID_VideoInputDeviceCategory, &devices, 0) != S_OK ||
      devices == nullptr)
    return E_FAIL;
  devices->Reset();
  return S_OK;
}

// The moniker's FriendlyName; false when it cannot be read.
bool ReadFriendlyName(IMoniker* moniker, std::wstring& name) {
  ComPtr<IPropertyBag> properties;
  if (FAILED(moniker->BindToStorage(nullptr, nullptr, IID_PPV_ARGS(&properties)))) return false;
  VARIANT value;
  ::VariantInit(&value);
  value.vt = VT_BSTR;
  const bool read = properties->Read(L"FriendlyName", &value, nullptr) == S_OK;
  if (read && value.vt == VT_BSTR && value.bstrVal != nullptr) name = value.bstrVal;
  ::VariantClear(&value);
  return read;
}

}  // namespace

CCaptureVideo::CCaptureVideo() : m_comResult(::CoInitialize(nullptr)) {
  if (FAILED(m_comResult)) framework::ShowWarningBox(L"CoInitialize Failed!\r\n");
}

CCaptureVideo::~CCaptureVideo() {
  TearDownGraph();
  if (SUCCEEDED(m_comResult)) ::CoUninitialize();
}

HRESULT CCaptureVideo::CreateGraphObjects() {
  HRESULT hr =
      ::CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&m_pGraph));
  if (SUCCEEDED(hr))
    hr = ::CoCreateInstance(CLSID_CaptureGraphBuilder2, nullptr,
                            CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER,
                            IID_PPV_ARGS(&m_pCaptureBuilder));
  if (SUCCEEDED(hr)) hr = m_pCaptureBuilder->SetFiltergraph(m_pGraph.Get());
  if (SUCCEEDED(hr)) hr = m_pGraph.As(&m_pMediaControl);
  if (SUCCEEDED(hr)) hr = m_pGraph.As(&m_pVideoWindow);
  if (FAILED(hr)) framework::ShowWarningBox(L"Failed to get video interfaces!");
  return hr;
}

HRESULT CCaptureVideo::BuildGraph(int deviceIndex, HWND host, int requestedWidth,
                                  int requestedHeight) {
  TearDownGraph();
  HRESULT hr = CreateGraphObjects();
  if (FAILED(hr)) return hr;
  if (deviceIndex < 0 || !BindVideoDevice(deviceIndex, m_pCaptureFilter)) return 1;

  // A position that bound nothing fails here, as adding a missing filter does.
  hr =
      m_pCaptureFilter ? m_pGraph->AddFilter(m_pCaptureFilter.Get(), L"Capture Filter") : E_POINTER;
  if (FAILED(hr)) return hr;

  hr = ::CoCreateInstance(CLSID_SampleGrabber, nullptr, CLSCTX_INPROC_SERVER,
                          IID_PPV_ARGS(&m_pGrabber));
  if (FAILED(hr)) {
    framework::ShowWarningBox(L"Fail to create SampleGrabber, maybe qedit.dll is not registered?");
    return hr;
  }
  ComPtr<IBaseFilter> grabberFilter;
  hr = m_pGrabber.As(&grabberFilter);
  AM_MEDIA_TYPE wanted = Rgb24VideoType();
  if (SUCCEEDED(hr)) hr = m_pGrabber->SetMediaType(&wanted);
  if (FAILED(hr)) {
    framework::ShowWarningBox(L"Fail to set media type!");
    return hr;
  }
  hr = m_pGraph->AddFilter(grabberFilter.Get(), L"Grabber");
  if (FAILED(hr)) {
    framework::ShowWarningBox(L"Fail to put sample grabber in graph");
    return hr;
  }

  NegotiateStreamSize(requestedWidth, requestedHeight);

  hr = m_pCaptureBuilder->RenderStream(&PIN_CATEGORY_PREVIEW, &MEDIATYPE_Video,
                                       m_pCaptureFilter.Get(), grabberFilter.Get(), nullptr);
  if (FAILED(hr))
    hr = m_pCaptureBuilder->RenderStream(&PIN_CATEGORY_CAPTURE, &MEDIATYPE_Video,
                                         m_pCaptureFilter.Get(), grabberFilter.Get(), nullptr);
  if (FAILED(hr)) {
    framework::ShowWarningBox(std::wstring(L"Can\u2019t build the graph") +
                              feed::ErrorMessageText(hr));
    return hr;
  }

  hr = ReadConnectedSize(m_pGrabber.Get(), g_frameGrabberCB);
  if (FAILED(hr)) {
    framework::ShowWarningBox(L"Failt to read the connected media type");
    return hr;
  }

  hr = m_pGrabber->SetBufferSamples(FALSE);
  if (SUCCEEDED(hr)) hr = m_pGrabber->SetOneShot(FALSE);
  if (SUCCEEDED(hr)) hr = m_pGrabber->SetCallback(&g_frameGrabberCB, 1);
  if (FAILED(hr)) return hr;

  m_hwndPreviewHost = host;
  AttachPreviewWindow();
  AddStillBranch(requestedWidth, requestedHeight);

  hr = m_pMediaControl->Run();
  if (FAILED(hr)) {
    framework::ShowWarningBox(L"");
    return hr;
  }
  return S_OK;
}

void CCaptureVideo::NegotiateStreamSize(int requestedWidth, int requestedHeight) {
  ComPtr<IAMStreamConfig> config =
      FindStreamConfig(m_pCaptureBuilder.Get(), m_pCaptureFilter.Get(), PIN_CATEGORY_PREVIEW);
  if (!config)
    config =
        FindStreamConfig(m_pCaptureBuilder.Get(), m_pCaptureFilter.Get(), PIN_CATEGORY_CAPTURE);
  if (!config) return;
  if (const std::optional<FrameSize> largest =
          NegotiateSize(config.Get(), {requestedWidth, requestedHeight})) {
    g_frameGrabberCB.m_maxCapWidth = largest->width;
    g_frameGrabberCB.m_maxCapHeight = largest->height;
  }
}

void CCaptureVideo::NegotiateStillSize(int requestedWidth, int requestedHeight) {
  const ComPtr<IAMStreamConfig> config =
      FindStreamConfig(m_pCaptureBuilder.Get(), m_pCaptureFilter.Get(), PIN_CATEGORY_STILL);
  if (config) NegotiateSize(config.Get(), {requestedWidth, requestedHeight});
}

void CCaptureVideo::AddStillBranch(int requestedWidth, int requestedHeight) {
  // Only cameras with video control and a still pin get the branch; the others quietly not.
  {
    ComPtr<IAMVideoControl> videoControl;
    if (FAILED(m_pCaptureFilter.As(&videoControl))) return;
    ComPtr<IPin> stillPin;
    if (FAILED(m_pCaptureBuilder->FindPin(m_pCaptureFilter.Get(), PINDIR_OUTPUT,
                                          &PIN_CATEGORY_STILL, nullptr, FALSE, 0, &stillPin)))
      return;
  }
  const auto fail = [](HRESULT hr) { framework::ShowWarningBox(feed::ErrorMessageText(hr)); };

  HRESULT hr = ::CoCreateInstance(CLSID_SampleGrabber, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_PPV_ARGS(&m_pStillGrabber));
  if (FAILED(hr)) return fail(hr);
  ComPtr<IBaseFilter> stillGrabberFilter;
  hr = m_pStillGrabber.As(&stillGrabberFilter);
  AM_MEDIA_TYPE wanted = Rgb24VideoType();
  if (SUCCEEDED(hr)) hr = m_pStillGrabber->SetMediaType(&wanted);
  if (SUCCEEDED(hr)) hr = m_pGraph->AddFilter(stillGrabberFilter.Get(), L"SampleGrab");
  if (FAILED(hr)) return fail(hr);

  hr = ::CoCreateInstance(CLSID_NullRenderer, nullptr, CLSCTX_INPROC_SERVER,
                          IID_PPV_ARGS(&m_pNullRenderer));
  if (FAILED(hr)) return fail(hr);
  if (FAILED(m_pGraph->AddFilter(m_pNullRenderer.Get(), L"NullRender"))) return;

  NegotiateStillSize(requestedWidth, requestedHeight);

  hr =
      m_pCaptureBuilder->RenderStream(&PIN_CATEGORY_STILL, &MEDIATYPE_Video, m_pCaptureFilter.Get(),
                                      stillGrabberFilter.Get(), m_pNullRenderer.Get());
  if (SUCCEEDED(hr)) hr = m_pStillGrabber->SetOneShot(FALSE);
  if (SUCCEEDED(hr)) hr = m_pStillGrabber->SetBufferSamples(FALSE);
  if (SUCCEEDED(hr)) hr = m_pStillGrabber->SetCallback(&g_stillGrabberCB, 1);
  if (SUCCEEDED(hr)) hr = ReadConnectedSize(m_pStillGrabber.Get(), g_stillGrabberCB);
  if (FAILED(hr)) fail(hr);
}

void CCaptureVideo::AttachPreviewWindow() {
  if (!m_pVideoWindow) return;
  if (FAILED(m_pVideoWindow->put_Owner(reinterpret_cast<OAHWND>(m_hwndPreviewHost)))) return;
  if (FAILED(m_pVideoWindow->put_WindowStyle(WS_CHILD | WS_CLIPCHILDREN))) return;
  FitPreviewWindow();
  m_pVideoWindow->put_Visible(OATRUE);
}

void CCaptureVideo::FitPreviewWindow() {
  if (!m_pVideoWindow) return;
  RECT client{};
  ::GetClientRect(m_hwndPreviewHost, &client);
  m_pVideoWindow->SetWindowPosition(0, 0, client.right, client.bottom);
}

void CCaptureVideo::TearDownGraph() {
  // Stopping returns once the streaming threads have left the callbacks.
  if (m_pMediaControl) m_pMediaControl->Stop();
  if (m_pVideoWindow) {
    m_pVideoWindow->put_Visible(OAFALSE);
    m_pVideoWindow->put_Owner(0);
  }
  m_pNullRenderer.Reset();
  m_pStillGrabber.Reset();
  m_pCaptureBuilder.Reset();
  m_pMediaControl.Reset();
  m_pGraph.Reset();
  m_pCaptureFilter.Reset();
  m_pGrabber.Reset();
  m_pVideoWindow.Reset();
}

int CCaptureVideo::EnumerateVideoDevices(std::vector<std::wstring>& names) {
  names.clear();
  ComPtr<IEnumMoniker> devices;
  if (FAILED(OpenVideoDeviceList(devices))) return -1;
  int count = 0;
  ComPtr<IMoniker> moniker;
  while (devices->Next(1, moniker.ReleaseAndGetAddressOf(), nullptr) == S_OK) {
    std::wstring name;
    if (ReadFriendlyName(moniker.Get(), name)) {
      names.push_back(name);
      ++count;
    }
  }
  return count;
}

bool CCaptureVideo::BindVideoDevice(int position, ComPtr<IBaseFilter>& filter) {
  ComPtr<IEnumMoniker> devices;
  if (FAILED(OpenVideoDeviceList(devices))) return false;
  ComPtr<IMoniker> moniker;
  for (int index = 0; devices->Next(1, moniker.ReleaseAndGetAddressOf(), nullptr) == S_OK;
       ++index) {
    if (index != position) continue;
    std::wstring name;
    if (ReadFriendlyName(moniker.Get(), name))
      moniker->BindToObject(nullptr, nullptr, IID_PPV_ARGS(&filter));
    break;
  }
  return true;
}

}  // namespace camera
