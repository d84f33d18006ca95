#include "vcam/VideoFormats.h"

#include <gtest/gtest.h>

#include <set>
#include <tuple>

namespace vcam {
namespace {

TEST(OfferedFormats, Rgb24At640x480ComesFirstAndEveryFormatComesAtEverySizeOnce) {
  const VideoFormat first = OfferedFormat(0);
  EXPECT_EQ(first.pixels, PixelFormat::Rgb24);
  EXPECT_EQ(first.width, 640u);
  EXPECT_EQ(first.height, 480u);

  std::set<std::tuple<PixelFormat, std::uint32_t, std::uint32_t>> seen;
  for (std::size_t i = 0; i < OfferedFormatCount(); ++i) {
    const VideoFormat format = OfferedFormat(i);
    EXPECT_TRUE(IsOfferedSize(format.width, format.height));
    EXPECT_TRUE(seen.emplace(format.pixels, format.width, format.height).second) << i;
  }
  for (PixelFormat pixels :
       {PixelFormat::Rgb24, PixelFormat::Rgb32, PixelFormat::Yuy2, PixelFormat::I420})
    for (auto [width, height] : {std::pair{640u, 480u}, {320u, 240u}, {1280u, 720u}})
      EXPECT_EQ(seen.count({pixels, width, height}), 1u) << width << "x" << height;
  EXPECT_EQ(seen.size(), OfferedFormatCount());
  EXPECT_FALSE(IsOfferedSize(800, 600));
  EXPECT_FALSE(IsOfferedSize(480, 640));
}

TEST(FrameIntervals, FromThirtyDownToFiveFramesASecondOrTheDefault) {
  EXPECT_TRUE(IsServedFrameInterval(0));
  EXPECT_TRUE(IsServedFrameInterval(333333));
  EXPECT_TRUE(IsServedFrameInterval(666666));
  EXPECT_TRUE(IsServedFrameInterval(2000000));
  EXPECT_FALSE(IsServedFrameInterval(333332));  // faster than 30 a second
  EXPECT_FALSE(IsServedFrameInterval(166666));
  EXPECT_FALSE(IsServedFrameInterval(2000001));
  EXPECT_FALSE(IsServedFrameInterval(-333333));
}

struct BytesCase {
  PixelFormat pixels;
  std::uint32_t width, height;
  std::size_t stride;  // 0: the natural one
  std::size_t bytes;
};

TEST(FrameBytes, CountsEachFormatAndRefusesLayoutsThatCannotHoldAFrame) {
  const BytesCase cases[] = {
      {PixelFormat::Rgb24, 640, 480, 0, 921600},
      {PixelFormat::Rgb24, 642, 2, 0, 3856},  // rows padded to 1928 bytes
      {PixelFormat::Rgb24, 640, 480, 2048, 983040},
      {PixelFormat::Rgb32, 320, 240, 0, 307200},
      {PixelFormat::Yuy2, 1280, 720, 0, 1843200},
      {PixelFormat::I420, 640, 480, 0, 460800},
      {PixelFormat::I420, 320, 240, 384, 138240},  // a renderer's wider stride
      {PixelFormat::Rgb24, 640, 480, 1919, 0},     // shorter than a row
      {PixelFormat::Yuy2, 321, 240, 0, 0},         // odd widths have no chroma pair
      {PixelFormat::I420, 320, 241, 0, 0},
      {PixelFormat::I420, 320, 240, 321, 0},  // chroma planes need half a stride
      {PixelFormat::Rgb32, 0, 480, 0, 0},
      {PixelFormat::Rgb32, 640, 0, 0, 0},
      {PixelFormat::Rgb32, 65535, 65535, 0, 0},  // beyond what a sample can hold
  };
  for (const BytesCase& c : cases) {
    SCOPED_TRACE(testing::Message() << static_cast<int>(c.pixels) << " " << c.width << "x"
                                    << c.height << " stride " << c.stride);
    OutputLayout layout = NaturalLayout({c.pixels, c.width, c.height});
    if (c.stride != 0) layout.stride = c.stride;
    EXPECT_EQ(FrameBytes(layout), c.bytes);
  }
}

TEST(NaturalLayout, RgbIsBottomUpAndYuvTopDown) {
  EXPECT_TRUE(NaturalLayout({PixelFormat::Rgb24, 640, 480}).bottomUp);
  EXPECT_TRUE(NaturalLayout({PixelFormat::Rgb32, 640, 480}).bottomUp);
  EXPECT_FALSE(NaturalLayout({PixelFormat::Yuy2, 640, 480}).bottomUp);
  EXPECT_FALSE(NaturalLayout({PixelFormat::I420, 640, 480}).bottomUp);
}

}  // namespace
}  // namespace vcam
