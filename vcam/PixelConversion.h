// Turns a top-down RGB24 picture into an output frame of any offered pixel format. YUV
// uses the BT.601 studio range (luma 16-235, chroma 16-240), as capture devices deliver
// it. No Win32 here.
#pragma once

#include <cstddef>
#include <cstdint>

#include "vcam/FrameScaler.h"
#include "vcam/VideoFormats.h"

namespace vcam {

// The picture's size must be the layout's, and frameBytes at least FrameBytes(layout);
// false, with nothing written, otherwise. Chroma is averaged over each pair (YUY2) or
// square of four (I420) pixels.
bool ConvertPicture(const RgbCanvas& picture, const OutputLayout& layout, std::uint8_t* frame,
                    std::size_t frameBytes);

struct Yuv {
  std::uint8_t y, u, v;
};
Yuv RgbToYuv(std::uint8_t red, std::uint8_t green, std::uint8_t blue);

}  // namespace vcam
