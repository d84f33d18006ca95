// Looks at the running Plumora from another process, for scripts that run it for a long
// time (tools/soak.sh):
//
//   plumora-probe wait SECONDS     waits until Plumora's main window is there and answers
//   plumora-probe loop-list        picks the play mode 循环播放: the whole list, over and over
//   plumora-probe watch SECONDS    for SECONDS, four times a second: the window must answer
//                                  within 5 s, and the row that plays is noted. Every minute
//                                  prints "minute=N slowest_answer_ms=S entries_started=E
//                                  failed_starts=F" (files that began to play, and starts
//                                  the status line reported as failed, in that minute)
//   plumora-probe quit SECONDS     quits through the tray menu's 退出系统, answers its question
//                                  with OK and waits for the process to end; prints its
//                                  exit code
//
// Exit code 0 on success; 1 when the window did not answer (watch stops at once), Plumora
// ended while watched, did not end in time after quit or ended with another exit code than
// 0; 2 when there is no Plumora window; 4 on bad usage.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "devtools/PlumoraRemote.h"

namespace {

enum ExitCode { kOk = 0, kFailed = 1, kNoWindow = 2, kUsage = 4 };

constexpr int kLoopList = 0;

int Wait(unsigned seconds) {
  const ULONGLONG start = ::GetTickCount64();
  const ULONGLONG end = start + seconds * 1000ull;
  for (;;) {
    if (const HWND window = devtools::FindPlumoraWindow(0)) {
      unsigned elapsed = 0;
      if (devtools::CPlumoraRemote(window).Answers(5000, &elapsed)) {
        std::printf("window there and answering after %llu ms\n", ::GetTickCount64() - start);
        return kOk;
      }
    }
    if (::GetTickCount64() >= end) break;
    ::Sleep(100);
  }
  std::printf("no answering Plumora window within %u s\n", seconds);
  return kNoWindow;
}

int LoopList(devtools::CPlumoraRemote& plumora) {
  if (!plumora.SetPlayMode(kLoopList) || plumora.PlayMode() != kLoopList) {
    std::printf("could not pick the play mode 循环播放 (the list shows %d)\n", plumora.PlayMode());
    return kFailed;
  }
  std::printf("play mode %d: the whole list, over and over\n", plumora.PlayMode());
  return kOk;
}

// What the watch saw in one minute.
struct Minute {
  unsigned slowestAnswerMs = 0;
  int entriesStarted = 0;
  int failedStarts = 0;
};

int Watch(devtools::CPlumoraRemote& plumora, unsigned seconds) {
  constexpr unsigned kAnswerTimeoutMs = 5000, kPeriodMs = 250, kMinuteMs = 60000;
  // The status line's words for a start that failed ("播放视频 NAME失败，...").
  const std::wstring failure = L"失败";
  const ULONGLONG start = ::GetTickCount64();
  Minute minute;
  int minuteNumber = 1;
  int playing = plumora.PlayingRow();
  std::wstring status = plumora.StatusText();
  for (;;) {
    ::Sleep(kPeriodMs);
    const ULONGLONG now = ::GetTickCount64();
    unsigned elapsed = 0;
    if (!plumora.Answers(kAnswerTimeoutMs, &elapsed)) {
      const long exitCode = plumora.WaitForExit(0);
      if (exitCode >= 0)
        std::printf("minute=%d Plumora ended, exit code %ld\n", minuteNumber, exitCode);
      else
        std::printf("minute=%d no answer within %u ms\n", minuteNumber, kAnswerTimeoutMs);
      std::fflush(stdout);
      return kFailed;
    }
    if (elapsed > minute.slowestAnswerMs) minute.slowestAnswerMs = elapsed;
    // A moment without a marked row (between two files) is no new start.
    if (const int row = plumora.PlayingRow(); row >= 0) {
      if (row != playing) ++minute.entriesStarted;
      playing = row;
    }
    const std::wstring newStatus = plumora.StatusText();
    if (newStatus != status && newStatus.find(failure) != std::wstring::npos) ++minute.failedStarts;
    status = newStatus;
    if (now - start >= static_cast<ULONGLONG>(minuteNumber) * kMinuteMs) {
      std::printf("minute=%d slowest_answer_ms=%u entries_started=%d failed_starts=%d\n",
                  minuteNumber, minute.slowestAnswerMs, minute.entriesStarted, minute.failedStarts);
      std::fflush(stdout);
      minute = Minute{};
      ++minuteNumber;
    }
    if (now - start >= seconds * 1000ull) return kOk;
  }
}

int Quit(devtools::CPlumoraRemote& plumora, unsigned seconds) {
  if (!plumora.Quit()) {
    std::printf("the exit question did not come\n");
    return kFailed;
  }
  const long exitCode = plumora.WaitForExit(seconds * 1000);
  if (exitCode < 0) {
    std::printf("Plumora still runs %u s after the exit was confirmed\n", seconds);
    return kFailed;
  }
  std::printf("Plumora ended with exit code %ld\n", exitCode);
  return exitCode == 0 ? kOk : kFailed;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring command = argc >= 2 ? argv[1] : L"";
  const unsigned number = argc >= 3 ? static_cast<unsigned>(std::wcstoul(argv[2], nullptr, 10)) : 0;
  const bool takesNumber = command == L"wait" || command == L"watch" || command == L"quit";
  if (!(takesNumber ? argc == 3 && number > 0 : command == L"loop-list" && argc == 2)) {
    std::fprintf(stderr,
                 "usage: plumora-probe wait SECONDS | loop-list | watch SECONDS | quit SECONDS\n");
    return kUsage;
  }
  if (command == L"wait") return Wait(number);

  const HWND window = devtools::FindPlumoraWindow(0);
  if (window == nullptr) {
    std::printf("no Plumora window\n");
    return kNoWindow;
  }
  devtools::CPlumoraRemote plumora(window);
  if (command == L"loop-list") return LoopList(plumora);
  if (command == L"watch") return Watch(plumora, number);
  return Quit(plumora, number);
}
