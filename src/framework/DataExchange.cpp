#include "framework/DataExchange.h"

#include <commctrl.h>

#include <vector>

#include "framework/DecimalText.h"
#include "framework/MessageBoxes.h"

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

void DDX_Text(CDataExchange& exchange, int id, int& value) {
  if (!exchange.Saving()) {
    std::wstring text = std::to_wstring(value);
    return DDX_Text(exchange, id, text);
  }
  std::wstring text;
  DDX_Text(exchange, id, text);
  if (exchange.Failed()) return;
  std::int32_t number = 0;
  if (!ParseWholeNumber(text, number)) {
    ShowMessageBox(L"请输入一个整数。", MB_OK | MB_ICONEXCLAMATION);
    return exchange.Fail(id);
  }
  value = number;
}

void DDX_Radio(CDataExchange& exchange, int id, int& value) {
  HWND first = exchange.Dialog().GetDlgItem(id);
  if (first == nullptr) return exchange.Fail(id);
  std::vector<HWND> group{first};
  for (HWND next = ::GetWindow(first, GW_HWNDNEXT); next != nullptr;
       next = ::GetWindow(next, GW_HWNDNEXT)) {
    if ((::GetWindowLongW(next, GWL_STYLE) & WS_GROUP) != 0) break;
    group.push_back(next);
  }
  int position = 0;
  if (exchange.Saving()) value = -1;
  for (HWND button : group) {
    // Only radio buttons count; other controls inside the group are passed over.
    const LRESULT code = ::SendMessageW(button, WM_GETDLGCODE, 0, 0);
    if ((code & DLGC_RADIOBUTTON) == 0) continue;
    if (exchange.Saving()) {
      if (::SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED) value = position;
    } else {
      ::SendMessageW(button, BM_SETCHECK, position == value ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    ++position;
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
