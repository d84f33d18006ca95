#include "testing/Process.h"

#include <windows.h>

#include "framework/Handle.h"

namespace testing_support {

std::wstring ProgramFolder() {
  wchar_t path[MAX_PATH];
  const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path, length);
  return folder.substr(0, folder.find_last_of(L'\\'));
}

int RunProgram(const std::wstring& program, const std::wstring& arguments, unsigned timeoutMs) {
  std::wstring commandLine = L"\"" + program + L"\" " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &info))
    return -1;
  framework::CHandle process(info.hProcess);
  framework::CHandle thread(info.hThread);
  if (::WaitForSingleObject(process.Get(), timeoutMs) != WAIT_OBJECT_0) {
    ::TerminateProcess(process.Get(), 1);
    return -1;
  }
  DWORD exitCode = 0;
  ::GetExitCodeProcess(process.Get(), &exitCode);
  return static_cast<int>(exitCode);
}

}  // namespace testing_support
