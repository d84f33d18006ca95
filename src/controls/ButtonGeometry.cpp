#include "controls/ButtonGeometry.h"

#include <algorithm>

namespace controls {

Box CaptionBox(const Box& face) {
  Box caption = face;
  caption.top = face.top + (5 * face.Height()) / 9 + 1;
  return caption;
}

Box ImageArea(const Box& face, bool captionBelowImage) {
  Box area = face;
  if (captionBelowImage) area.bottom = face.top + (5 * face.Height()) / 7;
  return area;
}

Box FitImage(const Box& area, int imageWidth, int imageHeight) {
  const int width = area.Width() - 2;
  const int height = area.Height() - 2;
  if (width <= 0 || height <= 0 || imageWidth <= 0 || imageHeight <= 0) return {};

  const double ratio = static_cast<double>(imageHeight) / imageWidth;
  int drawWidth = width;
  int drawHeight = height;
  if (static_cast<double>(height) / width > ratio)
    drawHeight = static_cast<int>(ratio * width);
  else
    drawWidth = static_cast<int>(height / ratio);
  if (drawWidth <= 0 || drawHeight <= 0) return {};

  const int left = area.left + 1 + (width - drawWidth) / 2;
  const int top = area.top + 1 + (height - drawHeight) / 2;
  return {left, top, left + drawWidth, top + drawHeight};
}

Box CentreIn(const Box& container, int textWidth, int textHeight) {
  const int left = container.left + (container.Width() - textWidth) / 2;
  const int top = container.top + (container.Height() - textHeight) / 2;
  return {left, top, left + textWidth, top + textHeight};
}

Rgb BrightenActiveColour(Rgb colour) {
  const auto room = [](std::uint8_t channel) { return channel < 226 ? 30 : 255 - channel; };
  const int gain = std::min({room(colour.red), room(colour.green), room(colour.blue)});
  return {static_cast<std::uint8_t>(colour.red + gain),
          static_cast<std::uint8_t>(colour.green + gain),
          static_cast<std::uint8_t>(colour.blue + gain)};
}

}  // namespace controls
