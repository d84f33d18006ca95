// The folder chooser of the settings dialogs: the system's folder browser, file-system
// folders only.
#pragma once

#include <windows.h>

#include <string>

namespace dialogs {

// Shows the browser; true with the chosen folder's path in path, false (path unchanged)
// when the user cancelled. owner (may be null) is disabled while the browser is open, so
// that the dialog that opened it cannot be closed or asked again underneath.
bool BrowseForFolder(std::wstring& path, HWND owner = nullptr);

}  // namespace dialogs
