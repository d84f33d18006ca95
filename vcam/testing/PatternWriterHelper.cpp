// For tests: writes a known picture into the frame channel from a process of its own, as
// the player does, 30 times a second.
//
//   channel-pattern-writer WIDTH HEIGHT SECONDS
//
// The picture's quadrants are red (top left), green (top right), blue (bottom left) and
// white (bottom right). The 4 x 4 pixels at the top left corner count the frames, so that
// the channel changes with every frame as it does while video plays. Exit code 0 when
// every frame was written, 1 when one was not, 4 on bad usage.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <vector>

#include "feed/FrameChannel.h"
#include "feed/FrameLayout.h"

namespace {

void Paint(std::vector<BYTE>& rows, int width, int height, unsigned frame) {
  const std::size_t stride = feed::Rgb24RowStride(static_cast<std::uint32_t>(width));
  for (int y = 0; y < height; ++y) {
    // Bottom row first, as the player's samples come.
    BYTE* row = rows.data() + stride * static_cast<std::size_t>(height - 1 - y);
    for (int x = 0; x < width; ++x) {
      const bool top = y < height / 2, left = x < width / 2;
      BYTE blue = 0, green = 0, red = 0;
      if (top && left) red = 255;
      if (top && !left) green = 255;
      if (!top && left) blue = 255;
      if (!top && !left) blue = green = red = 255;
      if (x < 4 && y < 4) blue = static_cast<BYTE>(frame);
      row[x * 3] = blue;
      row[x * 3 + 1] = green;
      row[x * 3 + 2] = red;
    }
  }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: channel-pattern-writer WIDTH HEIGHT SECONDS\n");
    return 4;
  }
  const int width = _wtoi(argv[1]), height = _wtoi(argv[2]);
  const double seconds = std::wcstod(argv[3], nullptr);
  if (width <= 0 || height <= 0 || seconds <= 0) return 4;

  std::vector<BYTE> rows(feed::Rgb24RowStride(static_cast<std::uint32_t>(width)) *
                         static_cast<std::size_t>(height));
  const unsigned total = static_cast<unsigned>(seconds * 30);
  const ULONGLONG start = ::GetTickCount64();
  bool allWritten = true;
  for (unsigned frame = 0; frame < total; ++frame) {
    Paint(rows, width, height, frame);
    allWritten &= feed::WriteFrame(rows.data(), width, height);
    const ULONGLONG due = start + (frame + 1) * 1000ull / 30;
    const ULONGLONG now = ::GetTickCount64();
    if (due > now) ::Sleep(static_cast<DWORD>(due - now));
  }
  return allWritten ? 0 : 1;
}
