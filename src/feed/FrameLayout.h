// The layout of the frame channel's shared block, shared by its writer (the player)
// and its reader (the virtual camera). No Win32 here: both sides and native tests use it.
//
// Block: [u16 width][u16 height][pixels...], little-endian. The pixels are the first
// width * height * 3 bytes of an RGB24 sample (rows padded to 4 bytes, row order as the
// sample's), copied unchanged. Bytes after them keep whatever an earlier frame left.
#pragma once

#include <cstddef>
#include <cstdint>

namespace feed {

inline constexpr wchar_t kFrameChannelName[] = L"MyFileMappingObject";
inline constexpr std::size_t kFrameHeaderBytes = 4;
inline constexpr std::size_t kFrameBlockBytes = 18000004;
inline constexpr std::size_t kFramePixelCapacity = kFrameBlockBytes - kFrameHeaderBytes;

enum class FrameFit {
  Fits,        // header and pixels fit the block
  TooLarge,    // width * height * 3 exceeds the pixel capacity
  OutOfRange,  // a negative size, or one the 16-bit header fields cannot hold
};

struct FramePlan {
  FrameFit fit;
  std::size_t pixelBytes;  // width * height * 3 when the frame fits, else 0
};

// Decides whether a frame of this size can be stored, without overflow for any input.
FramePlan PlanFrame(std::int32_t width, std::int32_t height);

// Writes the header, then plan.pixelBytes of pixels, into a block of kFrameBlockBytes.
// The header goes first so that a reader never sees pixels under an older header
// that claims more of them than were written.
void StoreFrame(std::uint8_t* block, const std::uint8_t* pixels, std::int32_t width,
                std::int32_t height, const FramePlan& plan);

// Bytes from one row's start to the next in an RGB24 sample: width * 3 rounded up to 4.
std::size_t Rgb24RowStride(std::uint32_t width);

// What a reader finds in a block.
struct FrameView {
  std::uint16_t width = 0;
  std::uint16_t height = 0;
  std::size_t rowStride = 0;  // padded RGB24 row length
  const std::uint8_t* pixels = nullptr;
  std::size_t pixelBytes = 0;  // width * height * 3: what the writer stored
};

// Reads the header of a block of blockBytes bytes. False when the block is too small
// to hold a header or the header claims more pixels than the block can hold (a block
// written by something else, or torn); a zero width or height is a valid empty frame.
bool ReadFrame(const std::uint8_t* block, std::size_t blockBytes, FrameView& view);

}  // namespace feed
