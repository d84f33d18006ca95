// The size rules of the camera studio, without Win32: which of a camera's offered frame
// sizes counts as its largest, which size the capture pin is asked for, and the size of a
// photograph taken from a frame.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace camera {

struct FrameSize {
  std::int32_t width = 0;
  std::int32_t height = 0;
  friend bool operator==(FrameSize a, FrameSize b) {
    return a.width == b.width && a.height == b.height;
  }
};

// The camera's largest size, by dominance rather than area: an offer replaces the best so
// far only when it is at least as wide and at least as tall. Offers 640x480, 1280x720,
// 800x600 give 1280x720. None when there are no offers.
std::optional<FrameSize> LargestOfferedSize(const std::vector<FrameSize>& offers);

// The size the pin is asked for: the request, or the camera's largest size when that is
// narrower or lower than the request.
FrameSize StreamTargetSize(FrameSize requested, FrameSize largest);

// The size a photograph is saved at. reference is the settings' frame size (640x480);
// a camera whose largest size is smaller in either direction gives a photograph as wide
// as that largest size, its height following the frame's proportions (computed in single
// precision and truncated, as the photo code has always done).
FrameSize PhotoTargetSize(FrameSize reference, FrameSize largest, FrameSize frame);

}  // namespace camera
