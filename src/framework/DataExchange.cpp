#include "framework/DataExchange.h"

#include <commctrl.h>

namespace framework {

void CDataExchange::Fail(int controlId) {
  m_failed = true;
  if (HWND control = m_dialog.GetDlgItem(controlId); control != nullptr) ::SetFocus(control);
}

void DDX_Control(CDataExchange& exchange, int id, CWnd& control) {
  if (control.GetSafeHwnd() != nullptr) return;
  if (!control.SubclassDlgItem(id, exchange.Dialog().GetSafeHwnd())) exchange.Fail(id);
}

void DDX_Text(CDataExchange& exchange, int id, std::wstring& value) {
  HWND control = exchange.Dialog().GetDlgItem(id);
  if (control == nullptr) return exchange.Fail(id);
  if (exchange.Saving()) {
    const int length = ::GetWindowTextLengthW(control);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int copied = ::GetWindowTextW(control, text.data(), length + 1);
    text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
    value = std::move(text);
  } else {
    ::SetWindowTextW(control, value.c_str());
  }
}

void DDX_CBIndex(CDataExchange& exchange, int id, int& value) {
  HWND control = exchange.Dialog().GetDlgItem(id);
  if (control == nullptr) return exchange.Fail(id);
  if (exchange.Saving())
    value = static_cast<int>(::SendMessageW(control, CB_GETCURSEL, 0, 0));
  else
    ::SendMessageW(control, CB_SETCURSEL, static_cast<WPARAM>(value), 0);
}

void DDX_Check(CDataExchange& exchange, int id, int& value) {
  HWND control = exchange.Dialog().GetDlgItem(id);
  if (control == nullptr) return exchange.Fail(id);
  if (exchange.Saving())
    value = static_cast<int>(::SendMessageW(control, BM_GETCHECK, 0, 0));
  else
    ::SendMessageW(control, BM_SETCHECK, static_cast<WPARAM>(value), 0);
}

}  // namespace framework
