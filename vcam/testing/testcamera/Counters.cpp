#include "vcam/testing/testcamera/Counters.h"

#include <atomic>

#include "vcam/testing/testcamera/TestCameraIds.h"

namespace testcamera {

namespace {

struct CameraCounters {
  std::atomic<LONG> frames{0};
  std::atomic<LONG> stills{0};
  // Width in the high half, height in the low: one atomic value, so that a reader never
  // sees one size's width with another's height. 0 until a format is recorded.
  std::atomic<std::uint64_t> format{0};
};

CameraCounters g_counters[kCameraCount];

CameraCounters* CountersOf(int camera) {
  return IdentityOf(camera) != nullptr ? &g_counters[camera - 1] : nullptr;
}

}  // namespace

void CountDelivery(int camera, StreamKind kind) {
  if (CameraCounters* counters = CountersOf(camera))
    ++(kind == StreamKind::Frames ? counters->frames : counters->stills);
}

void RecordFormat(int camera, std::uint32_t width, std::uint32_t height) {
  if (CameraCounters* counters = CountersOf(camera))
    counters->format = static_cast<std::uint64_t>(width) << 32 | height;
}

LONG DeliveredCount(int camera, StreamKind kind) {
  const CameraCounters* counters = CountersOf(camera);
  if (counters == nullptr) return -1;
  return kind == StreamKind::Frames ? counters->frames.load() : counters->stills.load();
}

bool LastRecordedFormat(int camera, std::uint32_t& width, std::uint32_t& height) {
  const CameraCounters* counters = CountersOf(camera);
  const std::uint64_t format = counters != nullptr ? counters->format.load() : 0;
  if (format == 0) return false;
  width = static_cast<std::uint32_t>(format >> 32);
  height = static_cast<std::uint32_t>(format & 0xFFFFFFFFu);
  return true;
}

}  // namespace testcamera
