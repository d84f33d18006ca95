#include "mainwindow/CLumaretDlg.h"

#include "app/SettingStore.h"
#include "app/SingleInstance.h"
#include "camera/CPreviwCameraDlg.h"
#include "moviemaker/CImagesToMovieDlg.h"
#include "camera/OutputFileNaming.h"
#include "dialogs/CAboutDlg.h"
#include "dialogs/CHelpDlg.h"
#include "dialogs/CSettingDlg.h"
#include "framework/DataExchange.h"
#include "framework/MessageBoxes.h"
#include "framework/MessageMap.h"
#include "resources/resource.h"

namespace mainwindow {

namespace {

// The image buttons in the order they are set up: picture, and whether the caption shows
// under it.
struct ButtonLook {
  int id;
  const wchar_t* image;
  bool captionBelow;
};
constexpr ButtonLook kButtonLooks[] = {
    {IDC_SETTINGS, L"Setting.png", true},
    {IDC_HELP_BUTTON, L"Help.png", true},
    {IDC_IMAGES_TO_VIDEO, L"imgToVideo.png", true},
    {IDC_REAL_CAMERA, L"TrueCamera.png", true},
    {IDC_ADD, L"addMovie.png", true},
    {IDC_DELETE, L"Delete.png", true},
    {IDC_CLEAR, L"Clear.png", true},
    {IDC_UP, L"up.png", true},
    {IDC_DOWN, L"down.png", true},
    {IDC_PLAY_PAUSE, L"pause.png", false},
    {IDC_STOP, L"Stop.png", false},
    {IDC_MUTE, L"CloseSound.png", false},
    {IDC_LOUDER, L"AddSound.png", false},
    {IDC_QUIETER, L"MinusSound.png", false},
};

}  // namespace

CLumaretDlg::CLumaretDlg(framework::CWnd* parent)
    : CDialogEx(IDD_PLUMORA_DIALOG, parent),
      m_icon(static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr),
                                             MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON, 0, 0,
                                             LR_DEFAULTSIZE | LR_SHARED))),
      // The title bar's and the tray's picture: the icon's own small image, not a shrunk one.
      m_smallIcon(static_cast<HICON>(::LoadImageW(
          ::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON,
          ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON), LR_SHARED))) {}

CLumaretDlg::~CLumaretDlg() {
  // The window goes before the controls' objects and the player.
  DestroyWindow();
}

const framework::CLinkCtrl* CLumaretDlg::Link(int id) const {
  for (const auto* link :
       {&m_productLink, &m_decoderLink, &m_qqHelpLink, &m_homeLink, &m_decoderHintLink})
    if (link->GetSafeHwnd() != nullptr && link->GetDlgCtrlID() == id) return link;
  return nullptr;
}

const controls::CXPStyleButtonST& CLumaretDlg::Button(int id) const {
  const controls::CXPStyleButtonST* buttons[] = {
      &m_settingsButton, &m_realCameraButton, &m_imagesToVideoButton, &m_helpButton,
      &m_addButton,      &m_deleteButton,     &m_clearButton,         &m_upButton,
      &m_downButton,     &m_playPauseButton,  &m_stopButton,          &m_muteButton,
      &m_quieterButton,  &m_louderButton};
  for (const auto* button : buttons)
    if (button->GetSafeHwnd() != nullptr && button->GetDlgCtrlID() == id) return *button;
  return m_settingsButton;
}

void CLumaretDlg::DoDataExchange(framework::CDataExchange& exchange) {
  using framework::DDX_Control;
  DDX_Control(exchange, IDC_SETTINGS, m_settingsButton);
  DDX_Control(exchange, IDC_PLAY_MODE, m_playMode);
  DDX_Control(exchange, IDC_PLAYLIST, m_list);
  DDX_Control(exchange, IDC_PROGRESS, m_progress);
  DDX_Control(exchange, IDC_PLAY_PAUSE, m_playPauseButton);
  DDX_Control(exchange, IDC_VOLUME, m_volume);
  DDX_Control(exchange, IDC_MUTE, m_muteButton);
  DDX_Control(exchange, IDC_STATUS, m_status);
  DDX_Control(exchange, IDC_REAL_CAMERA, m_realCameraButton);
  DDX_Control(exchange, IDC_IMAGES_TO_VIDEO, m_imagesToVideoButton);
  DDX_Control(exchange, IDC_HELP_BUTTON, m_helpButton);
  DDX_Control(exchange, IDC_ADD, m_addButton);
  DDX_Control(exchange, IDC_DELETE, m_deleteButton);
  DDX_Control(exchange, IDC_CLEAR, m_clearButton);
  DDX_Control(exchange, IDC_UP, m_upButton);
  DDX_Control(exchange, IDC_DOWN, m_downButton);
  DDX_Control(exchange, IDC_STOP, m_stopButton);
  DDX_Control(exchange, IDC_QUIETER, m_quieterButton);
  DDX_Control(exchange, IDC_LOUDER, m_louderButton);
  DDX_Control(exchange, IDC_PREVIEW, m_preview);
  DDX_Control(exchange, IDC_LINK_PRODUCT, m_productLink);
  DDX_Control(exchange, IDC_LINK_DECODER, m_decoderLink);
  DDX_Control(exchange, IDC_LINK_QQ_HELP, m_qqHelpLink);
  DDX_Control(exchange, IDC_LINK_HOME, m_homeLink);
  DDX_Control(exchange, IDC_LINK_DECODER_HINT, m_decoderHintLink);
}

BOOL CLumaretDlg::OnInitDialog() {
  CDialogEx::OnInitDialog();
  // Marks the running copy's window for a second start, by the name of its mutex.
  m_instanceProperty = app::ExecutableBaseName();
  ::SetPropW(m_hWnd, m_instanceProperty.c_str(), reinterpret_cast<HANDLE>(1));

  // "About Plumora" at the end of the system menu.
  if (HMENU systemMenu = ::GetSystemMenu(m_hWnd, FALSE); systemMenu != nullptr) {
    wchar_t about[256] = L"";
    if (::LoadStringW(::GetModuleHandleW(nullptr), IDS_ABOUTBOX, about, ARRAYSIZE(about)) > 0) {
      ::AppendMenuW(systemMenu, MF_SEPARATOR, 0, nullptr);
      ::AppendMenuW(systemMenu, MF_STRING, kAboutCommand, about);
    }
  }
  SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_icon));
  SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_smallIcon));

  // The renderer draws into the preview; its children must not be painted over.
  m_preview.ModifyStyle(0, WS_CLIPCHILDREN);

  app::CSettingStore::Instance();
  camera::EnsureOutputFolders();

  FillPlayModes();
  SetUpPlaylistControls();
  EnableEntryButtons(false);
  SetUpImageButtons();
  SetUpLinks();
  SetTimer(kProgressTimer, kProgressPeriodMs);
  m_tray.Add(m_hWnd, kTrayIconId, WM_TRAY_NOTIFY, m_smallIcon, L"Plumora");
  return TRUE;
}

void CLumaretDlg::SetUpLinks() {
  // The pages ship beside the program, so that they are there without a network.
  m_productLink.SetUrl(dialogs::HelpPageUrl(L"virtualcamera"));
  m_qqHelpLink.SetUrl(dialogs::HelpPageUrl(L"howuseinqq"));
  m_decoderLink.SetUrl(dialogs::HelpPageUrl(L"decoder"));
  m_decoderHintLink.SetUrl(dialogs::HelpPageUrl(L"decoder"));
  m_homeLink.SetUrl(dialogs::HelpPageUrl());
}

void CLumaretDlg::FillPlayModes() {
  m_playMode.InsertString(0, L"循环播放");
  m_playMode.InsertString(1, L"单曲循环");
  m_playMode.InsertString(2, L"单曲播放");
  m_playMode.SetCurSel(0);
}

void CLumaretDlg::SetUpImageButtons() {
  for (const ButtonLook& look : kButtonLooks) {
    auto& button = const_cast<controls::CXPStyleButtonST&>(Button(look.id));
    button.AttachThemeHelper(&m_theme);
    button.SetImageFile(look.image);
    button.BrightenActiveColour();
    button.SetHoverTip(button.GetWindowText().c_str());
    button.SetCaptionBelowImage(look.captionBelow);
  }
}

bool CLumaretDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  using Map = framework::MessageMap<CLumaretDlg>;
  static const Map::Entry kEntries[] = {
      Map::Command<&CLumaretDlg::OnSettings>(IDC_SETTINGS),
      Map::Command<&CLumaretDlg::OnHelp>(IDC_HELP_BUTTON),
      Map::Command<&CLumaretDlg::OnRealCamera>(IDC_REAL_CAMERA),
      Map::Command<&CLumaretDlg::OnImagesToVideo>(IDC_IMAGES_TO_VIDEO),
      Map::Command<&CLumaretDlg::OnAdd>(IDC_ADD),
      Map::Command<&CLumaretDlg::OnDelete>(IDC_DELETE),
      Map::Command<&CLumaretDlg::OnClear>(IDC_CLEAR),
      Map::Command<&CLumaretDlg::OnUp>(IDC_UP),
      Map::Command<&CLumaretDlg::OnDown>(IDC_DOWN),
      Map::Command<&CLumaretDlg::OnPlayPause>(IDC_PLAY_PAUSE),
      Map::Command<&CLumaretDlg::OnStop>(IDC_STOP),
      Map::Command<&CLumaretDlg::OnMute>(IDC_MUTE),
      Map::Notify<&CLumaretDlg::OnPlaylistItemChanged>(IDC_PLAYLIST, LVN_ITEMCHANGED),
      Map::Notify<&CLumaretDlg::OnPlaylistDoubleClick>(IDC_PLAYLIST, NM_DBLCLK),
      Map::Notify<&CLumaretDlg::OnProgressReleased>(IDC_PROGRESS, NM_RELEASEDCAPTURE),
      Map::Notify<&CLumaretDlg::OnVolumeReleased>(IDC_VOLUME, NM_RELEASEDCAPTURE),
      Map::Message<&CLumaretDlg::OnPlayerEvent>(feed::WM_PLAYER_EVENT),
      Map::Message<&CLumaretDlg::OnPlayerBuilt>(feed::WM_PLAYER_BUILT),
      Map::Message<&CLumaretDlg::OnProgressTick>(WM_PROGRESS_TICK),
      Map::Message<&CLumaretDlg::OnAutoplay>(WM_AUTOPLAY),
      Map::Message<&CLumaretDlg::OnTimer>(WM_TIMER),
      Map::Message<&CLumaretDlg::OnPaint>(WM_PAINT),
      Map::Message<&CLumaretDlg::OnDisplayChange>(WM_DISPLAYCHANGE),
      Map::Message<&CLumaretDlg::OnSysCommand>(WM_SYSCOMMAND),
      Map::Message<&CLumaretDlg::OnTrayNotify>(WM_TRAY_NOTIFY),
      Map::Message<&CLumaretDlg::OnClose>(WM_CLOSE),
      Map::Message<&CLumaretDlg::OnDestroy>(WM_DESTROY),
      Map::Message<&CLumaretDlg::OnQueryDragIcon>(WM_QUERYDRAGICON),
      Map::Command<&CLumaretDlg::OnShowWindowCommand>(ID_TRAY_SHOW, 0),
      Map::Command<&CLumaretDlg::OnAbout>(ID_TRAY_ABOUT, 0),
      Map::Command<&CLumaretDlg::OnExitCommand>(ID_TRAY_EXIT, 0),
      Map::Message<&CLumaretDlg::OnMoveOrSize>(WM_MOVE),
      Map::Message<&CLumaretDlg::OnMoveOrSize>(WM_SIZE),
  };
  return Map::Dispatch(kEntries, *this, message, wParam, lParam, result) ||
         CDialogEx::OnMessage(message, wParam, lParam, result);
}

bool CLumaretDlg::PreTranslateMessage(MSG& message) {
  // While the progress thumb is held, the timer must not move it back.
  if (message.hwnd == m_progress.GetSafeHwnd()) {
    if (message.message == WM_LBUTTONDOWN) KillTimer(kProgressTimer);
    if (message.message == WM_LBUTTONUP) SetTimer(kProgressTimer, kProgressPeriodMs);
  }
  return CDialogEx::PreTranslateMessage(message);
}

LRESULT CLumaretDlg::OnDisplayChange(WPARAM, LPARAM) {
  // Sent, never queued: the window procedure is the only place that sees it.
  if (m_player.HasWindowlessControl()) m_player.DisplayModeChanged();
  return 0;
}

LRESULT CLumaretDlg::OnMoveOrSize(WPARAM, LPARAM) {
  if (m_player.HasWindowlessControl()) m_player.FitVideoToWindow();
  return 0;
}

LRESULT CLumaretDlg::OnTimer(WPARAM timer, LPARAM) {
  if (timer == kProgressTimer) PostMessage(WM_PROGRESS_TICK);
  if (timer == kNextCandidateTimer) {
    KillTimer(kNextCandidateTimer);
    if (m_walk.next >= 0) PlayNextCandidate();
  }
  if (timer == kBuildDeadlineTimer) OnBuildDeadline();
  return 0;
}

LRESULT CLumaretDlg::OnPaint(WPARAM, LPARAM) {
  PAINTSTRUCT paint;
  HDC dc = ::BeginPaint(m_hWnd, &paint);
  if (::IsIconic(m_hWnd)) {
    // Minimised: the application icon in the middle of the client area.
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc));
    const RECT client = GetClientRect();
    const int x = (client.right - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
    ::DrawIcon(dc, x, y, m_icon);
  }
  // Otherwise the dialog has nothing of its own to paint: its controls paint themselves.
  ::EndPaint(m_hWnd, &paint);
  // Then the renderer repaints the preview.
  m_player.PaintVideo(m_preview.GetSafeHwnd());
  return 0;
}

LRESULT CLumaretDlg::OnQueryDragIcon(WPARAM, LPARAM) {
  return reinterpret_cast<LRESULT>(m_icon);
}

LRESULT CLumaretDlg::OnSysCommand(WPARAM command, LPARAM lParam) {
  switch (command & 0xFFF0) {
    case kAboutCommand:
      OnAbout();
      return 0;
    case SC_MINIMIZE:
    case SC_CLOSE:
      // The window goes to the notification area and the camera goes on playing.
      ShowWindow(SW_HIDE);
      return 0;
    case SC_MAXIMIZE:
      return 0;
    default:
      return ::DefWindowProcW(m_hWnd, WM_SYSCOMMAND, command, lParam);
  }
}

LRESULT CLumaretDlg::OnTrayNotify(WPARAM id, LPARAM mouseMessage) {
  if (id != kTrayIconId) return 0;
  if (mouseMessage == WM_LBUTTONDOWN) OnShowWindowCommand();
  if (mouseMessage == WM_RBUTTONDOWN) ShowTrayMenu();
  return 0;
}

void CLumaretDlg::ShowTrayMenu() {
  HMENU menu = ::LoadMenuW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_TRAY_MENU));
  if (menu == nullptr) return;
  POINT cursor{};
  ::GetCursorPos(&cursor);
  // The menu closes when the user clicks elsewhere only while the window is foreground.
  ::SetForegroundWindow(m_hWnd);
  ::TrackPopupMenu(::GetSubMenu(menu, 0), TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, m_hWnd, nullptr);
  PostMessage(WM_NULL);
  ::DestroyMenu(menu);
}

void CLumaretDlg::OnShowWindowCommand() {
  ShowWindow(::IsIconic(m_hWnd) ? SW_RESTORE : SW_SHOW);
  ::SetForegroundWindow(m_hWnd);
}

void CLumaretDlg::OnAbout() {
  dialogs::CAboutDlg about(this);
  about.DoModal();
}

void CLumaretDlg::OnSettings() {
  dialogs::CSettingDlg settings(this);
  settings.DoModal();
}

void CLumaretDlg::OnHelp() {
  dialogs::CHelpDlg help(this);
  help.DoModal();
}

void CLumaretDlg::OnRealCamera() {
  camera::CPreviwCameraDlg studio(this);
  studio.DoModal();
}

void CLumaretDlg::OnImagesToVideo() {
  moviemaker::CImagesToMovieDlg movieMaker(this);
  movieMaker.DoModal();
}

void CLumaretDlg::OnExitCommand() {
  ConfirmExit();
}

LRESULT CLumaretDlg::OnClose(WPARAM, LPARAM) {
  // With OK the window is ending already; with Cancel nothing happens.
  ConfirmExit();
  return 0;
}

bool CLumaretDlg::ConfirmExit() {
  if (!framework::AskQuestion(L"是否确实要退出系统?")) return false;
  KillTimer(kProgressTimer);
  CancelCandidateWalk();
  CDialogEx::OnOK();
  return true;
}

LRESULT CLumaretDlg::OnDestroy(WPARAM, LPARAM) {
  m_tray.Remove();
  if (!m_instanceProperty.empty()) ::RemovePropW(m_hWnd, m_instanceProperty.c_str());
  return 0;
}

}  // namespace mainwindow
