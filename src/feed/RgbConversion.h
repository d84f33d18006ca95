// Row geometry of uncompressed RGB pictures and the RGB24 to RGB32 conversion that lets
// a renderer which refuses 24-bit input show the grabber's frames. No Win32 here.
#pragma once

#include <cstddef>
#include <cstdint>

namespace feed {

struct RgbLayout {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::size_t stride = 0;  // bytes from one row's start to the next
  bool bottomUp = true;    // the first row in memory is the picture's bottom row
};

// The layout a BITMAPINFOHEADER describes: rows padded to 4 bytes, bottom-up when the
// height is positive. False for sizes no picture has (zero, negative width, overflow).
bool LayoutFromBitmapHeader(std::int32_t width, std::int32_t height, std::uint16_t bitCount,
                            RgbLayout& layout);

// Bytes a buffer needs to hold the layout's rows (the last row without its padding).
std::size_t RequiredBytes(const RgbLayout& layout, std::uint32_t bytesPerPixel);

// Copies every pixel, turning blue-green-red triplets into blue-green-red-0 quads and
// flipping the rows when the two layouts' row orders differ. False, with nothing
// written, when the sizes differ or a buffer is too small for its layout.
bool ConvertRgb24ToRgb32(const std::uint8_t* source, std::size_t sourceBytes,
                         const RgbLayout& sourceLayout, std::uint8_t* target,
                         std::size_t targetBytes, const RgbLayout& targetLayout);

}  // namespace feed
