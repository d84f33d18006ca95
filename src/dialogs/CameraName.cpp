#include "dialogs/CameraName.h"

#include <windows.h>

#include <vector>

#include "dialogs/CameraNameBlock.h"
#include "framework/DebugText.h"
#include "framework/Handle.h"

namespace dialogs {

namespace {

constexpr wchar_t kFriendlyName[] = L"FriendlyName";

bool HasTwoRegistryViews() {
  if (sizeof(void*) == 8) return true;
  BOOL wow64 = FALSE;
  return ::IsWow64Process(::GetCurrentProcess(), &wow64) && wow64;
}

// The registry views to look in, this program's own first. On 64-bit Windows the 32-bit
// and the 64-bit camera filters are registered each in the view of its bitness.
std::vector<REGSAM> RegistryViews() {
  if (!HasTwoRegistryViews()) return {0};
  return sizeof(void*) == 8 ? std::vector<REGSAM>{KEY_WOW64_64KEY, KEY_WOW64_32KEY}
                            : std::vector<REGSAM>{KEY_WOW64_32KEY, KEY_WOW64_64KEY};
}

std::wstring FailureText(const wchar_t* format, LSTATUS status) {
  wchar_t text[128];
  swprintf(text, ARRAYSIZE(text), format, static_cast<int>(status));
  return text;
}

}  // namespace

bool ReadCameraFriendlyName(std::wstring& name) {
  for (const REGSAM view : RegistryViews()) {
    framework::CRegistryKey key;
    if (::RegOpenKeyExW(HKEY_CLASSES_ROOT, kCameraInstanceKey, 0, KEY_READ | view, key.Receive()) !=
        ERROR_SUCCESS)
      continue;
    // Room for one more unit than is read, so that the text always ends.
    char16_t value[130] = {};
    DWORD bytes = 255;
    const LSTATUS status = ::RegQueryValueExW(key.Get(), kFriendlyName, nullptr, nullptr,
                                              reinterpret_cast<BYTE*>(value), &bytes);
    if (status != ERROR_SUCCESS) {
      framework::WriteDebugText(FailureText(L"获得虚拟设备名称失败，失败的代码是%d\n", status));
      return false;
    }
    const std::u16string text = CameraNameFromValue(value, bytes / sizeof(char16_t));
    name.assign(text.begin(), text.end());
    return true;
  }
  return false;
}

void WriteCameraFriendlyName(const std::wstring& name) {
  const CameraNameBlock block = MakeCameraNameBlock(std::u16string(name.begin(), name.end()));
  for (const REGSAM view : RegistryViews()) {
    framework::CRegistryKey key;
    // Opened, never created: a view without the camera stays without it.
    if (::RegOpenKeyExW(HKEY_CLASSES_ROOT, kCameraInstanceKey, 0,
                        KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY | view,
                        key.Receive()) != ERROR_SUCCESS)
      continue;
    const LSTATUS status =
        ::RegSetValueExW(key.Get(), kFriendlyName, 0, REG_SZ,
                         reinterpret_cast<const BYTE*>(block.data()), sizeof(block));
    if (status != ERROR_SUCCESS)
      framework::WriteDebugText(FailureText(L"修改名称失败，失败的代码是%d\n", status));
  }
}

}  // namespace dialogs
