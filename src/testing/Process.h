// For tests: runs another program and waits for it.
#pragma once

#include <string>

namespace testing_support {

// The folder of the running test program, where the tools it starts are built too.
std::wstring ProgramFolder();

// A program started and left running; ended (terminated) if still running when dropped.
class ChildProcess {
 public:
  // workingFolder empty: the test program's own current folder.
  ChildProcess(const std::wstring& program, const std::wstring& arguments,
               const std::wstring& workingFolder = L"");
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;
  ~ChildProcess();

  bool Started() const { return m_process != nullptr; }
  unsigned long Id() const { return m_id; }
  bool Running() const;
  // The exit code, or -1 when it did not start or did not end within the timeout.
  int Wait(unsigned timeoutMs);
  // Ends it at once, as a crash or the task manager would. False when it had ended already.
  bool Kill(unsigned exitCode);
  // The process handle, to wait on together with other objects; null when it did not start.
  void* Handle() const { return m_process; }
  // For a failure message: whether it runs or how it ended, and the captions and classes of
  // its top-level windows (a message box it waits on shows there).
  std::string Describe() const;
  // For a failure message about a process that seems stuck: the stack of each of its threads,
  // as Wine's debugger prints them ("bt all"); empty where there is no such debugger.
  std::string ThreadStacks() const;

 private:
  void* m_process = nullptr;
  unsigned long m_id = 0;
};

// Runs "program args" and returns its exit code, or -1 when it could not start or
// did not end within the timeout.
int RunProgram(const std::wstring& program, const std::wstring& arguments,
               unsigned timeoutMs = 30000);

}  // namespace testing_support
