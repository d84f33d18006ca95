// What the test cameras film, so that a test can tell from any frame which camera sent
// it, whether it arrived the right way up and unmirrored, and which frame it was.
//
// The picture is four quadrants of plain colour. A pixel (x, y), with y counted from the
// top row, is in the left half when x < width / 2 and in the top half when y < height / 2.
//
//               top left   top right   bottom left   bottom right
//   camera 1    red        green       blue          white
//   camera 2    yellow     cyan        magenta       black
//
// Frames at least 256 pixels wide and 8 rows high carry their sequence number in rows 0
// to 7: 32 blocks of 8 x 8 pixels from the left edge, the most significant bit first,
// white (255, 255, 255) for a 1 and black for a 0. The rest of those rows keeps the
// quadrant colour. Each pin numbers its frames 1, 2, 3 ... from the filter's creation;
// stills follow the same scheme at the still pin's size.
//
// Frames are DirectShow's RGB24: three bytes a pixel (blue, green, red), rows padded to a
// multiple of 4 bytes, the bottom row first in the buffer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace testcamera {

struct Rgb {
  std::uint8_t red = 0, green = 0, blue = 0;
  bool operator==(const Rgb& other) const {
    return red == other.red && green == other.green && blue == other.blue;
  }
  bool operator!=(const Rgb& other) const { return !(*this == other); }
};

inline constexpr std::uint32_t kSequenceBits = 32;
inline constexpr std::uint32_t kSequenceBlockSize = 8;
// The narrowest frame that carries its sequence number.
inline constexpr std::uint32_t kSequenceMinWidth = kSequenceBits * kSequenceBlockSize;

// A quadrant's colour for camera 1 or 2 (black for any other camera number).
Rgb QuadrantColour(int camera, bool top, bool left);

// The colour the camera's frame number `sequence` has at (x, y), y from the top row.
Rgb ExpectedPixel(int camera, std::uint32_t width, std::uint32_t height, std::uint32_t x,
                  std::uint32_t y, std::uint32_t sequence);

// Bytes from one row's start to the next's, and a whole frame's bytes.
std::size_t FrameStride(std::uint32_t width);
std::size_t FrameBytes(std::uint32_t width, std::uint32_t height);

// Draws frame `sequence` into `frame`, which holds at least FrameBytes(width, height).
void DrawFrame(int camera, std::uint32_t width, std::uint32_t height, std::uint32_t sequence,
               std::uint8_t* frame);

// The pixel at (x, y), y from the top row, of a frame of `size` bytes; nullopt when the
// frame is too short to hold it.
std::optional<Rgb> PixelAt(const std::uint8_t* frame, std::size_t size, std::uint32_t width,
                           std::uint32_t height, std::uint32_t x, std::uint32_t y);

// The sequence number a frame carries, read from the middle of each block; nullopt when
// the frame is too small to carry one, or a block is neither black nor white.
std::optional<std::uint32_t> DecodeSequenceNumber(const std::uint8_t* frame, std::size_t size,
                                                  std::uint32_t width, std::uint32_t height);

}  // namespace testcamera
