#include "feed/FrameLayout.h"

#include <cstring>

namespace feed {

namespace {
constexpr std::int64_t kMaxHeaderValue = 0xFFFF;
}

FramePlan PlanFrame(std::int32_t width, std::int32_t height) {
  if (width < 0 || height < 0) return {FrameFit::OutOfRange, 0};
  // 64-bit: 0x7FFFFFFF * 0x7FFFFFFF * 3 still fits.
  const std::uint64_t bytes =
      static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) * 3u;
  if (bytes + kFrameHeaderBytes > kFrameBlockBytes) return {FrameFit::TooLarge, 0};
  if (width > kMaxHeaderValue || height > kMaxHeaderValue) return {FrameFit::OutOfRange, 0};
  return {FrameFit::Fits, static_cast<std::size_t>(bytes)};
}

void StoreFrame(std::uint8_t* block, const std::uint8_t* pixels, std::int32_t width,
                std::int32_t height, const FramePlan& plan) {
  const std::uint16_t header[2] = {static_cast<std::uint16_t>(width & 0xFFFF),
                                   static_cast<std::uint16_t>(height & 0xFFFF)};
  std::memcpy(block, header, sizeof header);
  if (plan.pixelBytes != 0) std::memcpy(block + kFrameHeaderBytes, pixels, plan.pixelBytes);
}

std::size_t Rgb24RowStride(std::uint32_t width) {
  return (static_cast<std::size_t>(width) * 3u + 3u) & ~static_cast<std::size_t>(3u);
}

bool ReadFrame(const std::uint8_t* block, std::size_t blockBytes, FrameView& view) {
  if (block == nullptr || blockBytes < kFrameHeaderBytes) return false;
  std::uint16_t header[2];
  std::memcpy(header, block, sizeof header);
  // 64-bit: 65535 * 65535 * 3 overflows a 32-bit size_t.
  const std::uint64_t pixelBytes = static_cast<std::uint64_t>(header[0]) * header[1] * 3u;
  if (pixelBytes > blockBytes - kFrameHeaderBytes) return false;
  view.width = header[0];
  view.height = header[1];
  view.rowStride = Rgb24RowStride(header[0]);
  view.pixels = block + kFrameHeaderBytes;
  view.pixelBytes = static_cast<std::size_t>(pixelBytes);
  return true;
}

}  // namespace feed
