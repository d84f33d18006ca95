#include "vcam/CardLayout.h"

#include <algorithm>

namespace vcam {

CardLayout LayOutCard(std::uint32_t frameWidth, std::uint32_t frameHeight) {
  const std::int32_t width =
      static_cast<std::int32_t>(std::min<std::uint32_t>(frameWidth, 1u << 16));
  const std::int32_t height =
      static_cast<std::int32_t>(std::min<std::uint32_t>(frameHeight, 1u << 16));
  CardLayout card;
  // "Plumora" in a bold face is about four em wide: keep it within 80% of the width.
  card.titleFontHeight = std::max(1, std::min(height * 16 / 100, width / 5));
  card.subtitleFontHeight = std::max(1, card.titleFontHeight * 9 / 20);
  const std::int32_t titleLine = card.titleFontHeight * 5 / 4;
  const std::int32_t subtitleLine = card.subtitleFontHeight * 5 / 4;
  const std::int32_t gap = card.titleFontHeight / 4;
  const std::int32_t ruleThickness = std::max(1, card.titleFontHeight / 16);
  const std::int32_t ruleWidth = std::max(1, std::min(card.titleFontHeight * 5 / 2, width * 3 / 5));

  // The group sits a little above the middle, where the eye expects a title.
  const std::int32_t group = titleLine + gap + ruleThickness + gap + subtitleLine;
  const std::int32_t top = std::max(0, (height - group) * 9 / 20);

  card.title = {0, top, width, std::min(height, top + titleLine)};
  const std::int32_t ruleTop = std::min(height, card.title.bottom + gap);
  const std::int32_t ruleLeft = (width - ruleWidth) / 2;
  card.rule = {ruleLeft, ruleTop, ruleLeft + ruleWidth, std::min(height, ruleTop + ruleThickness)};
  const std::int32_t subtitleTop = std::min(height, card.rule.bottom + gap);
  card.subtitle = {0, subtitleTop, width, std::min(height, subtitleTop + subtitleLine)};
  return card;
}

}  // namespace vcam
