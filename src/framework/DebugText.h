// Failures of little interest to the user (playlist file, profile writes) go only to the
// debugger output. Tests replace the output with a handler of their own to read the text.
#pragma once

#include <string>

namespace framework {

using DebugTextHandler = void (*)(const std::wstring& text);

void WriteDebugText(const std::wstring& text);

// Sends every later text to handler instead of the debugger (null restores the debugger).
// Returns the handler that was in place.
DebugTextHandler SetDebugTextHandler(DebugTextHandler handler);

}  // namespace framework
