// NtQuerySystemInformation with a buffer that grows until the answer fits: the system's
// lists (processes, handles) can grow between two calls.
#pragma once

#include <windows.h>

#include <vector>

namespace devtools {

// SystemExtendedHandleInformation, which MinGW's winternl.h does not name.
inline constexpr int kSystemExtendedHandleInformation = 64;

// Fills buffer with the answer for infoClass; false when the system gave none.
bool QuerySystemInformation(int infoClass, std::vector<unsigned char>& buffer);

}  // namespace devtools
