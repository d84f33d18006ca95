#include "vcam/PixelConversion.h"

#include <cstring>

namespace vcam {

namespace {

// BT.601 in 8-bit fixed point.
int Luma(int r, int g, int b) {
  return ((66 * r + 129 * g + 25 * b + 128) >> 8) + 16;
}
// Chroma of the sum of 2^shift pixels' components: their average's chroma.
int BlueDifference(int r, int g, int b, int shift = 0) {
  return ((-38 * r - 74 * g + 112 * b + (128 << shift)) >> (8 + shift)) + 128;
}
int RedDifference(int r, int g, int b, int shift = 0) {
  return ((112 * r - 94 * g - 18 * b + (128 << shift)) >> (8 + shift)) + 128;
}

std::uint8_t* OutputRow(const OutputLayout& layout, std::uint8_t* frame, std::uint32_t row) {
  const bool rgb = layout.pixels == PixelFormat::Rgb24 || layout.pixels == PixelFormat::Rgb32;
  const std::uint32_t memoryRow = rgb && layout.bottomUp ? layout.height - 1 - row : row;
  return frame + layout.stride * memoryRow;
}

void ToRgb24(const RgbCanvas& picture, const OutputLayout& layout, std::uint8_t* frame) {
  for (std::uint32_t y = 0; y < layout.height; ++y)
    std::memcpy(OutputRow(layout, frame, y), picture.RowFromTop(y),
                static_cast<std::size_t>(layout.width) * 3);
}

void ToRgb32(const RgbCanvas& picture, const OutputLayout& layout, std::uint8_t* frame) {
  for (std::uint32_t y = 0; y < layout.height; ++y) {
    const std::uint8_t* in = picture.RowFromTop(y);
    std::uint8_t* out = OutputRow(layout, frame, y);
    for (std::uint32_t x = 0; x < layout.width; ++x, in += 3, out += 4) {
      out[0] = in[0];
      out[1] = in[1];
      out[2] = in[2];
      out[3] = 0xFF;  // opaque, for clients that read the fourth byte as alpha
    }
  }
}

void ToYuy2(const RgbCanvas& picture, const OutputLayout& layout, std::uint8_t* frame) {
  for (std::uint32_t y = 0; y < layout.height; ++y) {
    const std::uint8_t* in = picture.RowFromTop(y);
    std::uint8_t* out = OutputRow(layout, frame, y);
    for (std::uint32_t x = 0; x < layout.width; x += 2, in += 6, out += 4) {
      const int r = in[2] + in[5], g = in[1] + in[4], b = in[0] + in[3];
      out[0] = static_cast<std::uint8_t>(Luma(in[2], in[1], in[0]));
      out[1] = static_cast<std::uint8_t>(BlueDifference(r, g, b, 1));
      out[2] = static_cast<std::uint8_t>(Luma(in[5], in[4], in[3]));
      out[3] = static_cast<std::uint8_t>(RedDifference(r, g, b, 1));
    }
  }
}

void ToI420(const RgbCanvas& picture, const OutputLayout& layout, std::uint8_t* frame) {
  const std::size_t chromaStride = layout.stride / 2;
  std::uint8_t* uPlane = frame + layout.stride * layout.height;
  std::uint8_t* vPlane = uPlane + chromaStride * (layout.height / 2);
  for (std::uint32_t y = 0; y < layout.height; y += 2) {
    const std::uint8_t* upper = picture.RowFromTop(y);
    const std::uint8_t* lower = picture.RowFromTop(y + 1);
    std::uint8_t* lumaUpper = frame + layout.stride * y;
    std::uint8_t* lumaLower = lumaUpper + layout.stride;
    std::uint8_t* u = uPlane + chromaStride * (y / 2);
    std::uint8_t* v = vPlane + chromaStride * (y / 2);
    for (std::uint32_t x = 0; x < layout.width; x += 2) {
      const std::uint8_t* a = upper + x * 3;
      const std::uint8_t* c = lower + x * 3;
      lumaUpper[x] = static_cast<std::uint8_t>(Luma(a[2], a[1], a[0]));
      lumaUpper[x + 1] = static_cast<std::uint8_t>(Luma(a[5], a[4], a[3]));
      lumaLower[x] = static_cast<std::uint8_t>(Luma(c[2], c[1], c[0]));
      lumaLower[x + 1] = static_cast<std::uint8_t>(Luma(c[5], c[4], c[3]));
      const int r = a[2] + a[5] + c[2] + c[5], g = a[1] + a[4] + c[1] + c[4],
                b = a[0] + a[3] + c[0] + c[3];
      u[x / 2] = static_cast<std::uint8_t>(BlueDifference(r, g, b, 2));
      v[x / 2] = static_cast<std::uint8_t>(RedDifference(r, g, b, 2));
    }
  }
}

}  // namespace

Yuv RgbToYuv(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
  return {static_cast<std::uint8_t>(Luma(red, green, blue)),
          static_cast<std::uint8_t>(BlueDifference(red, green, blue)),
          static_cast<std::uint8_t>(RedDifference(red, green, blue))};
}

bool ConvertPicture(const RgbCanvas& picture, const OutputLayout& layout, std::uint8_t* frame,
                    std::size_t frameBytes) {
  const std::size_t needed = FrameBytes(layout);
  if (needed == 0 || frameBytes < needed || frame == nullptr || picture.pixels == nullptr ||
      picture.width != layout.width || picture.height != layout.height ||
      picture.stride < static_cast<std::size_t>(picture.width) * 3)
    return false;
  switch (layout.pixels) {
    case PixelFormat::Rgb24:
      ToRgb24(picture, layout, frame);
      break;
    case PixelFormat::Rgb32:
      ToRgb32(picture, layout, frame);
      break;
    case PixelFormat::Yuy2:
      ToYuy2(picture, layout, frame);
      break;
    case PixelFormat::I420:
      ToI420(picture, layout, frame);
      break;
  }
  return true;
}

}  // namespace vcam
