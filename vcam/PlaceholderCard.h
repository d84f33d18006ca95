// The card shown while nothing plays (see CardLayout), drawn with GDI into a top-down
// RGB24 picture and kept for as long as the frame size stays.
#pragma once

#include <cstdint>
#include <vector>

#include "vcam/FrameScaler.h"

namespace vcam {

class CPlaceholderCard {
 public:
  // The card at this size, drawn on first use. Should GDI fail, the card is its plain
  // background: never garbage.
  const RgbCanvas& At(std::uint32_t width, std::uint32_t height);

 private:
  void Draw();

  std::vector<std::uint8_t> m_pixels;
  RgbCanvas m_canvas;
};

}  // namespace vcam
