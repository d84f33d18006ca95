// The settings dialog: the virtual camera's name and the storage root under which
// photographs and recordings are kept.
#pragma once

#include <string>

#include "framework/Controls.h"
#include "framework/Dialog.h"

namespace dialogs {

class CSettingDlg : public framework::CDialogEx {
 public:
  explicit CSettingDlg(framework::CWnd* parent = nullptr);

 protected:
  void DoDataExchange(framework::CDataExchange& exchange) override;
  BOOL OnInitDialog() override;
  // Saves the storage root and renames the camera when its name changed.
  void OnOK() override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  void OnBrowse();
  // The dialog's own close button ends it as Escape does.
  void OnCancelButton() { OnCancel(); }
  // Shows root and the recording and photo folders it leads to.
  void ShowStoragePaths(const std::wstring& root);

  std::wstring m_strCameraName = L"Virtual Camera";
  framework::CEdit m_editRecordingFolder;
  framework::CEdit m_editPhotoFolder;
  std::wstring m_strStorageRoot;
  framework::CEdit m_editCameraName;
};

}  // namespace dialogs
