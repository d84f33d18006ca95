// The application object: one per program, created as static data. The program's entry
// point (WinMain.cpp) runs its InitInstance; a program whose work happens in a modal
// main window returns FALSE there, and the process ends without a message loop.
#pragma once

#include "framework/Wnd.h"

namespace framework {

class CWinApp {
 public:
  CWinApp();
  CWinApp(const CWinApp&) = delete;
  CWinApp& operator=(const CWinApp&) = delete;
  virtual ~CWinApp();

  // The program's start-up; TRUE would run a message loop (none of ours does).
  virtual BOOL InitInstance() = 0;
  virtual int ExitInstance() { return m_exitCode; }

  // The application object of the process, or null.
  static CWinApp* Current();

  // The window that stands for the application while it runs (the main window).
  CWnd* m_pMainWnd = nullptr;

 protected:
  int m_exitCode = 0;
};

// The application's main window, as other windows reach it.
inline CWnd* AfxGetMainWnd() {
  CWinApp* app = CWinApp::Current();
  return app != nullptr ? app->m_pMainWnd : nullptr;
}

}  // namespace framework
