#include "moviemaker/MovieFrames.h"

#include <gdiplus.h>

#include <algorithm>
#include <memory>

#include "camera/Photo.h"
#include "framework/Handle.h"
#include "moviemaker/AviMovieWriter.h"
#include "moviemaker/MovieNaming.h"

namespace moviemaker {

bool BitmapToRows(HBITMAP bitmap, FrameRows& rows) {
  BITMAP info{};
  if (bitmap == nullptr || ::GetObjectW(bitmap, sizeof info, &info) == 0) return false;
  const int width = info.bmWidth, height = info.bmHeight;
  if (width <= 0 || height <= 0) return false;

  BITMAPINFO format{};
  format.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  format.bmiHeader.biWidth = width;
  format.bmiHeader.biHeight = height;  // bottom-up
  format.bmiHeader.biPlanes = 1;
  format.bmiHeader.biBitCount = 24;
  format.bmiHeader.biCompression = BI_RGB;
  // GDI pads each row to four bytes; a movie frame has no padding.
  const size_t rowBytes = static_cast<size_t>(width) * 3;
  const size_t stride = (rowBytes + 3) & ~size_t{3};
  format.bmiHeader.biSizeImage = static_cast<DWORD>(stride * height);
  std::vector<BYTE> padded(stride * height);

  HDC screen = ::GetDC(nullptr);
  const int copied = ::GetDIBits(screen, bitmap, 0, static_cast<UINT>(height), padded.data(),
                                 &format, DIB_RGB_COLORS);
  ::ReleaseDC(nullptr, screen);
  if (copied != height) return false;

  rows.width = width;
  rows.height = height;
  if (stride == rowBytes) {
    rows.pixels = std::move(padded);
  } else {
    rows.pixels.resize(rowBytes * height);
    for (int y = 0; y < height; ++y)
      std::copy_n(padded.data() + stride * y, rowBytes, rows.pixels.data() + rowBytes * y);
  }
  return true;
}

bool LoadImageRows(const std::wstring& path, int width, int height, FrameRows& rows) {
  auto picture = std::make_unique<Gdiplus::Bitmap>(path.c_str());
  if (picture->GetLastStatus() != Gdiplus::Ok || picture->GetWidth() == 0 ||
      picture->GetHeight() == 0)
    return false;
  if (static_cast<int>(picture->GetWidth()) != width ||
      static_cast<int>(picture->GetHeight()) != height) {
    std::unique_ptr<Gdiplus::Bitmap> scaled = camera::ScaleBitmap(*picture, width, height);
    if (!scaled) return false;
    picture = std::move(scaled);  // the file is let go of here
  }
  HBITMAP bitmap = nullptr;
  // Transparent parts come out white.
  if (picture->GetHBITMAP(Gdiplus::Color(0xFFFFFFFF), &bitmap) != Gdiplus::Ok) return false;
  const bool converted = BitmapToRows(bitmap, rows);
  ::DeleteObject(bitmap);
  return converted && rows.width == width && rows.height == height;
}

MovieOutcome WriteMovie(const std::wstring& path, const std::vector<std::wstring>& pictures,
                        int width, int height, int secondsPerImage) {
  MovieOutcome outcome;
  if (pictures.empty() || secondsPerImage < 1) {
    outcome.error = L"没有可以制作视频的图片";
    return outcome;
  }
  CAviMovieWriter writer(path, 1);
  writer.DisableSettleCheck();
  FrameRows first;
  bool haveFirst = false;
  auto append = [&](const FrameRows& rows) {
    for (int second = 0; second < secondsPerImage; ++second) {
      if (writer.AppendFrame(rows.width, rows.height, rows.pixels.data()) < 0) {
        outcome.error = writer.GetLastErrorText();
        return false;
      }
    }
    return true;
  };
  for (const std::wstring& picture : pictures) {
    FrameRows rows;
    if (!LoadImageRows(picture, width, height, rows)) {
      outcome.leftOut.push_back(picture);
      continue;
    }
    if (!append(rows)) return outcome;
    if (!haveFirst) {
      first = std::move(rows);
      haveFirst = true;
    }
  }
  if (!haveFirst) {
    outcome.error = L"没有一张图片可以读取";
    return outcome;
  }
  // The first picture once more: a looping movie starts again where it ends.
  if (!append(first)) return outcome;
  outcome.written = true;
  return outcome;
}

}  // namespace moviemaker
