// The base of our window classes: a window handle and what every window can do.
#pragma once

#include <windows.h>

namespace framework {

class CWnd {
 public:
  CWnd() = default;
  CWnd(const CWnd&) = delete;
  CWnd& operator=(const CWnd&) = delete;
  virtual ~CWnd() = default;

  HWND GetSafeHwnd() const { return m_hWnd; }

 protected:
  HWND m_hWnd = nullptr;
};

}  // namespace framework
