// What the test cameras did since the DLL was loaded, counted for each camera, for the
// tests in the same process (the DLL's exports, TestCamera.def).
#pragma once

#include <windows.h>

#include <cstdint>

namespace testcamera {

enum class StreamKind { Frames, Stills };

// A frame handed to the downstream pin: preview and capture frames count as Frames.
void CountDelivery(int camera, StreamKind kind);
// A preview or capture pin connected, or SetFormat on one took a size.
void RecordFormat(int camera, std::uint32_t width, std::uint32_t height);

// -1 for a camera number other than 1 or 2.
LONG DeliveredCount(int camera, StreamKind kind);
// False when the camera has recorded no format yet (or has no such number).
bool LastRecordedFormat(int camera, std::uint32_t& width, std::uint32_t& height);

}  // namespace testcamera
