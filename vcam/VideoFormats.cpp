#include "vcam/VideoFormats.h"

#include <iterator>

namespace vcam {

namespace {

constexpr PixelFormat kFormats[] = {PixelFormat::Rgb24, PixelFormat::Rgb32, PixelFormat::Yuy2,
                                    PixelFormat::I420};

struct Size {
  std::uint32_t width;
  std::uint32_t height;
};
// Chat programs ask for 640 x 480 or 320 x 240; video calls in HD for 1280 x 720.
constexpr Size kSizes[] = {{640, 480}, {320, 240}, {1280, 720}};

// Samples are sized in a 32-bit long.
constexpr std::uint64_t kLargestFrame = 0x7FFFFFFF;

}  // namespace

std::size_t OfferedFormatCount() {
  return std::size(kFormats) * std::size(kSizes);
}

VideoFormat OfferedFormat(std::size_t index) {
  const Size& size = kSizes[index % std::size(kSizes)];
  return {kFormats[index / std::size(kSizes) % std::size(kFormats)], size.width, size.height};
}

bool IsOfferedSize(std::uint32_t width, std::uint32_t height) {
  for (const Size& size : kSizes)
    if (size.width == width && size.height == height) return true;
  return false;
}

bool IsServedFrameInterval(std::int64_t interval) {
  return interval == 0 || (interval >= kShortestFrameInterval && interval <= kLongestFrameInterval);
}

std::uint32_t BitsPerPixel(PixelFormat pixels) {
  switch (pixels) {
    case PixelFormat::Rgb24:
      return 24;
    case PixelFormat::Rgb32:
      return 32;
    case PixelFormat::Yuy2:
      return 16;
    case PixelFormat::I420:
      return 12;
  }
  return 0;
}

std::size_t NaturalStride(PixelFormat pixels, std::uint32_t width) {
  switch (pixels) {
    case PixelFormat::Rgb24:
      return (static_cast<std::size_t>(width) * 3 + 3) & ~static_cast<std::size_t>(3);
    case PixelFormat::Rgb32:
      return static_cast<std::size_t>(width) * 4;
    case PixelFormat::Yuy2:
      return static_cast<std::size_t>(width) * 2;
    case PixelFormat::I420:
      return width;
  }
  return 0;
}

OutputLayout NaturalLayout(const VideoFormat& format) {
  OutputLayout layout;
  layout.pixels = format.pixels;
  layout.width = format.width;
  layout.height = format.height;
  layout.stride = NaturalStride(format.pixels, format.width);
  layout.bottomUp = format.pixels == PixelFormat::Rgb24 || format.pixels == PixelFormat::Rgb32;
  return layout;
}

std::size_t FrameBytes(const OutputLayout& layout) {
  if (layout.width == 0 || layout.height == 0) return 0;
  const bool yuv = layout.pixels == PixelFormat::Yuy2 || layout.pixels == PixelFormat::I420;
  if (yuv && layout.width % 2 != 0) return 0;
  if (layout.pixels == PixelFormat::I420 && (layout.height % 2 != 0 || layout.stride % 2 != 0))
    return 0;
  if (layout.stride < NaturalStride(layout.pixels, layout.width)) return 0;
  std::uint64_t bytes = static_cast<std::uint64_t>(layout.stride) * layout.height;
  if (layout.pixels == PixelFormat::I420) bytes += bytes / 2;  // two quarter-size planes
  return bytes <= kLargestFrame ? static_cast<std::size_t>(bytes) : 0;
}

}  // namespace vcam
