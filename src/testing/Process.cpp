#include "testing/Process.h"

#include <windows.h>

#include <tlhelp32.h>

#include <cstdio>

#include "framework/Handle.h"
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

// Toolhelp and CreateFile fail with INVALID_HANDLE_VALUE; the owner's empty state is null.
framework::CHandle Owned(HANDLE handle) {
  return framework::CHandle(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
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
  {
    const framework::CHandle snapshot = Owned(::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    if (!snapshot) return {};
    THREADENTRY32 thread{};
    thread.dwSize = sizeof thread;
    for (BOOL more = ::Thread32First(snapshot.Get(), &thread); more;
         more = ::Thread32Next(snapshot.Get(), &thread)) {
      if (thread.th32OwnerProcessID != m_id) continue;
      char line[32];
      std::snprintf(line, sizeof line, "bt 0x%lx\n", thread.th32ThreadID);
      commands += line;
    }
  }
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
  std::string stacks;
  {
    // The debugger writes into a file through its inherited standard output.
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    framework::CHandle output =
        Owned(::CreateFileW(outputPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherited,
                            CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY, nullptr));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = output.Get();
    startup.hStdError = output.Get();
    std::wstring commandLine =
        L"winedbg.exe --file \"" + commandPath + L"\" " + std::to_wstring(m_id);
    PROCESS_INFORMATION info{};
    if (output && ::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE,
                                   CREATE_NO_WINDOW, nullptr, nullptr, &startup, &info)) {
      const framework::CHandle debugger(info.hProcess), debuggerThread(info.hThread);
      output.Reset();
      // It detaches when its commands are done; a debugger that hangs too is given up on.
      if (::WaitForSingleObject(debugger.Get(), 30000) != WAIT_OBJECT_0)
        ::TerminateProcess(debugger.Get(), 1);
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
