#include "mainwindow/PlaylistLines.h"

#include <gtest/gtest.h>

#include <ostream>

#include <string>
#include <vector>

namespace mainwindow {
namespace {

using Lines = std::vector<std::string>;

CPlaylistLineReader ReadAtOnce(std::string_view bytes) {
  CPlaylistLineReader reader;
  reader.Feed(bytes);
  reader.Finish();
  return reader;
}

CPlaylistLineReader ReadBytewise(std::string_view bytes) {
  CPlaylistLineReader reader;
  for (const char c : bytes) reader.Feed(std::string_view(&c, 1));
  reader.Finish();
  return reader;
}

struct SplitCase {
  std::string bytes;
  Lines lines;
};

// Names the case by its input in test listings.
void PrintTo(const SplitCase& c, std::ostream* out) {
  *out << ::testing::PrintToString(c.bytes);
}

class PlaylistLineReaderTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(PlaylistLineReaderTest, SplitsLinesWhateverThePieces) {
  const SplitCase& c = GetParam();
  EXPECT_EQ(ReadAtOnce(c.bytes).Lines(), c.lines);
  EXPECT_EQ(ReadBytewise(c.bytes).Lines(), c.lines);
}

using namespace std::string_literals;

INSTANTIATE_TEST_SUITE_P(
    Cases, PlaylistLineReaderTest,
    ::testing::Values(SplitCase{"", {}}, SplitCase{"C:\\a.avi", {"C:\\a.avi"}},
                      SplitCase{"C:\\a.avi\r\nD:\\b.mp4", {"C:\\a.avi", "D:\\b.mp4"}},
                      // A file ending in a line break reads as one without it.
                      SplitCase{"C:\\a.avi\r\nD:\\b.mp4\r\n", {"C:\\a.avi", "D:\\b.mp4"}},
                      SplitCase{"a\nb\n", {"a", "b"}},
                      SplitCase{"\r\na\r\n\r\n\r\nb\r\n\r\n", {"a", "b"}}, SplitCase{"\r\n", {}},
                      // Only the CR of CR LF goes.
                      SplitCase{"a\rb\r\r\n", {"a\rb\r"}},
                      // A NUL ends the text of its line, as in the C string it came from.
                      SplitCase{"a\0b\r\nc"s, {"a", "c"}}, SplitCase{"\0a\r\nb"s, {"b"}},
                      SplitCase{"\xCA\xBE\xC0\xFD.avi\r\n\xE6\x88\x91.mp4",
                                {"\xCA\xBE\xC0\xFD.avi", "\xE6\x88\x91.mp4"}}));

TEST(PlaylistLineReader, KeepsTheLongestLineAndDropsLongerOnes) {
  const std::string longest(kLongestPlaylistLineBytes, 'x');
  const std::string tooLong(kLongestPlaylistLineBytes + 1, 'y');
  for (const auto& reader :
       {ReadAtOnce("a\r\n" + longest + "\r\n" + tooLong + "\r\nb\r\n" + tooLong),
        ReadBytewise("a\r\n" + longest + "\r\n" + tooLong + "\r\nb\r\n" + tooLong)}) {
    EXPECT_EQ(reader.Lines(), (Lines{"a", longest, "b"}));
    EXPECT_EQ(reader.OverlongLines(), 2u);
  }
}

TEST(PlaylistLineReader, GetsPastAHugeLineWithoutHoldingIt) {
  CPlaylistLineReader reader;
  reader.Feed("first\r\n");
  const std::string block(1 << 20, 'z');
  for (int i = 0; i < 64; ++i) reader.Feed(block);  // 64 MiB without a line break
  reader.Feed("\r\nlast");
  reader.Finish();
  EXPECT_EQ(reader.Lines(), (Lines{"first", "last"}));
  EXPECT_EQ(reader.OverlongLines(), 1u);
}

TEST(JoinPlaylistLines, PutsCrLfBetweenLinesOnly) {
  EXPECT_EQ(JoinPlaylistLines({}), "");
  EXPECT_EQ(JoinPlaylistLines({"a"}), "a");
  EXPECT_EQ(JoinPlaylistLines({"a", "b", "c"}), "a\r\nb\r\nc");
}

TEST(JoinPlaylistLines, ReadsBackAsTheSameLines) {
  const Lines lines = {"C:\\x.avi", std::string(kLongestPlaylistLineBytes, 'p'), "D:\\y z.mp4"};
  EXPECT_EQ(ReadAtOnce(JoinPlaylistLines(lines)).Lines(), lines);
}

TEST(SampleLine, IsTheThirtyEightBytesOfTheSampleVideo) {
  EXPECT_EQ(kSampleLine.size(), 38u);
  EXPECT_EQ(kSampleLine.substr(0, 6), "video\\");
  EXPECT_EQ(kSampleLine.substr(kSampleLine.size() - 4), ".avi");
}

}  // namespace
}  // namespace mainwindow
