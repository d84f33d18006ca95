// The placeholder card shown while nothing plays: the product's name, a short rule and
// "未在播放" (not playing), centred on a plain background. Where each piece goes for a
// frame size; drawing is PlaceholderCard's. No Win32 here.
#pragma once

#include <cstdint>

namespace vcam {

struct CardBox {
  std::int32_t left = 0, top = 0, right = 0, bottom = 0;
  std::int32_t Width() const { return right - left; }
  std::int32_t Height() const { return bottom - top; }
};

struct CardColour {
  std::uint8_t red, green, blue;
};

inline constexpr wchar_t kCardTitle[] = L"Plumora";
inline constexpr wchar_t kCardSubtitle[] = L"未在播放";
inline constexpr CardColour kCardBackground{36, 40, 52};
inline constexpr CardColour kCardTitleColour{245, 245, 245};
inline constexpr CardColour kCardRuleColour{142, 69, 133};  // plum
inline constexpr CardColour kCardSubtitleColour{180, 186, 198};

struct CardLayout {
  CardBox title;  // text centred in the box
  std::int32_t titleFontHeight = 0;
  CardBox rule;  // a filled bar
  CardBox subtitle;
  std::int32_t subtitleFontHeight = 0;
};

// For a frame of at least 1 x 1 pixels: every box inside the frame, title above rule
// above subtitle, the whole group centred.
CardLayout LayOutCard(std::uint32_t width, std::uint32_t height);

}  // namespace vcam
