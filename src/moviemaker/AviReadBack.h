// For tests: an AVI file as AVIFile reads it back, independently of how it was written.
#pragma once

#include <windows.h>

#include <vfw.h>

#include <string>
#include <vector>

namespace moviemaker {

struct MovieOnDisk {
  bool opened = false;
  AVISTREAMINFOW info{};
  BITMAPINFOHEADER format{};
  LONG formatSize = 0;
  std::vector<std::vector<BYTE>> samples;
  std::vector<bool> keyFrames;
};

MovieOnDisk ReadMovie(const std::wstring& path);

}  // namespace moviemaker
