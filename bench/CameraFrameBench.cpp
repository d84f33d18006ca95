// The camera's cost per output frame: CFrameProducer filling a frame from a 1280 x 720
// picture in the frame channel (scaling, conversion, the change watch's share), against
// a plain memcpy of the output frame's size. CPU time of this thread, per frame.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "feed/FrameLayout.h"
#include "framework/Handle.h"
#include "vcam/FrameProducer.h"

namespace {

double ThreadCpuMilliseconds() {
  FILETIME created, exited, kernel, user;
  ::GetThreadTimes(::GetCurrentThread(), &created, &exited, &kernel, &user);
  const auto ticks = [](const FILETIME& time) {
    return (static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
  };
  return static_cast<double>(ticks(kernel) + ticks(user)) / 1e4;
}

// CPU time per call, over at least a second of calls (the thread clock ticks coarsely).
template <typename Body>
double CpuMillisecondsPerCall(Body body) {
  for (int i = 0; i < 5; ++i) body();  // warm: first touches fault pages in
  const double start = ThreadCpuMilliseconds();
  long calls = 0;
  double spent = 0;
  while ((spent = ThreadCpuMilliseconds() - start) < 1000) {
    for (int i = 0; i < 10; ++i) body();
    calls += 10;
  }
  return spent / static_cast<double>(calls);
}

const char* Name(vcam::PixelFormat pixels) {
  switch (pixels) {
    case vcam::PixelFormat::Rgb24:
      return "RGB24";
    case vcam::PixelFormat::Rgb32:
      return "RGB32";
    case vcam::PixelFormat::Yuy2:
      return "YUY2";
    case vcam::PixelFormat::I420:
      return "I420";
  }
  return "?";
}

}  // namespace

int main() {
  // The channel, as the player leaves it: a 1280 x 720 picture, bottom row first.
  framework::CHandle mapping(::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                                  feed::kFrameBlockBytes, feed::kFrameChannelName));
  framework::CMappedView view(mapping ? ::MapViewOfFile(mapping.Get(), FILE_MAP_ALL_ACCESS, 0, 0, 0)
                                      : nullptr);
  if (!view) {
    std::printf("could not map the frame channel (error %lu)\n", ::GetLastError());
    return 1;
  }
  const int width = 1280, height = 720;
  std::vector<BYTE> picture(static_cast<std::size_t>(width) * height * 3);
  for (std::size_t i = 0; i < picture.size(); ++i) picture[i] = static_cast<BYTE>(i * 7 + i / 3840);
  feed::StoreFrame(view.Bytes(), picture.data(), width, height, feed::PlanFrame(width, height));

  std::printf("channel 1280x720; CPU time per output frame\n");
  std::printf("%-7s %-10s %12s %12s %8s\n", "format", "frame", "camera ms", "memcpy ms", "ratio");
  for (vcam::PixelFormat pixels : {vcam::PixelFormat::Rgb24, vcam::PixelFormat::Rgb32,
                                   vcam::PixelFormat::Yuy2, vcam::PixelFormat::I420}) {
    for (auto [frameWidth, frameHeight] : {std::pair{640u, 480u}, {1280u, 720u}}) {
      const vcam::OutputLayout layout = vcam::NaturalLayout({pixels, frameWidth, frameHeight});
      const std::size_t bytes = vcam::FrameBytes(layout);
      std::vector<BYTE> frame(bytes), copy(bytes, 1);
      vcam::CFrameProducer producer;
      // A clock that moves 33 ms a frame, as at 30 frames a second, so the change watch
      // looks as often as it would; a changing byte keeps the picture live.
      std::int64_t nowMs = 0;
      bool allPictures = true;
      const double camera = CpuMillisecondsPerCall([&] {
        ++view.Bytes()[feed::kFrameHeaderBytes];
        vcam::CFrameProducer::Content shown;
        producer.Fill(layout, frame.data(), frame.size(), nowMs += 33, &shown);
        allPictures &= shown == vcam::CFrameProducer::Content::Picture;
      });
      const double memcpyOnly =
          CpuMillisecondsPerCall([&] { std::memcpy(frame.data(), copy.data(), bytes); });
      if (!allPictures) {
        std::printf("the camera did not show the channel's picture\n");
        return 1;
      }
      char size[32];
      std::snprintf(size, sizeof size, "%ux%u", frameWidth, frameHeight);
      std::printf("%-7s %-10s %12.3f %12.3f %8.1f\n", Name(pixels), size, camera, memcpyOnly,
                  camera / memcpyOnly);
    }
  }
  return 0;
}
