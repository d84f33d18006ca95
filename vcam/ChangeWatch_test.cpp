#include "vcam/ChangeWatch.h"

#include <gtest/gtest.h>

#include "vcam/PictureFixture.h"

namespace vcam {
namespace {

using testing_support::Bgr;
using testing_support::PictureBlock;

TEST(PictureFingerprint, ChangesWithAnyPixelByteAndWithTheSize) {
  PictureBlock block(12, 7, [](std::uint32_t x, std::uint32_t y) {
    return Bgr{static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y), 7};
  });
  const std::uint64_t original = PictureFingerprint(block.Picture());
  EXPECT_EQ(PictureFingerprint(block.Picture()), original);
  // Every stored byte counts, the last one included (12 * 7 * 3 is no multiple of 8).
  for (std::size_t at = 4; at < block.Bytes().size(); ++at) {
    block.Bytes()[at] ^= 1;
    ASSERT_NE(PictureFingerprint(block.Picture()), original) << at;
    block.Bytes()[at] ^= 1;
  }
  // Same bytes, other shape.
  ChannelPicture reshaped = block.Picture();
  std::swap(reshaped.width, reshaped.height);
  EXPECT_NE(PictureFingerprint(reshaped), original);
}

TEST(ChangeWatch, APictureUnchangedForFiveSecondsIsStaleUntilItChanges) {
  CChangeWatch watch;
  EXPECT_TRUE(watch.IsStale(0));  // nothing seen yet
  EXPECT_TRUE(watch.WantsLook(0));
  watch.Observe(1, 1000);
  EXPECT_FALSE(watch.IsStale(1000));
  for (std::int64_t now = 1250; now < 6000; now += 250) watch.Observe(1, now);
  EXPECT_FALSE(watch.IsStale(5999));
  EXPECT_TRUE(watch.IsStale(6000));
  watch.Observe(2, 6100);
  EXPECT_FALSE(watch.IsStale(6100));
  EXPECT_FALSE(watch.IsStale(11099));
  EXPECT_TRUE(watch.IsStale(11100));
}

TEST(ChangeWatch, AfterForgettingThePictureTheNextOneCountsAsNew) {
  CChangeWatch watch;
  watch.Observe(1, 0);
  watch.Forget();  // say the header went bad
  EXPECT_TRUE(watch.IsStale(100));
  watch.Observe(1, 9000);  // the same picture as before, written anew
  EXPECT_FALSE(watch.IsStale(9000));
}

TEST(ChangeWatch, LooksFourTimesASecond) {
  CChangeWatch watch;
  watch.Observe(1, 0);
  EXPECT_FALSE(watch.WantsLook(249));
  EXPECT_TRUE(watch.WantsLook(250));
  watch.Observe(1, 250);
  EXPECT_FALSE(watch.WantsLook(400));
}

}  // namespace
}  // namespace vcam
