#include "vcam/Letterbox.h"

#include <algorithm>

namespace vcam {

namespace {

// numerator / denominator rounded to the nearest whole number, kept within [1, limit].
std::uint32_t RoundedShare(std::uint64_t numerator, std::uint64_t denominator,
                           std::uint32_t limit) {
  const std::uint64_t rounded = (2 * numerator + denominator) / (2 * denominator);
  return static_cast<std::uint32_t>(std::clamp<std::uint64_t>(rounded, 1, limit));
}

}  // namespace

Placement FitInside(std::uint32_t pictureWidth, std::uint32_t pictureHeight,
                    std::uint32_t frameWidth, std::uint32_t frameHeight) {
  Placement placement;
  if (pictureWidth == 0 || pictureHeight == 0 || frameWidth == 0 || frameHeight == 0)
    return placement;
  // Compare the aspect ratios without division: 16-bit by 32-bit products fit 64 bits.
  const std::uint64_t pictureWide = static_cast<std::uint64_t>(pictureWidth) * frameHeight;
  const std::uint64_t frameWide = static_cast<std::uint64_t>(frameWidth) * pictureHeight;
  if (pictureWide >= frameWide) {
    placement.width = frameWidth;
    placement.height = RoundedShare(static_cast<std::uint64_t>(pictureHeight) * frameWidth,
                                    pictureWidth, frameHeight);
  } else {
    placement.height = frameHeight;
    placement.width = RoundedShare(static_cast<std::uint64_t>(pictureWidth) * frameHeight,
                                   pictureHeight, frameWidth);
  }
  placement.x = (frameWidth - placement.width) / 2;
  placement.y = (frameHeight - placement.height) / 2;
  return placement;
}

}  // namespace vcam
