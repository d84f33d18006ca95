// The system's list of open handles (NtQuerySystemInformation with
// SystemExtendedHandleInformation): how many handles each process holds, and of which
// object types. Under Wine it is a true count where GetProcessHandleCount answers 0.
#pragma once

#include <windows.h>

#include <cstdint>
#include <map>
#include <string>

namespace devtools {

struct HandleTally {
  std::uint64_t total = 0;
  // By object type index, with one handle value of each type to ask the type's name by.
  std::map<unsigned, std::uint64_t> byType;
  std::map<unsigned, ULONG_PTR> sampleHandle;
};

// Every process's handles, by process id; empty when the system gives no list.
std::map<DWORD, HandleTally> TallyHandles();

// The name of an object type ("Key", "Event" ...), asked through a duplicate of one of
// processId's handles of that type; empty when it cannot be had.
std::wstring ObjectTypeName(DWORD processId, ULONG_PTR handleValue);

}  // namespace devtools
