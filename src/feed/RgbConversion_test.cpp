#include "feed/RgbConversion.h"

#include <gtest/gtest.h>

#include <climits>
#include <tuple>
#include <vector>

namespace feed {
namespace {

TEST(LayoutFromBitmapHeader, PadsRowsAndReadsTheRowOrderFromTheHeightsSign) {
  RgbLayout layout;
  ASSERT_TRUE(LayoutFromBitmapHeader(642, 480, 24, layout));
  EXPECT_EQ(layout.width, 642u);
  EXPECT_EQ(layout.height, 480u);
  EXPECT_EQ(layout.stride, 1928u);
  EXPECT_TRUE(layout.bottomUp);

  ASSERT_TRUE(LayoutFromBitmapHeader(641, -3, 32, layout));
  EXPECT_EQ(layout.stride, 2564u);
  EXPECT_EQ(layout.height, 3u);
  EXPECT_FALSE(layout.bottomUp);

  for (const auto& bad :
       {std::make_tuple(0, 10, 24), std::make_tuple(-5, 10, 24), std::make_tuple(5, 0, 24),
        std::make_tuple(5, INT_MIN, 24), std::make_tuple(5, 5, 0), std::make_tuple(5, 5, 12),
        std::make_tuple(INT_MAX, INT_MAX, 32)}) {
    EXPECT_FALSE(LayoutFromBitmapHeader(std::get<0>(bad), std::get<1>(bad),
                                        static_cast<std::uint16_t>(std::get<2>(bad)), layout));
  }
}

// A 3 x 2 picture whose every byte says where it came from: row * 100 + x * 10 + channel.
std::vector<std::uint8_t> Picture24(const RgbLayout& layout) {
  std::vector<std::uint8_t> bytes(layout.stride * layout.height, 0xEE);
  for (std::uint32_t row = 0; row < layout.height; ++row)
    for (std::uint32_t x = 0; x < layout.width; ++x)
      for (int c = 0; c < 3; ++c)
        bytes[row * layout.stride + x * 3 + c] = static_cast<std::uint8_t>(row * 100 + x * 10 + c);
  return bytes;
}

TEST(ConvertRgb24ToRgb32, CopiesPixelsAndFlipsOnlyWhenTheRowOrdersDiffer) {
  RgbLayout in, sameOrder, otherOrder;
  ASSERT_TRUE(LayoutFromBitmapHeader(3, 2, 24, in));  // stride 12: 3 padding bytes a row
  ASSERT_TRUE(LayoutFromBitmapHeader(3, 2, 32, sameOrder));
  ASSERT_TRUE(LayoutFromBitmapHeader(3, -2, 32, otherOrder));
  const auto source = Picture24(in);

  for (const RgbLayout& out : {sameOrder, otherOrder}) {
    std::vector<std::uint8_t> target(out.stride * out.height, 0x77);
    ASSERT_TRUE(
        ConvertRgb24ToRgb32(source.data(), source.size(), in, target.data(), target.size(), out));
    for (std::uint32_t row = 0; row < 2; ++row) {
      const std::uint32_t sourceRow = out.bottomUp == in.bottomUp ? row : 1 - row;
      for (std::uint32_t x = 0; x < 3; ++x) {
        const std::uint8_t* pixel = &target[row * out.stride + x * 4];
        EXPECT_EQ(pixel[0], sourceRow * 100 + x * 10 + 0);
        EXPECT_EQ(pixel[1], sourceRow * 100 + x * 10 + 1);
        EXPECT_EQ(pixel[2], sourceRow * 100 + x * 10 + 2);
        EXPECT_EQ(pixel[3], 0);
      }
    }
  }
}

TEST(ConvertRgb24ToRgb32, HonoursAWiderTargetStrideAndLeavesItsPaddingAlone) {
  RgbLayout in, out;
  ASSERT_TRUE(LayoutFromBitmapHeader(3, 2, 24, in));
  ASSERT_TRUE(LayoutFromBitmapHeader(8, 2, 32, out));  // a surface pitch of 8 pixels
  out.width = 3;
  const auto source = Picture24(in);
  std::vector<std::uint8_t> target(out.stride * 2, 0x77);
  ASSERT_TRUE(
      ConvertRgb24ToRgb32(source.data(), source.size(), in, target.data(), target.size(), out));
  EXPECT_EQ(target[out.stride + 0], 100);  // second row starts one pitch in
  EXPECT_EQ(target[12], 0x77);             // past the picture: untouched
}

TEST(ConvertRgb24ToRgb32, RefusesShortBuffersAndMismatchedSizesWithoutWriting) {
  RgbLayout in, out, bigger;
  ASSERT_TRUE(LayoutFromBitmapHeader(3, 2, 24, in));
  ASSERT_TRUE(LayoutFromBitmapHeader(3, 2, 32, out));
  ASSERT_TRUE(LayoutFromBitmapHeader(4, 2, 32, bigger));
  const auto source = Picture24(in);
  std::vector<std::uint8_t> target(out.stride * 2, 0x77);
  const std::vector<std::uint8_t> untouched = target;

  // The last row needs only its pixels, not its padding: 12 + 9 bytes.
  EXPECT_FALSE(ConvertRgb24ToRgb32(source.data(), 20, in, target.data(), target.size(), out));
  EXPECT_FALSE(
      ConvertRgb24ToRgb32(source.data(), source.size(), in, target.data(), target.size() - 1, out));
  EXPECT_FALSE(
      ConvertRgb24ToRgb32(source.data(), source.size(), in, target.data(), target.size(), bigger));
  EXPECT_FALSE(ConvertRgb24ToRgb32(nullptr, 0, in, target.data(), target.size(), out));
  EXPECT_EQ(target, untouched);
  EXPECT_TRUE(ConvertRgb24ToRgb32(source.data(), 21, in, target.data(), target.size(), out));
}

}  // namespace
}  // namespace feed
