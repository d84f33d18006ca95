// Scales the channel's picture into an RGB24 frame of another size, keeping its aspect
// ratio with black bars. No Win32 here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "vcam/ChannelPicture.h"
#include "vcam/Letterbox.h"

namespace vcam {

// Three bytes a pixel (blue, green, red), rows stride bytes apart.
struct RgbCanvas {
  std::uint8_t* pixels = nullptr;  // the first row in memory
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::size_t stride = 0;
  bool bottomUp = false;  // the first row in memory is the picture's bottom row

  std::uint8_t* RowFromTop(std::uint32_t row) const {
    return pixels + stride * (bottomUp ? height - 1 - row : row);
  }
};

class CFrameScaler {
 public:
  // Fills the whole canvas: bars black, the picture bilinearly scaled in between (each
  // output pixel blends the four source pixels around its centre; at the same size that
  // is a plain copy). The canvas stride must hold width * 3 bytes.
  void Draw(const ChannelPicture& picture, const RgbCanvas& canvas);

 private:
  struct Taps {
    std::uint32_t first;   // the nearer source pixel (in bytes for columns)
    std::uint32_t second;  // the next one, or the same at the edge
    std::uint32_t weight;  // of the second, in 256ths
  };
  // Source sample positions for each output column and row; kept while the sizes stay.
  void PlanTaps(const ChannelPicture& picture, const Placement& placement);
  // One source row blended across into 16-bit sums, three a column.
  void BlendAcross(const std::uint8_t* source, std::uint16_t* sums) const;

  std::vector<Taps> m_columns;
  std::vector<Taps> m_rows;
  std::vector<std::uint16_t> m_upper, m_lower;  // blended rows, reused from frame to frame
  std::uint32_t m_pictureWidth = 0, m_pictureHeight = 0;
  Placement m_placement;
};

}  // namespace vcam
