// Opens one of the program's dialogs as a user finds it and saves a picture of it, frame
// included: run inside a Wine virtual desktop, which draws window frames.
// Usage: dialog-shot OUTPUT.png settings|help|about|camera
// The camera studio shows the first camera of the system; the picture is taken once the
// camera's frames have had time to reach its preview.
#include <windows.h>

#include <gdiplus.h>

#include <cstdio>
#include <memory>
#include <string>

#include "camera/CPreviwCameraDlg.h"
#include "devtools/WindowPicture.h"
#include "dialogs/CAboutDlg.h"
#include "dialogs/CHelpDlg.h"
#include "dialogs/CSettingDlg.h"
#include "framework/ComScope.h"

namespace {

std::unique_ptr<framework::CDialogEx> MakeDialog(const std::wstring& name) {
  if (name == L"settings") return std::make_unique<dialogs::CSettingDlg>();
  if (name == L"help") return std::make_unique<dialogs::CHelpDlg>();
  if (name == L"about") return std::make_unique<dialogs::CAboutDlg>();
  if (name == L"camera") return std::make_unique<camera::CPreviwCameraDlg>();
  return nullptr;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::unique_ptr<framework::CDialogEx> dialog = argc == 3 ? MakeDialog(argv[2]) : nullptr;
  if (dialog == nullptr) {
    std::fwprintf(stderr, L"usage: dialog-shot OUTPUT.png settings|help|about|camera\n");
    return 2;
  }
  const framework::CComScope com;
  Gdiplus::GdiplusStartupInput input;
  ULONG_PTR token = 0;
  Gdiplus::GdiplusStartup(&token, &input, nullptr);
  int status = 1;
  if (dialog->Create(nullptr)) {
    HWND window = dialog->GetSafeHwnd();
    ::SetWindowPos(window, HWND_TOP, 20, 20, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    ::SetForegroundWindow(window);
    devtools::PumpFor(window, std::wstring(argv[2]) == L"camera" ? 3000 : 1000);
    ::RedrawWindow(window, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    devtools::PumpFor(window, 300);
    status = devtools::SaveWindowPicture(window, argv[1]) ? 0 : 1;
    if (status != 0) std::fwprintf(stderr, L"cannot save %ls\n", argv[1]);
    dialog->DestroyWindow();
  }
  dialog.reset();
  Gdiplus::GdiplusShutdown(token);
  return status;
}
