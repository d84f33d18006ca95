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

TEST(ParseWholeNumber, TakesOneWholeNumberWithSpaceAroundAndNothingElse) {
  struct Case {
    const wchar_t* text;
    bool accepted;
    std::int32_t value;
  };
  const Case cases[] = {
      {L"3", true, 3},
      {L" 12 ", true, 12},
      {L"-1", true, -1},
      {L"+0", true, 0},
      {L"2147483647", true, 2147483647},
      {L"-2147483648", true, -2147483647 - 1},
      {L"2147483648", false, 0},
      {L"99999999999999999999", false, 0},
      {L"-2147483649", false, 0},
      {L"-99999999999999999999", false, 0},
      {L"", false, 0},
      {L"  ", false, 0},
      {L"-", false, 0},
      {L"1.5", false, 0},
      {L"12abc", false, 0},
      {L"1 2", false, 0},
      {L"１２", false, 0},
  };
  for (const Case& c : cases) {
    std::int32_t value = 77;
    EXPECT_EQ(ParseWholeNumber(c.text, value), c.accepted) << ::testing::PrintToString(c.text);
    EXPECT_EQ(value, c.accepted ? c.value : 77) << ::testing::PrintToString(c.text);
  }
}

}  // namespace
}  // namespace framework
