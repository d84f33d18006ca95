#include "vcam/testing/testcamera/CameraSettings.h"

#include <windows.h>

#include <algorithm>
#include <cwctype>
#include <optional>

#include "framework/Handle.h"
#include "vcam/testing/testcamera/TestCameraIds.h"

namespace testcamera {

namespace {

constexpr std::uint32_t kMaxFramesPerSecond = 1000;

std::optional<std::uint32_t> ParseSide(const std::wstring& digits) {
  if (digits.empty() || digits.size() > 5) return std::nullopt;
  std::uint32_t value = 0;
  for (const wchar_t digit : digits) {
    if (digit < L'0' || digit > L'9') return std::nullopt;
    value = value * 10 + static_cast<std::uint32_t>(digit - L'0');
  }
  if (value == 0 || value > kMaxSide) return std::nullopt;
  return value;
}

std::optional<FrameSize> ParseSize(const std::wstring& entry) {
  const std::size_t cross = entry.find_first_of(L"xX");
  if (cross == std::wstring::npos) return std::nullopt;
  const std::optional<std::uint32_t> width = ParseSide(entry.substr(0, cross));
  const std::optional<std::uint32_t> height = ParseSide(entry.substr(cross + 1));
  if (!width || !height) return std::nullopt;
  return FrameSize{*width, *height};
}

std::optional<std::wstring> ReadString(HKEY key, const wchar_t* name) {
  wchar_t text[1024];
  DWORD bytes = sizeof text;
  if (::RegGetValueW(key, nullptr, name, RRF_RT_REG_SZ, nullptr, text, &bytes) != ERROR_SUCCESS)
    return std::nullopt;
  return std::wstring(text);
}

std::optional<std::uint32_t> ReadNumber(HKEY key, const wchar_t* name) {
  DWORD value = 0;
  DWORD bytes = sizeof value;
  if (::RegGetValueW(key, nullptr, name, RRF_RT_REG_DWORD, nullptr, &value, &bytes) !=
      ERROR_SUCCESS)
    return std::nullopt;
  return value;
}

void ReadSizes(HKEY key, const wchar_t* name, std::vector<FrameSize>& sizes) {
  if (const std::optional<std::wstring> text = ReadString(key, name)) {
    std::vector<FrameSize> parsed = ParseSizes(*text);
    if (!parsed.empty()) sizes = std::move(parsed);
  }
}

void ReadFlag(HKEY key, const wchar_t* name, bool& flag) {
  if (const std::optional<std::uint32_t> value = ReadNumber(key, name)) flag = *value != 0;
}

}  // namespace

std::vector<FrameSize> ParseSizes(const std::wstring& text) {
  std::vector<FrameSize> sizes;
  std::wstring entry;
  const auto take = [&] {
    if (const std::optional<FrameSize> size = ParseSize(entry)) sizes.push_back(*size);
    entry.clear();
  };
  for (const wchar_t c : text) {
    if (std::iswspace(c) || c == L',')
      take();
    else
      entry += c;
  }
  take();
  return sizes;
}

CameraSettings ReadCameraSettings(int camera) {
  CameraSettings settings;
  const CameraIdentity* identity = IdentityOf(camera);
  framework::CRegistryKey key;
  if (identity == nullptr || ::RegOpenKeyExW(HKEY_CURRENT_USER, identity->settingsKey, 0,
                                             KEY_QUERY_VALUE, key.Receive()) != ERROR_SUCCESS)
    return settings;
  ReadSizes(key.Get(), setting::kSizes, settings.sizes);
  ReadFlag(key.Get(), setting::kPreviewPin, settings.previewPin);
  ReadFlag(key.Get(), setting::kPreviewPinUnusable, settings.previewPinUnusable);
  ReadFlag(key.Get(), setting::kStillPin, settings.stillPin);
  ReadSizes(key.Get(), setting::kStillSizes, settings.stillSizes);
  if (const std::optional<std::uint32_t> every = ReadNumber(key.Get(), setting::kStillEveryMs))
    settings.stillEveryMs = *every;
  if (const std::optional<std::uint32_t> rate = ReadNumber(key.Get(), setting::kFramesPerSecond);
      rate && *rate > 0)
    settings.framesPerSecond = std::min(*rate, kMaxFramesPerSecond);
  ReadFlag(key.Get(), setting::kDelivers, settings.delivers);
  return settings;
}

}  // namespace testcamera
