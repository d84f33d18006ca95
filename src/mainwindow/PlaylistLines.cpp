#include "mainwindow/PlaylistLines.h"

namespace mainwindow {

void CPlaylistLineReader::Feed(std::string_view bytes) {
  while (!bytes.empty()) {
    const size_t end = bytes.find('\n');
    const std::string_view piece = bytes.substr(0, end);
    if (!m_lineCut && !m_lineTooLong) {
      const size_t nul = piece.find('\0');
      const std::string_view kept = piece.substr(0, nul);
      // One byte over the limit is kept for now: it may be the CR before the LF.
      if (m_line.size() + kept.size() > kLongestPlaylistLineBytes + 1) {
        m_lineTooLong = true;
        m_line.clear();
        m_line.shrink_to_fit();
      } else {
        m_line.append(kept);
        m_lineCut = nul != std::string_view::npos;
      }
    }
    if (end == std::string_view::npos) return;
    EndLine();
    bytes.remove_prefix(end + 1);
  }
}

void CPlaylistLineReader::Finish() {
  EndLine();
}

void CPlaylistLineReader::EndLine() {
  // The CR of CR LF (a CR cut off by a NUL was never part of the line).
  if (!m_lineCut && !m_line.empty() && m_line.back() == '\r') m_line.pop_back();
  if (m_lineTooLong || m_line.size() > kLongestPlaylistLineBytes) {
    ++m_overlongLines;
  } else if (!m_line.empty()) {
    m_lines.push_back(std::move(m_line));
  }
  m_line.clear();
  m_lineCut = false;
  m_lineTooLong = false;
}

std::string JoinPlaylistLines(const std::vector<std::string>& lines) {
  std::string bytes;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) bytes += "\r\n";
    bytes += lines[i];
  }
  return bytes;
}

}  // namespace mainwindow
