// libFuzzer target: any bytes as "chapters.dat" split into the same lines whatever the
// pieces they arrive in, every line a possible entry, and written lines read back.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "mainwindow/PlaylistLines.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
  if (size == 0) return 0;
  // The first byte picks the size of the pieces the rest arrives in.
  const size_t pieceSize = data[0] % 17 + 1;
  const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);

  mainwindow::CPlaylistLineReader whole;
  whole.Feed(bytes);
  whole.Finish();
  mainwindow::CPlaylistLineReader pieces;
  for (size_t at = 0; at < bytes.size(); at += pieceSize) pieces.Feed(bytes.substr(at, pieceSize));
  pieces.Finish();
  Check(whole.Lines() == pieces.Lines());
  Check(whole.OverlongLines() == pieces.OverlongLines());

  std::vector<std::string> reusable;
  for (const std::string& line : whole.Lines()) {
    Check(!line.empty() && line.size() <= mainwindow::kLongestPlaylistLineBytes);
    Check(line.find('\n') == std::string::npos && line.find('\0') == std::string::npos);
    if (line.back() != '\r') reusable.push_back(line);
  }
  mainwindow::CPlaylistLineReader again;
  again.Feed(mainwindow::JoinPlaylistLines(reusable));
  again.Finish();
  Check(again.Lines() == reusable);
  return 0;
}
