#include "vcam/Letterbox.h"

#include <gtest/gtest.h>

namespace vcam {
namespace {

struct FitCase {
  std::uint32_t pictureWidth, pictureHeight, frameWidth, frameHeight;
  Placement expected;
};

TEST(FitInside, KeepsTheAspectRatioCentredWithBars) {
  const FitCase cases[] = {
      {1280, 720, 640, 480, {0, 60, 640, 360}},   // bars above and below
      {720, 1280, 640, 480, {185, 0, 270, 480}},  // bars left and right
      {160, 120, 320, 240, {0, 0, 320, 240}},     // same shape: no bars
      {1280, 720, 1280, 720, {0, 0, 1280, 720}},
      {3000, 2000, 1280, 720, {100, 0, 1080, 720}},
      {641, 480, 640, 480, {0, 0, 640, 479}},  // 479.25 rounds down
      {644, 480, 640, 480, {0, 1, 640, 477}},  // 477.02: the odd row goes below
      {65535, 1, 640, 480, {0, 239, 640, 1}},  // still a line, not nothing
      {1, 65535, 640, 480, {319, 0, 1, 480}},
      {65535, 65535, 1280, 720, {280, 0, 720, 720}},
      {0, 480, 640, 480, {0, 0, 0, 0}},
      {640, 0, 640, 480, {0, 0, 0, 0}},
      {640, 480, 0, 0, {0, 0, 0, 0}},
  };
  for (const FitCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.pictureWidth << "x" << c.pictureHeight << " in "
                                    << c.frameWidth << "x" << c.frameHeight);
    const Placement placement =
        FitInside(c.pictureWidth, c.pictureHeight, c.frameWidth, c.frameHeight);
    EXPECT_EQ(placement.x, c.expected.x);
    EXPECT_EQ(placement.y, c.expected.y);
    EXPECT_EQ(placement.width, c.expected.width);
    EXPECT_EQ(placement.height, c.expected.height);
  }
}

TEST(FitInside, StaysInsideTheFrameForEveryShape) {
  for (std::uint32_t pictureWidth : {1u, 3u, 159u, 640u, 1919u, 65535u})
    for (std::uint32_t pictureHeight : {1u, 2u, 121u, 480u, 1081u, 65535u})
      for (auto [frameWidth, frameHeight] : {std::pair{320u, 240u}, {640u, 480u}, {1280u, 720u}}) {
        const Placement p = FitInside(pictureWidth, pictureHeight, frameWidth, frameHeight);
        ASSERT_GE(p.width, 1u);
        ASSERT_GE(p.height, 1u);
        ASSERT_LE(p.x + p.width, frameWidth);
        ASSERT_LE(p.y + p.height, frameHeight);
        // One side fills the frame; the bars on either side differ by a pixel at most.
        ASSERT_TRUE(p.width == frameWidth || p.height == frameHeight);
        ASSERT_LE(frameWidth - p.width - 2 * p.x, 1u);
        ASSERT_LE(frameHeight - p.height - 2 * p.y, 1u);
      }
}

}  // namespace
}  // namespace vcam
