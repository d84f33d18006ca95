#include "moviemaker/CMakeMovieSettingDlg.h"

#include <shlwapi.h>

#include "app/SettingStore.h"
#include "dialogs/BrowseForFolder.h"
#include "framework/DataExchange.h"
#include "framework/MessageBoxes.h"
#include "framework/MessageMap.h"
#include "moviemaker/MovieNaming.h"
#include "resources/resource.h"

namespace moviemaker {
namespace {

SYSTEMTIME CurrentLocalTime() {
  SYSTEMTIME now{};
  ::GetLocalTime(&now);
  return now;
}

}  // namespace

CMakeMovieSettingDlg::CMakeMovieSettingDlg(framework::CWnd* parent)
    : CDialogEx(IDD_MOVIE_SETTINGS, parent), m_clock(CurrentLocalTime) {}

void CMakeMovieSettingDlg::DoDataExchange(framework::CDataExchange& exchange) {
  using namespace framework;
  DDX_Text(exchange, IDC_MOVIE_FOLDER, m_strFolder);
  DDX_Radio(exchange, IDC_MOVIE_SIZE_SMALL, m_resolution);
  DDX_Text(exchange, IDC_MOVIE_SECONDS, m_secondsPerImage);
  DDX_Text(exchange, IDC_MOVIE_NAME, m_strName);
}

BOOL CMakeMovieSettingDlg::OnInitDialog() {
  CDialogEx::OnInitDialog();
  const app::SettingRecord settings = app::CSettingStore::Instance()->GetCurrent();
  const SYSTEMTIME now = m_clock();
  m_strFolder = settings.makingMoviePath;
  m_strName =
      ProposedMovieName(now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond);
  m_secondsPerImage = settings.makingTimeOneFrame;
  m_resolution = settings.makingMovieResolution;
  UpdateData(false);
  return TRUE;
}

bool CMakeMovieSettingDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  using Map = framework::MessageMap<CMakeMovieSettingDlg>;
  static const Map::Entry kEntries[] = {
      Map::Command<&CMakeMovieSettingDlg::OnOK>(IDC_MOVIE_SETTINGS_OK),
      Map::Command<&CMakeMovieSettingDlg::OnCancelButton>(IDC_MOVIE_SETTINGS_CANCEL),
      Map::Command<&CMakeMovieSettingDlg::OnBrowse>(IDC_MOVIE_BROWSE),
  };
  return Map::Dispatch(kEntries, *this, message, wParam, lParam, result) ||
         CDialogEx::OnMessage(message, wParam, lParam, result);
}

void CMakeMovieSettingDlg::OnBrowse() {
  // Only the folder changes: what was typed into the other fields stays.
  std::wstring folder = GetDlgItemText(IDC_MOVIE_FOLDER);
  if (dialogs::BrowseForFolder(folder, m_hWnd)) {
    m_strFolder = folder;
    ::SetDlgItemTextW(m_hWnd, IDC_MOVIE_FOLDER, folder.c_str());
  }
}

void CMakeMovieSettingDlg::OnOK() {
  // A seconds text that is not a whole number has been refused with its message already.
  if (!UpdateData(true)) return;
  if (!::PathFileExistsW(m_strFolder.c_str())) {
    framework::ShowMessageBox(L"视频储存的文件夹不存在，请修改", MB_OK);
    return;
  }
  if (m_secondsPerImage < kMinSecondsPerImage || m_secondsPerImage > kMaxSecondsPerImage) {
    framework::ShowMessageBox(L"每张图片的运行时间请输入1到3600之间的整数秒。", MB_OK);
    ::SetFocus(GetDlgItem(IDC_MOVIE_SECONDS));
    return;
  }
  app::CSettingStore* store = app::CSettingStore::Instance();
  app::SettingRecord record = store->GetCurrent();
  bool changed = false;
  if (m_strFolder != record.makingMoviePath) {
    record.makingMoviePath = m_strFolder;
    changed = true;
  }
  if (m_secondsPerImage != record.makingTimeOneFrame) {
    record.makingTimeOneFrame = m_secondsPerImage;
    changed = true;
  }
  if (m_resolution != record.makingMovieResolution) {
    record.makingMovieResolution = m_resolution;
    changed = true;
  }
  if (changed) store->Save(record);
  EndDialog(IDOK);
}

}  // namespace moviemaker
