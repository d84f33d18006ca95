#include "testing/Process.h"

#include <windows.h>

namespace testing_support {

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

bool ChildProcess::Kill(unsigned exitCode) {
  return m_process != nullptr && ::TerminateProcess(m_process, exitCode) != FALSE;
}

int RunProgram(const std::wstring& program, const std::wstring& arguments, unsigned timeoutMs) {
  ChildProcess child(program, arguments);
  const int exitCode = child.Wait(timeoutMs);
  return exitCode;
}

}  // namespace testing_support
