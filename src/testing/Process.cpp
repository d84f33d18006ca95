#include "testing/Process.h"

#include <windows.h>

#include <cstdio>

namespace testing_support {

namespace {

std::string Utf8(const wchar_t* text) {
  const int size = ::WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 1) return {};
  std::string out(static_cast<size_t>(size), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), size, nullptr, nullptr);
  out.pop_back();
  return out;
}

struct WindowList {
  DWORD process;
  std::string text;
};

BOOL CALLBACK AddWindowOfProcess(HWND window, LPARAM context) {
  auto* list = reinterpret_cast<WindowList*>(context);
  DWORD process = 0;
  ::GetWindowThreadProcessId(window, &process);
  if (process != list->process) return TRUE;
  wchar_t className[128] = L"", caption[256] = L"";
  ::GetClassNameW(window, className, ARRAYSIZE(className));
  ::GetWindowTextW(window, caption, ARRAYSIZE(caption));
  list->text += std::string(list->text.empty() ? "" : ", ") + "[" + Utf8(className) + "] \"" +
                Utf8(caption) + "\"" + (::IsWindowVisible(window) ? " visible" : " hidden");
  return TRUE;
}

}  // namespace

std::wstring ProgramFolder() {
  wchar_t path[MAX_PATH];
  const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path, length);
  return folder.substr(0, folder.find_last_of(L'\\'));
}

ChildProcess::ChildProcess(const std::wstring& program, const std::wstring& arguments,
                           const std::wstring& workingFolder) {
  std::wstring commandLine = L"\"" + program + L"\" " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        workingFolder.empty() ? nullptr : workingFolder.c_str(), &startup, &info))
    return;
  ::CloseHandle(info.hThread);
  m_process = info.hProcess;
  m_id = info.dwProcessId;
}

ChildProcess::~ChildProcess() {
  if (m_process == nullptr) return;
  if (::WaitForSingleObject(m_process, 0) != WAIT_OBJECT_0) ::TerminateProcess(m_process, 1);
  ::CloseHandle(m_process);
}

bool ChildProcess::Running() const {
  return m_process != nullptr && ::WaitForSingleObject(m_process, 0) == WAIT_TIMEOUT;
}

int ChildProcess::Wait(unsigned timeoutMs) {
  if (m_process == nullptr || ::WaitForSingleObject(m_process, timeoutMs) != WAIT_OBJECT_0)
    return -1;
  DWORD exitCode = 0;
  ::GetExitCodeProcess(m_process, &exitCode);
  return static_cast<int>(exitCode);
}

std::string ChildProcess::Describe() const {
  if (m_process == nullptr) return "process never started";
  char head[96];
  DWORD exitCode = 0;
  if (!Running() && ::GetExitCodeProcess(m_process, &exitCode)) {
    std::snprintf(head, sizeof head, "process %lu ended with exit code %lu (0x%08lX)", m_id,
                  exitCode, exitCode);
    return head;
  }
  std::snprintf(head, sizeof head, "process %lu still running, top-level windows: ", m_id);
  WindowList windows{m_id, {}};
  ::EnumWindows(&AddWindowOfProcess, reinterpret_cast<LPARAM>(&windows));
  return head + (windows.text.empty() ? std::string("none") : windows.text);
}

bool ChildProcess::Kill(unsigned exitCode) {
  return m_process != nullptr && ::TerminateProcess(m_process, exitCode) != FALSE;
}

int RunProgram(const std::wstring& program, const std::wstring& arguments, unsigned timeoutMs) {
  ChildProcess child(program, arguments);
  const int exitCode = child.Wait(timeoutMs);
  return exitCode;
}

}  // namespace testing_support
