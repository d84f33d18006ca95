#include "vcam/ChannelPicture.h"

#include <algorithm>

#include "feed/FrameLayout.h"

namespace vcam {

bool FindChannelPicture(const std::uint8_t* block, std::size_t blockBytes,
                        ChannelPicture& picture) {
  feed::FrameView view;
  if (!feed::ReadFrame(block, blockBytes, view)) return false;
  if (view.width == 0 || view.height == 0) return false;
  // ReadFrame has checked width * height * 3 against the block, so one row fits.
  const std::size_t available = blockBytes - feed::kFrameHeaderBytes;
  const std::size_t rowBytes = static_cast<std::size_t>(view.width) * 3;
  const std::size_t rowsInBlock = (available - rowBytes) / view.rowStride + 1;
  picture.pixels = view.pixels;
  picture.width = view.width;
  picture.height = view.height;
  picture.stride = view.rowStride;
  picture.readableRows = static_cast<std::uint32_t>(
      std::min<std::size_t>(rowsInBlock, static_cast<std::size_t>(view.height)));
  return true;
}

const std::uint8_t* PictureRowFromTop(const ChannelPicture& picture, std::uint32_t row) {
  const std::uint32_t fromBottom = std::min(picture.height - 1 - row, picture.readableRows - 1);
  return picture.pixels + picture.stride * fromBottom;
}

}  // namespace vcam
