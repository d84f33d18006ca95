#include "dialogs/CSettingDlg.h"

#include "app/SettingStore.h"
#include "dialogs/BrowseForFolder.h"
#include "dialogs/CameraName.h"
#include "dialogs/CameraNameBlock.h"
#include "framework/DataExchange.h"
#include "framework/MessageMap.h"
#include "resources/resource.h"

namespace dialogs {

CSettingDlg::CSettingDlg(framework::CWnd* parent) : CDialogEx(IDD_SETTING, parent) {}

void CSettingDlg::DoDataExchange(framework::CDataExchange& exchange) {
  using namespace framework;
  DDX_Control(exchange, IDC_CAMERA_NAME, m_editCameraName);
  DDX_Text(exchange, IDC_STORAGE_ROOT, m_strStorageRoot);
  DDX_Text(exchange, IDC_CAMERA_NAME, m_strCameraName);
  DDX_Control(exchange, IDC_RECORDING_FOLDER, m_editRecordingFolder);
  DDX_Control(exchange, IDC_PHOTO_FOLDER, m_editPhotoFolder);
}

BOOL CSettingDlg::OnInitDialog() {
  CDialogEx::OnInitDialog();
  // The registry value holds no longer a name: what cannot be stored cannot be typed.
  m_editCameraName.SetLimitText(static_cast<int>(kMaxCameraNameLength));
  m_strStorageRoot = app::CSettingStore::Instance()->GetCurrent().GetStorageRoot();
  ShowStoragePaths(m_strStorageRoot);
  if (!ReadCameraFriendlyName(m_strCameraName)) m_strCameraName = app::g_strCameraName;
  UpdateData(false);
  return TRUE;
}

bool CSettingDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  using Map = framework::MessageMap<CSettingDlg>;
  static const Map::Entry kEntries[] = {
      Map::Command<&CSettingDlg::OnOK>(IDC_SETTING_OK),
      Map::Command<&CSettingDlg::OnCancelButton>(IDC_SETTING_CANCEL),
      Map::Command<&CSettingDlg::OnBrowse>(IDC_BROWSE_STORAGE_ROOT),
  };
  return Map::Dispatch(kEntries, *this, message, wParam, lParam, result) ||
         CDialogEx::OnMessage(message, wParam, lParam, result);
}

void CSettingDlg::ShowStoragePaths(const std::wstring& root) {
  app::SettingRecord record;
  record.SetStorageRoot(root);
  ::SetDlgItemTextW(m_hWnd, IDC_STORAGE_ROOT, root.c_str());
  m_editRecordingFolder.SetWindowText(record.GetRecordingFolder());
  m_editPhotoFolder.SetWindowText(record.GetPhotoFolder());
}

void CSettingDlg::OnBrowse() {
  std::wstring folder;
  // The chosen folder reaches the settings only through the edit, when OK is pressed.
  if (BrowseForFolder(folder, m_hWnd)) ShowStoragePaths(folder);
}

void CSettingDlg::OnOK() {
  if (!UpdateData(true)) return;
  app::CSettingStore* store = app::CSettingStore::Instance();
  app::SettingRecord record = store->GetCurrent();
  record.SetStorageRoot(m_strStorageRoot);
  store->Save(record);
  if (m_strCameraName != app::g_strCameraName) WriteCameraFriendlyName(m_strCameraName);
  EndDialog(IDOK);
}

}  // namespace dialogs
