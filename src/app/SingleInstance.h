// One running copy of the program at a time: a named mutex held for the life of the
// process, and the window property by which a second start finds the first copy's window.
#pragma once

#include <windows.h>

#include <string>

namespace app {

// The executable's file name without folder and extension ("Plumora").
std::wstring ExecutableBaseName();

// Creates the process's single-instance mutex, named baseName and held until the process
// ends. False when another process holds it already.
bool EnsureSingleInstance(const std::wstring& baseName);

// The visible or hidden top-level window that carries the property baseName, or null.
HWND FindRunningCopyWindow(const std::wstring& baseName);

// Shows the running copy's window, restores it when minimised and brings it (or its last
// active popup) to the foreground. Without such a window, a warning box says that the
// program runs already.
void BringRunningCopyForward(const std::wstring& baseName);

}  // namespace app
