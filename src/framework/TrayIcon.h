// An icon in the notification area, removed when the object goes.
#pragma once

#include <windows.h>

#include <string>

namespace framework {

class CTrayIcon {
 public:
  CTrayIcon() = default;
  CTrayIcon(const CTrayIcon&) = delete;
  CTrayIcon& operator=(const CTrayIcon&) = delete;
  ~CTrayIcon() { Remove(); }

  // Adds the icon; its notifications reach owner as callbackMessage (wParam the id,
  // lParam the mouse message).
  bool Add(HWND owner, UINT id, UINT callbackMessage, HICON icon, const std::wstring& tip);
  void Remove();
  bool IsShown() const { return m_owner != nullptr; }

 private:
  HWND m_owner = nullptr;
  UINT m_id = 0;
};

}  // namespace framework
