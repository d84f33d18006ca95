// The main window's transport: starting entries by play mode, the end of a file, play and
// pause, stop, progress, volume, mute and the status line.
#include <utility>

#include "feed/ErrorMessageText.h"
#include "framework/DebugText.h"
#include "mainwindow/CLumaretDlg.h"
#include "resources/resource.h"

namespace mainwindow {

namespace {

constexpr LONGLONG kUnitsPerMillisecond = 10000;  // positions come in 100 ns units
constexpr int kVolumeRange = 10000;               // the slider is volume + 10000

bool FileExists(const std::wstring& path) {
  return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

PlayMode CLumaretDlg::CurrentPlayMode() const {
  return PlayModeAt(m_playMode.GetCurSel());
}

void CLumaretDlg::SetStatus(const std::wstring& text) {
  m_status.SetWindowText(text);
}

void CLumaretDlg::PlayEntry(int index) {
  const int count = static_cast<int>(m_playlist.size());
  if (count > 0 && (index < 0 || index >= count)) index = 0;
  // Every entry is tried at most once per walk, whatever the mode.
  CancelCandidateWalk();
  m_walk = CandidateWalk{};
  m_walk.origin = m_walk.next = index;
  m_walk.tried.assign(static_cast<size_t>(count), false);
  PlayNextCandidate();
}

void CLumaretDlg::PlayNextCandidate() {
  const int candidate = m_walk.next;
  m_walk.next = -1;
  const std::wstring path = EntryPathAt(candidate);
  if (path.empty()) {
    m_currentIndex = -1;
    m_player.ReleaseGraph();
    return;
  }
  const HRESULT started = m_player.StartPlayToCamera(path.c_str(), m_preview.GetSafeHwnd());
  if (FAILED(started)) {
    CandidateFailed(candidate, path, started);
    return;
  }
  m_walk.opening = candidate;
  m_walk.openingPath = path;
  SetTimer(kBuildDeadlineTimer, m_player.BuildDeadline());
}

LRESULT CLumaretDlg::OnPlayerBuilt(WPARAM ticket, LPARAM) {
  HRESULT result = S_OK;
  // A start given up or replaced since has nothing to say.
  if (!m_player.FinishPlayToCamera(ticket, result)) return 0;
  KillTimer(kBuildDeadlineTimer);
  const int candidate = std::exchange(m_walk.opening, -1);
  const std::wstring path = std::move(m_walk.openingPath);
  if (FAILED(result)) {
    CandidateFailed(candidate, path, result);
    return 0;
  }
  ShowPlaying(path);
  MarkCurrentEntry(candidate);
  return 0;
}

void CLumaretDlg::OnBuildDeadline() {
  KillTimer(kBuildDeadlineTimer);
  if (!m_player.IsBuilding() || m_walk.opening < 0) return;
  m_player.AbandonBuild();
  const int candidate = std::exchange(m_walk.opening, -1);
  CandidateFailed(candidate, std::move(m_walk.openingPath), feed::E_GRAPH_BUILD_TIMEOUT);
}

void CLumaretDlg::CandidateFailed(int candidate, const std::wstring& path, HRESULT result) {
  m_player.ReleaseGraph();
  ShowStopped();
  // A given-up opening is not asked about its file: on a stalled share that would stall
  // the window too.
  const std::wstring reason = result == feed::E_GRAPH_BUILD_TIMEOUT || FileExists(path)
                                  ? feed::ErrorMessageText(result)
                                  : L"媒体文件不存在或者已经被删除";
  SetStatus(L"播放视频 " + FileNameOf(path) + L"失败，失败的理由是：" + reason);

  // Entries added while the walk went on are candidates too.
  m_walk.tried.resize(m_playlist.size(), false);
  if (candidate >= 0 && candidate < static_cast<int>(m_walk.tried.size()))
    m_walk.tried[static_cast<size_t>(candidate)] = true;
  // Without a next candidate the failure status of this attempt stays visible.
  const int next =
      NextAfterFailure(CurrentPlayMode(), candidate, m_currentIndex, m_walk.origin, m_walk.tried);
  if (next < 0) return;
  m_walk.next = next;
  SetTimer(kNextCandidateTimer, 1);
}

void CLumaretDlg::CancelCandidateWalk() {
  KillTimer(kNextCandidateTimer);
  KillTimer(kBuildDeadlineTimer);
  m_walk.next = -1;
  if (m_walk.opening >= 0) m_player.AbandonBuild();
  m_walk.opening = -1;
  m_walk.openingPath.clear();
}

void CLumaretDlg::ShowPlaying(const std::wstring& path) {
  SetStatus(L"现在正在播放的视频是：" + FileNameOf(path));
  m_paused = false;
  SetPlayButtonState(true);
  InitVolumeControls();
  EnableTransport(true);
  long volume = 0;
  const bool hasVolume = m_player.GetVolume(volume);
  m_muteButton.EnableWindow(hasVolume);
  m_volume.EnableWindow(hasVolume);
}

void CLumaretDlg::ShowStopped() {
  SetPlayButtonState(false);
  m_progress.SetPos(0, true);
  m_player.SetPosition(0);
  if (m_player.HasGraph()) {
    // Paused at the start, the preview holds the file's first frame.
    m_player.Stop();
    m_player.SetPosition(0);
    m_player.Pause();
  }
  m_paused = true;
  SetStatus(L"停止播放视频");
}

void CLumaretDlg::SetPlayButtonState(bool playing) {
  m_playPauseButton.SetHoverTip(playing ? L"暂停" : L"播放");
  m_playPauseButton.SetImageFile(playing ? L"pause.png" : L"play.png");
  m_playPauseButton.SetCaptionBelowImage(false);
  m_playPauseButton.Invalidate();
}

void CLumaretDlg::SetMuteButtonState(bool muted) {
  m_muteButton.SetHoverTip(muted ? L"播音" : L"静音");
  m_muteButton.SetImageFile(muted ? L"openSound.png" : L"closeSound.png");
  m_muteButton.Invalidate();
}

void CLumaretDlg::InitVolumeControls() {
  m_volume.SetRange(0, kVolumeRange, false);
  long volume = 0;
  if (!m_player.GetVolume(volume)) {
    m_muteButton.EnableWindow(false);
    m_volume.EnableWindow(false);
    return;
  }
  m_muteButton.EnableWindow(true);
  m_volume.EnableWindow(true);
  m_volume.SetPos(static_cast<int>(volume) + kVolumeRange, true);
  // A new file starts at its own volume; only the mute state carries over.
  if (m_muted)
    m_player.Mute();
  else
    m_player.SetVolume(m_volume.GetPos() - kVolumeRange);
}

LRESULT CLumaretDlg::OnPlayerEvent(WPARAM, LPARAM) {
  long code = 0;
  LONG_PTR param1 = 0, param2 = 0;
  while (m_player.HasGraph() && SUCCEEDED(m_player.NextEvent(code, param1, param2))) {
    if (code != EC_COMPLETE) continue;
    const PlayMode mode = CurrentPlayMode();
    const int next = NextAfterEnd(mode, m_currentIndex, static_cast<int>(m_playlist.size()));
    if (next < 0) {
      ShowStopped();
      return 0;
    }
    // The same file again: rewind the running graph instead of building a new one.
    if (next == m_currentIndex && m_player.Rewind()) continue;
    PlayEntry(next);
  }
  return 0;
}

LRESULT CLumaretDlg::OnAutoplay(WPARAM, LPARAM) {
  if (!m_playlist.empty()) PlayEntry(0);
  return 0;
}

void CLumaretDlg::OnPlayPause() {
  CancelCandidateWalk();
  if (!m_paused) {
    if (m_player.HasGraph() && FAILED(m_player.Pause())) return;
    m_paused = true;
    SetPlayButtonState(false);
    SetStatus(L"暂停状态");
    return;
  }
  if (!m_player.HasGraph()) {
    PlayEntry(m_currentIndex);
    return;
  }
  if (FAILED(m_player.Run())) return;
  m_paused = false;
  SetPlayButtonState(true);
  SetStatus(L"重新播放状态");
}

void CLumaretDlg::OnStop() {
  CancelCandidateWalk();
  m_player.ReleaseGraph();
  ShowStopped();
}

void CLumaretDlg::OnMute() {
  if (m_muted) {
    if (!m_player.SetVolume(m_volume.GetPos() - kVolumeRange)) return;
    m_volume.EnableWindow(true);
    m_muted = false;
    SetMuteButtonState(false);
  } else {
    if (!m_player.Mute()) return;
    m_volume.EnableWindow(false);
    m_muted = true;
    SetMuteButtonState(true);
  }
}

LRESULT CLumaretDlg::OnProgressTick(WPARAM, LPARAM) {
  LONGLONG duration = 0, position = 0;
  if (!m_player.GetDuration(duration) || !m_player.GetCurrentPosition(position)) return 0;
  m_progress.SetRange(0, static_cast<int>(duration / kUnitsPerMillisecond), false);
  m_progress.SetPos(static_cast<int>(position / kUnitsPerMillisecond), true);
  return 0;
}

void CLumaretDlg::OnProgressReleased(NMHDR&) {
  if (!m_player.SetPosition(static_cast<LONGLONG>(m_progress.GetPos()) * kUnitsPerMillisecond))
    framework::WriteDebugText(L"failure\n");
}

void CLumaretDlg::OnVolumeReleased(NMHDR&) {
  m_player.SetVolume(m_volume.GetPos() - kVolumeRange);
}

}  // namespace mainwindow
