#include "feed/RgbConversion.h"

namespace feed {

bool LayoutFromBitmapHeader(std::int32_t width, std::int32_t height, std::uint16_t bitCount,
                            RgbLayout& layout) {
  if (width <= 0 || height == 0 || height == INT32_MIN || bitCount == 0 || bitCount % 8 != 0)
    return false;
  const std::uint64_t rowBits = static_cast<std::uint64_t>(width) * bitCount;
  const std::uint64_t stride = (rowBits + 31) / 32 * 4;
  const std::uint64_t rows = static_cast<std::uint64_t>(height < 0 ? -height : height);
  if (stride * rows > SIZE_MAX / 2) return false;
  layout.width = static_cast<std::uint32_t>(width);
  layout.height = static_cast<std::uint32_t>(rows);
  layout.stride = static_cast<std::size_t>(stride);
  layout.bottomUp = height > 0;
  return true;
}

std::size_t RequiredBytes(const RgbLayout& layout, std::uint32_t bytesPerPixel) {
  if (layout.height == 0) return 0;
  return layout.stride * (layout.height - 1u) +
         static_cast<std::size_t>(layout.width) * bytesPerPixel;
}

bool ConvertRgb24ToRgb32(const std::uint8_t* source, std::size_t sourceBytes,
                         const RgbLayout& sourceLayout, std::uint8_t* target,
                         std::size_t targetBytes, const RgbLayout& targetLayout) {
  if (source == nullptr || target == nullptr) return false;
  if (sourceLayout.width != targetLayout.width || sourceLayout.height != targetLayout.height)
    return false;
  const std::uint32_t width = sourceLayout.width;
  const std::uint32_t height = sourceLayout.height;
  if (sourceLayout.stride < static_cast<std::size_t>(width) * 3 ||
      targetLayout.stride < static_cast<std::size_t>(width) * 4)
    return false;
  if (sourceBytes < RequiredBytes(sourceLayout, 3) || targetBytes < RequiredBytes(targetLayout, 4))
    return false;

  const bool flip = sourceLayout.bottomUp != targetLayout.bottomUp;
  for (std::uint32_t row = 0; row < height; ++row) {
    const std::uint32_t targetRow = flip ? height - 1 - row : row;
    const std::uint8_t* in = source + sourceLayout.stride * row;
    std::uint8_t* out = target + targetLayout.stride * targetRow;
    for (std::uint32_t x = 0; x < width; ++x, in += 3, out += 4) {
      out[0] = in[0];
      out[1] = in[1];
      out[2] = in[2];
      out[3] = 0;
    }
  }
  return true;
}

}  // namespace feed
