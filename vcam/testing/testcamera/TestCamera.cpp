#include "vcam/testing/testcamera/TestCamera.h"

#include <sstream>

#include "vcam/testing/CameraDevices.h"
#include "vcam/testing/testcamera/TestCameraExports.h"

namespace testcamera {

namespace {

HMODULE LoadedDll() {
  return ::GetModuleHandleW(kDllName);
}

// An export of the loaded DLL, or null. Through void*: FARPROC's type differs from the
// functions' in 64-bit builds.
template <typename Function>
Function LoadedExport(const char* name) {
  const HMODULE dll = LoadedDll();
  return dll != nullptr
             ? reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(dll, name)))
             : nullptr;
}

}  // namespace

std::wstring TestCameraDllPath() {
  wchar_t path[MAX_PATH];
  const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path, length);
  return folder.substr(0, folder.find_last_of(L'\\') + 1) + kDllName;
}

std::wstring CameraName(int camera) {
  const CameraIdentity* identity = IdentityOf(camera);
  return identity != nullptr ? identity->friendlyName : L"";
}

CTestCameraRegistration::CTestCameraRegistration()
    : m_exitCode(vcam::testing_support::RunRegsvr32(TestCameraDllPath(), false)) {}

CTestCameraRegistration::~CTestCameraRegistration() {
  vcam::testing_support::RunRegsvr32(TestCameraDllPath(), true);
}

CTestCameraSettings::CTestCameraSettings(int camera) : m_camera(camera) {
  const CameraIdentity* identity = IdentityOf(camera);
  if (identity == nullptr) return;
  // What an earlier test (or a killed test program) left is no part of this test.
  ::RegDeleteTreeW(HKEY_CURRENT_USER, identity->settingsKey);
  ::RegCreateKeyExW(HKEY_CURRENT_USER, identity->settingsKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                    m_key.Receive(), nullptr);
}

CTestCameraSettings::~CTestCameraSettings() {
  if (const CameraIdentity* identity = IdentityOf(m_camera))
    ::RegDeleteTreeW(HKEY_CURRENT_USER, identity->settingsKey);
}

bool CTestCameraSettings::SetString(const wchar_t* name, const std::wstring& value) {
  return Ready() && ::RegSetValueExW(
                        m_key.Get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                        static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

bool CTestCameraSettings::SetNumber(const wchar_t* name, DWORD value) {
  return Ready() &&
         ::RegSetValueExW(m_key.Get(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                          sizeof value) == ERROR_SUCCESS;
}

bool CTestCameraSettings::SetSizes(const std::wstring& sizes) {
  return SetString(setting::kSizes, sizes);
}

bool CTestCameraSettings::SetPreviewPin(bool present) {
  return SetNumber(setting::kPreviewPin, present ? 1 : 0);
}

bool CTestCameraSettings::SetPreviewPinUnusable(bool unusable) {
  return SetNumber(setting::kPreviewPinUnusable, unusable ? 1 : 0);
}

bool CTestCameraSettings::SetStillPin(bool present) {
  return SetNumber(setting::kStillPin, present ? 1 : 0);
}

bool CTestCameraSettings::SetStillSizes(const std::wstring& sizes) {
  return SetString(setting::kStillSizes, sizes);
}

bool CTestCameraSettings::SetStillEveryMs(DWORD milliseconds) {
  return SetNumber(setting::kStillEveryMs, milliseconds);
}

bool CTestCameraSettings::SetFramesPerSecond(DWORD rate) {
  return SetNumber(setting::kFramesPerSecond, rate);
}

bool CTestCameraSettings::SetDelivers(bool delivers) {
  return SetNumber(setting::kDelivers, delivers ? 1 : 0);
}

LONG FramesDelivered(int camera) {
  const auto function = LoadedExport<FramesDeliveredFunction>("TestCameraFramesDelivered");
  return function != nullptr ? function(camera) : -1;
}

bool HoldFrames(int camera, bool hold) {
  const auto function = LoadedExport<HoldFramesFunction>("TestCameraHoldFrames");
  return function != nullptr && function(camera, hold ? TRUE : FALSE) != FALSE;
}

LONG StillsDelivered(int camera) {
  const auto function = LoadedExport<StillsDeliveredFunction>("TestCameraStillsDelivered");
  return function != nullptr ? function(camera) : -1;
}

std::optional<FrameSize> LastFormat(int camera) {
  const auto function = LoadedExport<LastFormatFunction>("TestCameraLastFormat");
  int width = 0, height = 0;
  if (function == nullptr || !function(camera, &width, &height)) return std::nullopt;
  return FrameSize{static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height)};
}

std::optional<Rgb> PixelAt(const std::vector<std::uint8_t>& frame, FrameSize size, std::uint32_t x,
                           std::uint32_t y) {
  return PixelAt(frame.data(), frame.size(), size.width, size.height, x, y);
}

std::optional<std::uint32_t> DecodeSequenceNumber(const std::vector<std::uint8_t>& frame,
                                                  FrameSize size) {
  return DecodeSequenceNumber(frame.data(), frame.size(), size.width, size.height);
}

std::string PictureDifference(int camera, FrameSize size, std::uint32_t sequence,
                              const std::vector<std::uint8_t>& frame) {
  if (frame.size() < FrameBytes(size.width, size.height)) {
    std::ostringstream text;
    text << frame.size() << " bytes, not the " << FrameBytes(size.width, size.height) << " of a "
         << size << " frame";
    return text.str();
  }
  std::size_t differing = 0;
  std::ostringstream first;
  for (std::uint32_t y = 0; y < size.height; ++y) {
    for (std::uint32_t x = 0; x < size.width; ++x) {
      const Rgb expected = ExpectedPixel(camera, size.width, size.height, x, y, sequence);
      const Rgb actual = *PixelAt(frame, size, x, y);
      if (actual == expected) continue;
      if (differing++ == 0)
        first << "first at (" << x << ", " << y << "): " << actual << " instead of " << expected;
    }
  }
  if (differing == 0) return {};
  std::ostringstream text;
  text << differing << " pixels differ, " << first.str();
  return text.str();
}

std::ostream& operator<<(std::ostream& out, const Rgb& colour) {
  return out << "rgb(" << int{colour.red} << ", " << int{colour.green} << ", " << int{colour.blue}
             << ")";
}

std::ostream& operator<<(std::ostream& out, const FrameSize& size) {
  return out << size.width << "x" << size.height;
}

}  // namespace testcamera
