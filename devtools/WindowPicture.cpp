#include "devtools/WindowPicture.h"

#include <gdiplus.h>

#include <vector>

#include "framework/Wnd.h"

namespace devtools {

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

}  // namespace

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

}  // namespace devtools
