// The main window: the playlist that plays into the virtual camera, its preview, the
// transport controls and the buttons that open the other windows.
//
// The window's code is split by concern: CLumaretDlg.cpp (set-up, layout, messages),
// LumaretPlaylist.cpp (the list and its editing) and LumaretPlayback.cpp (playing,
// the play modes, progress, volume and status).
#pragma once

#include <string>
#include <vector>

#include "app/PlaylistTarget.h"
#include "controls/CThemeHelperST.h"
#include "controls/CXPStyleButtonST.h"
#include "feed/CMyVideoPlayer.h"
#include "framework/Controls.h"
#include "framework/Dialog.h"
#include "framework/LinkCtrl.h"
#include "framework/TrayIcon.h"
#include "mainwindow/PlaybackRules.h"
#include "mainwindow/PlaylistStore.h"

namespace mainwindow {

// Posted by the window to itself on every tick of the progress timer.
inline constexpr UINT WM_PROGRESS_TICK = WM_USER + 6;
// Posted by the tray icon.
inline constexpr UINT WM_TRAY_NOTIFY = WM_USER + 7;
// Posted by the window's initialisation when the playlist has entries: play the first.
inline constexpr UINT WM_AUTOPLAY = WM_USER + 8;
// The progress timer and its period.
inline constexpr UINT_PTR kProgressTimer = 1000;
inline constexpr UINT kProgressPeriodMs = 100;
// After a failed start, the next candidate entry is tried when this timer fires: timers
// come after input and painting, so the window answers between attempts.
inline constexpr UINT_PTR kNextCandidateTimer = 1001;
// Set while the player opens an entry: when it fires first, the opening is given up and
// the entry counts as failed.
inline constexpr UINT_PTR kBuildDeadlineTimer = 1002;
// The system menu's "About Plumora" item.
inline constexpr UINT kAboutCommand = 16;
// The tray icon's identifier.
inline constexpr UINT kTrayIconId = 5;

class CLumaretDlg : public framework::CDialogEx, public app::IPlaylistTarget {
 public:
  explicit CLumaretDlg(framework::CWnd* parent = nullptr);
  ~CLumaretDlg() override;

  // Appends a file to the playlist, saves it when save is set and starts it when nothing
  // plays and the transport is not paused or stopped.
  void AddFileToPlaylist(const std::wstring& path, bool save) override;
  // Appends a file to the list and its row, and nothing else.
  void AppendPlaylistEntry(const std::wstring& path);
  // A copy of the path of entry index, or "" when there is no such entry.
  std::wstring EntryPathAt(int index) const;

  // Asks whether to quit; with OK the window ends (and with it the program). The answer.
  bool ConfirmExit();

  // Starts opening entry index (the first when index is out of range) at once; when it
  // fails, the further entries that the play mode names are tried one after another, the
  // window answering all the while.
  void PlayEntry(int index);

  // For tests and the other windows: the state the controls show.
  int CurrentIndex() const { return m_currentIndex; }
  // An entry is being opened, or waits for its turn after a failed one.
  bool IsStarting() const { return m_player.IsBuilding() || m_walk.next >= 0; }
  bool IsPaused() const { return m_paused; }
  bool IsMuted() const { return m_muted; }
  const Playlist& Entries() const { return m_playlist; }
  feed::CMyVideoPlayer& Player() { return m_player; }
  const controls::CXPStyleButtonST& Button(int id) const;
  const framework::CLinkCtrl* Link(int id) const;
  bool HasTrayIcon() const { return m_tray.IsShown(); }

 protected:
  void DoDataExchange(framework::CDataExchange& exchange) override;
  BOOL OnInitDialog() override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
  bool PreTranslateMessage(MSG& message) override;
  // Enter and Esc do not end the program: it ends only through its exit command.
  void OnOK() override {}
  void OnCancel() override {}

 private:
  // Set-up
  void SetUpPlaylistControls();
  void SetUpImageButtons();
  void FillPlayModes();

  // Playlist editing
  void OnAdd();
  void OnDelete();
  void OnClear();
  void OnUp();
  void OnDown();
  void MoveSelectedEntry(int offset);
  bool SwapEntries(int a, int b);
  void OnPlaylistItemChanged(NMHDR& header);
  void OnPlaylistDoubleClick(NMHDR& header);
  void SavePlaylistFile() const;
  void EnableEntryButtons(bool enable);
  void EnableTransport(bool enable);

  // Playback
  void ShowStopped();
  void MarkCurrentEntry(int index);
  PlayMode CurrentPlayMode() const;
  void SetPlayButtonState(bool playing);
  void SetMuteButtonState(bool muted);
  void InitVolumeControls();
  void SetStatus(const std::wstring& text);
  void OnPlayPause();
  void OnStop();
  void OnMute();
  void OnProgressReleased(NMHDR& header);
  void OnVolumeReleased(NMHDR& header);
  LRESULT OnPlayerEvent(WPARAM, LPARAM);
  LRESULT OnProgressTick(WPARAM, LPARAM);
  LRESULT OnAutoplay(WPARAM, LPARAM);
  // Starts opening the walk's next candidate in the player; WM_PLAYER_BUILT or the build
  // deadline tells how it went.
  void PlayNextCandidate();
  LRESULT OnPlayerBuilt(WPARAM ticket, LPARAM);
  void OnBuildDeadline();
  // The candidate did not start: says why and sets kNextCandidateTimer for the next one
  // the play mode names, if any.
  void CandidateFailed(int candidate, const std::wstring& path, HRESULT result);
  void ShowPlaying(const std::wstring& path);
  // Ends a walk under way, giving up an entry being opened: the transport or the list
  // changed under it.
  void CancelCandidateWalk();
  // An entry plays, or is being opened: nothing else should start.
  bool IsPlayingOrOpening() const { return m_player.HasGraph() || m_player.IsBuilding(); }
  LRESULT OnTimer(WPARAM, LPARAM);
  LRESULT OnPaint(WPARAM, LPARAM);
  LRESULT OnDisplayChange(WPARAM, LPARAM);
  LRESULT OnSysCommand(WPARAM, LPARAM);
  LRESULT OnTrayNotify(WPARAM, LPARAM);
  LRESULT OnClose(WPARAM, LPARAM);
  LRESULT OnDestroy(WPARAM, LPARAM);
  LRESULT OnQueryDragIcon(WPARAM, LPARAM);
  void OnShowWindowCommand();
  void OnAbout();
  void OnSettings();
  void OnHelp();
  void OnRealCamera();
  void OnImagesToVideo();
  void OnExitCommand();
  void SetUpLinks();
  void ShowTrayMenu();
  LRESULT OnMoveOrSize(WPARAM, LPARAM);

  feed::CMyVideoPlayer m_player;
  framework::CComboBox m_playMode;
  framework::CListCtrl m_list;
  framework::CSliderCtrl m_progress;
  framework::CSliderCtrl m_volume;
  framework::CStatic m_status;
  framework::CStatic m_preview;
  // Before the buttons, which point at it, so that it outlives them.
  controls::CThemeHelperST m_theme;
  controls::CXPStyleButtonST m_settingsButton, m_realCameraButton, m_imagesToVideoButton,
      m_helpButton, m_addButton, m_deleteButton, m_clearButton, m_upButton, m_downButton,
      m_playPauseButton, m_stopButton, m_muteButton, m_quieterButton, m_louderButton;
  Playlist m_playlist;
  framework::CLinkCtrl m_productLink, m_decoderLink, m_qqHelpLink, m_homeLink, m_decoderHintLink;
  framework::CImageList m_images;
  framework::CTrayIcon m_tray;
  std::wstring m_instanceProperty;
  HICON m_icon = nullptr;
  HICON m_smallIcon = nullptr;
  int m_currentIndex = -1;
  // The entries PlayEntry tries, one per tick of kNextCandidateTimer, each opened away from
  // the window's thread, so that the window answers all the time however many entries
  // in a row fail (a failure can take a second or two) and whatever an opening does.
  struct CandidateWalk {
    int origin = -1;
    int next = -1;     // -1: no candidate waits for its turn
    int opening = -1;  // the entry the player is opening; -1: none
    std::wstring openingPath;
    std::vector<bool> tried;
  };
  CandidateWalk m_walk;
  bool m_paused = false;
  bool m_muted = false;
};

}  // namespace mainwindow
