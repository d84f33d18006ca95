#include "camera/CPreviwCameraDlg.h"

#include <shellapi.h>

#include "app/PlaylistTarget.h"
#include "app/SettingStore.h"
#include "camera/OutputFileNaming.h"
#include "camera/Recording.h"
#include "camera/SampleGrabberCB.h"
#include "dialogs/CSettingDlg.h"
#include "framework/DataExchange.h"
#include "framework/MessageBoxes.h"
#include "framework/MessageMap.h"
#include "resources/resource.h"

namespace camera {
namespace {

// The size the studio asks every camera for.
constexpr int kRequestedWidth = 640;
constexpr int kRequestedHeight = 480;

bool FileExists(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

}  // namespace

CPreviwCameraDlg::CPreviwCameraDlg(framework::CWnd* parent)
    : CDialogEx(IDD_CAMERA, parent),
      m_hIcon(::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME))),
      m_owner(parent) {}

CPreviwCameraDlg::~CPreviwCameraDlg() {
  StopCamera();
}

void CPreviwCameraDlg::StopCamera() {
  // However the dialog ends, the movie is closed properly, the renderer's window leaves the
  // picture frame before that goes, and the callback no longer reaches this object once
  // the graph has stopped.
  if (m_recording.load() != 0) {
    m_recording = 0;
    StopRecording();
  }
  m_capture.TearDownGraph();
  m_cameraOpen = false;
  if (g_frameGrabberCB.m_pDialog == this) g_frameGrabberCB.m_pDialog = nullptr;
}

LRESULT CPreviwCameraDlg::OnDestroy(WPARAM, LPARAM) {
  StopCamera();
  return 0;
}

void CPreviwCameraDlg::DoDataExchange(framework::CDataExchange& exchange) {
  using framework::DDX_Control;
  DDX_Control(exchange, IDC_CAMERA_LIST, m_comboCamera);
  DDX_Control(exchange, IDC_CAMERA_RECORD, m_btnRecord);
  DDX_Control(exchange, IDC_CAMERA_SETTINGS, m_btnSettings);
  DDX_Control(exchange, IDC_CAMERA_PHOTO, m_btnSnapshot);
}

BOOL CPreviwCameraDlg::OnInitDialog() {
  CDialogEx::OnInitDialog();
  SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
  std::vector<std::wstring> names;
  CCaptureVideo::EnumerateVideoDevices(names);
  FillCameraCombo(names);
  g_frameGrabberCB.m_pDialog = this;
  if (!names.empty()) OpenCamera(0);
  return TRUE;
}

void CPreviwCameraDlg::FillCameraCombo(const std::vector<std::wstring>& names) {
  m_comboCamera.ResetContent();
  // Inserted by position: the list's position is the device's, whatever the sort style.
  for (size_t index = 0; index < names.size(); ++index)
    m_comboCamera.InsertString(static_cast<int>(index), names[index]);
  if (!names.empty()) m_comboCamera.SetCurSel(0);
}

bool CPreviwCameraDlg::OpenCamera(int index) {
  if (index < 0) {
    m_cameraOpen = false;
    return false;
  }
  m_capture.TearDownGraph();
  if (m_capture.BuildGraph(index, GetDlgItem(IDC_CAMERA_PICTURE), kRequestedWidth,
                           kRequestedHeight) >= 0) {
    m_cameraOpen = true;
    return true;
  }
  m_capture.TearDownGraph();
  // No stale picture of the previous camera stays in the frame.
  ::InvalidateRect(m_hWnd, nullptr, TRUE);
  m_cameraOpen = false;
  return false;
}

void CPreviwCameraDlg::OnCameraChanged() {
  const int position = m_comboCamera.GetCurSel();
  if (position < 0) return;
  // A movie's frame size is fixed by its first frame: the running recording ends first,
  // as the record button ends it, before another camera's frames can arrive.
  if (m_recording.load() != 0) {
    std::wstring path;
    EndRecording(path);
    OfferToPlaylist(path);
  }
  OpenCamera(position);
}

void CPreviwCameraDlg::EnableButtons(bool photo, bool record, bool settings) {
  m_btnSnapshot.EnableWindow(photo);
  m_btnRecord.EnableWindow(record);
  m_btnSettings.EnableWindow(settings);
}

void CPreviwCameraDlg::OnPhoto() {
  if (!m_cameraOpen) {
    framework::ShowMessageBox(L"摄像头没有打开，不能拍照", MB_OK);
    return;
  }
  EnableButtons(false, false, false);
  m_photoRequested = 1;
}

LRESULT CPreviwCameraDlg::OnPhotoServed(WPARAM, LPARAM) {
  m_photoRequested = 0;
  EnableButtons(true, true, true);
  return 0;
}

void CPreviwCameraDlg::OnRecord() {
  if (m_recording.load() != 0) {
    std::wstring path;
    EndRecording(path);
    OfferToPlaylist(path);
    return;
  }
  const std::wstring folder = app::CSettingStore::Instance()->GetCurrent().GetRecordingFolder();
  EnsureOutputFolders();
  std::wstring name;
  if (!MakeMovieFileName(name, folder)) return;
  if (!m_cameraOpen) {
    framework::ShowMessageBox(L"摄像头没有打开，不能录像", MB_OK);
    return;
  }
  StartRecording(name);
  m_recording = 1;
  m_btnRecord.SetWindowText(L"停止录像");
  EnableButtons(false, true, false);
}

void CPreviwCameraDlg::OfferToPlaylist(const std::wstring& path) {
  // A recording that ended before any frame was written left no file to offer.
  if (path.empty() || !FileExists(path)) return;
  if (!framework::AskQuestion(L"视频录制成功，是否需要把刚才录制的视频添加到虚拟视频的播放列表中"))
    return;
  if (app::IPlaylistTarget* playlist = app::FindPlaylistTarget(m_owner))
    playlist->AddFileToPlaylist(path, true);
}

void CPreviwCameraDlg::EndRecording(std::wstring& path) {
  m_recording = 0;
  path = StopRecording();
  m_btnRecord.SetWindowText(L"录像");
  EnableButtons(true, true, true);
}

LRESULT CPreviwCameraDlg::OnRecordingFailed(WPARAM, LPARAM) {
  // Frames that failed after the first one post again; only a running recording ends.
  if (m_recording.load() != 0) {
    std::wstring path;
    EndRecording(path);
  }
  return 0;
}

void CPreviwCameraDlg::OnOpenFolder() {
  const std::wstring folder = app::CSettingStore::Instance()->GetCurrent().GetProductFolder();
  ::ShellExecuteW(nullptr, L"explore", folder.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void CPreviwCameraDlg::OnSettings() {
  dialogs::CSettingDlg settings(this);
  settings.DoModal();
}

bool CPreviwCameraDlg::ConfirmClose() {
  if (m_recording.load() != 0 && !framework::AskQuestion(L"正在录影中，是否要退出系统"))
    return false;
  if (m_recording.load() != 0) {
    std::wstring dropped;
    EndRecording(dropped);
  }
  CDialogEx::OnOK();
  return true;
}

void CPreviwCameraDlg::OnOK() {
  if (m_recording.load() != 0)
    ConfirmClose();
  else
    CDialogEx::OnOK();
}

void CPreviwCameraDlg::OnCancel() {
  if (m_recording.load() != 0)
    ConfirmClose();
  else
    CDialogEx::OnCancel();
}

LRESULT CPreviwCameraDlg::OnClose(WPARAM, LPARAM) {
  // Ending the dialog is all the default processing would do.
  ConfirmClose();
  return 0;
}

LRESULT CPreviwCameraDlg::OnPaint(WPARAM wParam, LPARAM lParam) {
  if (!::IsIconic(m_hWnd)) return Default(WM_PAINT, wParam, lParam);
  PAINTSTRUCT paint;
  HDC dc = ::BeginPaint(m_hWnd, &paint);
  SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc));
  const RECT client = GetClientRect();
  const int x = (client.right - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
  const int y = (client.bottom - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
  ::DrawIcon(dc, x, y, m_hIcon);
  ::EndPaint(m_hWnd, &paint);
  return 0;
}

LRESULT CPreviwCameraDlg::OnQueryDragIcon(WPARAM, LPARAM) {
  return reinterpret_cast<LRESULT>(m_hIcon);
}

bool CPreviwCameraDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  using Map = framework::MessageMap<CPreviwCameraDlg>;
  static const Map::Entry kEntries[] = {
      Map::Command<&CPreviwCameraDlg::OnCameraChanged>(IDC_CAMERA_LIST, CBN_SELCHANGE),
      Map::Command<&CPreviwCameraDlg::OnPhoto>(IDC_CAMERA_PHOTO),
      Map::Command<&CPreviwCameraDlg::OnRecord>(IDC_CAMERA_RECORD),
      Map::Command<&CPreviwCameraDlg::OnOpenFolder>(IDC_CAMERA_OPEN_FOLDER),
      Map::Command<&CPreviwCameraDlg::OnSettings>(IDC_CAMERA_SETTINGS),
      Map::Command<&CPreviwCameraDlg::OnExit>(IDC_CAMERA_EXIT),
      Map::Message<&CPreviwCameraDlg::OnClose>(WM_CLOSE),
      Map::Message<&CPreviwCameraDlg::OnDestroy>(WM_DESTROY),
      Map::Message<&CPreviwCameraDlg::OnPaint>(WM_PAINT),
      Map::Message<&CPreviwCameraDlg::OnQueryDragIcon>(WM_QUERYDRAGICON),
      Map::Message<&CPreviwCameraDlg::OnPhotoServed>(WM_PHOTO_SERVED),
      Map::Message<&CPreviwCameraDlg::OnRecordingFailed>(WM_RECORDING_FAILED),
  };
  return Map::Dispatch(kEntries, *this, message, wParam, lParam, result) ||
         CDialogEx::OnMessage(message, wParam, lParam, result);
}

}  // namespace camera
