#include "feed/CMyVideoPlayer.h"

#include "app/Log.h"
#include "feed/CMyVideoSampleGrabberCB.h"
#include "feed/ColourConverterFilter.h"
#include "feed/ErrorMessageText.h"
#include "feed/GraphBuilding.h"
#include "feed/MediaPathRules.h"

using Microsoft::WRL::ComPtr;

namespace feed {

namespace {

constexpr char kLogModule[] = "CMyVideoPlayer";
constexpr long kSilence = -10000;

void DebugOutputError(HRESULT code) {
  ::OutputDebugStringW((ErrorMessageText(code) + L"\n").c_str());
}

}  // namespace

CMyVideoPlayer::CMyVideoPlayer() {
  const HRESULT initialised = ::CoInitialize(nullptr);
  m_comInitialised = SUCCEEDED(initialised);
  if (!m_comInitialised)
    ::MessageBoxW(nullptr, L"CoInitialize Failed!\r\n", L"Ostrivane", MB_OK | MB_ICONWARNING);
}

CMyVideoPlayer::~CMyVideoPlayer() {
  ReleaseGraph();
  // Only a successful CoInitialize is balanced: another would end COM for the thread
  // under someone else's feet.
  if (m_comInitialised) ::CoUninitialize();
}

HRESULT CMyVideoPlayer::PlayToCamera(const wchar_t* path, HWND videoWindow) {
  // The source route with the grabber and sound; whatever fails there, the graph
  // manager's own rendering of the whole file gets a try.
  if (SUCCEEDED(PlayInWindow(path, videoWindow, false, true))) return S_OK;
  return PlayInWindow(path, videoWindow, true, true);
}

HRESULT CMyVideoPlayer::PlayInWindow(const wchar_t* path, HWND videoWindow, bool renderWholeFile,
                                     bool feedCamera) {
  ReleaseGraph();
  HRESULT result = CreateGraph();
  if (FAILED(result)) {
    DebugOutputError(result);
    return result;
  }

  ComPtr<IBaseFilter> grabberFilter;
  if (feedCamera) {
    if (FAILED(result = CreateGrabber())) return result;
    if (FAILED(result = m_grabber.As(&grabberFilter))) return result;
  }

  m_videoWindow = videoWindow;
  if (FAILED(result = AddWindowlessRenderer())) return result;

  result = renderWholeFile ? BuildRenderFileGraph(grabberFilter.Get(), feedCamera, path)
                           : BuildSourceGraph(path, grabberFilter.Get(), true, feedCamera);
  if (FAILED(result)) return result;

  if (feedCamera) ReadNativeSize();

  result = m_events->SetNotifyWindow(reinterpret_cast<OAHWND>(::GetParent(videoWindow)),
                                     WM_PLAYER_EVENT, 0);
  if (FAILED(result)) return result;

  if (m_windowless != nullptr && FAILED(result = FitVideoToWindow())) return result;
  return Run();
}

HRESULT CMyVideoPlayer::CreateGraph() {
  HRESULT result =
      ::CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&m_graph));
  if (FAILED(result)) return result;
  if (FAILED(result = m_graph.As(&m_control))) return result;
  if (FAILED(result = m_graph.As(&m_events))) return result;
  if (FAILED(result = m_graph.As(&m_seeking))) return result;
  return m_graph.As(&m_audio);
}

HRESULT CMyVideoPlayer::CreateGrabber() {
  HRESULT result = ::CoCreateInstance(CLSID_SampleGrabber, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_PPV_ARGS(&m_grabber));
  if (FAILED(result)) {
    LOG_ERROR(kLogModule, L"Fail to create SampleGrabber, maybe qedit.dll is not registered?");
    return result;
  }
  // Any 24-bit RGB video: the format type stays open.
  AM_MEDIA_TYPE type{};
  type.majortype = MEDIATYPE_Video;
  type.subtype = MEDIASUBTYPE_RGB24;
  if (FAILED(result = m_grabber->SetMediaType(&type))) {
    LOG_ERROR(kLogModule, L"Fail to set media type!");
    return result;
  }
  if (FAILED(result = m_grabber->SetBufferSamples(FALSE))) return result;
  if (FAILED(result = m_grabber->SetOneShot(FALSE))) return result;
  return m_grabber->SetCallback(&g_videoGrabberCallback, 1);
}

HRESULT CMyVideoPlayer::AddWindowlessRenderer() {
  ComPtr<IBaseFilter> renderer;
  HRESULT result =
      ::CoCreateInstance(CLSID_VideoMixingRenderer, nullptr,
                         CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER, IID_PPV_ARGS(&renderer));
  if (FAILED(result)) return result;
  if (FAILED(result = m_graph->AddFilter(renderer.Get(), L"Video Mixing Renderer"))) return result;

  ComPtr<IVMRFilterConfig> config;
  if (FAILED(result = renderer.As(&config))) return result;
  if (FAILED(result = config->SetRenderingMode(VMRMode_Windowless))) return result;

  if (FAILED(result = renderer.As(&m_windowless))) return result;
  if (FAILED(result = m_windowless->SetVideoClippingWindow(m_videoWindow))) return result;
  // Some renderers do not implement the border colour; the default border is black anyway.
  result = m_windowless->SetBorderColor(RGB(0, 0, 0));
  return result == E_NOTIMPL ? S_OK : result;
}

HRESULT CMyVideoPlayer::AddColourConverter(ComPtr<IBaseFilter>& converter) {
  converter = CColourConverterFilter::Create();
  return m_graph->AddFilter(converter.Get(), L"Colour Converter");
}

void CMyVideoPlayer::RemoveIfUnused(IBaseFilter* filter) {
  if (filter != nullptr && !IsAnyPinConnected(filter)) m_graph->RemoveFilter(filter);
}

HRESULT CMyVideoPlayer::BuildSourceGraph(const wchar_t* path, IBaseFilter* grabber, bool withAudio,
                                         bool useGrabber) {
  if (IsWindowsMediaPath(path)) return E_FAIL;

  ComPtr<IFileSourceFilter> fileSource;
  HRESULT result = ::CoCreateInstance(CLSID_AsyncReader, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_PPV_ARGS(&fileSource));
  if (FAILED(result)) return result;
  if (FAILED(result = fileSource->Load(path, nullptr))) return result;
  ComPtr<IBaseFilter> source;
  if (FAILED(result = fileSource.As(&source))) return result;
  if (FAILED(result = m_graph->AddFilter(source.Get(), L"File Source"))) return result;

  ComPtr<IPin> sourceOutput;
  if (FAILED(result = FindUnconnectedPin(source.Get(), PINDIR_OUTPUT, &sourceOutput)))
    return result;
  ComPtr<IPin> toRender = sourceOutput;
  if (useGrabber) {
    if (FAILED(result = m_graph->AddFilter(grabber, L"Grabber"))) return result;
    ComPtr<IPin> grabberInput;
    if (FAILED(result = FindUnconnectedPin(grabber, PINDIR_INPUT, &grabberInput))) return result;
    // The graph manager inserts the splitter and decoder that lead to 24-bit RGB.
    if (FAILED(result = m_graph->Connect(sourceOutput.Get(), grabberInput.Get()))) return result;
    if (FAILED(result =
                   FindUnconnectedPin(grabber, PINDIR_OUTPUT, toRender.ReleaseAndGetAddressOf())))
      return result;
  }

  ComPtr<IBaseFilter> audioRenderer;
  if (withAudio && SUCCEEDED(::CoCreateInstance(CLSID_DSoundRender, nullptr, CLSCTX_INPROC_SERVER,
                                                IID_PPV_ARGS(&audioRenderer)))) {
    if (FAILED(result = m_graph->AddFilter(audioRenderer.Get(), L"Audio Renderer"))) return result;
    ComPtr<IPin> audioInput;
    if (FAILED(result = FindUnconnectedPin(audioRenderer.Get(), PINDIR_INPUT, &audioInput)))
      return result;
    ConnectToAnyOutput(m_graph.Get(), audioInput.Get());
  }
  // Without a sound device there is no audio renderer, and the video plays alone.

  ComPtr<IFilterGraph2> graph2;
  if (FAILED(result = m_graph.As(&graph2))) return result;
  ComPtr<IBaseFilter> converter;
  if (FAILED(result = AddColourConverter(converter))) return result;
  result = graph2->RenderEx(toRender.Get(), AM_RENDEREX_RENDERTOEXISTINGRENDERERS, nullptr);
  RemoveIfUnused(converter.Get());

  // A file without sound leaves the audio renderer unconnected.
  if (audioRenderer != nullptr && !IsInputConnected(audioRenderer.Get()))
    m_graph->RemoveFilter(audioRenderer.Get());
  return result;
}

HRESULT CMyVideoPlayer::BuildRenderFileGraph(IBaseFilter* grabber, bool useGrabber,
                                             const wchar_t* path) {
  // The graph manager picks the source itself and tries the filters already in the graph
  // first, the last added first: the grabber goes in after the converter so that the
  // video reaches the grabber before anything else, and the converter after it.
  ComPtr<IBaseFilter> converter;
  HRESULT result = AddColourConverter(converter);
  if (FAILED(result)) return result;
  if (useGrabber && FAILED(result = m_graph->AddFilter(grabber, L"Grabber"))) return result;

  result = m_graph->RenderFile(path, nullptr);
  RemoveIfUnused(converter.Get());
  if (SUCCEEDED(result) && useGrabber && !IsInputConnected(grabber)) {
    m_graph->RemoveFilter(grabber);
    LOG_ERROR("vmrutil", L"grabber is not grabbed");
    return E_GRABBER_NOT_GRABBED;
  }
  return result;
}

void CMyVideoPlayer::ReadNativeSize() {
  long width = 0, height = 0;
  if (m_windowless != nullptr &&
      SUCCEEDED(m_windowless->GetNativeVideoSize(&width, &height, nullptr, nullptr))) {
    g_videoGrabberCallback.m_width = width;
    g_videoGrabberCallback.m_height = height;
  }
}

void CMyVideoPlayer::ReleaseGraph() {
  if (m_control != nullptr) m_control->Stop();
  if (m_events != nullptr) m_events->SetNotifyWindow(0, WM_PLAYER_EVENT, 0);
  m_windowless.Reset();
  m_control.Reset();
  m_graph.Reset();
  m_grabber.Reset();
  m_events.Reset();
  m_seeking.Reset();
  m_audio.Reset();
}

HRESULT CMyVideoPlayer::Run() {
  return m_control != nullptr ? m_control->Run() : E_FAIL;
}

HRESULT CMyVideoPlayer::Pause() {
  return m_control != nullptr ? m_control->Pause() : E_FAIL;
}

HRESULT CMyVideoPlayer::Stop() {
  return m_control != nullptr ? m_control->Stop() : E_FAIL;
}

HRESULT CMyVideoPlayer::NextEvent(long& code, LONG_PTR& param1, LONG_PTR& param2) {
  if (m_events == nullptr) return E_FAIL;
  const HRESULT result = m_events->GetEvent(&code, &param1, &param2, 0);
  if (SUCCEEDED(result)) m_events->FreeEventParams(code, param1, param2);
  return result;
}

bool CMyVideoPlayer::GetDuration(LONGLONG& duration) {
  DWORD capabilities = 0;
  return m_seeking != nullptr && SUCCEEDED(m_seeking->GetCapabilities(&capabilities)) &&
         SUCCEEDED(m_seeking->GetDuration(&duration));
}

bool CMyVideoPlayer::GetCurrentPosition(LONGLONG& position) {
  DWORD capabilities = 0;
  return m_seeking != nullptr && SUCCEEDED(m_seeking->GetCapabilities(&capabilities)) &&
         SUCCEEDED(m_seeking->GetCurrentPosition(&position));
}

bool CMyVideoPlayer::SetPosition(LONGLONG position) {
  DWORD capabilities = 0;
  if (m_seeking == nullptr || FAILED(m_seeking->GetCapabilities(&capabilities))) return false;
  LONGLONG current = 0;
  if (SUCCEEDED(m_seeking->GetCurrentPosition(&current)) && current == position) return true;
  const HRESULT result = m_seeking->SetPositions(&position, AM_SEEKING_AbsolutePositioning, nullptr,
                                                 AM_SEEKING_NoPositioning);
  if (FAILED(result))
    LOG_INFO(kLogModule, L"Failure to get postion error code= %d", static_cast<int>(result));
  return SUCCEEDED(result);
}

bool CMyVideoPlayer::Mute() {
  if (m_audio == nullptr) return false;
  const HRESULT result = m_audio->put_Volume(kSilence);
  if (FAILED(result))
    LOG_INFO(kLogModule, L"Failure to Close volume error code= %d", static_cast<int>(result));
  return SUCCEEDED(result);
}

bool CMyVideoPlayer::SetVolume(long volume) {
  if (m_audio == nullptr) return false;
  const HRESULT result = m_audio->put_Volume(volume);
  if (FAILED(result))
    LOG_INFO(kLogModule, L"Failure to set volume error code= %d", static_cast<int>(result));
  return SUCCEEDED(result);
}

bool CMyVideoPlayer::GetVolume(long& volume) {
  if (m_audio == nullptr) return false;
  const HRESULT result = m_audio->get_Volume(&volume);
  if (FAILED(result))
    LOG_INFO(kLogModule, L"Failure to get volume error code= %d", static_cast<int>(result));
  return SUCCEEDED(result);
}

HRESULT CMyVideoPlayer::FitVideoToWindow() {
  if (m_windowless == nullptr) return E_FAIL;
  long width = 0, height = 0;
  if (m_windowless->GetNativeVideoSize(&width, &height, nullptr, nullptr) == E_NOINTERFACE)
    return S_OK;
  ::GetClientRect(m_videoWindow, &m_destRect);
  // The whole picture, stretched over the whole client area.
  return m_windowless->SetVideoPosition(nullptr, &m_destRect);
}

void CMyVideoPlayer::PaintVideo(HWND window) {
  if (!::IsWindow(window) || m_windowless == nullptr) return;
  PAINTSTRUCT paint;
  HDC dc = ::BeginPaint(window, &paint);
  m_windowless->RepaintVideo(window, dc);
  ::EndPaint(window, &paint);
}

HRESULT CMyVideoPlayer::DisplayModeChanged() {
  return m_windowless != nullptr ? m_windowless->DisplayModeChanged() : E_FAIL;
}

}  // namespace feed
