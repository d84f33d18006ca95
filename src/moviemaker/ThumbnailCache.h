// The strip's thumbnails, each picture decoded and scaled to its cell once, not at every
// paint. Only the scaled copies are kept, so the picture files are not held open.
// GDI+ must be started while the cache holds pictures.
#pragma once

#include <windows.h>

#include <gdiplus.h>

#include <map>
#include <memory>
#include <string>

#include "moviemaker/ImageStrip.h"

namespace moviemaker {

class CThumbnailCache {
 public:
  struct Thumbnail {
    // Null when the file cannot be read as a picture.
    std::unique_ptr<Gdiplus::Bitmap> picture;
    Box fitted;  // where the picture goes in a cell whose top is 0
  };

  // The thumbnail of path for a strip stripWidth pixels wide, decoded on first use.
  const Thumbnail& Get(const std::wstring& path, int stripWidth);
  // Forgets every thumbnail (a file may have changed on disk since).
  void Clear() { m_thumbnails.clear(); }

 private:
  Thumbnail Make(const std::wstring& path, int stripWidth) const;

  std::map<std::wstring, Thumbnail> m_thumbnails;
  int m_stripWidth = 0;
};

}  // namespace moviemaker
