// The text the program shows for a failure code of the media framework or a file writer.
#pragma once

#include <windows.h>

#include <string>

namespace feed {

// The operating system's text for code; where the system has none (codes of the media
// framework usually), the hint to install a video decoder.
std::wstring ErrorMessageText(HRESULT code);

}  // namespace feed
