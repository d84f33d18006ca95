#include "moviemaker/ThumbnailCache.h"

namespace moviemaker {

const CThumbnailCache::Thumbnail& CThumbnailCache::Get(const std::wstring& path, int stripWidth) {
  if (stripWidth != m_stripWidth) {
    m_thumbnails.clear();
    m_stripWidth = stripWidth;
  }
  auto found = m_thumbnails.find(path);
  if (found == m_thumbnails.end()) found = m_thumbnails.emplace(path, Make(path, stripWidth)).first;
  return found->second;
}

CThumbnailCache::Thumbnail CThumbnailCache::Make(const std::wstring& path, int stripWidth) const {
  Thumbnail thumbnail;
  Gdiplus::Bitmap source(path.c_str());
  if (source.GetLastStatus() != Gdiplus::Ok || source.GetWidth() == 0 || source.GetHeight() == 0)
    return thumbnail;
  thumbnail.fitted = FitThumbnail(source.GetWidth(), source.GetHeight(), stripWidth, 0);
  if (thumbnail.fitted.IsEmpty()) return thumbnail;
  auto scaled = std::make_unique<Gdiplus::Bitmap>(thumbnail.fitted.Width(),
                                                  thumbnail.fitted.Height(), PixelFormat32bppARGB);
  Gdiplus::Graphics graphics(scaled.get());
  graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
  graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
  // Mirrored edges, so that the border pixels are not blended with transparency.
  Gdiplus::ImageAttributes edges;
  edges.SetWrapMode(Gdiplus::WrapModeTileFlipXY);
  const Gdiplus::Rect target(0, 0, thumbnail.fitted.Width(), thumbnail.fitted.Height());
  if (graphics.DrawImage(&source, target, 0, 0, static_cast<INT>(source.GetWidth()),
                         static_cast<INT>(source.GetHeight()), Gdiplus::UnitPixel,
                         &edges) != Gdiplus::Ok)
    return thumbnail;
  thumbnail.picture = std::move(scaled);
  return thumbnail;
}

}  // namespace moviemaker
