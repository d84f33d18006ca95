// Pictures turned into movie frames and movies: each picture stretched to the movie size
// (high-quality bicubic, the aspect ratio not kept), transparent parts white, as 24-bit
// bottom-up rows; a movie at one frame per second that shows each picture for its seconds
// and the first once more at the end. GDI+ must be started by the caller.
#pragma once

#include <windows.h>

#include <gdiplus.h>

#include <string>
#include <vector>

namespace moviemaker {

// A frame of width x height pixels, blue, green, red, bottom row first, rows unpadded.
struct FrameRows {
  std::vector<BYTE> pixels;
  int width = 0;
  int height = 0;
};

// The picture at path as a width x height frame; false when it cannot be read or scaled.
bool LoadImageRows(const std::wstring& path, int width, int height, FrameRows& rows);

// The picture as a frame of its own size, transparent parts white; false when GDI+ cannot
// give its pixels.
bool PictureToRows(Gdiplus::Bitmap& picture, FrameRows& rows);

struct MovieOutcome {
  bool written = false;               // the movie on disk holds every readable picture
  std::vector<std::wstring> leftOut;  // pictures that could not be read, in list order
  std::wstring error;                 // why nothing (or not everything) was written
};

// Writes the movie of pictures (in that order) to path. Pictures that cannot be read are
// left out and named; the first readable one closes the movie. Nothing is created when
// none can be read; a file the writer began stays as far as it got.
MovieOutcome WriteMovie(const std::wstring& path, const std::vector<std::wstring>& pictures,
                        int width, int height, int secondsPerImage);

}  // namespace moviemaker
