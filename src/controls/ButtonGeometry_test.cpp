#include "controls/ButtonGeometry.h"

#include <gtest/gtest.h>

namespace controls {
namespace {

TEST(ButtonGeometry, ThePictureKeepsItsShapeInsideAOnePixelMarginAndIsCentred) {
  struct Case {
    Box area;
    int imageWidth, imageHeight;
    Box expected;
  };
  const Case cases[] = {
      // 60 x 30 after the margin: a square picture is 30 x 30, centred across.
      {{0, 0, 62, 32}, 32, 32, {16, 1, 46, 31}},
      // Tall area: the width decides, centred down.
      {{10, 20, 42, 122}, 48, 48, {11, 56, 41, 86}},
      // A wide picture in a square area: 2:1 -> 40 x 20.
      {{0, 0, 42, 42}, 100, 50, {1, 11, 41, 31}},
      // Truncation: 3 x 7 picture into 10 x 10 -> height 10, width 10 / (7/3) = 4.28 -> 4.
      {{0, 0, 12, 12}, 3, 7, {4, 1, 8, 11}},
      // The area does not move the picture off its own origin.
      {{-5, -5, 7, 7}, 10, 10, {-4, -4, 6, 6}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FitImage(c.area, c.imageWidth, c.imageHeight), c.expected)
        << c.area.left << "," << c.area.top << " " << c.imageWidth << "x" << c.imageHeight;
  }
}

TEST(ButtonGeometry, NothingIsDrawnWithoutRoomOrWithoutAPicture) {
  EXPECT_TRUE(FitImage({0, 0, 2, 40}, 32, 32).IsEmpty());  // no width left after the margin
  EXPECT_TRUE(FitImage({0, 0, 40, 1}, 32, 32).IsEmpty());  // no height
  EXPECT_TRUE(FitImage({0, 0, 40, 40}, 0, 32).IsEmpty());  // an unreadable picture
  EXPECT_TRUE(FitImage({0, 0, 40, 40}, 32, -1).IsEmpty());
  // So thin that it rounds to nothing.
  EXPECT_TRUE(FitImage({0, 0, 12, 12}, 1000, 1).IsEmpty());
}

TEST(ButtonGeometry, TheCaptionTakesTheLowerPartAndThePictureTheUpperFiveSevenths) {
  const Box face{0, 0, 57, 48};
  EXPECT_EQ(CaptionBox(face), (Box{0, 27, 57, 48}));      // 5 * 48 / 9 = 26, + 1
  EXPECT_EQ(ImageArea(face, true), (Box{0, 0, 57, 34}));  // 5 * 48 / 7 = 34
  EXPECT_EQ(ImageArea(face, false), face);
  const Box moved{10, 100, 40, 163};
  EXPECT_EQ(CaptionBox(moved).top, 100 + 35 + 1);
  EXPECT_EQ(ImageArea(moved, true).bottom, 100 + 45);
}

TEST(ButtonGeometry, TextIsCentredWithTruncatedHalves) {
  EXPECT_EQ(CentreIn({0, 27, 57, 48}, 24, 12), (Box{16, 31, 40, 43}));
  // Text wider than its box sticks out on both sides.
  EXPECT_EQ(CentreIn({0, 0, 10, 10}, 15, 4), (Box{-2, 3, 13, 7}));
}

TEST(ButtonGeometry, BrighteningAddsTheSmallestRoomToEveryChannel) {
  struct Case {
    Rgb in, out;
  };
  const Case cases[] = {
      {{236, 233, 216}, {255, 252, 235}},  // the classic button face
      {{240, 240, 240}, {255, 255, 255}},
      {{100, 50, 0}, {130, 80, 30}},     // dark colours gain the full 30
      {{255, 0, 0}, {255, 0, 0}},        // a full channel leaves no room
      {{225, 226, 10}, {254, 255, 39}},  // 225 still gains 30 on its own; 226 only 29
  };
  for (const Case& c : cases) {
    const Rgb got = BrightenActiveColour(c.in);
    EXPECT_EQ(got, c.out) << int(c.in.red) << "," << int(c.in.green) << "," << int(c.in.blue)
                          << " -> " << int(got.red) << "," << int(got.green) << ","
                          << int(got.blue);
  }
}

}  // namespace
}  // namespace controls
