#include "framework/DecimalText.h"

#include <gtest/gtest.h>

#include <ostream>

#include <cstdint>

namespace framework {
namespace {

struct NumberCase {
  const wchar_t* text;
  std::int32_t value;
};

// Names the case by its input in test listings.
void PrintTo(const NumberCase& c, std::ostream* out) {
  *out << ::testing::PrintToString(c.text);
}

class ParseDecimalTest : public ::testing::TestWithParam<NumberCase> {};

TEST_P(ParseDecimalTest, ReadsAsAtolDoes) {
  EXPECT_EQ(ParseDecimal(GetParam().text), GetParam().value) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(Cases, ParseDecimalTest,
                         ::testing::Values(NumberCase{L"0003", 3}, NumberCase{L"", 0},
                                           NumberCase{L"abc", 0}, NumberCase{L"12abc", 12},
                                           NumberCase{L"  \t42", 42}, NumberCase{L"-1", -1},
                                           NumberCase{L"+7", 7}, NumberCase{L"- 7", 0},
                                           NumberCase{L"2147483647", 2147483647},
                                           NumberCase{L"2147483648", 2147483647},
                                           NumberCase{L"99999999999999999999999", 2147483647},
                                           NumberCase{L"-2147483648", -2147483647 - 1},
                                           NumberCase{L"-99999999999999999999", -2147483647 - 1},
                                           // Full-width digits are not decimal digits here.
                                           NumberCase{L"１２", 0}));

}  // namespace
}  // namespace framework
