#include "moviemaker/MovieFrames.h"

#include <gdiplus.h>

#include <algorithm>
#include <memory>

#include "camera/Photo.h"
#include "framework/LockedBits.h"
#include "moviemaker/AviMovieWriter.h"
#include "moviemaker/FrameReadAhead.h"
#include "moviemaker/MovieNaming.h"

namespace moviemaker {

bool PictureToRows(Gdiplus::Bitmap& picture, FrameRows& rows) {
  // Palette pictures may have transparent colours too.
  const bool mayBeTransparent =
      (picture.GetPixelFormat() & (PixelFormatAlpha | PixelFormatPAlpha | PixelFormatIndexed)) != 0;
  const framework::CLockedBits bits(picture, Gdiplus::ImageLockModeRead,
                                    mayBeTransparent ? PixelFormat32bppARGB : PixelFormat24bppRGB);
  if (!bits.Locked() || bits.Width() <= 0 || bits.Height() <= 0) return false;
  const int width = bits.Width(), height = bits.Height();
  const size_t rowBytes = static_cast<size_t>(width) * 3;
  rows.pixels.resize(rowBytes * height);
  for (int y = 0; y < height; ++y) {
    const BYTE* from = bits.Row(height - 1 - y);  // the bottom row first
    BYTE* to = rows.pixels.data() + rowBytes * y;
    if (!mayBeTransparent) {
      std::copy_n(from, rowBytes, to);
      continue;
    }
    // Transparent parts come out white.
    for (int x = 0; x < width; ++x, from += 4, to += 3) {
      const unsigned alpha = from[3];
      for (int c = 0; c < 3; ++c)
        to[c] = static_cast<BYTE>((from[c] * alpha + 255 * (255 - alpha) + 127) / 255);
    }
  }
  rows.width = width;
  rows.height = height;
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
  return PictureToRows(*picture, rows) && rows.width == width && rows.height == height;
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
  CFrameReadAhead frames(pictures, width, height);
  for (const std::wstring& picture : pictures) {
    FrameRows rows;
    if (!frames.TakeNext(rows)) {
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
