// Conversions between wide text and the 8-bit code pages of the system.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace framework {

// Converts text to codePage. False when the code page cannot hold every character
// exactly (no best-fit look-alikes, no replacement characters); out is then unspecified.
bool ToCodePage(UINT codePage, std::wstring_view text, std::string& out);

// Converts bytes of codePage to wide text; bytes that are not valid in it become the
// code page's replacement character.
std::wstring FromCodePage(UINT codePage, std::string_view bytes);

}  // namespace framework
