#include "vcam/FrameComposer.h"

#include <gtest/gtest.h>

#include <vector>

#include "vcam/PictureFixture.h"
#include "vcam/PixelConversion.h"

namespace vcam {
namespace {

using testing_support::Bgr;
using testing_support::PictureBlock;

// The luma (or green, for RGB) and the first chroma (or blue) of pixel (x, y) of a frame.
std::pair<int, int> Sample(const OutputLayout& layout, const std::vector<std::uint8_t>& frame,
                           std::uint32_t x, std::uint32_t y) {
  switch (layout.pixels) {
    case PixelFormat::Rgb24:
    case PixelFormat::Rgb32: {
      const std::size_t bytesPerPixel = layout.pixels == PixelFormat::Rgb24 ? 3 : 4;
      const std::uint32_t row = layout.bottomUp ? layout.height - 1 - y : y;
      const std::uint8_t* p = frame.data() + layout.stride * row + x * bytesPerPixel;
      return {p[1], p[0]};
    }
    case PixelFormat::Yuy2: {
      const std::uint8_t* pair = frame.data() + layout.stride * y + (x / 2) * 4;
      return {pair[(x % 2) * 2], pair[1]};
    }
    case PixelFormat::I420: {
      const std::uint8_t* u = frame.data() + layout.stride * layout.height;
      return {frame[layout.stride * y + x], u[layout.stride / 2 * (y / 2) + x / 2]};
    }
  }
  return {-1, -1};
}

TEST(FrameComposer, EveryFormatShowsThePictureBetweenBlackBars) {
  const Bgr orange{0, 140, 255};
  const PictureBlock block(1280, 720, [&](std::uint32_t, std::uint32_t) { return orange; });
  const Yuv orangeYuv = RgbToYuv(orange.red, orange.green, orange.blue);
  const Yuv blackYuv = RgbToYuv(0, 0, 0);
  CFrameComposer composer;
  for (std::size_t i = 0; i < OfferedFormatCount(); ++i) {
    const VideoFormat format = OfferedFormat(i);
    if (format.width != 640) continue;
    SCOPED_TRACE(static_cast<int>(format.pixels));
    const OutputLayout layout = NaturalLayout(format);
    std::vector<std::uint8_t> frame(FrameBytes(layout), 0x77);
    ASSERT_TRUE(composer.ComposePicture(block.Picture(), layout, frame.data(), frame.size()));
    const bool rgb = format.pixels == PixelFormat::Rgb24 || format.pixels == PixelFormat::Rgb32;
    const std::pair<int, int> picture = rgb ? std::pair<int, int>{orange.green, orange.blue}
                                            : std::pair<int, int>{orangeYuv.y, orangeYuv.u};
    const std::pair<int, int> bar =
        rgb ? std::pair<int, int>{0, 0} : std::pair<int, int>{blackYuv.y, blackYuv.u};
    // 16:9 in 4:3: rows 0-59 and 420-479 are bars.
    for (std::uint32_t y : {0u, 59u, 420u, 479u})
      EXPECT_EQ(Sample(layout, frame, 320, y), bar) << y;
    for (std::uint32_t y : {60u, 240u, 419u})
      for (std::uint32_t x : {0u, 320u, 639u})
        EXPECT_EQ(Sample(layout, frame, x, y), picture) << x << "," << y;
  }
}

TEST(FrameComposer, RefusesAFrameTooSmallForItsLayout) {
  const PictureBlock block(64, 48, [](std::uint32_t, std::uint32_t) { return Bgr{1, 2, 3}; });
  CFrameComposer composer;
  for (PixelFormat pixels :
       {PixelFormat::Rgb24, PixelFormat::Rgb32, PixelFormat::Yuy2, PixelFormat::I420}) {
    const OutputLayout layout = NaturalLayout({pixels, 320, 240});
    std::vector<std::uint8_t> frame(FrameBytes(layout) - 1, 0x77);
    EXPECT_FALSE(composer.ComposePicture(block.Picture(), layout, frame.data(), frame.size()));
    EXPECT_EQ(frame, std::vector<std::uint8_t>(frame.size(), 0x77));
  }
}

}  // namespace
}  // namespace vcam
