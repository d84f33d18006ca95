// For the documentation's pictures: a window as it stands on the screen, frame included,
// saved as PNG, and a message pump to let it settle first.
#pragma once

#include <windows.h>

#include <string>

namespace devtools {

// Copies the window's place on the screen into a PNG file. GDI+ must be started.
bool SaveWindowPicture(HWND window, const std::wstring& path);

// Dispatches this thread's messages for ms milliseconds, pre-translated for the windows
// under top as the program's own loops do.
void PumpFor(HWND top, DWORD ms);

}  // namespace devtools
