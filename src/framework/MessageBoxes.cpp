#include "framework/MessageBoxes.h"

namespace framework {

int ShowMessageBox(const std::wstring& text, UINT type) {
  // Without an icon of the caller's, the icon follows the buttons: an exclamation mark
  // for OK and OK/Cancel, a question mark for Yes/No.
  if ((type & MB_ICONMASK) == 0) {
    const UINT buttons = type & MB_TYPEMASK;
    if (buttons == MB_OK || buttons == MB_OKCANCEL) type |= MB_ICONEXCLAMATION;
    if (buttons == MB_YESNO || buttons == MB_YESNOCANCEL) type |= MB_ICONQUESTION;
  }
  return ::MessageBoxW(::GetActiveWindow(), text.c_str(), kApplicationTitle, type);
}

bool AskQuestion(const std::wstring& text) {
  return ::MessageBoxW(nullptr, text.c_str(), L"询问", MB_OKCANCEL | MB_ICONQUESTION) == IDOK;
}

}  // namespace framework
