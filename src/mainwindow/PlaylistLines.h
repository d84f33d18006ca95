// The lines of "chapters.dat": 8-bit text, one full path per line, CR LF between lines and
// none after the last. No Win32: built for Windows and natively.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace mainwindow {

// The longest path the system takes is 32767 UTF-16 units; no code page needs more than
// three bytes for one unit. A longer line cannot be a path.
inline constexpr size_t kLongestPathUnits = 32767;
inline constexpr size_t kLongestPlaylistLineBytes = kLongestPathUnits * 3;

// The line that stands for the sample video beside the executable, compared byte for byte:
// "video\示例影音文件(使用时可以删除).avi" in code page 936.
inline constexpr std::string_view kSampleLine =
    "video\\\xCA\xBE\xC0\xFD\xD3\xB0\xD2\xF4\xCE\xC4\xBC\xFE"
    "(\xCA\xB9\xD3\xC3\xCA\xB1\xBF\xC9\xD2\xD4\xC9\xBE\xB3\xFD).avi";

// Splits the bytes of the file into lines as they arrive, in pieces of any size. A line
// ends at LF, with one CR before it dropped; the end of the file ends the last line.
// Empty lines are dropped. A line is cut at a NUL byte, as the C string it was written
// from. Lines longer than kLongestPlaylistLineBytes are dropped and counted.
class CPlaylistLineReader {
 public:
  void Feed(std::string_view bytes);
  // Ends the last line; call once after the last Feed.
  void Finish();

  const std::vector<std::string>& Lines() const { return m_lines; }
  size_t OverlongLines() const { return m_overlongLines; }

 private:
  void EndLine();

  std::vector<std::string> m_lines;
  std::string m_line;
  bool m_lineCut = false;      // a NUL was seen: the rest of the line does not count
  bool m_lineTooLong = false;  // the line passed the limit: it is dropped at its end
  size_t m_overlongLines = 0;
};

// The content of the file for these lines: CR LF between lines, none after the last, and
// nothing at all for no lines.
std::string JoinPlaylistLines(const std::vector<std::string>& lines);

}  // namespace mainwindow
