// A test camera's behaviour, as a test wrote it into the camera's settings key
// (TestCameraIds.h) before opening the camera.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace testcamera {

struct FrameSize {
  std::uint32_t width = 0, height = 0;
  bool operator==(const FrameSize& other) const {
    return width == other.width && height == other.height;
  }
  bool operator!=(const FrameSize& other) const { return !(*this == other); }
};

struct CameraSettings {
  // What the preview and capture pins offer, in this order; the first is the format
  // until a client chooses another.
  std::vector<FrameSize> sizes{{640, 480}};
  bool previewPin = true;
  // The preview pin offers and takes only a subtype that nothing converts.
  bool previewPinUnusable = false;
  bool stillPin = false;
  std::vector<FrameSize> stillSizes{{1600, 1200}};
  // While running, one still every so many milliseconds; 0 for stills on a trigger only.
  std::uint32_t stillEveryMs = 0;
  std::uint32_t framesPerSecond = 30;
  // False: the pins connect and the filter runs, but no frame is ever sent.
  bool delivers = true;
};

// Sizes such as "640x480 1280x720", separated by spaces or commas. Entries that are not
// WIDTHxHEIGHT with both from 1 to kMaxSide are left out.
std::vector<FrameSize> ParseSizes(const std::wstring& text);
inline constexpr std::uint32_t kMaxSide = 8192;

// Camera 1's or 2's settings from its key; the defaults above for what is missing or
// unusable (an empty size list, a rate of 0).
CameraSettings ReadCameraSettings(int camera);

}  // namespace testcamera
