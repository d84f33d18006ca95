// Decisions about media file paths that need no Win32.
#pragma once

#include <string>

namespace feed {

// Whether a path names a Windows Media file (".asf", ".wma", ".wmv"), which only the
// graph manager's own file rendering plays. The test looks at the first 259 characters,
// lower-cased, and finds the extensions anywhere in them, folder names included.
bool IsWindowsMediaPath(const std::wstring& path);

}  // namespace feed
