#include "framework/WarningBox.h"

#include <windows.h>

#include <atomic>

namespace framework {

namespace {

void ShowModalWarningBox(const std::wstring& text) {
  ::MessageBoxW(nullptr, text.c_str(), L"Ostrivane", MB_OK | MB_ICONWARNING);
}

std::atomic<WarningBoxHandler> g_warningBoxHandler{&ShowModalWarningBox};

}  // namespace

void ShowWarningBox(const std::wstring& text) {
  g_warningBoxHandler.load()(text);
}

WarningBoxHandler SetWarningBoxHandler(WarningBoxHandler handler) {
  return g_warningBoxHandler.exchange(handler != nullptr ? handler : &ShowModalWarningBox);
}

}  // namespace framework
