#include "moviemaker/ImageStrip.h"

#include <algorithm>
#include <utility>

namespace moviemaker {

StripView ViewAt(int stripHeight, int scrollPosition) {
  StripView view;
  view.rows = stripHeight / kCellHeight + 1;
  view.firstVisible = scrollPosition / kCellHeight;
  view.firstTop = view.firstVisible * kCellHeight - scrollPosition + kStripInset;
  return view;
}

Box FitThumbnail(double imageWidth, double imageHeight, int stripWidth, int cellTop) {
  if (imageWidth <= 0 || imageHeight <= 0 || stripWidth <= 0) return {};
  const double ratio = imageHeight / imageWidth;
  int width, height;
  if (static_cast<double>(kThumbnailHeight) / stripWidth > ratio) {
    // Relatively wider than the band: the width fills it.
    width = stripWidth;
    height = static_cast<int>(stripWidth * ratio);
  } else {
    height = kThumbnailHeight;
    width = static_cast<int>(kThumbnailHeight / ratio);
  }
  const int left = (stripWidth - width) / 2;
  const int top = cellTop + (kThumbnailHeight - height) / 2;
  return {left, top, left + width, top + height};
}

Box SelectionBand(int stripWidth, int cellTop) {
  return {0, cellTop, stripWidth, cellTop + kThumbnailHeight};
}

int HitTestThumbnail(const std::map<int, Box>& thumbnails, int x, int y) {
  for (const auto& [index, box] : thumbnails)
    if (x >= box.left && x < box.right && y >= box.top && y < box.bottom) return index;
  return -1;
}

std::optional<int> ScrollTarget(ScrollEvent event, int position, int page, int trackPosition,
                                int minimum, int maximum) {
  int target;
  switch (event) {
    case ScrollEvent::LineUp:
      target = position - kCellHeight;
      break;
    case ScrollEvent::LineDown:
      target = position + kCellHeight;
      break;
    case ScrollEvent::PageUp:
      target = position - page;
      break;
    case ScrollEvent::PageDown:
      target = position + page;
      break;
    case ScrollEvent::Track:
      target = trackPosition;
      break;
    default:
      return std::nullopt;
  }
  return std::clamp(target, minimum, std::max(minimum, maximum));
}

std::optional<int> WheelTarget(int delta, int position, int minimum, int maximum) {
  if (delta == 0) return std::nullopt;
  return ScrollTarget(delta < 0 ? ScrollEvent::LineDown : ScrollEvent::LineUp, position, 0, 0,
                      minimum, maximum);
}

int ScrollMaximum(size_t count) {
  return static_cast<int>(count) * kCellHeight;
}

bool ScrollBarVisible(int maximum, int stripHeight) {
  return maximum > stripHeight;
}

int PositionAfterListChange(int oldPosition, int oldMaximum, int newMaximum) {
  return std::clamp(oldPosition + (newMaximum - oldMaximum), 0, std::max(0, newMaximum));
}

bool ImageList::RemoveSelected() {
  if (selected < 0 || selected >= static_cast<int>(paths.size())) return false;
  paths.erase(paths.begin() + selected);
  selected = -1;
  return true;
}

void ImageList::Clear() {
  paths.clear();
  selected = -1;
}

bool ImageList::MoveSelectedUp() {
  if (selected <= 0 || selected >= static_cast<int>(paths.size())) return false;
  std::swap(paths[selected], paths[selected - 1]);
  --selected;
  return true;
}

bool ImageList::MoveSelectedDown() {
  if (selected < 0 || selected + 1 >= static_cast<int>(paths.size())) return false;
  std::swap(paths[selected], paths[selected + 1]);
  ++selected;
  return true;
}

std::wstring ImageList::PathAt(int index) const {
  if (index < 0 || index >= static_cast<int>(paths.size())) return {};
  return paths[index];
}

}  // namespace moviemaker
