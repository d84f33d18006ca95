#include "moviemaker/ImageStrip.h"

#include <gtest/gtest.h>

namespace moviemaker {
namespace {

TEST(ImageStrip, AScrolledViewStartsInsideTheCellOfTheFirstImageInView) {
  struct Case {
    int stripHeight, position;
    StripView expected;
  };
  const Case cases[] = {
      {300, 0, {3, 0, 10}},
      // 165 pixels down: image 1's cell (110..220) is in view from its 55th pixel.
      {300, 165, {3, 1, -45}},
      {300, 220, {3, 2, 10}},
      {330, 0, {4, 0, 10}},
      {50, 1000, {1, 9, 0}},
  };
  for (const Case& c : cases) {
    const StripView view = ViewAt(c.stripHeight, c.position);
    SCOPED_TRACE(testing::Message() << c.stripHeight << " at " << c.position);
    EXPECT_EQ(view.rows, c.expected.rows);
    EXPECT_EQ(view.firstVisible, c.expected.firstVisible);
    EXPECT_EQ(view.firstTop, c.expected.firstTop);
  }
}

TEST(ImageStrip, ThumbnailsKeepTheirShapeCentredInTheBand) {
  struct Case {
    double width, height;
    int stripWidth, cellTop;
    Box expected;
  };
  const Case cases[] = {
      // Wide: 100 x 25, 37 pixels below the cell's top.
      {400, 100, 100, 0, {0, 37, 100, 62}},
      // Tall: 25 x 100 at x = 37.
      {100, 400, 100, 0, {37, 0, 62, 100}},
      // Square in a wider strip: the band's height decides.
      {640, 640, 224, 120, {62, 120, 162, 220}},
      // 4:3 in a strip of 224: 133 x 100 (truncated), centred across.
      {1280, 960, 224, -45, {45, -45, 178, 55}},
      // Exactly the band's shape: the ratio test is strict, so the height decides.
      {200, 100, 200, 10, {0, 10, 200, 110}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " in " << c.stripWidth);
    EXPECT_EQ(FitThumbnail(c.width, c.height, c.stripWidth, c.cellTop), c.expected);
  }
  EXPECT_TRUE(FitThumbnail(0, 100, 100, 0).IsEmpty());
  EXPECT_TRUE(FitThumbnail(100, 100, 0, 0).IsEmpty());
}

TEST(ImageStrip, AHitTakesTheSmallestIndexWhoseRectangleHoldsThePoint) {
  const std::map<int, Box> thumbnails = {
      {3, {10, 10, 90, 110}}, {4, {0, 120, 100, 220}}, {5, {10, 10, 50, 50}}};
  EXPECT_EQ(HitTestThumbnail(thumbnails, 10, 10), 3);    // left and top edges are inside
  EXPECT_EQ(HitTestThumbnail(thumbnails, 90, 50), -1);   // the right edge is outside
  EXPECT_EQ(HitTestThumbnail(thumbnails, 50, 110), -1);  // so is the bottom edge
  EXPECT_EQ(HitTestThumbnail(thumbnails, 50, 115), -1);  // the gap between cells
  EXPECT_EQ(HitTestThumbnail(thumbnails, 99, 219), 4);
  EXPECT_EQ(HitTestThumbnail(thumbnails, 20, 20), 3);  // overlap: the smaller index
  EXPECT_EQ(HitTestThumbnail({}, 0, 0), -1);
}

TEST(ImageStrip, ScrollingMovesByLinesPagesOrTheThumbAndStaysInRange) {
  struct Case {
    ScrollEvent event;
    int position, track;
    std::optional<int> expected;
  };
  // Range 0 .. 550, page 300.
  const Case cases[] = {
      {ScrollEvent::LineDown, 0, 0, 110},   {ScrollEvent::LineDown, 500, 0, 550},
      {ScrollEvent::LineUp, 165, 0, 55},    {ScrollEvent::LineUp, 50, 0, 0},
      {ScrollEvent::PageDown, 100, 0, 400}, {ScrollEvent::PageDown, 300, 0, 550},
      {ScrollEvent::PageUp, 200, 0, 0},     {ScrollEvent::Track, 0, 333, 333},
      {ScrollEvent::Track, 0, 900, 550},    {ScrollEvent::Other, 220, 0, std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << static_cast<int>(c.event) << " from " << c.position);
    EXPECT_EQ(ScrollTarget(c.event, c.position, 300, c.track, 0, 550), c.expected);
  }
}

TEST(ImageStrip, EveryWheelMessageMovesOneLineWhateverItsDelta) {
  EXPECT_EQ(WheelTarget(-240, 0, 0, 550), 110);
  EXPECT_EQ(WheelTarget(-1, 0, 0, 550), 110);
  EXPECT_EQ(WheelTarget(120, 330, 0, 550), 220);
  EXPECT_EQ(WheelTarget(480, 330, 0, 550), 220);
  EXPECT_EQ(WheelTarget(0, 330, 0, 550), std::nullopt);
  EXPECT_EQ(WheelTarget(120, 0, 0, 0), 0);
}

TEST(ImageStrip, TheBarShowsOnlyWhenTheImagesAreHigherThanTheStrip) {
  EXPECT_EQ(ScrollMaximum(5), 550);
  EXPECT_TRUE(ScrollBarVisible(ScrollMaximum(5), 300));
  EXPECT_FALSE(ScrollBarVisible(ScrollMaximum(2), 300));
  EXPECT_FALSE(ScrollBarVisible(ScrollMaximum(3), 330));  // 330 is not higher than 330
  EXPECT_FALSE(ScrollBarVisible(ScrollMaximum(0), 0));
}

TEST(ImageStrip, AViewAtTheEndOfTheListFollowsTheListAsItGrowsOrShrinks) {
  // Showing the end of 5 images (550, page 300, so at 250): one more keeps the end in view.
  EXPECT_EQ(PositionAfterListChange(250, 550, 660), 360);
  // At the top too, adding moves the view down by what was added.
  EXPECT_EQ(PositionAfterListChange(0, 550, 660), 110);
  // Removing moves it up, never above 0.
  EXPECT_EQ(PositionAfterListChange(250, 550, 440), 140);
  EXPECT_EQ(PositionAfterListChange(50, 550, 440), 0);
  EXPECT_EQ(PositionAfterListChange(220, 220, 0), 0);
  // Up and down leave the range as it was, and the view too.
  EXPECT_EQ(PositionAfterListChange(165, 550, 550), 165);
}

TEST(ImageStrip, EditsKeepTheSelectionOnTheImageOrClearIt) {
  ImageList list{{L"a", L"b", L"c"}, -1};
  EXPECT_FALSE(list.MoveSelectedUp());
  EXPECT_FALSE(list.MoveSelectedDown());  // nothing selected: nothing moves
  EXPECT_FALSE(list.RemoveSelected());

  list.selected = 2;
  EXPECT_FALSE(list.MoveSelectedDown());  // already last
  EXPECT_TRUE(list.MoveSelectedUp());     // the third moves to second place, still selected
  EXPECT_EQ(list.paths, (std::vector<std::wstring>{L"a", L"c", L"b"}));
  EXPECT_EQ(list.selected, 1);
  EXPECT_TRUE(list.MoveSelectedUp());
  EXPECT_FALSE(list.MoveSelectedUp());  // already first
  EXPECT_EQ(list.paths, (std::vector<std::wstring>{L"c", L"a", L"b"}));
  EXPECT_EQ(list.selected, 0);
  EXPECT_TRUE(list.MoveSelectedDown());
  EXPECT_EQ(list.paths, (std::vector<std::wstring>{L"a", L"c", L"b"}));
  EXPECT_EQ(list.selected, 1);

  EXPECT_TRUE(list.RemoveSelected());
  EXPECT_EQ(list.paths, (std::vector<std::wstring>{L"a", L"b"}));
  EXPECT_EQ(list.selected, -1);
  EXPECT_EQ(list.PathAt(1), L"b");
  EXPECT_EQ(list.PathAt(2), L"");
  EXPECT_EQ(list.PathAt(-1), L"");

  list.selected = 0;
  list.Clear();
  EXPECT_TRUE(list.paths.empty());
  EXPECT_EQ(list.selected, -1);
}

TEST(ImageStrip, TheSelectionBandCrossesTheStripBehindTheThumbnail) {
  EXPECT_EQ(SelectionBand(224, -45), (Box{0, -45, 224, 55}));
}

}  // namespace
}  // namespace moviemaker
