// Kills Plumora at random moments while it saves its playlist and its settings, and checks
// after every kill that both files hold what they held before the save under way or what
// that save writes, never anything else, and that the next start runs and shows them.
//
//   kill-check FOLDER TIMES [SEED]
//
// FOLDER is an installed copy of Plumora: Plumora.exe with its files and a chapters.dat
// that lists at least two media files. Plumora.exe is started there TIMES + 1 times. Each
// start must bring up the main window, answer, show the rows of the chapters.dat on disk
// and, in 参数设置, the storage location of the config.ini on disk. Then the check saves
// over and over as a user does (SavingUser.h) while another thread kills the process. The
// last start is ended through the tray menu's 退出系统 and must end with exit code 0.
//
// The kills take turns in where they fall (Aim below): anywhere in the first three rounds
// of saves while the list plays, the same with the list stopped (停止), and, with the list
// stopped, in a save of the settings or of the playlist: from the moment the save's
// temporary file appears, within twice the time it lives, so that about half of these
// kills cut the save short and the rest come just after it. A save takes a few
// milliseconds of a round's hundred or more: kills at wholly random moments would seldom
// find one under way. The first start learns, before any kill, what each save writes, how
// long a round takes and how long each save's temporary file lives.
//
// Prints a line per kill and a summary ending in a verdict. Exit code 0 when every check
// held, 1 when one did not (the run stops there and says why), 2 on bad usage or a folder
// that is no installed copy.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "devtools/DelayedKill.h"
#include "devtools/FileWatch.h"
#include "devtools/PlumoraRemote.h"
#include "devtools/SavedFiles.h"
#include "devtools/SavingUser.h"
#include "framework/CodePage.h"
#include "resources/resource.h"
#include "testing/FileBytes.h"
#include "testing/Process.h"
#include "testing/RandomMoment.h"

namespace {

using devtools::Action;
using devtools::FileState;
using devtools::SaveUnderWay;

enum ExitCode { kHeld = 0, kFault = 1, kUsage = 2 };

constexpr unsigned kWindowTimeoutMs = 30000;
constexpr unsigned kAnswerTimeoutMs = 5000;
constexpr unsigned kExitTimeoutMs = 15000;

// Where a kill falls; the kills take these in turn.
enum class Aim { AnywherePlaying, InSettingsSave, AnywhereStopped, InPlaylistSave };
constexpr Aim kAims[] = {Aim::AnywherePlaying, Aim::InSettingsSave, Aim::AnywhereStopped,
                         Aim::InPlaylistSave};

const char* AimName(Aim aim) {
  switch (aim) {
    case Aim::AnywherePlaying:
      return "anywhere, playing";
    case Aim::InSettingsSave:
      return "at a settings save";
    case Aim::AnywhereStopped:
      return "anywhere, stopped";
    case Aim::InPlaylistSave:
      return "at a playlist save";
  }
  return "";
}

// How the kills fell and what they left.
struct Tally {
  int kills = 0;
  int playlistSaveLeftOver = 0;
  int settingsSaveLeftOver = 0;
  int inMove = 0;
  int inSettingsDialog = 0;
  int betweenSaves = 0;
  int playlistAsAfter = 0;
  int settingsAsAfter = 0;
};

// How long things take, from the first start's saves before any kill, in microseconds:
// a round of saves, and the life of each save's temporary file with the list stopped.
struct Timings {
  unsigned roundPlaying = 0;
  unsigned roundStopped = 0;
  unsigned playlistSave = 0;
  unsigned settingsSave = 0;
};

std::string Utf8(const std::wstring& text) {
  std::string bytes;
  framework::ToCodePage(CP_UTF8, text, bytes);
  return bytes;
}

// Microseconds since it was made.
class CStopwatch {
 public:
  CStopwatch() {
    ::QueryPerformanceFrequency(&m_frequency);
    ::QueryPerformanceCounter(&m_start);
  }
  unsigned Microseconds() const {
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    return static_cast<unsigned>((now.QuadPart - m_start.QuadPart) * 1000000 /
                                 m_frequency.QuadPart);
  }

 private:
  LARGE_INTEGER m_frequency, m_start;
};

class CKillCheck {
 public:
  CKillCheck(std::wstring folder, int times, unsigned seed)
      : m_folder(std::move(folder)),
        m_times(times),
        m_seed(seed),
        m_files(m_folder),
        m_user(m_files),
        m_moments(seed, 0) {}

  int Run();

 private:
  // Starts Plumora and checks that it runs and shows the files on disk.
  bool Start(testing_support::ChildProcess& plumora,
             std::unique_ptr<devtools::CPlumoraRemote>& remote, int start);
  // Does every kind of save twice with no kill armed, playing and then stopped, learning
  // what each writes and how long it takes.
  bool WarmUp(testing_support::ChildProcess& plumora, devtools::CPlumoraRemote& remote);
  // One round of saves; its length in microseconds, 0 when it failed. With process, the
  // lives of the saves' temporary files too.
  unsigned TimedRound(devtools::CPlumoraRemote& remote, HANDLE process = nullptr);
  // Saves until the kill ends Plumora, then checks what it left.
  bool SaveUntilKilled(testing_support::ChildProcess& plumora, devtools::CPlumoraRemote& remote,
                       Aim aim);
  // leftOvers: the temporary files as the start found them, which earlier kills may have
  // left; only new ones count for this kill.
  bool CheckAfterKill(const SaveUnderWay& underWay, const FileState (&leftOvers)[2],
                      unsigned waitedMs, Aim aim);
  // What a kill left of one file: "NAME as before", "NAME as after", or empty when it is
  // neither; a copy of such a file is kept.
  std::string Judge(const FileState& now, const FileState& before, SaveUnderWay::File file,
                    const SaveUnderWay& underWay, const std::wstring& name, int kill, int& asAfter);
  bool Quit(testing_support::ChildProcess& plumora, devtools::CPlumoraRemote& remote);
  // For an action that did not happen while Plumora runs: how long its window then takes to
  // answer again (a stall), or that it does not within a minute (a hang), and what its
  // status line says.
  static std::string Unanswered(devtools::CPlumoraRemote& remote);
  // One action of the user's; false when it did not happen, with m_fault set when that is
  // a fault.
  bool Do(Action action, devtools::CPlumoraRemote& remote, SaveUnderWay& underWay);

  bool Fail(const std::string& what) {
    m_fault = what;
    return false;
  }
  void PrintSummary(bool held) const;

  const std::wstring m_folder;
  const int m_times;
  const unsigned m_seed;
  const devtools::CSavedFiles m_files;
  devtools::CSavingUser m_user;
  std::string m_fault;
  Tally m_tally;
  Timings m_timings;
  testing_support::CRandomMoments m_moments;
};

bool CKillCheck::Start(testing_support::ChildProcess& plumora,
                       std::unique_ptr<devtools::CPlumoraRemote>& remote, int start) {
  const std::string which = "start " + std::to_string(start + 1);
  if (!plumora.Started()) return Fail(which + ": Plumora.exe could not be started");
  HWND window = nullptr;
  const ULONGLONG end = ::GetTickCount64() + kWindowTimeoutMs;
  while ((window = devtools::FindPlumoraWindow(plumora.Id())) == nullptr) {
    if (!plumora.Running())
      return Fail(which + ": Plumora ended at once, exit code " + std::to_string(plumora.Wait(0)));
    if (::GetTickCount64() >= end) return Fail(which + ": no main window within 30 s");
    ::Sleep(20);
  }
  remote = std::make_unique<devtools::CPlumoraRemote>(window);
  if (!remote->Answers(kAnswerTimeoutMs)) return Fail(which + ": the window does not answer");
  if (!m_user.CheckStart(*remote)) return Fail(which + ": " + m_user.Fault());
  return true;
}

std::string CKillCheck::Unanswered(devtools::CPlumoraRemote& remote) {
  constexpr unsigned kHangMs = 60000;
  const CStopwatch wait;
  if (!remote.Answers(kHangMs)) return "its window has not answered for a minute since";
  return "its window answered " + std::to_string(wait.Microseconds() / 1000) +
         " ms later; the status line says \"" + Utf8(remote.StatusText()) + "\"";
}

bool CKillCheck::Do(Action action, devtools::CPlumoraRemote& remote, SaveUnderWay& underWay) {
  if (m_user.Do(action, remote, underWay)) return true;
  if (!m_user.Fault().empty()) Fail(m_user.Fault());
  return false;
}

unsigned CKillCheck::TimedRound(devtools::CPlumoraRemote& remote, HANDLE process) {
  constexpr unsigned kSaveTimeoutMs = 10000;
  const CStopwatch round;
  SaveUnderWay underWay;
  for (const Action action : devtools::kActions) {
    const bool settings = action == Action::Settings;
    std::optional<devtools::CFileLifetime> save;
    if (process != nullptr)
      save.emplace(settings ? m_files.SettingsTemporary() : m_files.PlaylistTemporary(), process,
                   kSaveTimeoutMs);
    if (!Do(action, remote, underWay)) {
      if (m_fault.empty())
        Fail(std::string("before the kills, Plumora did not do ") + devtools::ActionName(action));
      return 0;
    }
    if (save) {
      unsigned& longest = settings ? m_timings.settingsSave : m_timings.playlistSave;
      longest = std::max(longest, save->Microseconds());
    }
  }
  return round.Microseconds();
}

bool CKillCheck::WarmUp(testing_support::ChildProcess& plumora, devtools::CPlumoraRemote& remote) {
  m_timings.roundPlaying = TimedRound(remote);
  if (m_timings.roundPlaying == 0) return false;
  if (!remote.Press(IDC_STOP)) return Fail("before the kills, 停止 could not be pressed");
  m_timings.roundStopped = TimedRound(remote, plumora.Handle());
  if (m_timings.roundStopped == 0) return false;
  if (m_timings.settingsSave == 0 || m_timings.playlistSave == 0)
    return Fail("before the kills, a save's temporary file was not seen");
  std::printf(
      "a round of saves (settings, 下移, 上移) takes %u ms while the list plays, %u ms "
      "stopped; the temporary file of a settings save lives %u us, of a playlist save "
      "%u us\n",
      m_timings.roundPlaying / 1000, m_timings.roundStopped / 1000, m_timings.settingsSave,
      m_timings.playlistSave);
  std::fflush(stdout);
  return true;
}

bool CKillCheck::SaveUntilKilled(testing_support::ChildProcess& plumora,
                                 devtools::CPlumoraRemote& remote, Aim aim) {
  const bool playing = aim == Aim::AnywherePlaying;
  if (!playing && !remote.Press(IDC_STOP)) return Fail("停止 could not be pressed");
  // Anywhere: within the first three rounds of saves. At a save: from the appearance of its
  // temporary file, within twice its life.
  const bool atSave = aim == Aim::InSettingsSave || aim == Aim::InPlaylistSave;
  const unsigned longest = aim == Aim::InSettingsSave   ? 2 * m_timings.settingsSave
                           : aim == Aim::InPlaylistSave ? 2 * m_timings.playlistSave
                           : playing                    ? 3 * m_timings.roundPlaying
                                                        : 3 * m_timings.roundStopped;
  const unsigned wait = m_moments.Next(longest);
  const std::wstring temporary =
      aim == Aim::InSettingsSave ? m_files.SettingsTemporary() : m_files.PlaylistTemporary();
  const HANDLE process = plumora.Handle();
  const auto saveBegins = [&temporary, process] {
    return devtools::WaitForNewFile(temporary, process, kExitTimeoutMs);
  };
  const FileState leftOvers[] = {m_files.PlaylistLeftOver(), m_files.SettingsLeftOver()};
  SaveUnderWay underWay;
  {
    devtools::CDelayedKill kill(process, wait,
                                atSave ? std::function<bool()>(saveBegins) : nullptr);
    size_t next = 0;
    while (Do(devtools::kActions[next % 3], remote, underWay)) ++next;
    // Before the kill, nothing may go wrong.
    if (m_fault.empty() && !kill.Issued()) {
      const std::string action = devtools::ActionName(devtools::kActions[next % 3]);
      if (plumora.Running())
        Fail("Plumora did not do " + action + " before the kill; " + Unanswered(remote));
      else
        Fail("Plumora ended during " + action + " before the kill, exit code " +
             std::to_string(plumora.Wait(0)));
    }
    if (!m_fault.empty()) {
      // The kill is not waited for.
      plumora.Kill(1);
      return false;
    }
    if (!kill.Join())
      return Fail("Plumora ended by itself just before the kill, exit code " +
                  std::to_string(plumora.Wait(0)));
  }
  const int exitCode = plumora.Wait(kExitTimeoutMs);
  if (exitCode != static_cast<int>(devtools::kKilledExitCode))
    return Fail("after the kill Plumora ended with exit code " + std::to_string(exitCode));
  return CheckAfterKill(underWay, leftOvers, wait / 1000, aim);
}

std::string CKillCheck::Judge(const FileState& now, const FileState& before,
                              SaveUnderWay::File file, const SaveUnderWay& underWay,
                              const std::wstring& name, int kill, int& asAfter) {
  if (now == before) return Utf8(name) + " as before";
  if (underWay.file == file && underWay.after && now == *underWay.after) {
    ++asAfter;
    return Utf8(name) + " as after";
  }
  // Kept beside the installed folder for a look at the damage.
  testing_support::WriteFileBytes(
      m_folder + L"\\..\\damaged-" + std::to_wstring(kill) + L"-" + name, now.bytes);
  return {};
}

bool CKillCheck::CheckAfterKill(const SaveUnderWay& underWay, const FileState (&leftOvers)[2],
                                unsigned waitedMs, Aim aim) {
  const int kill = ++m_tally.kills;
  const FileState playlistTemporary = m_files.PlaylistLeftOver();
  const FileState settingsTemporary = m_files.SettingsLeftOver();
  const bool playlistLeftOver = playlistTemporary.exists && playlistTemporary != leftOvers[0];
  const bool settingsLeftOver = settingsTemporary.exists && settingsTemporary != leftOvers[1];
  m_tally.playlistSaveLeftOver += playlistLeftOver;
  m_tally.settingsSaveLeftOver += settingsLeftOver;
  const char* during = "between saves";
  if (underWay.file == SaveUnderWay::File::Playlist) {
    ++m_tally.inMove;
    during = "in a move";
  } else if (underWay.file == SaveUnderWay::File::Settings) {
    ++m_tally.inSettingsDialog;
    during = "in the settings dialog";
  } else {
    ++m_tally.betweenSaves;
  }
  const FileState playlistNow = m_files.Playlist();
  const FileState settingsNow = m_files.Settings();
  const std::string playlist = Judge(playlistNow, m_user.Playlist(), SaveUnderWay::File::Playlist,
                                     underWay, L"chapters.dat", kill, m_tally.playlistAsAfter);
  const std::string settings = Judge(settingsNow, m_user.Settings(), SaveUnderWay::File::Settings,
                                     underWay, L"config.ini", kill, m_tally.settingsAsAfter);
  std::printf("kill %d (%s) after %u ms, %s%s%s: %s, %s\n", kill, AimName(aim), waitedMs, during,
              playlistLeftOver ? ", tmpchapters.dat left" : "",
              settingsLeftOver ? ", config.ini.tmp left" : "",
              playlist.empty() ? "chapters.dat DAMAGED" : playlist.c_str(),
              settings.empty() ? "config.ini DAMAGED" : settings.c_str());
  std::fflush(stdout);
  if (playlist.empty() || settings.empty())
    return Fail("kill " + std::to_string(kill) +
                " left a file that is neither as before nor as after the save under way (a "
                "copy is beside the installed folder)");
  m_user.TakeFilesOnDisk(playlistNow, settingsNow);
  return true;
}

bool CKillCheck::Quit(testing_support::ChildProcess& plumora, devtools::CPlumoraRemote& remote) {
  if (!remote.Quit()) return Fail("the last start: the exit question did not come");
  const int exitCode = plumora.Wait(kExitTimeoutMs);
  if (exitCode != 0)
    return Fail("the last start ended with exit code " + std::to_string(exitCode) +
                " after 退出系统 (-1: still running)");
  return true;
}

int CKillCheck::Run() {
  std::printf("kill-check: %d kills, seed %u, Plumora in %s\n", m_times, m_seed,
              Utf8(m_folder).c_str());
  std::fflush(stdout);
  bool held = m_user.CreateStorageFolders(m_folder.substr(0, m_folder.find_last_of(L'\\')));
  if (!held) Fail(m_user.Fault());
  for (int start = 0; held && start <= m_times; ++start) {
    testing_support::ChildProcess plumora(m_folder + L"\\Plumora.exe", L"", m_folder);
    std::unique_ptr<devtools::CPlumoraRemote> remote;
    held = Start(plumora, remote, start);
    if (!held) break;
    if (start == m_times) {
      held = Quit(plumora, *remote);
      break;
    }
    held = (start > 0 || WarmUp(plumora, *remote)) &&
           SaveUntilKilled(plumora, *remote, kAims[start % 4]);
  }
  if (!held) std::printf("FAULT: %s\n", m_fault.c_str());
  PrintSummary(held);
  return held ? kHeld : kFault;
}

void CKillCheck::PrintSummary(bool held) const {
  const Tally& t = m_tally;
  std::printf("%d kills, %d finished saves between them\n", t.kills, m_user.FinishedSaves());
  std::printf(
      "kills during a save (its temporary file left behind): %d of chapters.dat, %d of "
      "config.ini\n",
      t.playlistSaveLeftOver, t.settingsSaveLeftOver);
  std::printf("kills in a move: %d; in the settings dialog: %d; between them: %d\n", t.inMove,
              t.inSettingsDialog, t.betweenSaves);
  std::printf(
      "files found as after the save under way: chapters.dat %d, config.ini %d times; "
      "as before the rest\n",
      t.playlistAsAfter, t.settingsAsAfter);
  std::printf("verdict: %s\n",
              held ? "every start ran and found both files as before or as after a save"
                   : "FAULT (see above)");
  std::fflush(stdout);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int times = argc >= 3 ? static_cast<int>(std::wcstol(argv[2], nullptr, 10)) : 0;
  if (argc < 3 || argc > 4 || times < 1) {
    std::fprintf(stderr, "usage: kill-check FOLDER TIMES [SEED]\n");
    return kUsage;
  }
  std::wstring folder = argv[1];
  while (!folder.empty() && (folder.back() == L'\\' || folder.back() == L'/')) folder.pop_back();
  const unsigned seed = argc == 4 ? static_cast<unsigned>(std::wcstoul(argv[3], nullptr, 10))
                                  : static_cast<unsigned>(::GetTickCount64());
  for (const wchar_t* needed : {L"\\Plumora.exe", L"\\chapters.dat"}) {
    if (!testing_support::FileExists(folder + needed)) {
      std::fprintf(stderr, "kill-check: %ls%ls is missing: FOLDER must be an installed copy\n",
                   folder.c_str(), needed);
      return kUsage;
    }
  }
  CKillCheck check(std::move(folder), times, seed);
  return check.Run();
}
