#include "vcam/PictureFixture.h"

#include <stdexcept>

namespace vcam::testing_support {

PictureBlock::PictureBlock(std::uint32_t width, std::uint32_t height,
                           const std::function<Bgr(std::uint32_t, std::uint32_t)>& colour)
    : m_block(4 + static_cast<std::size_t>(width) * height * 3) {
  m_block[0] = static_cast<std::uint8_t>(width);
  m_block[1] = static_cast<std::uint8_t>(width >> 8);
  m_block[2] = static_cast<std::uint8_t>(height);
  m_block[3] = static_cast<std::uint8_t>(height >> 8);
  const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3};
  for (std::uint32_t y = 0; y < height; ++y)
    for (std::uint32_t x = 0; x < width; ++x) {
      const std::size_t at = 4 + stride * (height - 1 - y) + static_cast<std::size_t>(x) * 3;
      if (at + 3 > m_block.size()) continue;  // the top row's tail beyond the stored bytes
      const Bgr c = colour(x, y);
      m_block[at] = c.blue;
      m_block[at + 1] = c.green;
      m_block[at + 2] = c.red;
    }
  if (!FindChannelPicture(m_block.data(), m_block.size(), m_picture))
    throw std::invalid_argument("no picture in the test block");
}

}  // namespace vcam::testing_support
