// The image strip of the images-to-movie window: a column of 110-pixel cells (a 100-pixel
// thumbnail band and a 10-pixel gap) that scrolls by pixels. Layout, fitting, hit testing,
// scroll arithmetic and the list's edits, without Win32, shared by the window and its tests.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "controls/ButtonGeometry.h"

namespace moviemaker {

using controls::Box;

constexpr int kCellHeight = 110;
constexpr int kThumbnailHeight = 100;
// The strip's distance from the frame that holds it, on every side.
constexpr int kStripInset = 10;

// Which cells a paint draws and where the first one starts, in strip coordinates.
struct StripView {
  int rows = 0;          // cells that may be in view: strip height / 110 + 1
  int firstVisible = 0;  // index of the first image in view
  int firstTop = 0;      // top of that image's cell; negative when scrolled into it
};
StripView ViewAt(int stripHeight, int scrollPosition);

// Where an image of imageWidth x imageHeight is drawn in the thumbnail band of the cell at
// cellTop, for a strip stripWidth wide: as large as fits with its aspect ratio kept,
// centred. Empty for an image without size.
Box FitThumbnail(double imageWidth, double imageHeight, int stripWidth, int cellTop);

// The selection band of the cell at cellTop.
Box SelectionBand(int stripWidth, int cellTop);

// The smallest index whose rectangle holds the point (left and top edges inside), or -1.
int HitTestThumbnail(const std::map<int, Box>& thumbnails, int x, int y);

// The scroll bar's events, as the window gets them.
enum class ScrollEvent { LineUp, LineDown, PageUp, PageDown, Track, Other };

// The position an event asks for, clamped to minimum..maximum; nothing for events that do
// not move the strip.
std::optional<int> ScrollTarget(ScrollEvent event, int position, int page, int trackPosition,
                                int minimum, int maximum);
// Every wheel message moves one line, whatever its delta; a zero delta moves nothing.
std::optional<int> WheelTarget(int delta, int position, int minimum, int maximum);

// The scroll range for count images: 0 .. count * 110.
int ScrollMaximum(size_t count);
// The bar shows only when the images are higher than the strip.
bool ScrollBarVisible(int maximum, int stripHeight);
// After the list changed: the view moves by as much as the list grew or shrank, so that a
// view that showed the end of the list keeps showing it.
int PositionAfterListChange(int oldPosition, int oldMaximum, int newMaximum);

// The strip's list with its selection (-1 for none). Each edit says whether it changed
// the list.
struct ImageList {
  std::vector<std::wstring> paths;
  int selected = -1;

  bool RemoveSelected();
  void Clear();
  // Moves the selected image one place; the selection follows it.
  bool MoveSelectedUp();
  bool MoveSelectedDown();
  // The path at index, or an empty string past either end.
  std::wstring PathAt(int index) const;
};

}  // namespace moviemaker
