#include "framework/WinApp.h"

namespace framework {

namespace {
CWinApp* g_application = nullptr;
}  // namespace

CWinApp::CWinApp() {
  g_application = this;
}

CWinApp::~CWinApp() {
  if (g_application == this) g_application = nullptr;
}

CWinApp* CWinApp::Current() {
  return g_application;
}

}  // namespace framework
