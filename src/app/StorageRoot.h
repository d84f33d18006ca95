// The storage root the user chooses and the product folder the program keeps inside it.
// No Win32: built for Windows and natively.
#pragma once

#include <string>

namespace app {

// The folder the program adds inside the storage root; the settings dialog names it to
// the user ("系统自动在存储位置的目录添加 Plumora 文件夹").
inline constexpr wchar_t kProductName[] = L"Plumora";

// Forward slashes become backslashes and trailing backslashes go, except a lone one:
// "D:/Media//" gives "D:\Media", "C:\" gives "C:", "\" stays "\".
std::wstring NormaliseStorageRoot(std::wstring path);

// The storage root followed by a backslash and "Plumora", or the storage root itself
// when its last folder already is "Plumora"; empty for an empty storage root.
std::wstring ProductFolderFor(const std::wstring& storageRoot);

}  // namespace app
