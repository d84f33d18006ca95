// Where a picture goes in a frame of another shape. No Win32 here.
#pragma once

#include <cstdint>

namespace vcam {

struct Placement {
  std::uint32_t x = 0;
  std::uint32_t y = 0;
  std::uint32_t width = 0;
  std::uint32_t height = 0;
};

// The largest rectangle of the picture's aspect ratio that fits the frame, centred; the
// rest of the frame is bars. Never narrower or lower than one pixel while both sizes are
// non-zero (a 65535 x 1 picture still shows as a line); empty when either size is zero.
Placement FitInside(std::uint32_t pictureWidth, std::uint32_t pictureHeight,
                    std::uint32_t frameWidth, std::uint32_t frameHeight);

}  // namespace vcam
