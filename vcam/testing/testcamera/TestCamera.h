// For tests: the test cameras registered, configured and read back. A test registers the
// DLL (CTestCameraRegistration), writes a camera's behaviour (CTestCameraSettings), opens
// the camera through the system device enumerator by its name (CameraGraph.h), and
// checks what arrives against the camera's picture (TestPicture.h) and the DLL's counters.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "framework/Handle.h"
#include "vcam/testing/testcamera/CameraSettings.h"
#include "vcam/testing/testcamera/TestCameraIds.h"
#include "vcam/testing/testcamera/TestPicture.h"

namespace testcamera {

// The DLL beside this test program.
std::wstring TestCameraDllPath();
// Camera 1's or 2's FriendlyName, as the device enumerator lists it; empty for others.
std::wstring CameraName(int camera);

// Both cameras registered by the system's regsvr32 for the object's lifetime, and
// unregistered when it goes, so that other tests find the prefix as they left it.
class CTestCameraRegistration {
 public:
  CTestCameraRegistration();
  CTestCameraRegistration(const CTestCameraRegistration&) = delete;
  CTestCameraRegistration& operator=(const CTestCameraRegistration&) = delete;
  ~CTestCameraRegistration();
  bool Succeeded() const { return m_exitCode == 0; }
  int ExitCode() const { return m_exitCode; }

 private:
  int m_exitCode;
};

// A camera's settings key (HKEY_CURRENT_USER\Software\Plumora\TestCamera\CameraN) for the
// object's lifetime: emptied when made, deleted when it goes. Each setter writes one value
// (TestCameraIds.h names them) and says whether the registry took it; a filter made
// afterwards behaves accordingly.
class CTestCameraSettings {
 public:
  explicit CTestCameraSettings(int camera);
  CTestCameraSettings(const CTestCameraSettings&) = delete;
  CTestCameraSettings& operator=(const CTestCameraSettings&) = delete;
  ~CTestCameraSettings();
  bool Ready() const { return m_key.Get() != nullptr; }

  bool SetSizes(const std::wstring& sizes);  // "640x480 1280x720"
  bool SetPreviewPin(bool present);
  bool SetPreviewPinUnusable(bool unusable);
  bool SetStillPin(bool present);
  bool SetStillSizes(const std::wstring& sizes);
  bool SetStillEveryMs(DWORD milliseconds);
  bool SetFramesPerSecond(DWORD rate);
  bool SetDelivers(bool delivers);

  bool SetString(const wchar_t* name, const std::wstring& value);
  bool SetNumber(const wchar_t* name, DWORD value);

 private:
  const int m_camera;
  framework::CRegistryKey m_key;
};

// The counters of the DLL as this process loaded it (through CoCreateInstance or a
// moniker); -1, or nullopt, while it is not loaded.
LONG FramesDelivered(int camera);
LONG StillsDelivered(int camera);
std::optional<FrameSize> LastFormat(int camera);
// Holds or releases the camera's preview and capture frames (DeliveryGate.h); false while
// the DLL is not loaded.
bool HoldFrames(int camera, bool hold);

// TestPicture.h's readings of a frame held in a vector.
std::optional<Rgb> PixelAt(const std::vector<std::uint8_t>& frame, FrameSize size, std::uint32_t x,
                           std::uint32_t y);
std::optional<std::uint32_t> DecodeSequenceNumber(const std::vector<std::uint8_t>& frame,
                                                  FrameSize size);
// Where a frame differs from camera's picture number `sequence`: how many pixels and the
// first one, for a test's message; empty when every pixel is as expected.
std::string PictureDifference(int camera, FrameSize size, std::uint32_t sequence,
                              const std::vector<std::uint8_t>& frame);

// For test messages.
std::ostream& operator<<(std::ostream& out, const Rgb& colour);
std::ostream& operator<<(std::ostream& out, const FrameSize& size);

}  // namespace testcamera
