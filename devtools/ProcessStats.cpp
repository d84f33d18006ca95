// Prints the figures that grow when a program leaks, for running processes picked by
// their image name: one line a process, for scripts that watch programs over hours.
//
//   process-stats NAME...
//
// For every running process whose image name (such as Plumora.exe) is one of the NAMEs,
// ignoring case, one line:
//
//   NAME pid=N handles=N gdi=N user=N private_bytes=N pagefile_bytes=N handle_table=N
//        listed_handles=N threads=N
//
// Before that, lines starting with "#" say what the system reports: a helper process
// takes known amounts of each resource and is measured from outside (FigureCheck.h). A
// figure that did not follow them reads "unavailable" in the process lines.
//
//   process-stats --types NAME...
//
// also prints, after each process line, "# NAME pid=N handles by type: Key 72127, ..."
// from the system's handle list: what a growing handle count is made of.
//
// Exit code 0 when a process matched, 1 when none did, 2 on bad usage, 3 when the
// check could not run.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "devtools/FigureCheck.h"
#include "devtools/HandleList.h"
#include "devtools/ProcessFigures.h"

namespace {

enum ExitCode { kMatched = 0, kNoMatch = 1, kUsage = 2, kCheckFailed = 3 };

std::wstring OwnPath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

bool SameName(const std::wstring& a, const std::wstring& b) {
  return ::CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

bool IsWanted(const std::wstring& imageName, const std::vector<std::wstring>& names) {
  for (const std::wstring& name : names)
    if (SameName(imageName, name)) return true;
  return false;
}

std::string Field(const char* name, const std::optional<std::uint64_t>& value, bool reported) {
  std::string text = std::string(" ") + name + "=";
  if (!reported || !value) return text + "unavailable";
  return text + std::to_string(*value);
}

void PrintLine(const devtools::ProcessFigures& figures, const devtools::FigureCheck& check) {
  std::printf("%ls pid=%lu%s%s%s%s%s%s%s%s\n", figures.imageName.c_str(),
              static_cast<unsigned long>(figures.id),
              Field("handles", figures.handles, check.handles).c_str(),
              Field("gdi", figures.gdiObjects, check.gdiObjects).c_str(),
              Field("user", figures.userObjects, check.userObjects).c_str(),
              Field("private_bytes", figures.privateBytes, check.privateBytes).c_str(),
              Field("pagefile_bytes", figures.pagefileBytes, check.pagefileBytes).c_str(),
              Field("handle_table", figures.handleTable, check.handleTable).c_str(),
              Field("listed_handles", figures.listedHandles, check.listedHandles).c_str(),
              Field("threads", figures.threads, check.threads).c_str());
}

// "# NAME pid=N handles by type: Key 120, Event 40, ...", the most numerous first.
void PrintHandleTypes(const devtools::ProcessFigures& figures,
                      const std::map<DWORD, devtools::HandleTally>& tallies) {
  const auto tally = tallies.find(figures.id);
  if (tally == tallies.end()) return;
  std::vector<std::pair<std::uint64_t, std::wstring>> types;
  for (const auto& [type, count] : tally->second.byType) {
    std::wstring name = devtools::ObjectTypeName(figures.id, tally->second.sampleHandle.at(type));
    if (name.empty()) name = L"type " + std::to_wstring(type);
    types.emplace_back(count, std::move(name));
  }
  std::sort(types.rbegin(), types.rend());
  std::printf("# %ls pid=%lu handles by type:", figures.imageName.c_str(),
              static_cast<unsigned long>(figures.id));
  const char* separator = " ";
  for (const auto& [count, name] : types) {
    std::printf("%s%ls %llu", separator, name.c_str(), static_cast<unsigned long long>(count));
    separator = ", ";
  }
  std::printf("\n");
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc == 3 && std::wstring(argv[1]) == devtools::kHoldResourcesArgument)
    return devtools::HoldResources(argv[2]);
  const bool types = argc >= 2 && std::wstring(argv[1]) == L"--types";
  const int first = types ? 2 : 1;
  if (argc <= first || argv[first][0] == L'-') {
    std::fprintf(stderr,
                 "usage: process-stats [--types] NAME... (image names such as Plumora.exe)\n");
    return kUsage;
  }
  const std::vector<std::wstring> names(argv + first, argv + argc);

  devtools::FigureCheck check;
  std::wstring error;
  if (!devtools::CheckFigures(OwnPath(), check, error)) {
    std::fprintf(stderr, "process-stats: the check of the figures failed: %ls\n", error.c_str());
    return kCheckFailed;
  }
  for (const std::wstring& finding : check.findings) std::printf("# %ls\n", finding.c_str());

  int matched = 0;
  const std::map<DWORD, devtools::HandleTally> tallies =
      types ? devtools::TallyHandles() : std::map<DWORD, devtools::HandleTally>();
  for (const devtools::ProcessFigures& figures : devtools::ReadAllProcessFigures()) {
    if (!IsWanted(figures.imageName, names)) continue;
    PrintLine(figures, check);
    if (types) PrintHandleTypes(figures, tallies);
    ++matched;
  }
  std::fflush(stdout);
  return matched > 0 ? kMatched : kNoMatch;
}
