// What the system tells another process about a running process's use of resources: the
// figures that grow when a program leaks.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace devtools {

struct ProcessFigures {
  DWORD id = 0;
  std::wstring imageName;
  // GetProcessHandleCount.
  std::optional<std::uint64_t> handles;
  // GetGuiResources: GR_GDIOBJECTS and GR_USEROBJECTS.
  std::optional<std::uint64_t> gdiObjects;
  std::optional<std::uint64_t> userObjects;
  // GetProcessMemoryInfo: PrivateUsage and PagefileUsage (on Windows both the commit charge).
  std::optional<std::uint64_t> privateBytes;
  std::optional<std::uint64_t> pagefileBytes;
  // HandleCount of the process's entry in NtQuerySystemInformation(SystemProcessInformation).
  std::optional<std::uint64_t> handleTable;
  // The process's entries in the system's handle list (HandleList.h).
  std::optional<std::uint64_t> listedHandles;
  // Toolhelp32: the threads whose owner is the process.
  std::optional<std::uint64_t> threads;
};

// The figures of every running process, from one snapshot of the process list. A figure
// the system would not give (no access, a failed call) stays empty.
std::vector<ProcessFigures> ReadAllProcessFigures();

// The figures of one process; empty when it does not run.
std::optional<ProcessFigures> ReadProcessFigures(DWORD id);

}  // namespace devtools
