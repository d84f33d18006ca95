// The camera's FriendlyName as it is stored: a fixed block of 100 UTF-16 units, the name
// followed by zero fill, so that the value always holds its terminating zero.
#pragma once

#include <array>
#include <string>

namespace dialogs {

// The longest name the block holds, in UTF-16 units.
inline constexpr std::size_t kMaxCameraNameLength = 99;

using CameraNameBlock = std::array<char16_t, kMaxCameraNameLength + 1>;

// The block for name. A longer name is cut to kMaxCameraNameLength units, and one unit
// less when the cut would split a surrogate pair.
CameraNameBlock MakeCameraNameBlock(const std::u16string& name);

// The text of a value read back: up to its first zero unit, or all of it.
std::u16string CameraNameFromValue(const char16_t* units, std::size_t count);

}  // namespace dialogs
