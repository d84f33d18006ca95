#include "vcam/PixelConversion.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

namespace vcam {
namespace {

// BT.601 studio range in floating point, as the standard writes it.
double ReferenceY(double r, double g, double b) {
  return 16 + (65.481 * r + 128.553 * g + 24.966 * b) / 255;
}
double ReferenceU(double r, double g, double b) {
  return 128 + (-37.797 * r - 74.203 * g + 112.0 * b) / 255;
}
double ReferenceV(double r, double g, double b) {
  return 128 + (112.0 * r - 93.786 * g - 18.214 * b) / 255;
}

TEST(RgbToYuv, MatchesTheStandardWithinOneStep) {
  for (int r = 0; r < 256; r += 15)
    for (int g = 0; g < 256; g += 15)
      for (int b = 0; b < 256; b += 15) {
        const Yuv yuv = RgbToYuv(static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g),
                                 static_cast<std::uint8_t>(b));
        ASSERT_NEAR(yuv.y, ReferenceY(r, g, b), 1.0) << r << "," << g << "," << b;
        ASSERT_NEAR(yuv.u, ReferenceU(r, g, b), 1.0) << r << "," << g << "," << b;
        ASSERT_NEAR(yuv.v, ReferenceV(r, g, b), 1.0) << r << "," << g << "," << b;
      }
  const Yuv black = RgbToYuv(0, 0, 0), white = RgbToYuv(255, 255, 255);
  EXPECT_EQ(black.y, 16);
  EXPECT_EQ(white.y, 235);
  EXPECT_EQ(black.u, 128);
  EXPECT_EQ(white.v, 128);
}

// A top-down picture of distinct pixels: blue = x * 20 + 10, green = y * 50 + 5, red = 99.
struct Picture {
  Picture(std::uint32_t width, std::uint32_t height)
      : bytes(width * 3 * height), canvas{bytes.data(), width, height, width * 3, false} {
    for (std::uint32_t y = 0; y < height; ++y)
      for (std::uint32_t x = 0; x < width; ++x) {
        std::uint8_t* p = canvas.RowFromTop(y) + x * 3;
        p[0] = static_cast<std::uint8_t>(x * 20 + 10);
        p[1] = static_cast<std::uint8_t>(y * 50 + 5);
        p[2] = 99;
      }
  }
  const std::uint8_t* At(std::uint32_t x, std::uint32_t y) const {
    return canvas.RowFromTop(y) + x * 3;
  }
  std::vector<std::uint8_t> bytes;
  RgbCanvas canvas;
};

TEST(ConvertPicture, Rgb24AndRgb32KeepTheirRowOrderAndLeavePaddingAlone) {
  const Picture picture(4, 3);
  for (PixelFormat pixels : {PixelFormat::Rgb24, PixelFormat::Rgb32}) {
    for (bool bottomUp : {true, false}) {
      SCOPED_TRACE(testing::Message() << (pixels == PixelFormat::Rgb24 ? "RGB24" : "RGB32")
                                      << (bottomUp ? " bottom-up" : " top-down"));
      OutputLayout layout{pixels, 4, 3, NaturalStride(pixels, 4) + 8, bottomUp};
      std::vector<std::uint8_t> frame(FrameBytes(layout), 0xCD);
      ASSERT_TRUE(ConvertPicture(picture.canvas, layout, frame.data(), frame.size()));
      const std::size_t bytesPerPixel = pixels == PixelFormat::Rgb24 ? 3 : 4;
      for (std::uint32_t y = 0; y < 3; ++y) {
        const std::uint8_t* row = frame.data() + layout.stride * (bottomUp ? 2 - y : y);
        for (std::uint32_t x = 0; x < 4; ++x) {
          const std::uint8_t* out = row + x * bytesPerPixel;
          ASSERT_EQ(0, std::memcmp(out, picture.At(x, y), 3)) << x << "," << y;
          if (bytesPerPixel == 4) {
            ASSERT_EQ(out[3], 0xFF);
          }
        }
        ASSERT_EQ(row[4 * bytesPerPixel], 0xCD);  // padding untouched
      }
    }
  }
}

TEST(ConvertPicture, Yuy2PacksLumaOfEachPixelAndChromaOfEachPairTopRowFirst) {
  const Picture picture(4, 2);
  OutputLayout layout = NaturalLayout({PixelFormat::Yuy2, 4, 2});
  layout.bottomUp = true;  // YUV ignores it
  std::vector<std::uint8_t> frame(FrameBytes(layout));
  ASSERT_TRUE(ConvertPicture(picture.canvas, layout, frame.data(), frame.size()));
  for (std::uint32_t y = 0; y < 2; ++y)
    for (std::uint32_t x = 0; x < 4; x += 2) {
      const std::uint8_t* out = frame.data() + y * 8 + x * 2;
      const std::uint8_t* left = picture.At(x, y);
      const std::uint8_t* right = picture.At(x + 1, y);
      EXPECT_EQ(out[0], RgbToYuv(left[2], left[1], left[0]).y);
      EXPECT_EQ(out[2], RgbToYuv(right[2], right[1], right[0]).y);
      const double r = (left[2] + right[2]) / 2.0, g = (left[1] + right[1]) / 2.0,
                   b = (left[0] + right[0]) / 2.0;
      EXPECT_NEAR(out[1], ReferenceU(r, g, b), 1.0);
      EXPECT_NEAR(out[3], ReferenceV(r, g, b), 1.0);
    }
}

TEST(ConvertPicture, I420HasALumaPlaneThenQuarterSizeBlueThenRedPlanes) {
  // Left half red, right half blue: the chroma planes tell blue from red difference.
  std::vector<std::uint8_t> bytes(8 * 3 * 4);
  RgbCanvas canvas{bytes.data(), 8, 4, 24, false};
  for (std::uint32_t y = 0; y < 4; ++y)
    for (std::uint32_t x = 0; x < 8; ++x) {
      std::uint8_t* p = canvas.RowFromTop(y) + x * 3;
      p[0] = x < 4 ? 0 : 255;
      p[1] = static_cast<std::uint8_t>(y * 60);
      p[2] = x < 4 ? 255 : 0;
    }
  for (std::size_t stride : {8u, 12u}) {
    SCOPED_TRACE(stride);
    const OutputLayout layout{PixelFormat::I420, 8, 4, stride, false};
    std::vector<std::uint8_t> frame(FrameBytes(layout), 0xCD);
    ASSERT_TRUE(ConvertPicture(canvas, layout, frame.data(), frame.size()));
    for (std::uint32_t y = 0; y < 4; ++y)
      for (std::uint32_t x = 0; x < 8; ++x) {
        const std::uint8_t* p = canvas.RowFromTop(y) + x * 3;
        ASSERT_EQ(frame[stride * y + x], RgbToYuv(p[2], p[1], p[0]).y) << x << "," << y;
      }
    const std::uint8_t* u = frame.data() + stride * 4;
    const std::uint8_t* v = u + stride / 2 * 2;
    for (std::uint32_t y = 0; y < 2; ++y)
      for (std::uint32_t x = 0; x < 4; ++x) {
        const bool red = x < 2;
        const double g = (y * 2 * 60 + (y * 2 + 1) * 60) / 2.0;
        EXPECT_NEAR(u[stride / 2 * y + x], ReferenceU(red ? 255 : 0, g, red ? 0 : 255), 1.0);
        EXPECT_NEAR(v[stride / 2 * y + x], ReferenceV(red ? 255 : 0, g, red ? 0 : 255), 1.0);
      }
    EXPECT_LT(u[0], 128);  // red has less blue than grey
    EXPECT_GT(v[0], 128);
  }
}

TEST(ConvertPicture, RefusesMismatchedSizesAndShortFramesWithoutWriting) {
  const Picture picture(4, 2), oddPicture(3, 2);
  const OutputLayout fits = NaturalLayout({PixelFormat::Rgb32, 4, 2});
  const OutputLayout otherSize = NaturalLayout({PixelFormat::Rgb32, 4, 4});
  const OutputLayout oddYuv{PixelFormat::Yuy2, 3, 2, 6, false};
  std::vector<std::uint8_t> frame(64, 0xCD);
  EXPECT_FALSE(ConvertPicture(picture.canvas, fits, frame.data(), FrameBytes(fits) - 1));
  EXPECT_FALSE(ConvertPicture(picture.canvas, otherSize, frame.data(), frame.size()));
  EXPECT_FALSE(ConvertPicture(oddPicture.canvas, oddYuv, frame.data(), frame.size()));
  EXPECT_FALSE(ConvertPicture(picture.canvas, fits, nullptr, frame.size()));
  EXPECT_EQ(frame, std::vector<std::uint8_t>(64, 0xCD));
}

}  // namespace
}  // namespace vcam
