// Where the running program lies: its files ("config.ini", "chapters.dat", the "video" and
// "Image" folders) are found beside it.
#pragma once

#include <string>

namespace framework {

// The drive and folder of the running executable, ending in a backslash. Paths of any
// length are supported. False (with GetLastError set) when the system cannot tell.
bool QueryExecutableFolder(std::wstring& folder);

}  // namespace framework
