// For tests: a path whose opening never ends until the test says so, as a file on a
// stalled network share behaves. It is a named pipe nobody writes to: reading it waits.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace testing_support {

class StalledFile {
 public:
  StalledFile();
  StalledFile(const StalledFile&) = delete;
  StalledFile& operator=(const StalledFile&) = delete;
  ~StalledFile();

  const std::wstring& Path() const { return m_path; }
  bool IsValid() const { return !m_instances.empty(); }
  // Ends the stall: every reader's wait fails and later openings fail at once.
  void Release();

 private:
  std::wstring m_path;
  // Several instances, so that more than one opening (a retry by another route) stalls.
  std::vector<HANDLE> m_instances;
};

}  // namespace testing_support
