#include "feed/MediaPathRules.h"

#include <gtest/gtest.h>

namespace feed {
namespace {

TEST(IsWindowsMediaPath, FindsTheExtensionsAnywhereInTheFirst259Characters) {
  const struct {
    std::wstring path;
    bool windowsMedia;
  } cases[] = {
      {L"C:\\video\\clip.wmv", true},
      {L"C:\\video\\CLIP.WMA", true},
      {L"C:\\video\\clip.Asf", true},
      {L"C:\\my.wmv.files\\clip.avi", true},  // inside a folder name
      {L"C:\\video\\clip.wmvx", true},        // not only at the end
      {L"C:\\video\\clip.avi", false},
      {L"C:\\video\\wmv\\clip.mp4", false},  // no dot before it
      {L"", false},
      {std::wstring(255, L'a') + L".wmv", true},   // ends at character 259
      {std::wstring(256, L'a') + L".wmv", false},  // its last letter is the 260th
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "length " << c.path.size());
    EXPECT_EQ(IsWindowsMediaPath(c.path), c.windowsMedia);
  }
}

}  // namespace
}  // namespace feed
