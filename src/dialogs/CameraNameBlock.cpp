#include "dialogs/CameraNameBlock.h"

#include <algorithm>

namespace dialogs {

namespace {

bool IsHighSurrogate(char16_t unit) {
  return unit >= 0xD800 && unit <= 0xDBFF;
}

}  // namespace

CameraNameBlock MakeCameraNameBlock(const std::u16string& name) {
  std::size_t length = std::min(name.size(), kMaxCameraNameLength);
  // Half a character would leave the registry with text no program can show.
  if (length < name.size() && length > 0 && IsHighSurrogate(name[length - 1])) --length;
  CameraNameBlock block{};
  for (std::size_t i = 0; i < length; ++i) block[i] = name[i];
  return block;
}

std::u16string CameraNameFromValue(const char16_t* units, std::size_t count) {
  std::size_t length = 0;
  while (length < count && units[length] != u'\0') ++length;
  return std::u16string(units, length);
}

}  // namespace dialogs
