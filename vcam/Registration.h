// What regsvr32 does with the camera's DLL: the COM class, and the camera's entry in the
// video input device category, which is what DirectShow clients list.
#pragma once

#include <windows.h>

#include <string>

namespace vcam {

// Registers the class served by the DLL at modulePath and the device "Virtual Camera".
// A FriendlyName chosen earlier (Plumora's settings rename the camera) is kept.
HRESULT RegisterCamera(const std::wstring& modulePath);
// Removes both; S_OK also when they were not there.
HRESULT UnregisterCamera();

}  // namespace vcam
