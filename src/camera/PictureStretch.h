// Stretching a picture to another size with a separable bicubic filter whose reach grows
// with the shrink factor, so that a picture made smaller is averaged over the pixels each
// new one covers instead of sampled between them (no jagged edges, no moire). Pixels
// beyond the picture's edges are its own, mirrored, so the border keeps its colour. No
// Win32 here.
#pragma once

#include <cstddef>
#include <cstdint>

namespace camera {

// How the bytes of a pixel are laid out, in memory order.
enum class PixelLayout {
  Bgr,                // 3 bytes
  Bgrx,               // 4 bytes, the fourth unused
  BgraStraight,       // 4 bytes, colour not multiplied by alpha
  BgraPremultiplied,  // 4 bytes, colour already multiplied by alpha
};

std::size_t BytesPerPixel(PixelLayout layout);

struct PixelsView {
  const std::uint8_t* pixels = nullptr;
  int width = 0;
  int height = 0;
  std::ptrdiff_t stride = 0;  // bytes from one row's start to the next; may be negative
};

struct PixelsTarget {
  std::uint8_t* pixels = nullptr;
  int width = 0;
  int height = 0;
  std::ptrdiff_t stride = 0;
};

// Stretches source over the whole of target, both in the given layout, without keeping
// the aspect ratio. False, with nothing written, for an empty or absurd size (the filter
// or the picture between its passes would not fit in memory at a size beyond reason).
bool StretchPixels(const PixelsView& source, const PixelsTarget& target, PixelLayout layout);

}  // namespace camera
