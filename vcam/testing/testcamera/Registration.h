// What regsvr32 does with the test camera's DLL: both cameras' COM classes, and their
// entries in the video input device category, which is what DirectShow clients list.
#pragma once

#include <windows.h>

#include <string>

namespace testcamera {

// Registers camera 1, then camera 2, served by the DLL at modulePath.
HRESULT RegisterTestCameras(const std::wstring& modulePath);
// Removes both; S_OK also when they were not there.
HRESULT UnregisterTestCameras();

}  // namespace testcamera
