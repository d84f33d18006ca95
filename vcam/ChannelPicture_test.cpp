#include "vcam/ChannelPicture.h"

#include <gtest/gtest.h>

#include <vector>

#include "feed/FrameLayout.h"

namespace vcam {
namespace {

std::vector<std::uint8_t> BlockWithHeader(std::size_t bytes, std::uint16_t width,
                                          std::uint16_t height) {
  std::vector<std::uint8_t> block(bytes, 0x5A);
  block[0] = static_cast<std::uint8_t>(width);
  block[1] = static_cast<std::uint8_t>(width >> 8);
  block[2] = static_cast<std::uint8_t>(height);
  block[3] = static_cast<std::uint8_t>(height >> 8);
  return block;
}

TEST(FindChannelPicture, ReadsTheHeaderAndCountsRowsFromTheBottom) {
  // 5 pixels a row: 15 bytes padded to 16.
  auto block = BlockWithHeader(4 + 16 * 3, 5, 3);
  ChannelPicture picture;
  ASSERT_TRUE(FindChannelPicture(block.data(), block.size(), picture));
  EXPECT_EQ(picture.width, 5u);
  EXPECT_EQ(picture.height, 3u);
  EXPECT_EQ(picture.stride, 16u);
  EXPECT_EQ(picture.readableRows, 3u);
  EXPECT_EQ(picture.pixels, block.data() + 4);
  EXPECT_EQ(PictureRowFromTop(picture, 2), block.data() + 4);  // the bottom row comes first
  EXPECT_EQ(PictureRowFromTop(picture, 0), block.data() + 4 + 32);
}

struct HeaderCase {
  std::size_t blockBytes;
  std::uint16_t width, height;
  const char* what;
};

TEST(FindChannelPicture, FindsNoPictureUnderHeadersThatCannotBeTrusted) {
  const HeaderCase cases[] = {
      {feed::kFrameBlockBytes, 0, 0, "nothing written yet"},
      {feed::kFrameBlockBytes, 0, 480, "zero width"},
      {feed::kFrameBlockBytes, 640, 0, "zero height"},
      {feed::kFrameBlockBytes, 65535, 65535, "beyond the capacity"},
      {feed::kFrameBlockBytes, 3000, 2001, "one row beyond the capacity"},
      {4 + 100 * 3 - 1, 10, 10, "beyond a smaller block by one byte"},
  };
  for (const HeaderCase& c : cases) {
    SCOPED_TRACE(c.what);
    const auto block = BlockWithHeader(c.blockBytes, c.width, c.height);
    ChannelPicture picture;
    EXPECT_FALSE(FindChannelPicture(block.data(), block.size(), picture));
  }
  const std::uint8_t tiny[3] = {1, 0, 1};
  ChannelPicture picture;
  EXPECT_FALSE(FindChannelPicture(tiny, sizeof tiny, picture));
  EXPECT_FALSE(FindChannelPicture(nullptr, 0, picture));
}

TEST(FindChannelPicture, TheFullestPictureStillFits) {
  const auto block = BlockWithHeader(feed::kFrameBlockBytes, 3000, 2000);
  ChannelPicture picture;
  ASSERT_TRUE(FindChannelPicture(block.data(), block.size(), picture));
  EXPECT_EQ(picture.readableRows, 2000u);
}

TEST(FindChannelPicture, RowsThatPaddingPushesPastTheBlockAreNeverReturned) {
  // 91 pixels a row (273 bytes padded to 276) by 65535 rows fits the capacity by
  // width * height * 3, but the padded rows reach 18,087,657 bytes.
  const auto block = BlockWithHeader(feed::kFrameBlockBytes, 91, 65535);
  ChannelPicture picture;
  ASSERT_TRUE(FindChannelPicture(block.data(), block.size(), picture));
  EXPECT_LT(picture.readableRows, 65535u);
  EXPECT_GT(picture.readableRows, 65000u);
  const std::uint8_t* end = block.data() + block.size();
  for (std::uint32_t row : {0u, 1u, 500u, 65534u - picture.readableRows, 65534u})
    EXPECT_LE(PictureRowFromTop(picture, row) + 91 * 3, end) << row;
  // The top rows repeat the highest readable one.
  EXPECT_EQ(PictureRowFromTop(picture, 0),
            PictureRowFromTop(picture, 65535 - picture.readableRows));
}

}  // namespace
}  // namespace vcam
