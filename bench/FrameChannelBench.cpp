// WriteFrame against the least any writer must do: one memcpy of the same bytes into a
// view that is already mapped. WriteFrame also maps and unmaps its view for each frame.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "feed/FrameChannel.h"
#include "feed/FrameLayout.h"
#include "framework/Handle.h"

namespace {

double NowMicroseconds() {
  static const double ticksPerMicrosecond = [] {
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    return static_cast<double>(frequency.QuadPart) / 1e6;
  }();
  LARGE_INTEGER now;
  ::QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) / ticksPerMicrosecond;
}

// Median time of one call, over rounds of `frames` calls each.
template <typename Body>
double MedianMicroseconds(int rounds, int frames, Body body) {
  std::vector<double> perFrame;
  for (int round = 0; round < rounds; ++round) {
    const double start = NowMicroseconds();
    for (int i = 0; i < frames; ++i) body();
    perFrame.push_back((NowMicroseconds() - start) / frames);
  }
  std::sort(perFrame.begin(), perFrame.end());
  return perFrame[perFrame.size() / 2];
}

}  // namespace

int main() {
  // The baseline's own block, mapped once for the whole run.
  framework::CHandle mapping(::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                                  feed::kFrameBlockBytes, nullptr));
  framework::CMappedView view(mapping ? ::MapViewOfFile(mapping.Get(), FILE_MAP_ALL_ACCESS, 0, 0, 0)
                                      : nullptr);
  if (!view) {
    std::printf("could not map the baseline's block (error %lu)\n", ::GetLastError());
    return 1;
  }

  const struct { int width, height; } sizes[] = {{640, 480}, {1280, 720}};
  const int rounds = 15, frames = 200;
  std::printf("%-10s %14s %14s %8s\n", "frame", "WriteFrame us", "memcpy us", "ratio");
  for (const auto& size : sizes) {
    const size_t bytes = static_cast<size_t>(size.width) * size.height * 3;
    std::vector<BYTE> pixels(bytes);
    for (size_t i = 0; i < bytes; ++i) pixels[i] = static_cast<BYTE>(i * 7);

    // Warm both paths: the first WriteFrame creates the object, first touches fault pages in.
    feed::WriteFrame(pixels.data(), size.width, size.height);
    std::memcpy(view.Bytes() + feed::kFrameHeaderBytes, pixels.data(), bytes);

    bool allWritten = true;
    const double writeFrame = MedianMicroseconds(rounds, frames, [&] {
      allWritten &= feed::WriteFrame(pixels.data(), size.width, size.height);
    });
    const double memcpyOnly = MedianMicroseconds(rounds, frames, [&] {
      std::memcpy(view.Bytes() + feed::kFrameHeaderBytes, pixels.data(), bytes);
    });
    if (!allWritten) {
      std::printf("WriteFrame failed at %dx%d\n", size.width, size.height);
      return 1;
    }
    char label[32];
    std::snprintf(label, sizeof label, "%dx%d", size.width, size.height);
    std::printf("%-10s %14.1f %14.1f %8.2f\n", label, writeFrame, memcpyOnly,
                writeFrame / memcpyOnly);
  }
  return 0;
}
