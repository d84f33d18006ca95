// Warning boxes: how the program tells the user about technical failures. A box has no
// owner window, the caption "Ostrivane" and the warning icon. Tests replace the modal box
// with a handler of their own, so that they can read its text without blocking.
#pragma once

#include <string>

namespace framework {

using WarningBoxHandler = void (*)(const std::wstring& text);

void ShowWarningBox(const std::wstring& text);

// Sends every later box to handler instead of the screen (null restores the real box).
// Returns the handler that was in place.
WarningBoxHandler SetWarningBoxHandler(WarningBoxHandler handler);

}  // namespace framework
