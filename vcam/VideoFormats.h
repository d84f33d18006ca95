// The pictures the camera offers its clients (pixel formats, sizes, frame rates) and the
// memory layout of one output frame. No Win32 here.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vcam {

enum class PixelFormat { Rgb24, Rgb32, Yuy2, I420 };

struct VideoFormat {
  PixelFormat pixels;
  std::uint32_t width;
  std::uint32_t height;
};

// Times in DirectShow's 100-nanosecond units.
inline constexpr std::int64_t kUnitsPerSecond = 10000000;
inline constexpr std::int64_t kDefaultFrameInterval = 333333;  // 30 frames a second
// Clients may ask for fewer frames, down to 5 a second, but not for more than 30.
inline constexpr std::int64_t kShortestFrameInterval = kDefaultFrameInterval;
inline constexpr std::int64_t kLongestFrameInterval = 2000000;

// Every pixel format at every size, default (24-bit RGB, 640 x 480) first: the list that
// IAMStreamConfig reports and the pin's media types follow.
std::size_t OfferedFormatCount();
VideoFormat OfferedFormat(std::size_t index);  // index below OfferedFormatCount()
bool IsOfferedSize(std::uint32_t width, std::uint32_t height);

// Whether a client's AvgTimePerFrame can be served; 0 stands for "the default".
bool IsServedFrameInterval(std::int64_t interval);

std::uint32_t BitsPerPixel(PixelFormat pixels);

// Where one output frame's bytes go. stride is the distance between rows of the first
// plane (I420's chroma planes have half of it); renderers may ask for more than the
// natural stride. bottomUp applies to RGB only: YUV frames are always top row first.
struct OutputLayout {
  PixelFormat pixels = PixelFormat::Rgb24;
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::size_t stride = 0;
  bool bottomUp = true;
};

// The tightest stride of a format: RGB rows padded to 4 bytes, YUY2 two bytes a pixel,
// I420 one byte of luma a pixel.
std::size_t NaturalStride(PixelFormat pixels, std::uint32_t width);
// The layout DirectShow's default for the format gives: natural stride, RGB bottom-up.
OutputLayout NaturalLayout(const VideoFormat& format);
// Bytes a frame of the layout fills; 0 when the layout is unusable (empty, odd sizes for
// YUV, a stride shorter than a row, or a size beyond what a sample can hold).
std::size_t FrameBytes(const OutputLayout& layout);

}  // namespace vcam
