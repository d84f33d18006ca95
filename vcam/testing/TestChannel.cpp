#include "vcam/testing/TestChannel.h"

#include <cstring>

#include "feed/FrameLayout.h"

namespace vcam::testing_support {

bool ChannelExists() {
  const framework::CHandle mapping(
      ::OpenFileMappingW(FILE_MAP_READ, FALSE, feed::kFrameChannelName));
  return static_cast<bool>(mapping);
}

bool WaitForChannelPicture(std::uint16_t width, std::uint16_t height, unsigned timeoutMs) {
  const ULONGLONG end = ::GetTickCount64() + timeoutMs;
  do {
    const framework::CHandle mapping(
        ::OpenFileMappingW(FILE_MAP_READ, FALSE, feed::kFrameChannelName));
    const framework::CMappedView view(
        mapping ? ::MapViewOfFile(mapping.Get(), FILE_MAP_READ, 0, 0, 4) : nullptr);
    if (view) {
      std::uint16_t header[2];
      std::memcpy(header, view.Bytes(), sizeof header);
      if (header[0] == width && header[1] == height) return true;
    }
    ::Sleep(50);
  } while (::GetTickCount64() < end);
  return false;
}

CTestChannel::CTestChannel()
    : m_mapping(::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                     static_cast<DWORD>(feed::kFrameBlockBytes),
                                     feed::kFrameChannelName)),
      m_view(m_mapping ? ::MapViewOfFile(m_mapping.Get(), FILE_MAP_ALL_ACCESS, 0, 0,
                                         feed::kFrameBlockBytes)
                       : nullptr) {}

void CTestChannel::WriteHeader(std::uint16_t width, std::uint16_t height) {
  const std::uint16_t header[2] = {width, height};
  std::memcpy(m_view.Bytes(), header, sizeof header);
}

void CTestChannel::WriteSolid(std::uint16_t width, std::uint16_t height, std::uint8_t blue,
                              std::uint8_t green, std::uint8_t red, std::uint8_t mark) {
  const std::size_t bytes = static_cast<std::size_t>(width) * height * 3;
  std::vector<std::uint8_t> pixels(bytes);
  for (std::size_t i = 0; i + 2 < bytes; i += 3) {
    pixels[i] = blue;
    pixels[i + 1] = green;
    pixels[i + 2] = red;
  }
  if (bytes > 0) pixels[0] ^= mark;
  feed::StoreFrame(m_view.Bytes(), pixels.data(), width, height, feed::PlanFrame(width, height));
}

}  // namespace vcam::testing_support
