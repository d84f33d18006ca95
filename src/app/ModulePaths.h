// Where the program finds its files and where the user's storage folder starts out.
#pragma once

#include <string>

namespace app {

// Drive and folder of the running executable, ending in a backslash. When the system
// cannot tell, a warning box says so and the result is empty.
std::wstring GetModuleFolder();

// GetModuleFolder() followed by "config.ini".
std::wstring GetConfigFilePath();

// The file-system path of a shell special folder (a CSIDL value) in its long form, or an
// empty string when the folder cannot be resolved.
std::wstring GetShellFolderPath(int csidl);

// The user's video folder, or the documents folder when there is no video folder.
std::wstring GetDefaultStorageRoot();

}  // namespace app
