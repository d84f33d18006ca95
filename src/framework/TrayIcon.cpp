#include "framework/TrayIcon.h"

#include <shellapi.h>

#include <cwchar>

namespace framework {

bool CTrayIcon::Add(HWND owner, UINT id, UINT callbackMessage, HICON icon,
                    const std::wstring& tip) {
  Remove();
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof(data);
  data.hWnd = owner;
  data.uID = id;
  data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data.uCallbackMessage = callbackMessage;
  data.hIcon = icon;
  wcsncpy(data.szTip, tip.c_str(), ARRAYSIZE(data.szTip) - 1);
  if (!::Shell_NotifyIconW(NIM_ADD, &data)) return false;
  m_owner = owner;
  m_id = id;
  return true;
}

void CTrayIcon::Remove() {
  if (m_owner == nullptr) return;
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof(data);
  data.hWnd = m_owner;
  data.uID = m_id;
  ::Shell_NotifyIconW(NIM_DELETE, &data);
  m_owner = nullptr;
}

}  // namespace framework
