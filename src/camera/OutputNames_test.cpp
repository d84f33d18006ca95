#include "camera/OutputNames.h"

#include <gtest/gtest.h>

#include <ostream>

#include <climits>

namespace camera {
namespace {

TEST(ZeroPad, FillsToWidthAndLeavesLongerNumbers) {
  EXPECT_EQ(ZeroPad(3, 12), L"012");
  EXPECT_EQ(ZeroPad(4, 12345), L"12345");
  EXPECT_EQ(ZeroPad(3, 7), L"007");
  EXPECT_EQ(ZeroPad(4, 7), L"0007");
  EXPECT_EQ(ZeroPad(3, 1000), L"1000");
  EXPECT_EQ(ZeroPad(4, 0), L"0000");
}

TEST(DateStamp, IsYearMonthDayInEightDigits) {
  EXPECT_EQ(DateStamp(2012, 5, 12), L"20120512");
  EXPECT_EQ(DateStamp(2099, 12, 31), L"20991231");
  EXPECT_EQ(DateStamp(987, 1, 2), L"09870102");
}

struct ParseCase {
  const wchar_t* name;
  bool parses;
  const wchar_t* date;
  std::int32_t counter;
};

// Names the case by its input in test listings.
void PrintTo(const ParseCase& c, std::ostream* out) {
  *out << ::testing::PrintToString(c.name);
}

class ParseOutputFileNameTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseOutputFileNameTest, SplitsDateAndCounter) {
  const ParseCase& c = GetParam();
  std::wstring date = L"untouched";
  std::int32_t counter = -5;
  ASSERT_EQ(ParseOutputFileName(c.name, date, counter), c.parses) << c.name;
  if (!c.parses) return;
  EXPECT_EQ(date, c.date) << c.name;
  EXPECT_EQ(counter, c.counter) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ParseOutputFileNameTest,
    ::testing::Values(
        ParseCase{L"S20120512_0003.jpg", true, L"20120512", 3},
        ParseCase{L"M20120512_0012.avi", true, L"20120512", 12},
        ParseCase{L"S20120512_10000.jpg", true, L"20120512", 10000},
        ParseCase{L"T20120512_001_0003.jpg", false, L"", 0},
        ParseCase{L"readme.txt", false, L"", 0}, ParseCase{L"a_1.jpg", true, L"", 1},
        ParseCase{L"_0001.jpg", true, L"", 1}, ParseCase{L"S20120512_.jpg", false, L"", 0},
        ParseCase{L"S20120512_", true, L"20120512", 0}, ParseCase{L"S2012_0003", true, L"2012", 3},
        ParseCase{L"S2012_00.3.jpg", false, L"", 0}, ParseCase{L"SX012_0001.jpg", false, L"", 0},
        ParseCase{L"S20120512_99999999999.jpg", true, L"20120512", INT_MAX}));

struct SlotCase {
  const wchar_t* latest;
  const wchar_t* date;
  std::int32_t counter;
};

// Names the case by its input in test listings.
void PrintTo(const SlotCase& c, std::ostream* out) {
  *out << ::testing::PrintToString(c.latest);
}

class NextDatedSlotTest : public ::testing::TestWithParam<SlotCase> {};

TEST_P(NextDatedSlotTest, FollowsTheLatestName) {
  const SlotCase& c = GetParam();
  const auto slot = NextDatedSlot(c.latest, L"20120512");
  ASSERT_TRUE(slot.has_value()) << c.latest;
  EXPECT_EQ(slot->date, c.date) << c.latest;
  EXPECT_EQ(slot->counter, c.counter) << c.latest;
}

INSTANTIATE_TEST_SUITE_P(Cases, NextDatedSlotTest,
                         ::testing::Values(SlotCase{L"", L"20120512", 1},
                                           SlotCase{L"S20120512_0001.jpg", L"20120512", 2},
                                           SlotCase{L"S20120511_0041.jpg", L"20120512", 1},
                                           SlotCase{L"S20991231_0007.jpg", L"20991231", 8},
                                           SlotCase{L"readme.txt", L"20120512", 1},
                                           SlotCase{L"a_1.jpg", L"20120512", 1}));

TEST(NextDatedSlot, EndsWhenTheCounterIsExhausted) {
  EXPECT_FALSE(NextDatedSlot(L"S20120512_2147483647.jpg", L"20120512").has_value());
}

TEST(DatedFileName, FollowsTheKindsPattern) {
  EXPECT_EQ(DatedFileName(OutputKind::Photograph, {L"20120512", 1}), L"S20120512_0001.jpg");
  EXPECT_EQ(DatedFileName(OutputKind::Recording, {L"20120512", 2}), L"M20120512_0002.avi");
  EXPECT_EQ(DatedFileName(OutputKind::Photograph, {L"20120512", 10000}), L"S20120512_10000.jpg");
}

TEST(DatedFileName, ParsesBackToItsSlot) {
  for (const std::int32_t counter : {0, 1, 9, 999, 9999, 10000, 123456, INT_MAX}) {
    for (const OutputKind kind : {OutputKind::Photograph, OutputKind::Recording}) {
      const std::wstring name = DatedFileName(kind, {L"20991231", counter});
      std::wstring date;
      std::int32_t parsed = -1;
      ASSERT_TRUE(ParseOutputFileName(name, date, parsed)) << name;
      EXPECT_EQ(date, L"20991231");
      EXPECT_EQ(parsed, counter);
    }
  }
}

TEST(TreeNumberOf, CountsOnlyNamesWithThePrefix) {
  EXPECT_EQ(TreeNumberOf(L"SingleShot0005.jpg", L"SingleShot"), 5);
  EXPECT_EQ(TreeNumberOf(L"SingleShot12.jpg.bak", L"SingleShot"), 12);
  EXPECT_EQ(TreeNumberOf(L"SingleShot0005", L"SingleShot"), 0);
  EXPECT_EQ(TreeNumberOf(L"SingleShotabc.jpg", L"SingleShot"), 0);
  EXPECT_FALSE(TreeNumberOf(L"Movie0005.avi", L"SingleShot").has_value());
  EXPECT_FALSE(TreeNumberOf(L"singleshot0005.jpg", L"SingleShot").has_value());
  EXPECT_EQ(TreeNumberOf(L"007", L""), 7);
  EXPECT_EQ(TreeNumberOf(L"notes", L""), 0);
}

struct TreeCase {
  std::int32_t largestGroup, largestNumber;
  std::int32_t group, number;
};

// Names the case by its input in test listings.
void PrintTo(const TreeCase& c, std::ostream* out) {
  *out << ::testing::PrintToString(std::to_string(c.largestGroup) + "," +
                                   std::to_string(c.largestNumber));
}

class NextTreeSlotTest : public ::testing::TestWithParam<TreeCase> {};

TEST_P(NextTreeSlotTest, OpensANewGroupEveryThousand) {
  const TreeCase& c = GetParam();
  const auto slot = NextTreeSlot(c.largestGroup, c.largestNumber);
  ASSERT_TRUE(slot.has_value());
  EXPECT_EQ(slot->group, c.group);
  EXPECT_EQ(slot->number, c.number);
}

INSTANTIATE_TEST_SUITE_P(Cases, NextTreeSlotTest,
                         ::testing::Values(TreeCase{-1, -1, 0, 0}, TreeCase{0, -1, 0, 0},
                                           TreeCase{0, 0, 0, 1}, TreeCase{0, 998, 0, 999},
                                           TreeCase{0, 999, 1, 1000}, TreeCase{1, 1000, 1, 1001},
                                           TreeCase{1, 1999, 2, 2000},
                                           // A new group folder made by hand, still empty.
                                           TreeCase{2, -1, 2, 0}));

TEST(NextTreeSlot, EndsWhenTheNumbersAreExhausted) {
  EXPECT_FALSE(NextTreeSlot(0, INT_MAX).has_value());
}

TEST(TreeNames, AreGroupFolderAndPrefixedNumber) {
  EXPECT_EQ(TreeGroupName({0, 0}), L"000");
  EXPECT_EQ(TreeFileName(OutputKind::Photograph, {0, 0}), L"SingleShot0000.jpg");
  EXPECT_EQ(TreeGroupName({1, 1000}), L"001");
  EXPECT_EQ(TreeFileName(OutputKind::Photograph, {1, 1000}), L"SingleShot1000.jpg");
  EXPECT_EQ(TreeFileName(OutputKind::Recording, {0, 42}), L"Movie0042.avi");
}

}  // namespace
}  // namespace camera
