#include "testing/Process.h"

#include <windows.h>

#include <tlhelp32.h>

#include <cstdio>

#include "testing/Text.h"

namespace testing_support {

namespace {

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

std::string ChildProcess::ThreadStacks() const {
  if (!Running()) return {};
  // "bt all" would walk every process of the prefix and may stop before this one: each of
  // its threads is named instead.
  std::string commands;
  HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return {};
  THREADENTRY32 thread{};
  thread.dwSize = sizeof thread;
  for (BOOL more = ::Thread32First(snapshot, &thread); more;
       more = ::Thread32Next(snapshot, &thread)) {
    if (thread.th32OwnerProcessID != m_id) continue;
    char line[32];
    std::snprintf(line, sizeof line, "bt 0x%lx\n", thread.th32ThreadID);
    commands += line;
  }
  ::CloseHandle(snapshot);
  if (commands.empty()) return {};

  wchar_t temp[MAX_PATH + 1] = L"";
  ::GetTempPathW(MAX_PATH + 1, temp);
  const std::wstring stem = std::wstring(temp) + L"Plumora.stacks." +
                            std::to_wstring(::GetCurrentProcessId()) + L"." + std::to_wstring(m_id);
  const std::wstring commandPath = stem + L".cmd", outputPath = stem + L".txt";
  if (FILE* out = _wfopen(commandPath.c_str(), L"wb")) {
    std::fwrite(commands.data(), 1, commands.size(), out);
    std::fclose(out);
  }
  // The debugger writes into a file through its inherited standard output.
  SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
  HANDLE output = ::CreateFileW(outputPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherited,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY, nullptr);
  std::string stacks;
  if (output != INVALID_HANDLE_VALUE) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = output;
    startup.hStdError = output;
    std::wstring commandLine =
        L"winedbg.exe --file \"" + commandPath + L"\" " + std::to_wstring(m_id);
    PROCESS_INFORMATION info{};
    const bool started = ::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE,
                                          CREATE_NO_WINDOW, nullptr, nullptr, &startup, &info);
    ::CloseHandle(output);
    if (started) {
      // It detaches when its commands are done; a debugger that hangs too is given up on.
      if (::WaitForSingleObject(info.hProcess, 30000) != WAIT_OBJECT_0)
        ::TerminateProcess(info.hProcess, 1);
      ::CloseHandle(info.hThread);
      ::CloseHandle(info.hProcess);
      if (FILE* in = _wfopen(outputPath.c_str(), L"rb")) {
        char buffer[4096];
        for (size_t got; (got = std::fread(buffer, 1, sizeof buffer, in)) > 0;)
          stacks.append(buffer, got);
        std::fclose(in);
      }
    }
  }
  ::DeleteFileW(commandPath.c_str());
  ::DeleteFileW(outputPath.c_str());
  return stacks;
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
