// Start-up of Plumora.exe to the first frame in the camera's channel, against the start of
// a trivial window program to its first shown window, under the same Wine. Both are
// started several times; the medians and their ratio are printed.
// Usage: startup_bench PLUMORA_FOLDER TRIVIAL_EXE [RUNS]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <functional>
#include <string>
#include <vector>

#include "feed/FrameLayout.h"

namespace {

double g_startedAt = 0;  // when the program being timed was started

double Now() {
  LARGE_INTEGER counter, frequency;
  ::QueryPerformanceCounter(&counter);
  ::QueryPerformanceFrequency(&frequency);
  return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Ends a program as its user would, so that the next start finds the system as after a
// normal exit: the trivial window is closed; Plumora is quit through its tray menu's exit
// command, with the question answered OK.
void EndNormally(HANDLE process) {
  if (HWND trivial = ::FindWindowW(L"PlumoraTrivialWindow", nullptr))
    ::PostMessageW(trivial, WM_CLOSE, 0, 0);
  if (HWND plumora = ::FindWindowW(L"#32770", L"Plumora")) {
    constexpr WPARAM kExitCommand = 32774;
    ::PostMessageW(plumora, WM_COMMAND, kExitCommand, 0);
    for (int wait = 0; wait < 500; ++wait) {
      if (HWND question = ::FindWindowW(L"#32770", L"询问")) {
        ::PostMessageW(question, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        break;
      }
      ::Sleep(10);
    }
  }
  if (::WaitForSingleObject(process, 10000) != WAIT_OBJECT_0) ::TerminateProcess(process, 1);
}

// Starts program in folder and returns the seconds until ready() answers true (or -1).
double TimeStart(const std::wstring& program, const std::wstring& folder,
                 const std::function<bool()>& ready) {
  std::wstring commandLine = L"\"" + program + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  const double start = g_startedAt = Now();
  if (!::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &startup, &info))
    return -1;
  double seconds = -1;
  while (Now() - start < 60) {
    if (ready()) {
      seconds = Now() - start;
      break;
    }
    ::Sleep(1);
  }
  EndNormally(info.hProcess);
  ::CloseHandle(info.hThread);
  ::CloseHandle(info.hProcess);
  ::Sleep(300);  // the system settles before the next start
  return seconds;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) {
    std::fwprintf(stderr, L"usage: startup_bench PLUMORA_FOLDER TRIVIAL_EXE [RUNS]\n");
    return 2;
  }
  const std::wstring folder = argv[1];
  const std::wstring trivial = argv[2];
  const int runs = argc > 3 ? std::max(1, _wtoi(argv[3])) : 5;

  // The bench holds the channel itself, so that it can clear the header before each start.
  HANDLE mapping =
      ::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                           static_cast<DWORD>(feed::kFrameBlockBytes), feed::kFrameChannelName);
  auto* header = mapping != nullptr ? static_cast<volatile unsigned short*>(
                                          ::MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, 4))
                                    : nullptr;
  if (header == nullptr) {
    std::fwprintf(stderr, L"cannot open the frame channel\n");
    return 1;
  }

  std::vector<double> plumora, window;
  for (int run = 0; run < runs; ++run) {
    window.push_back(TimeStart(trivial, folder, [] {
      HWND shown = ::FindWindowW(L"PlumoraTrivialWindow", nullptr);
      return shown != nullptr && ::IsWindowVisible(shown);
    }));
    std::wprintf(L"run %d: trivial window shown after %.3f s\n", run + 1, window.back());
  }
  double shownAt = 0;
  for (int run = 0; run < runs; ++run) {
    header[0] = header[1] = 0;
    shownAt = 0;
    plumora.push_back(TimeStart(folder + L"\\Plumora.exe", folder, [&] {
      if (shownAt == 0 && ::FindWindowW(L"#32770", L"Plumora")) shownAt = Now();
      return header[0] != 0 && header[1] != 0;
    }));
    std::wprintf(L"run %d: Plumora.exe to first frame %.3f s (its window shown at %.3f s)\n",
                 run + 1, plumora.back(), shownAt > 0 ? shownAt - g_startedAt : -1.0);
  }
  if (*std::min_element(plumora.begin(), plumora.end()) < 0 ||
      *std::min_element(window.begin(), window.end()) < 0) {
    std::wprintf(L"a start did not finish\n");
    return 1;
  }
  const double plumoraMedian = Median(plumora), windowMedian = Median(window);
  std::wprintf(
      L"median of %d: Plumora.exe to first frame %.3f s, trivial window %.3f s, "
      L"ratio %.2f (goal: at most 3)\n",
      runs, plumoraMedian, windowMedian, plumoraMedian / windowMedian);
  ::UnmapViewOfFile(const_cast<unsigned short*>(header));
  ::CloseHandle(mapping);
  return 0;
}
