// For tests: the camera registered as a user registers it, and the video input devices
// as DirectShow clients see them.
#pragma once

#include <windows.h>

#include <dshow.h>
#include <wrl/client.h>

#include <string>
#include <vector>

#include "vcam/DeviceList.h"

namespace vcam::testing_support {

// The camera DLL of this test program's bitness, beside the program.
std::wstring CameraDllPath();

// Runs the system's regsvr32 silently on the DLL (with /u to unregister); its exit code,
// or -1 when it did not run. otherBitness: the regsvr32 of the other registry view, on
// 64-bit Windows.
int RunRegsvr32(const std::wstring& dll, bool unregister, bool otherBitness = false);

// Whether Windows (or Wine's prefix) is 64-bit, with a registry view for each bitness.
bool HasTwoRegistryViews();
// The camera's FriendlyName in the other bitness's registry view; empty when none.
std::wstring OtherViewFriendlyName();

// Registered for a test's lifetime; unregistered when it goes, so that other tests find
// the prefix without capture devices.
class CCameraRegistration {
 public:
  CCameraRegistration();
  CCameraRegistration(const CCameraRegistration&) = delete;
  CCameraRegistration& operator=(const CCameraRegistration&) = delete;
  ~CCameraRegistration();
  bool Succeeded() const { return m_exitCode == 0; }
  int ExitCode() const { return m_exitCode; }

 private:
  int m_exitCode;
};

// The camera's FriendlyName value in the registry, as Plumora's settings write it.
bool SetCameraFriendlyName(const std::wstring& name);
std::wstring CameraFriendlyName();

}  // namespace vcam::testing_support
