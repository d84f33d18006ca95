#include "app/SingleInstance.h"

#include "framework/WarningBox.h"

namespace app {

std::wstring ExecutableBaseName() {
  wchar_t path[MAX_PATH * 4] = L"";
  const DWORD length = ::GetModuleFileNameW(nullptr, path, ARRAYSIZE(path));
  std::wstring name(path, length);
  const size_t slash = name.find_last_of(L"\\/");
  if (slash != std::wstring::npos) name.erase(0, slash + 1);
  const size_t dot = name.rfind(L'.');
  if (dot != std::wstring::npos) name.erase(dot);
  return name;
}

bool EnsureSingleInstance(const std::wstring& baseName) {
  ::SetLastError(0);
  // Never closed: the system releases it when the process ends.
  ::CreateMutexW(nullptr, TRUE, baseName.c_str());
  return ::GetLastError() != ERROR_ALREADY_EXISTS;
}

namespace {

struct Search {
  const wchar_t* property;
  HWND found;
};

BOOL CALLBACK HasProperty(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<Search*>(context);
  if (::GetPropW(window, search->property) == nullptr) return TRUE;
  search->found = window;
  return FALSE;
}

}  // namespace

HWND FindRunningCopyWindow(const std::wstring& baseName) {
  Search search{baseName.c_str(), nullptr};
  ::EnumWindows(&HasProperty, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

void BringRunningCopyForward(const std::wstring& baseName) {
  HWND window = FindRunningCopyWindow(baseName);
  if (window == nullptr) {
    framework::ShowWarningBox(L"应用程序已经启动，不能重复启动");
    return;
  }
  // The running copy may be hidden in the notification area.
  ::ShowWindow(window, ::IsIconic(window) ? SW_RESTORE : SW_SHOW);
  ::SetForegroundWindow(::GetLastActivePopup(window));
}

}  // namespace app
