#include "camera/CaptureSizes.h"

#include <gtest/gtest.h>

namespace camera {
namespace {

struct LargestCase {
  std::vector<FrameSize> offers;
  std::optional<FrameSize> largest;
  FrameSize requested;
  FrameSize target;
};

TEST(CaptureSizesTest, TheLargestSizeDominatesAndTheRequestIsKeptWhenTheCameraReachesIt) {
  const FrameSize vga{640, 480};
  const LargestCase cases[] = {
      // Wider but lower than the best so far does not replace it.
      {{{640, 480}, {1280, 720}, {800, 600}}, FrameSize{1280, 720}, vga, vga},
      {{{320, 240}, {352, 288}}, FrameSize{352, 288}, vga, {352, 288}},
      // A later entry as large in both directions wins, even with equal area.
      {{{1280, 720}, {1280, 720}}, FrameSize{1280, 720}, vga, vga},
      // Taller but narrower is no better than 800x600, and 800x600 reaches 640x480.
      {{{800, 600}, {720, 1280}}, FrameSize{800, 600}, vga, vga},
      // The first offer is below the request in height only.
      {{{1920, 400}}, FrameSize{1920, 400}, vga, {1920, 400}},
      {{}, std::nullopt, vga, vga},
  };
  for (const LargestCase& c : cases) {
    const std::optional<FrameSize> largest = LargestOfferedSize(c.offers);
    ASSERT_EQ(largest.has_value(), c.largest.has_value());
    if (!largest) continue;
    EXPECT_EQ(largest->width, c.largest->width);
    EXPECT_EQ(largest->height, c.largest->height);
    const FrameSize target = StreamTargetSize(c.requested, *largest);
    EXPECT_EQ(target.width, c.target.width);
    EXPECT_EQ(target.height, c.target.height);
  }
}

TEST(CaptureSizesTest, PhotographsAreTheReferenceSizeUnlessTheCameraIsSmaller) {
  struct Case {
    FrameSize largest, frame, photo;
  } const cases[] = {
      {{1600, 1200}, {640, 480}, {640, 480}},
      {{1280, 720}, {1280, 720}, {640, 480}},  // stretched down to the reference
      {{352, 288}, {352, 288}, {352, 288}},    // 288 / 352 * 352 in single precision
      {{320, 240}, {320, 240}, {320, 240}},
      {{1280, 400}, {1280, 400}, {1280, 400}},  // lower than 480: as wide as the camera
      {{352, 288}, {176, 144}, {352, 288}},
  };
  for (const Case& c : cases) {
    const FrameSize photo = PhotoTargetSize({640, 480}, c.largest, c.frame);
    EXPECT_EQ(photo.width, c.photo.width) << c.largest.width << "x" << c.largest.height;
    EXPECT_EQ(photo.height, c.photo.height) << c.largest.width << "x" << c.largest.height;
  }
}

}  // namespace
}  // namespace camera
