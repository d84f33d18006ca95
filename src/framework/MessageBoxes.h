// The two kinds of message boxes the windows show besides warning boxes (WarningBox.h):
// answers to wrong use by the user, and questions.
#pragma once

#include <windows.h>

#include <string>

namespace framework {

// The application's title: the caption of ShowMessageBox.
inline constexpr wchar_t kApplicationTitle[] = L"Plumora";

// A box owned by the thread's active window, with the application's title as caption;
// type as for MessageBox (MB_OK when not given); without an icon in type, one that suits
// the buttons. The button pressed.
int ShowMessageBox(const std::wstring& text, UINT type = MB_OK);

// A question without owner: caption "询问", question icon, OK and Cancel. True for OK.
bool AskQuestion(const std::wstring& text);

}  // namespace framework
