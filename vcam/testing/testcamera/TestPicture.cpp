#include "vcam/testing/testcamera/TestPicture.h"

#include <cstring>
#include <vector>

namespace testcamera {

namespace {

constexpr Rgb kRed{255, 0, 0}, kGreen{0, 255, 0}, kBlue{0, 0, 255}, kWhite{255, 255, 255};
constexpr Rgb kYellow{255, 255, 0}, kCyan{0, 255, 255}, kMagenta{255, 0, 255}, kBlack{0, 0, 0};

bool CarriesSequence(std::uint32_t width, std::uint32_t height) {
  return width >= kSequenceMinWidth && height >= kSequenceBlockSize;
}

bool SequenceBit(std::uint32_t sequence, std::uint32_t block) {
  return ((sequence >> (kSequenceBits - 1 - block)) & 1u) != 0;
}

void PutPixel(std::uint8_t* at, const Rgb& colour) {
  at[0] = colour.blue;
  at[1] = colour.green;
  at[2] = colour.red;
}

// One row of the top or bottom half, padding included.
std::vector<std::uint8_t> HalfRow(int camera, std::uint32_t width, bool top) {
  std::vector<std::uint8_t> row(FrameStride(width), 0);
  for (std::uint32_t x = 0; x < width; ++x)
    PutPixel(&row[x * 3], QuadrantColour(camera, top, x < width / 2));
  return row;
}

}  // namespace

Rgb QuadrantColour(int camera, bool top, bool left) {
  if (camera == 1) return top ? (left ? kRed : kGreen) : (left ? kBlue : kWhite);
  if (camera == 2) return top ? (left ? kYellow : kCyan) : (left ? kMagenta : kBlack);
  return kBlack;
}

Rgb ExpectedPixel(int camera, std::uint32_t width, std::uint32_t height, std::uint32_t x,
                  std::uint32_t y, std::uint32_t sequence) {
  if (CarriesSequence(width, height) && y < kSequenceBlockSize && x < kSequenceMinWidth)
    return SequenceBit(sequence, x / kSequenceBlockSize) ? kWhite : kBlack;
  return QuadrantColour(camera, y < height / 2, x < width / 2);
}

std::size_t FrameStride(std::uint32_t width) {
  return (static_cast<std::size_t>(width) * 3 + 3) & ~static_cast<std::size_t>(3);
}

std::size_t FrameBytes(std::uint32_t width, std::uint32_t height) {
  return FrameStride(width) * height;
}

void DrawFrame(int camera, std::uint32_t width, std::uint32_t height, std::uint32_t sequence,
               std::uint8_t* frame) {
  const std::size_t stride = FrameStride(width);
  const std::vector<std::uint8_t> topRow = HalfRow(camera, width, true);
  const std::vector<std::uint8_t> bottomRow = HalfRow(camera, width, false);
  for (std::uint32_t y = 0; y < height; ++y) {
    // Bottom-up: the picture's top row is the buffer's last.
    std::uint8_t* row = frame + stride * (height - 1 - y);
    std::memcpy(row, (y < height / 2 ? topRow : bottomRow).data(), stride);
    if (!CarriesSequence(width, height) || y >= kSequenceBlockSize) continue;
    for (std::uint32_t x = 0; x < kSequenceMinWidth; ++x)
      PutPixel(row + x * 3, SequenceBit(sequence, x / kSequenceBlockSize) ? kWhite : kBlack);
  }
}

std::optional<Rgb> PixelAt(const std::uint8_t* frame, std::size_t size, std::uint32_t width,
                           std::uint32_t height, std::uint32_t x, std::uint32_t y) {
  if (frame == nullptr || x >= width || y >= height) return std::nullopt;
  const std::size_t at = FrameStride(width) * (height - 1 - y) + static_cast<std::size_t>(x) * 3;
  if (at + 3 > size) return std::nullopt;
  return Rgb{frame[at + 2], frame[at + 1], frame[at]};
}

std::optional<std::uint32_t> DecodeSequenceNumber(const std::uint8_t* frame, std::size_t size,
                                                  std::uint32_t width, std::uint32_t height) {
  if (!CarriesSequence(width, height)) return std::nullopt;
  std::uint32_t sequence = 0;
  for (std::uint32_t block = 0; block < kSequenceBits; ++block) {
    const std::uint32_t middle = kSequenceBlockSize / 2;
    const std::optional<Rgb> pixel =
        PixelAt(frame, size, width, height, block * kSequenceBlockSize + middle, middle);
    if (!pixel) return std::nullopt;
    sequence <<= 1;
    if (*pixel == kWhite)
      sequence |= 1;
    else if (*pixel != kBlack)
      return std::nullopt;
  }
  return sequence;
}

}  // namespace testcamera
