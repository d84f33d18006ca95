// libFuzzer target: stretching any small picture between any two sizes, in any layout,
// with rows padded or running bottom-up, reads and writes only the pictures' own pixels
// (the sanitizers watch) and keeps premultiplied colour within its alpha.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "camera/PictureStretch.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
  if (size < 7) return 0;
  const int fromWidth = 1 + data[0] % 48, fromHeight = 1 + data[1] % 48;
  const int toWidth = 1 + data[2] % 96, toHeight = 1 + data[3] % 96;
  const auto layout = static_cast<camera::PixelLayout>(data[4] % 4);
  const int padding = data[5] % 4;
  const bool bottomUp = (data[6] & 1) != 0;
  data += 7;
  size -= 7;

  const auto bytes = static_cast<int>(camera::BytesPerPixel(layout));
  const std::ptrdiff_t fromStride = fromWidth * bytes + padding;
  // Exactly the bytes the pictures need: the last row has no padding after it.
  std::vector<std::uint8_t> from(fromStride * (fromHeight - 1) + fromWidth * bytes);
  for (size_t i = 0; i < from.size(); ++i) from[i] = size == 0 ? 0 : data[i % size];
  const std::ptrdiff_t toStride = toWidth * bytes;
  std::vector<std::uint8_t> to(toStride * toHeight);

  camera::PixelsView source{from.data(), fromWidth, fromHeight, fromStride};
  camera::PixelsTarget target{to.data(), toWidth, toHeight, toStride};
  if (bottomUp) {
    source.pixels += fromStride * (fromHeight - 1);
    source.stride = -fromStride;
    target.pixels += toStride * (toHeight - 1);
    target.stride = -toStride;
  }
  Check(camera::StretchPixels(source, target, layout));
  if (layout == camera::PixelLayout::BgraPremultiplied) {
    for (size_t i = 0; i < to.size(); i += 4)
      Check(to[i] <= to[i + 3] && to[i + 1] <= to[i + 3] && to[i + 2] <= to[i + 3]);
  }
  return 0;
}
