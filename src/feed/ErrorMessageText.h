// Text for a result code, for the status line of a failed start.
#pragma once

#include <windows.h>

#include <string>

namespace feed {

// The fixed hint shown when the system has no text for a code: most such codes come
// from a media file that no installed decoder can play.
extern const wchar_t kDecoderHint[];

// The system's message text for the code (neutral language, without the trailing line
// break), or kDecoderHint when the system has none.
std::wstring ErrorMessageText(HRESULT code);

}  // namespace feed
