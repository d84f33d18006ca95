// For tests: channel blocks holding pictures drawn by a function of the pixel position,
// laid out as the writer stores them (bottom row first, rows padded to 4 bytes).
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "vcam/ChannelPicture.h"

namespace vcam::testing_support {

struct Bgr {
  std::uint8_t blue, green, red;
  bool operator==(const Bgr& other) const {
    return blue == other.blue && green == other.green && red == other.red;
  }
};

// The block is exactly as long as the header and width * height * 3 pixel bytes.
class PictureBlock {
 public:
  PictureBlock(std::uint32_t width, std::uint32_t height,
               const std::function<Bgr(std::uint32_t x, std::uint32_t yFromTop)>& colour);

  const ChannelPicture& Picture() const { return m_picture; }
  std::vector<std::uint8_t>& Bytes() { return m_block; }

 private:
  std::vector<std::uint8_t> m_block;
  ChannelPicture m_picture;
};

}  // namespace vcam::testing_support
