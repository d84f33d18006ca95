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

}  // namespace framework
