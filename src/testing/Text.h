// For tests: text in the form gtest, log files and the console take.
#pragma once

#include <string>

namespace testing_support {

// text as UTF-8; an empty string for text Windows cannot convert.
std::string Utf8(const std::wstring& text);

}  // namespace testing_support
