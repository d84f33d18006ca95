// The counters the test camera's DLL exports (TestCamera.def) for tests in the process
// that loaded it: undecorated names, stdcall, in both bitnesses.
#pragma once

#include <windows.h>

extern "C" {
// Frames the preview and capture pins of camera 1 or 2 handed downstream since the DLL
// was loaded; -1 for another camera number.
LONG WINAPI TestCameraFramesDelivered(int camera);
// Stills the camera's still pin handed downstream since the DLL was loaded; -1 likewise.
LONG WINAPI TestCameraStillsDelivered(int camera);
// The size of the last connection, or of the last SetFormat that took a size, on the
// camera's preview or capture pin; FALSE while there was none.
BOOL WINAPI TestCameraLastFormat(int camera, int* width, int* height);
// Holds (TRUE) or releases the camera's preview and capture frames; returns once no frame
// is on its way, FALSE when one still is after 10 s, or for another camera number.
BOOL WINAPI TestCameraHoldFrames(int camera, BOOL hold);
}

namespace testcamera {
using FramesDeliveredFunction = decltype(&TestCameraFramesDelivered);
using StillsDeliveredFunction = decltype(&TestCameraStillsDelivered);
using LastFormatFunction = decltype(&TestCameraLastFormat);
using HoldFramesFunction = decltype(&TestCameraHoldFrames);
}  // namespace testcamera
