#include "feed/FrameLayout.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <vector>

namespace feed {
namespace {

struct PlanCase {
  std::int32_t width;
  std::int32_t height;
  FrameFit fit;
  std::size_t pixelBytes;
};

TEST(PlanFrame, DecidesEveryKindOfSize) {
  const PlanCase cases[] = {
      {3000, 2000, FrameFit::Fits, 18000000},  // exactly the capacity
      {3000, 2001, FrameFit::TooLarge, 0},
      {640, 480, FrameFit::Fits, 921600},
      {642, 3, FrameFit::Fits, 5778},
      {0, 480, FrameFit::Fits, 0},  // header only
      {640, 0, FrameFit::Fits, 0},
      {65535, 1, FrameFit::Fits, 196605},
      {65536, 1, FrameFit::OutOfRange, 0},  // fits the block, not the header
      {1, 65536, FrameFit::OutOfRange, 0},
      {6000000, 1, FrameFit::OutOfRange, 0},  // the capacity alone would pass it
      {0, 70000, FrameFit::OutOfRange, 0},
      {-1, 480, FrameFit::OutOfRange, 0},
      {640, -480, FrameFit::OutOfRange, 0},
      {-640, -480, FrameFit::OutOfRange, 0},      // the product alone would look valid
      {INT_MAX, INT_MAX, FrameFit::TooLarge, 0},  // no overflow in the size arithmetic
      {INT_MIN, INT_MIN, FrameFit::OutOfRange, 0},
      {100000, 100000, FrameFit::TooLarge, 0},
  };
  for (const PlanCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.width << " x " << c.height);
    const FramePlan plan = PlanFrame(c.width, c.height);
    EXPECT_EQ(plan.fit, c.fit);
    EXPECT_EQ(plan.pixelBytes, c.pixelBytes);
  }
}

std::vector<std::uint8_t> Pattern(std::size_t size, std::uint8_t seed) {
  std::vector<std::uint8_t> bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(i * 31 + seed);
  return bytes;
}

TEST(StoreFrame, WritesLittleEndianHeaderThenPixelsAndLeavesTheRest) {
  std::vector<std::uint8_t> block(kFrameBlockBytes, 0xEE);
  const auto pixels = Pattern(0x0102 * 0x0304 * 3, 7);
  StoreFrame(block.data(), pixels.data(), 0x0102, 0x0304, PlanFrame(0x0102, 0x0304));

  EXPECT_EQ(block[0], 0x02);
  EXPECT_EQ(block[1], 0x01);
  EXPECT_EQ(block[2], 0x04);
  EXPECT_EQ(block[3], 0x03);
  EXPECT_EQ(0, std::memcmp(block.data() + 4, pixels.data(), pixels.size()));
  EXPECT_EQ(block[4 + pixels.size()], 0xEE);
  EXPECT_EQ(block.back(), 0xEE);
}

TEST(StoreFrame, SmallerFrameLeavesTheLargerOnesTail) {
  std::vector<std::uint8_t> block(kFrameBlockBytes, 0);
  const auto large = Pattern(1280 * 720 * 3, 1);
  const auto small = Pattern(640 * 480 * 3, 2);
  StoreFrame(block.data(), large.data(), 1280, 720, PlanFrame(1280, 720));
  StoreFrame(block.data(), small.data(), 640, 480, PlanFrame(640, 480));

  EXPECT_EQ(0, std::memcmp(block.data() + 4, small.data(), small.size()));
  EXPECT_EQ(0, std::memcmp(block.data() + 4 + small.size(), large.data() + small.size(),
                           large.size() - small.size()));
}

TEST(StoreFrame, EmptyFrameWritesOnlyTheHeader) {
  std::vector<std::uint8_t> block(kFrameBlockBytes, 0x55);
  const std::uint8_t pixel = 0;
  StoreFrame(block.data(), &pixel, 0, 9, PlanFrame(0, 9));
  EXPECT_EQ(block[0], 0);
  EXPECT_EQ(block[2], 9);
  EXPECT_EQ(block[4], 0x55);
}

TEST(Rgb24RowStride, RoundsRowBytesUpToFour) {
  EXPECT_EQ(Rgb24RowStride(0), 0u);
  EXPECT_EQ(Rgb24RowStride(1), 4u);
  EXPECT_EQ(Rgb24RowStride(640), 1920u);
  EXPECT_EQ(Rgb24RowStride(642), 1928u);
  EXPECT_EQ(Rgb24RowStride(65535), 196608u);
}

TEST(ReadFrame, ReadsWhatStoreFrameWrote) {
  std::vector<std::uint8_t> block(kFrameBlockBytes, 0);
  const auto pixels = Pattern(642 * 3 * 3, 3);
  StoreFrame(block.data(), pixels.data(), 642, 3, PlanFrame(642, 3));

  FrameView view;
  ASSERT_TRUE(ReadFrame(block.data(), block.size(), view));
  EXPECT_EQ(view.width, 642);
  EXPECT_EQ(view.height, 3);
  EXPECT_EQ(view.rowStride, 1928u);
  EXPECT_EQ(view.pixelBytes, pixels.size());
  EXPECT_EQ(view.pixels, block.data() + 4);
}

TEST(ReadFrame, RefusesHeadersTheBlockCannotBackUp) {
  std::vector<std::uint8_t> block(kFrameBlockBytes, 0);
  FrameView view;
  // 65535 x 65535 x 3 overflows 32-bit arithmetic into a small number.
  block[0] = block[1] = block[2] = block[3] = 0xFF;
  EXPECT_FALSE(ReadFrame(block.data(), block.size(), view));
  // 3000 x 2001: one row more than the capacity.
  const std::uint16_t tooTall[2] = {3000, 2001};
  std::memcpy(block.data(), tooTall, sizeof tooTall);
  EXPECT_FALSE(ReadFrame(block.data(), block.size(), view));
  // A header that fits a full block but not a truncated one.
  const std::uint16_t small[2] = {2, 2};
  std::memcpy(block.data(), small, sizeof small);
  EXPECT_TRUE(ReadFrame(block.data(), 4 + 12, view));
  EXPECT_FALSE(ReadFrame(block.data(), 4 + 11, view));
  EXPECT_FALSE(ReadFrame(block.data(), 3, view));
  EXPECT_FALSE(ReadFrame(nullptr, kFrameBlockBytes, view));
}

}  // namespace
}  // namespace feed
