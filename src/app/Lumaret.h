// The application: start-up in a fixed order, the main window run modally, and the
// teardown of the process-wide objects after it has closed.
#pragma once

#include "app/UpdaterLibrary.h"
#include "framework/WinApp.h"

namespace app {

class CLumaretApp : public framework::CWinApp {
 public:
  CLumaretApp() = default;

  // Always FALSE: the process ends when the main window has closed (or when start-up
  // stops early), without a message loop of its own.
  BOOL InitInstance() override;

 private:
  CUpdaterLibrary m_updater;
};

}  // namespace app
