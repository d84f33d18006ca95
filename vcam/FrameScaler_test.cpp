#include "vcam/FrameScaler.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "vcam/PictureFixture.h"

namespace vcam {
namespace {

using testing_support::Bgr;
using testing_support::PictureBlock;

constexpr Bgr kRed{0, 0, 255}, kGreen{0, 255, 0}, kBlue{255, 0, 0}, kWhite{255, 255, 255},
    kBlack{0, 0, 0}, kGrey{90, 120, 150};

// A frame buffer filled with garbage, so that pixels the scaler forgets show.
struct Frame {
  Frame(std::uint32_t width, std::uint32_t height, bool bottomUp, std::size_t padding = 0)
      : bytes((width * 3 + padding) * height, 0xAB),
        canvas{bytes.data(), width, height, width * 3 + padding, bottomUp} {}
  Bgr At(std::uint32_t x, std::uint32_t yFromTop) const {
    const std::uint8_t* p = canvas.RowFromTop(yFromTop) + x * 3;
    return {p[0], p[1], p[2]};
  }
  std::vector<std::uint8_t> bytes;
  RgbCanvas canvas;
};

Bgr Quadrants(std::uint32_t x, std::uint32_t y, std::uint32_t width, std::uint32_t height) {
  if (y < height / 2) return x < width / 2 ? kRed : kGreen;
  return x < width / 2 ? kBlue : kWhite;
}

TEST(FrameScaler, AtTheSameSizeCopiesEveryPixelTheRightWayUp) {
  // 8 pixels a row: no padding, so every row is stored (see the test below for less).
  const PictureBlock block(8, 5, [](std::uint32_t x, std::uint32_t y) {
    return Bgr{static_cast<std::uint8_t>(x * 30), static_cast<std::uint8_t>(y * 40),
               static_cast<std::uint8_t>(x + y)};
  });
  for (bool bottomUp : {true, false}) {
    SCOPED_TRACE(bottomUp ? "bottom-up frame" : "top-down frame");
    Frame frame(8, 5, bottomUp);
    CFrameScaler scaler;
    scaler.Draw(block.Picture(), frame.canvas);
    for (std::uint32_t y = 0; y < 5; ++y)
      for (std::uint32_t x = 0; x < 8; ++x)
        ASSERT_EQ(frame.At(x, y),
                  (Bgr{static_cast<std::uint8_t>(x * 30), static_cast<std::uint8_t>(y * 40),
                       static_cast<std::uint8_t>(x + y)}))
            << x << "," << y;
  }
}

TEST(FrameScaler, UpscalingKeepsEachQuadrantInItsPlace) {
  const PictureBlock block(8, 6,
                           [](std::uint32_t x, std::uint32_t y) { return Quadrants(x, y, 8, 6); });
  Frame frame(32, 24, true);
  CFrameScaler scaler;
  scaler.Draw(block.Picture(), frame.canvas);
  // Away from the seams every quadrant keeps its colour exactly.
  EXPECT_EQ(frame.At(4, 4), kRed);
  EXPECT_EQ(frame.At(27, 4), kGreen);
  EXPECT_EQ(frame.At(4, 19), kBlue);
  EXPECT_EQ(frame.At(27, 19), kWhite);
  // At the seam between red and green the two blend.
  const Bgr seam = frame.At(16, 4);
  EXPECT_GT(seam.red, 60);
  EXPECT_GT(seam.green, 60);
}

TEST(FrameScaler, HalvingAveragesEachSquareOfFourPixels) {
  // A checkerboard of single pixels turns into an even grey, not into one of its colours.
  const PictureBlock block(
      64, 48, [](std::uint32_t x, std::uint32_t y) { return (x + y) % 2 ? kWhite : kBlack; });
  Frame frame(32, 24, false);
  CFrameScaler scaler;
  scaler.Draw(block.Picture(), frame.canvas);
  for (std::uint32_t y = 0; y < 24; ++y)
    for (std::uint32_t x = 0; x < 32; ++x) {
      const Bgr pixel = frame.At(x, y);
      ASSERT_NEAR(pixel.green, 128, 1) << x << "," << y;
    }
}

struct BarCase {
  std::uint32_t pictureWidth, pictureHeight;
  std::uint32_t x, y, width, height;  // where the picture must land in a 64 x 48 frame
};

TEST(FrameScaler, BarsAreBlackAndThePictureFillsTheRest) {
  const BarCase cases[] = {
      {64, 36, 0, 6, 64, 36},   // wide: bars above and below
      {27, 48, 18, 0, 27, 48},  // tall: bars left and right
      {32, 24, 0, 0, 64, 48},   // same shape: none
      {640, 1, 0, 23, 64, 1},   // a line
  };
  for (const BarCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.pictureWidth << "x" << c.pictureHeight);
    const PictureBlock block(c.pictureWidth, c.pictureHeight,
                             [](std::uint32_t, std::uint32_t) { return kGrey; });
    for (bool bottomUp : {true, false}) {
      Frame frame(64, 48, bottomUp, 4);  // with padding bytes after each row
      CFrameScaler scaler;
      scaler.Draw(block.Picture(), frame.canvas);
      for (std::uint32_t y = 0; y < 48; ++y)
        for (std::uint32_t x = 0; x < 64; ++x) {
          const bool inside = x >= c.x && x < c.x + c.width && y >= c.y && y < c.y + c.height;
          ASSERT_EQ(frame.At(x, y), inside ? kGrey : kBlack) << x << "," << y;
        }
      // The padding after each row is not the scaler's.
      for (std::uint32_t y = 0; y < 48; ++y) ASSERT_EQ(frame.canvas.RowFromTop(y)[64 * 3], 0xAB);
    }
  }
}

TEST(FrameScaler, ScalingReadsNothingBeyondTheStoredBytes) {
  // 5 pixels a row padded to 16 bytes: the stored 3 rows (45 bytes) end before the top
  // row's padded place does (32 + 15 = 47). The vector is exactly the block, so
  // AddressSanitizer reports any read past it.
  const PictureBlock block(5, 3,
                           [](std::uint32_t, std::uint32_t y) { return y == 0 ? kRed : kBlue; });
  ASSERT_EQ(block.Picture().readableRows, 2u);
  for (auto [width, height] : {std::pair{5u, 3u}, {40u, 24u}, {3u, 2u}}) {
    Frame frame(width, height, true);
    CFrameScaler scaler;
    scaler.Draw(block.Picture(), frame.canvas);
    // The unreadable top row repeats the row below it.
    EXPECT_EQ(frame.At(0, 0), kBlue);
  }
}

TEST(FrameScaler, OneScalerServesPicturesOfChangingSizes) {
  CFrameScaler scaler;
  Frame frame(32, 24, true);
  for (std::uint32_t width : {16u, 64u, 16u, 40u}) {
    const PictureBlock block(width, 12, [width](std::uint32_t x, std::uint32_t y) {
      return Quadrants(x, y, width, 12);
    });
    scaler.Draw(block.Picture(), frame.canvas);
    const Placement placement = FitInside(width, 12, 32, 24);
    SCOPED_TRACE(width);
    EXPECT_EQ(frame.At(placement.x + 1, placement.y + 1), kRed);
    EXPECT_EQ(frame.At(placement.x + placement.width - 2, placement.y + placement.height - 2),
              kWhite);
  }
}

}  // namespace
}  // namespace vcam
