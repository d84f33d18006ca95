// Shows the main window playing its playlist and saves a picture of it, frame included,
// as a user sees it: run inside a Wine virtual desktop, which draws window frames.
// Usage: mainwindow-shot OUTPUT.png VIDEO...
#include <windows.h>

#include <gdiplus.h>

#include <cstdio>

#include "devtools/WindowPicture.h"
#include "mainwindow/CLumaretDlg.h"
#include "mainwindow/PlaylistStore.h"

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) {
    std::fwprintf(stderr, L"usage: mainwindow-shot OUTPUT.png VIDEO...\n");
    return 2;
  }
  mainwindow::Playlist videos(argv + 2, argv + argc);
  if (!mainwindow::SavePlaylist(videos)) {
    std::fwprintf(stderr, L"cannot write the playlist beside the program\n");
    return 1;
  }
  Gdiplus::GdiplusStartupInput input;
  ULONG_PTR token = 0;
  Gdiplus::GdiplusStartup(&token, &input, nullptr);
  int status = 1;
  {
    mainwindow::CLumaretDlg window;
    if (window.Create(nullptr)) {
      HWND dialog = window.GetSafeHwnd();
      ::SetWindowPos(dialog, HWND_TOP, 20, 20, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
      ::SetForegroundWindow(dialog);
      // Long enough for the first file to start and the progress to move.
      devtools::PumpFor(dialog, 3000);
      ::RedrawWindow(dialog, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
      devtools::PumpFor(dialog, 300);
      status = devtools::SaveWindowPicture(dialog, argv[1]) ? 0 : 1;
      if (status != 0) std::fwprintf(stderr, L"cannot save %ls\n", argv[1]);
    }
  }
  Gdiplus::GdiplusShutdown(token);
  return status;
}
