#include "feed/CMyVideoPlayer.h"

#include "app/Log.h"
#include "feed/CMyVideoSampleGrabberCB.h"
#include "feed/ErrorMessageText.h"
#include "feed/GraphBuildJob.h"

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
  return BuildAndRun(GraphRecipe{path != nullptr ? path : L"", videoWindow, false, true}, true);
}

HRESULT CMyVideoPlayer::PlayInWindow(const wchar_t* path, HWND videoWindow, bool renderWholeFile,
                                     bool feedCamera) {
  return BuildAndRun(
      GraphRecipe{path != nullptr ? path : L"", videoWindow, renderWholeFile, feedCamera}, false);
}

HRESULT CMyVideoPlayer::BuildAndRun(const GraphRecipe& recipe, bool fallBack) {
  ReleaseGraph();
  if (recipe.path.empty()) return E_POINTER;
  HRESULT started = S_OK;
  const std::shared_ptr<CGraphBuildJob> job =
      CGraphBuildJob::Start(recipe, fallBack, BuildNotice{}, started);
  if (job == nullptr) return started;
  if (!job->WaitFor(m_buildDeadlineMs)) {
    job->Abandon();
    LOG_ERROR(kLogModule, L"Opening %ls took longer than %lu ms; given up", recipe.path.c_str(),
              static_cast<unsigned long>(m_buildDeadlineMs));
    return E_GRAPH_BUILD_TIMEOUT;
  }
  return AdoptAndRun(*job);
}

HRESULT CMyVideoPlayer::StartPlayToCamera(const wchar_t* path, HWND videoWindow) {
  ReleaseGraph();
  if (path == nullptr || *path == L'\0') return E_POINTER;
  const BuildNotice notice{::GetParent(videoWindow), WM_PLAYER_BUILT, ++m_lastTicket};
  HRESULT started = S_OK;
  m_build =
      CGraphBuildJob::Start(GraphRecipe{path, videoWindow, false, true}, true, notice, started);
  return started;
}

bool CMyVideoPlayer::FinishPlayToCamera(WPARAM ticket, HRESULT& result) {
  if (m_build == nullptr || m_build->Ticket() != ticket || !m_build->HasEnded()) return false;
  const std::shared_ptr<CGraphBuildJob> job = std::move(m_build);
  result = AdoptAndRun(*job);
  return true;
}

void CMyVideoPlayer::AbandonBuild() {
  if (m_build == nullptr) return;
  if (!m_build->HasEnded())
    LOG_ERROR(kLogModule, L"Opening %ls is given up before it ended",
              m_build->Recipe().path.c_str());
  m_build->Abandon();
  m_build.reset();
}

HRESULT CMyVideoPlayer::AdoptAndRun(CGraphBuildJob& job) {
  GraphParts parts = job.TakeParts();
  m_graph = std::move(parts.graph);
  m_control = std::move(parts.control);
  m_events = std::move(parts.events);
  m_seeking = std::move(parts.seeking);
  m_windowless = std::move(parts.windowless);
  m_audio = std::move(parts.audio);
  m_grabber = std::move(parts.grabber);
  m_videoWindow = job.Recipe().videoWindow;

  HRESULT result = job.Result();
  if (FAILED(result)) {
    if (m_graph == nullptr) DebugOutputError(result);
    return result;
  }
  if (job.Recipe().feedCamera) ReadNativeSize();

  result = m_events->SetNotifyWindow(reinterpret_cast<OAHWND>(::GetParent(m_videoWindow)),
                                     WM_PLAYER_EVENT, 0);
  if (FAILED(result)) return result;

  if (m_windowless != nullptr && FAILED(result = FitVideoToWindow())) return result;
  return Run();
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
  AbandonBuild();
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

bool CMyVideoPlayer::Rewind() {
  if (!SetPosition(0)) return false;
  // Wine's graph reports the end as its position after the end of the stream, even when
  // the seek has started the file again, until it is stopped; then stop, seek and run
  // the same graph, so that the position (and whoever shows it) follows the new round.
  LONGLONG position = 0, duration = 0;
  if (!GetCurrentPosition(position) || !GetDuration(duration) || position < duration) return true;
  Stop();
  return SetPosition(0) && SUCCEEDED(Run());
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
