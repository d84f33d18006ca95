// The operating system's own text for an error code.
#pragma once

#include <windows.h>

#include <string>

namespace framework {

// The system message table's text for code (a Win32 error or an HRESULT) in the neutral
// language, as the system gives it (usually ending in a line break); empty when the
// system has no text for the code.
std::wstring SystemMessageText(DWORD code);

}  // namespace framework
