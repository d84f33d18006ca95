// The camera's names and class identifier, shared by its registration and its clients'
// tests. The 32-bit and 64-bit builds register the same class in their registry views.
#pragma once

#include <windows.h>

namespace vcam {

// {B8D0CB5B-B950-4F92-B013-1F9D4A2CFC5D}
inline constexpr CLSID CLSID_PlumoraVirtualCamera = {
    0xb8d0cb5b, 0xb950, 0x4f92, {0xb0, 0x13, 0x1f, 0x9d, 0x4a, 0x2c, 0xfc, 0x5d}};
inline constexpr wchar_t kClassIdText[] = L"{B8D0CB5B-B950-4F92-B013-1F9D4A2CFC5D}";

// The instance key under the video input device category never changes; Plumora's
// settings rename the camera by its FriendlyName value only.
inline constexpr wchar_t kInstanceName[] = L"Virtual Camera";
inline constexpr wchar_t kDefaultFriendlyName[] = L"Virtual Camera";
// HKEY_CLASSES_ROOT\ this: where the FriendlyName value lives.
inline constexpr wchar_t kInstanceKeyPath[] =
    L"CLSID\\{860BB310-5D01-11d0-BD3B-00A0C911CE86}\\Instance\\Virtual Camera";

}  // namespace vcam
