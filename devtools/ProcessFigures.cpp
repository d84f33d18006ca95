#include "devtools/ProcessFigures.h"

#include <psapi.h>
#include <tlhelp32.h>
#include <winternl.h>

#include <map>

#include "devtools/HandleList.h"
#include "devtools/SystemInformation.h"
#include "framework/Handle.h"

namespace devtools {

namespace {

// HandleCount of every process in the system's process information, by process id.
std::map<DWORD, std::uint64_t> HandleTableSizes() {
  std::map<DWORD, std::uint64_t> sizes;
  std::vector<unsigned char> buffer;
  if (!QuerySystemInformation(SystemProcessInformation, buffer)) return sizes;
  for (size_t at = 0;;) {
    const auto* entry = reinterpret_cast<const SYSTEM_PROCESS_INFORMATION*>(buffer.data() + at);
    sizes[static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(entry->UniqueProcessId))] =
        entry->HandleCount;
    if (entry->NextEntryOffset == 0) break;
    at += entry->NextEntryOffset;
  }
  return sizes;
}

// Access enough for every query; without the full rights, the limited ones.
framework::CHandle OpenForQueries(DWORD id) {
  HANDLE process = ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, id);
  if (process == nullptr) process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id);
  return framework::CHandle(process);
}

void ReadOpenProcess(HANDLE process, ProcessFigures& figures) {
  DWORD handles = 0;
  if (::GetProcessHandleCount(process, &handles)) figures.handles = handles;
  // Zero is also the answer for failure; whether it means anything the check finds out.
  figures.gdiObjects = ::GetGuiResources(process, GR_GDIOBJECTS);
  figures.userObjects = ::GetGuiResources(process, GR_USEROBJECTS);
  PROCESS_MEMORY_COUNTERS_EX memory{};
  memory.cb = sizeof memory;
  if (::GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                             sizeof memory)) {
    figures.privateBytes = memory.PrivateUsage;
    figures.pagefileBytes = memory.PagefileUsage;
  }
}

}  // namespace

std::vector<ProcessFigures> ReadAllProcessFigures() {
  std::vector<ProcessFigures> all;
  // Failure is INVALID_HANDLE_VALUE here, which CHandle would close.
  const HANDLE taken = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS | TH32CS_SNAPTHREAD, 0);
  if (taken == INVALID_HANDLE_VALUE) return all;
  const framework::CHandle snapshot(taken);
  std::map<DWORD, std::uint64_t> threads;
  THREADENTRY32 thread{};
  thread.dwSize = sizeof thread;
  for (BOOL more = ::Thread32First(snapshot.Get(), &thread); more;
       more = ::Thread32Next(snapshot.Get(), &thread))
    ++threads[thread.th32OwnerProcessID];

  const std::map<DWORD, std::uint64_t> tables = HandleTableSizes();
  const std::map<DWORD, HandleTally> listed = TallyHandles();
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = ::Process32FirstW(snapshot.Get(), &entry); more;
       more = ::Process32NextW(snapshot.Get(), &entry)) {
    ProcessFigures figures;
    figures.id = entry.th32ProcessID;
    figures.imageName = entry.szExeFile;
    figures.threads = threads[entry.th32ProcessID];
    if (const auto table = tables.find(entry.th32ProcessID); table != tables.end())
      figures.handleTable = table->second;
    // A process missing from a list that has entries holds no handles at all.
    if (const auto tally = listed.find(entry.th32ProcessID); tally != listed.end())
      figures.listedHandles = tally->second.total;
    else if (!listed.empty())
      figures.listedHandles = 0;
    if (const framework::CHandle process = OpenForQueries(entry.th32ProcessID))
      ReadOpenProcess(process.Get(), figures);
    all.push_back(std::move(figures));
  }
  return all;
}

std::optional<ProcessFigures> ReadProcessFigures(DWORD id) {
  for (ProcessFigures& figures : ReadAllProcessFigures())
    if (figures.id == id) return std::move(figures);
  return std::nullopt;
}

}  // namespace devtools
