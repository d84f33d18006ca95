// The picture a reader finds in the frame channel's block, checked so that every byte it
// points to lies inside the block whatever the header claims. No Win32 here.
//
// The writer gives no row order; it stores what the player's 24-bit RGB samples hold,
// which is the bottom row first. Rows are padded to 4 bytes but the block stops after
// width * height * 3 bytes, so the top rows of a picture whose width is no multiple of 4
// end in bytes the writer did not write this time (an earlier frame's, or zeros).
#pragma once

#include <cstddef>
#include <cstdint>

namespace vcam {

struct ChannelPicture {
  const std::uint8_t* pixels = nullptr;  // the bottom row
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::size_t stride = 0;  // bytes from one row to the one above it
  // Rows, counted from the bottom, whose bytes all lie inside the block: fewer than the
  // height only when padding pushes the top rows past the block's end.
  std::uint32_t readableRows = 0;
};

// False when the block holds no picture: too small for a header, a width or height of
// 0, or a size beyond the block's capacity (a torn or foreign header).
bool FindChannelPicture(const std::uint8_t* block, std::size_t blockBytes, ChannelPicture& picture);

// A row of the picture counted from the top; rows past the block's end repeat the
// highest one that is readable.
const std::uint8_t* PictureRowFromTop(const ChannelPicture& picture, std::uint32_t row);

}  // namespace vcam
