// A save of the playlist may be cut short at any moment (the program killed, the system
// crashing). Whenever that happens, "chapters.dat" must still load as the old list or the
// new one. A second process (playlist-saver) saves and is killed here.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <random>

#include "framework/Handle.h"
#include "mainwindow/PlaylistCrashLists.h"
#include "mainwindow/PlaylistStore.h"
#include "testing/FileBytes.h"
#include "testing/Process.h"
#include "testing/TempFolder.h"

namespace mainwindow {
namespace {

std::wstring SaverPath() {
  return testing_support::ProgramFolder() + L"\\playlist-saver.exe";
}

// Starts the saver with arguments; an empty handle when it cannot start.
framework::CHandle StartSaver(const std::wstring& arguments) {
  std::wstring commandLine = L"\"" + SaverPath() + L"\" " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!::CreateProcessW(SaverPath().c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                        nullptr, nullptr, &startup, &info))
    return {};
  ::CloseHandle(info.hThread);
  return framework::CHandle(info.hProcess);
}

DWORD WaitForExit(const framework::CHandle& process) {
  DWORD exitCode = 0;
  if (::WaitForSingleObject(process.Get(), 30000) != WAIT_OBJECT_0) return 0xFFFFFFFF;
  ::GetExitCodeProcess(process.Get(), &exitCode);
  return exitCode;
}

class PlaylistCrashTest : public ::testing::Test {
 protected:
  Playlist Load() const {
    Playlist list;
    EXPECT_TRUE(LoadPlaylistFrom(m_folder.Path(), list));
    return list;
  }

  const testing_support::TempFolder m_folder{L"crash"};
  const Playlist m_old = CrashTestListA();
  const Playlist m_new = CrashTestListB();
};

TEST_F(PlaylistCrashTest, DyingAtAnyStepLeavesTheOldOrTheNewList) {
  const struct {
    SaveStep step;
    bool replaced;
  } steps[] = {{SaveStep::TemporaryCreated, false},
               {SaveStep::HalfWritten, false},
               {SaveStep::Written, false},
               {SaveStep::Closed, false},
               {SaveStep::Replaced, true}};
  for (const auto& at : steps) {
    SCOPED_TRACE(static_cast<int>(at.step));
    ASSERT_TRUE(SavePlaylistTo(m_folder.Path(), m_old));
    const framework::CHandle saver = StartSaver(L"die \"" + m_folder.Path() + L"\" " +
                                                std::to_wstring(static_cast<int>(at.step)));
    ASSERT_TRUE(saver);
    ASSERT_EQ(WaitForExit(saver), 3u) << "the saver did not die at the step";
    EXPECT_EQ(Load(), at.replaced ? m_new : m_old);
    // The next save gets past what the dead one left behind.
    ASSERT_TRUE(SavePlaylistTo(m_folder.Path(), m_new));
    EXPECT_EQ(Load(), m_new);
    EXPECT_FALSE(testing_support::FileExists(m_folder.File(L"tmpchapters.dat")));
  }
}

TEST_F(PlaylistCrashTest, KilledAtRandomMomentsHundredsOfTimes) {
  constexpr int kKills = 300;
  ASSERT_TRUE(SavePlaylistTo(m_folder.Path(), m_old));
  std::mt19937 random(20120512);
  std::uniform_int_distribution<int> spinMicroseconds(0, 4000);
  LARGE_INTEGER frequency;
  ::QueryPerformanceFrequency(&frequency);

  int oldLists = 0, newLists = 0, deadMidSave = 0;
  for (int kill = 0; kill < kKills; ++kill) {
    const std::wstring readyName = testing_support::UniqueName(L"saver-ready");
    const framework::CHandle ready(::CreateEventW(nullptr, TRUE, FALSE, readyName.c_str()));
    ASSERT_TRUE(ready);
    const framework::CHandle saver = StartSaver(L"loop \"" + m_folder.Path() + L"\" " + readyName);
    ASSERT_TRUE(saver);
    const HANDLE waitFor[] = {ready.Get(), saver.Get()};
    ASSERT_EQ(::WaitForMultipleObjects(2, waitFor, FALSE, 30000), WAIT_OBJECT_0)
        << "the saver ended or hung before its first save";

    // Busy-wait rather than Sleep: the kill must land anywhere within a save, not only on
    // the scheduler's ticks.
    LARGE_INTEGER start, now;
    ::QueryPerformanceCounter(&start);
    const LONGLONG spin = spinMicroseconds(random) * frequency.QuadPart / 1000000;
    do ::QueryPerformanceCounter(&now);
    while (now.QuadPart - start.QuadPart < spin);
    ASSERT_TRUE(::TerminateProcess(saver.Get(), 9));
    ASSERT_EQ(WaitForExit(saver), 9u) << "the saver stopped by itself";

    if (testing_support::FileExists(m_folder.File(L"tmpchapters.dat"))) ++deadMidSave;
    const Playlist loaded = Load();
    if (loaded == m_old)
      ++oldLists;
    else if (loaded == m_new)
      ++newLists;
    else
      FAIL() << "kill " << kill << ": chapters.dat holds " << loaded.size()
             << " entries, neither list";
  }
  RecordProperty("kills", kKills);
  RecordProperty("killed_mid_save", deadMidSave);
  std::printf("%d kills: %d left the old list, %d the new one; %d died with a save under way\n",
              kKills, oldLists, newLists, deadMidSave);
  EXPECT_EQ(oldLists + newLists, kKills);
  // Evidence that the kills did land inside saves, where a fault would show.
  EXPECT_GT(deadMidSave, kKills / 10);
}

}  // namespace
}  // namespace mainwindow
