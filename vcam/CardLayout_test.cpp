#include "vcam/CardLayout.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace vcam {
namespace {

bool Inside(const CardBox& box, std::uint32_t width, std::uint32_t height) {
  return box.left >= 0 && box.top >= 0 && box.right <= static_cast<std::int32_t>(width) &&
         box.bottom <= static_cast<std::int32_t>(height) && box.left <= box.right &&
         box.top <= box.bottom;
}

TEST(CardLayout, StacksTitleRuleAndSubtitleInsideEveryFrame) {
  const std::pair<std::uint32_t, std::uint32_t> sizes[] = {
      {320, 240}, {640, 480}, {1280, 720}, {240, 320}, {4000, 100}, {100, 4000}, {1, 1}, {2, 3}};
  for (auto [width, height] : sizes) {
    SCOPED_TRACE(testing::Message() << width << "x" << height);
    const CardLayout card = LayOutCard(width, height);
    EXPECT_TRUE(Inside(card.title, width, height));
    EXPECT_TRUE(Inside(card.rule, width, height));
    EXPECT_TRUE(Inside(card.subtitle, width, height));
    EXPECT_LE(card.title.bottom, card.rule.top);
    EXPECT_LE(card.rule.bottom, card.subtitle.top);
    EXPECT_GE(card.titleFontHeight, 1);
    EXPECT_GE(card.subtitleFontHeight, 1);
    EXPECT_LE(card.subtitleFontHeight, card.titleFontHeight);
    // The rule is centred to the pixel.
    EXPECT_LE(std::abs(card.rule.left - (static_cast<std::int32_t>(width) - card.rule.right)), 1);
  }
}

TEST(CardLayout, AtTheOfferedSizesTheTextIsReadableAndTheGroupCentred) {
  for (auto [width, height] : {std::pair{320u, 240u}, {640u, 480u}, {1280u, 720u}}) {
    SCOPED_TRACE(testing::Message() << width << "x" << height);
    const CardLayout card = LayOutCard(width, height);
    EXPECT_GE(card.titleFontHeight, static_cast<std::int32_t>(height) / 8);
    EXPECT_GE(card.subtitleFontHeight, 16);  // Chinese glyphs need a dozen pixels or more
    EXPECT_GE(card.title.Height(), card.titleFontHeight);
    EXPECT_GE(card.subtitle.Height(), card.subtitleFontHeight);
    EXPECT_GE(card.rule.Height(), 1);
    // Room above and below the group within a tenth of the height of each other.
    const std::int32_t above = card.title.top;
    const std::int32_t below = static_cast<std::int32_t>(height) - card.subtitle.bottom;
    EXPECT_LE(std::abs(above - below), static_cast<std::int32_t>(height) / 10);
  }
}

TEST(CardLayout, GrowsWithTheFrame) {
  const CardLayout small = LayOutCard(320, 240), large = LayOutCard(1280, 720);
  EXPECT_GT(large.titleFontHeight, 2 * small.titleFontHeight);
  EXPECT_GT(large.rule.Width(), 2 * small.rule.Width());
}

}  // namespace
}  // namespace vcam
