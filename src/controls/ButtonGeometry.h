// Where an image button puts its caption and picture, and its brightened pressed colour:
// plain arithmetic on rectangles and colours, shared by the drawing code and its tests.
#pragma once

#include <cstdint>

namespace controls {

// A rectangle as Win32 gives them: right and bottom lie just outside.
struct Box {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool IsEmpty() const { return Width() <= 0 || Height() <= 0; }
  bool operator==(const Box& other) const {
    return left == other.left && top == other.top && right == other.right && bottom == other.bottom;
  }
};

// The part of the face under the picture that holds the caption: the lower 4/9 or so.
Box CaptionBox(const Box& face);

// The part of the face the picture may take: all of it, or the upper 5/7 when the caption
// goes below.
Box ImageArea(const Box& face, bool captionBelowImage);

// Where a picture of imageWidth x imageHeight is drawn in area: inside a margin of one
// pixel, as large as fits with its aspect ratio kept, centred. Empty when nothing can be
// drawn (an empty area or picture).
Box FitImage(const Box& area, int imageWidth, int imageHeight);

// text (of textWidth x textHeight) centred in container; halves truncate.
Box CentreIn(const Box& container, int textWidth, int textHeight);

struct Rgb {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;

  bool operator==(const Rgb& other) const {
    return red == other.red && green == other.green && blue == other.blue;
  }
};

// A lighter tone of colour for the pressed face: every channel gains the same amount,
// 30 at most and never past 255, so the hue stays.
Rgb BrightenActiveColour(Rgb colour);

}  // namespace controls
