// Numbers in text the way the C library's wide atol reads them, without its undefined
// behaviour on overflow. No Win32: built for Windows and natively.
#pragma once

#include <cstdint>
#include <string_view>

namespace framework {

// Leading white space, an optional sign, then decimal digits up to the first other
// character; 0 when there are no digits. Values beyond 32 bits saturate at
// INT32_MIN or INT32_MAX.
std::int32_t ParseDecimal(std::wstring_view text);

// A whole number and nothing else, as a dialog's number field takes it: white space
// around it, an optional sign, at least one digit, within 32 bits. False otherwise, with
// value unchanged.
bool ParseWholeNumber(std::wstring_view text, std::int32_t& value);

}  // namespace framework
