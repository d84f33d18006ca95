// The entry point of a program built on CWinApp: start-up, then, only when start-up asks
// for one, a message loop.
#include <windows.h>

#include "framework/WinApp.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  framework::CWinApp* app = framework::CWinApp::Current();
  if (app == nullptr) return 1;
  if (app->InitInstance()) {
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
  }
  return app->ExitInstance();
}
