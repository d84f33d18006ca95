// The two test cameras' identities, and where each reads its behaviour: shared by the test
// camera's DLL and the tests that drive it.
#pragma once

#include <windows.h>

namespace testcamera {

inline constexpr int kCameraCount = 2;

// The DLL's file name, in the test programs' folder.
inline constexpr wchar_t kDllName[] = L"plumora-test-camera.dll";

struct CameraIdentity {
  CLSID classId;
  const wchar_t* classIdText;
  // Also the name of the device's key under the video input device category.
  const wchar_t* friendlyName;
  // Under HKEY_CURRENT_USER: the values below, read when a filter object is made.
  const wchar_t* settingsKey;
};

inline constexpr CameraIdentity kCameras[kCameraCount] = {
    {{0xed67564e, 0xaef0, 0x43a4, {0x96, 0x42, 0xad, 0xf6, 0x09, 0x87, 0xf9, 0x00}},
     L"{ED67564E-AEF0-43A4-9642-ADF60987F900}",
     L"Plumora Test Camera 1",
     L"Software\\Plumora\\TestCamera\\Camera1"},
    {{0xe0548010, 0xaab5, 0x431a, {0x92, 0x78, 0xae, 0x5f, 0x96, 0x64, 0x80, 0x6e}},
     L"{E0548010-AAB5-431A-9278-AE5F9664806E}",
     L"Plumora Test Camera 2",
     L"Software\\Plumora\\TestCamera\\Camera2"},
};

// Camera 1 or 2; null for any other number.
inline const CameraIdentity* IdentityOf(int camera) {
  return camera >= 1 && camera <= kCameraCount ? &kCameras[camera - 1] : nullptr;
}

// The values of a camera's settings key; each is optional (defaults in CameraSettings.h).
namespace setting {
inline constexpr wchar_t kSizes[] = L"Sizes";                            // REG_SZ
inline constexpr wchar_t kPreviewPin[] = L"PreviewPin";                  // REG_DWORD
inline constexpr wchar_t kPreviewPinUnusable[] = L"PreviewPinUnusable";  // REG_DWORD
inline constexpr wchar_t kStillPin[] = L"StillPin";                      // REG_DWORD
inline constexpr wchar_t kStillSizes[] = L"StillSizes";                  // REG_SZ
inline constexpr wchar_t kStillEveryMs[] = L"StillEveryMs";              // REG_DWORD
inline constexpr wchar_t kFramesPerSecond[] = L"FramesPerSecond";        // REG_DWORD
inline constexpr wchar_t kDelivers[] = L"Delivers";                      // REG_DWORD
}  // namespace setting

}  // namespace testcamera
