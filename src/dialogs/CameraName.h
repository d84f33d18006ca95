// The virtual camera's name: the FriendlyName under which the camera filter is registered
// in the video input device category, the name chat programs list.
#pragma once

#include <string>

namespace dialogs {

// The filter's instance key under HKEY_CLASSES_ROOT.
inline constexpr wchar_t kCameraInstanceKey[] =
    L"CLSID\\{860BB310-5D01-11d0-BD3B-00A0C911CE86}\\Instance\\Virtual Camera";

// The registered name: from this program's registry view, or from the other view when
// only that one has the camera (64-bit Windows). False when the camera is not registered
// or its name cannot be read.
bool ReadCameraFriendlyName(std::wstring& name);

// Renames the camera in every registry view where it is registered, so that 32-bit and
// 64-bit chat programs list the same name. A name longer than the stored block holds is
// cut. Nothing happens where the camera is not registered.
void WriteCameraFriendlyName(const std::wstring& name);

}  // namespace dialogs
