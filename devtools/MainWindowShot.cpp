// Shows the main window playing its playlist and saves a picture of it, frame included,
// as a user sees it: run inside a Wine virtual desktop, which draws window frames.
// Usage: mainwindow-shot OUTPUT.png VIDEO...
#include <windows.h>

#include <gdiplus.h>

#include <cstdio>
#include <string>
#include <vector>

#include "framework/Wnd.h"
#include "mainwindow/CLumaretDlg.h"
#include "mainwindow/PlaylistStore.h"

namespace {

bool PngEncoder(CLSID& clsid) {
  UINT count = 0, size = 0;
  if (Gdiplus::GetImageEncodersSize(&count, &size) != Gdiplus::Ok || size == 0) return false;
  std::vector<BYTE> buffer(size);
  auto* encoders = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
  if (Gdiplus::GetImageEncoders(count, size, encoders) != Gdiplus::Ok) return false;
  for (UINT i = 0; i < count; ++i)
    if (wcscmp(encoders[i].MimeType, L"image/png") == 0) {
      clsid = encoders[i].Clsid;
      return true;
    }
  return false;
}

// Copies the window's place on the screen, frame and all, into a PNG file.
bool SaveWindowPicture(HWND window, const std::wstring& path) {
  RECT place{};
  ::GetWindowRect(window, &place);
  const int width = place.right - place.left, height = place.bottom - place.top;
  HDC screen = ::GetDC(nullptr);
  HDC memory = ::CreateCompatibleDC(screen);
  HBITMAP bitmap = ::CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = ::SelectObject(memory, bitmap);
  ::BitBlt(memory, 0, 0, width, height, screen, place.left, place.top, SRCCOPY);
  ::SelectObject(memory, old);
  bool saved = false;
  {
    Gdiplus::Bitmap picture(bitmap, nullptr);
    CLSID png;
    saved = PngEncoder(png) && picture.Save(path.c_str(), &png, nullptr) == Gdiplus::Ok;
  }
  ::DeleteObject(bitmap);
  ::DeleteDC(memory);
  ::ReleaseDC(nullptr, screen);
  return saved;
}

void PumpFor(HWND top, DWORD ms) {
  const ULONGLONG end = ::GetTickCount64() + ms;
  while (::GetTickCount64() < end) {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (framework::PreTranslateInChain(message, top)) continue;
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

}  // namespace

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
      PumpFor(dialog, 3000);
      ::RedrawWindow(dialog, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
      PumpFor(dialog, 300);
      status = SaveWindowPicture(dialog, argv[1]) ? 0 : 1;
      if (status != 0) std::fwprintf(stderr, L"cannot save %ls\n", argv[1]);
    }
  }
  Gdiplus::GdiplusShutdown(token);
  return status;
}
