// The movie settings dialog, shown for each Make video: the new movie's name (stamped with
// the local time), its folder, its size and the seconds each picture is shown. Folder,
// size and seconds are remembered in the settings when OK changes them; the name never.
// The caller reads the four members after OK.
#pragma once

#include <windows.h>

#include <string>

#include "framework/Dialog.h"

namespace moviemaker {

class CMakeMovieSettingDlg : public framework::CDialogEx {
 public:
  explicit CMakeMovieSettingDlg(framework::CWnd* parent = nullptr);

  // The seconds the dialog accepts for each picture.
  static constexpr int kMinSecondsPerImage = 1;
  static constexpr int kMaxSecondsPerImage = 3600;

  // The clock that stamps the proposed name (tests set a known time).
  using LocalClock = SYSTEMTIME (*)();
  void SetClock(LocalClock clock) { m_clock = clock; }

  std::wstring m_strFolder;
  // 0 for 320 x 240, 1 for 640 x 480, -1 when neither is chosen.
  int m_resolution = 0;
  int m_secondsPerImage = 1;
  std::wstring m_strName;

 protected:
  void DoDataExchange(framework::CDataExchange& exchange) override;
  BOOL OnInitDialog() override;
  // Refuses a folder that does not exist and seconds out of range; saves what changed.
  void OnOK() override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  void OnBrowse();
  void OnCancelButton() { OnCancel(); }

  LocalClock m_clock;
};

}  // namespace moviemaker
