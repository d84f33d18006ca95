// The video input devices as DirectShow clients see them, for programs that act as the
// camera's clients (the viewer in devtools, the tests).
#pragma once

#include <windows.h>

#include <dshow.h>
#include <wrl/client.h>

#include <string>
#include <vector>

namespace vcam {

struct VideoInputDevice {
  std::wstring friendlyName;
  std::wstring classId;  // the "CLSID" value of the device's entry
  Microsoft::WRL::ComPtr<IMoniker> moniker;
};

// What the system device enumerator lists under the video input device category.
std::vector<VideoInputDevice> ListVideoInputDevices();

// The filter of the listed device of that name, made through its moniker as clients do;
// null when no device has the name.
Microsoft::WRL::ComPtr<IBaseFilter> OpenVideoInputDevice(const std::wstring& friendlyName);

}  // namespace vcam
