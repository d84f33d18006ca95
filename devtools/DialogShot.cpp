// Opens one of the program's dialogs as a user finds it and saves a picture of it, frame
// included: run inside a Wine virtual desktop, which draws window frames.
// Usage: dialog-shot OUTPUT.png settings|help|about|camera|moviemaker|moviesettings
// The camera studio shows the first camera of the system; the picture is taken once the
// camera's frames have had time to reach its preview. The movie maker shows four
// pictures drawn here, one of them selected, and a movie made of them.
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
#include "moviemaker/CImagesToMovieDlg.h"
#include "moviemaker/CMakeMovieSettingDlg.h"

namespace {

std::unique_ptr<framework::CDialogEx> MakeDialog(const std::wstring& name) {
  if (name == L"settings") return std::make_unique<dialogs::CSettingDlg>();
  if (name == L"help") return std::make_unique<dialogs::CHelpDlg>();
  if (name == L"about") return std::make_unique<dialogs::CAboutDlg>();
  if (name == L"camera") return std::make_unique<camera::CPreviwCameraDlg>();
  if (name == L"moviemaker") return std::make_unique<moviemaker::CImagesToMovieDlg>();
  if (name == L"moviesettings") return std::make_unique<moviemaker::CMakeMovieSettingDlg>();
  return nullptr;
}

// A picture of a sky-to-ground gradient in the hue of index, with a sun, as a JPEG file in
// the temporary folder; its path.
std::wstring DrawPicture(int index) {
  static const Gdiplus::Color kSkies[] = {
      {255, 70, 130, 200}, {255, 240, 140, 60}, {255, 90, 170, 110}, {255, 150, 90, 190}};
  Gdiplus::Bitmap picture(640, 480, PixelFormat24bppRGB);
  Gdiplus::Graphics graphics(&picture);
  Gdiplus::LinearGradientBrush sky(Gdiplus::Point(0, 0), Gdiplus::Point(0, 480), kSkies[index % 4],
                                   Gdiplus::Color(255, 250, 250, 235));
  graphics.FillRectangle(&sky, 0, 0, 640, 480);
  Gdiplus::SolidBrush sun(Gdiplus::Color(255, 255, 220, 80));
  graphics.FillEllipse(&sun, 380 + index * 40, 60 + index * 30, 120, 120);
  Gdiplus::SolidBrush ground(Gdiplus::Color(255, 60, 110 + index * 20, 60));
  graphics.FillRectangle(&ground, 0, 360, 640, 120);
  wchar_t folder[MAX_PATH];
  ::GetTempPathW(MAX_PATH, folder);
  const std::wstring path =
      std::wstring(folder) + L"plumora-shot-" + std::to_wstring(index) + L".jpg";
  CLSID jpeg;
  if (camera::FindJpegEncoder(jpeg) >= 0) picture.Save(path.c_str(), &jpeg, nullptr);
  return path;
}

// The movie maker as a user sees it after some work: pictures in the strip, one selected,
// a movie made and chosen.
void FillMovieMaker(moviemaker::CImagesToMovieDlg& maker) {
  std::vector<std::wstring> pictures;
  for (int i = 0; i < 4; ++i) pictures.push_back(DrawPicture(i));
  maker.AddImages(pictures);
  ::UpdateWindow(maker.GetSafeHwnd());  // the strip is painted: its thumbnails are placed
  const RECT strip = maker.GetStripRect();
  if (maker.ThumbnailRects().count(1) != 0) {
    const auto& box = maker.ThumbnailRects().at(1);
    ::SendMessageW(maker.GetSafeHwnd(), WM_LBUTTONDOWN, MK_LBUTTON,
                   MAKELPARAM(strip.left + (box.left + box.right) / 2,
                              strip.top + (box.top + box.bottom) / 2));
  }
  wchar_t folder[MAX_PATH];
  ::GetTempPathW(MAX_PATH, folder);
  const std::wstring movie = std::wstring(folder) + L"视频_2026-12-11 09-30-00.avi";
  if (maker.MakeMovie(movie, 320, 240, 1)) {
    maker.AddMadeMovie(movie);
    maker.PreviewMovie(movie);
  }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::unique_ptr<framework::CDialogEx> dialog = argc == 3 ? MakeDialog(argv[2]) : nullptr;
  if (dialog == nullptr) {
    std::fwprintf(stderr,
                  L"usage: dialog-shot OUTPUT.png "
                  L"settings|help|about|camera|moviemaker|moviesettings\n");
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
    if (auto* maker = dynamic_cast<moviemaker::CImagesToMovieDlg*>(dialog.get()))
      FillMovieMaker(*maker);
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
