#include "mainwindow/PlaybackRules.h"

#include <gtest/gtest.h>

#include <vector>

namespace mainwindow {
namespace {

TEST(PlaybackRules, TheListPositionNamesTheModeAndNoSelectionLoopsTheList) {
  EXPECT_EQ(PlayModeAt(0), PlayMode::LoopList);
  EXPECT_EQ(PlayModeAt(1), PlayMode::RepeatOne);
  EXPECT_EQ(PlayModeAt(2), PlayMode::PlayOnce);
  EXPECT_EQ(PlayModeAt(-1), PlayMode::LoopList);
  EXPECT_EQ(PlayModeAt(7), PlayMode::LoopList);
}

TEST(PlaybackRules, AtTheEndOfAFileTheModeDecides) {
  struct Case {
    PlayMode mode;
    int current, count, expected;
  };
  const Case cases[] = {
      {PlayMode::LoopList, 0, 3, 1},   {PlayMode::LoopList, 2, 3, 0},
      {PlayMode::LoopList, 0, 1, 0},  // a single entry plays again
      {PlayMode::RepeatOne, 1, 3, 1},  {PlayMode::PlayOnce, 1, 3, -1},
      {PlayMode::LoopList, 0, 0, -1},   // the list was emptied meanwhile
      {PlayMode::RepeatOne, 5, 3, -1},  // the entry is gone
      {PlayMode::LoopList, 5, 3, 0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(NextAfterEnd(c.mode, c.current, c.count), c.expected)
        << static_cast<int>(c.mode) << " " << c.current << "/" << c.count;
}

// Runs one round of attempts as the main window does, with the entries that can start.
std::vector<int> Attempts(PlayMode mode, int first, int current, std::vector<bool> playable) {
  std::vector<int> attempts;
  std::vector<bool> tried(playable.size(), false);
  for (int candidate = first; candidate >= 0;) {
    attempts.push_back(candidate);
    if (playable[static_cast<size_t>(candidate)]) break;
    tried[static_cast<size_t>(candidate)] = true;
    candidate = NextAfterFailure(mode, candidate, current, first, tried);
  }
  return attempts;
}

TEST(PlaybackRules, AfterAFailedStartEachModeTriesEveryEntryAtMostOnce) {
  // LoopList: on round the list, wrapping, until one plays or the first comes back.
  EXPECT_EQ(Attempts(PlayMode::LoopList, 0, -1, {false, false, true}), (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(Attempts(PlayMode::LoopList, 1, 0, {false, false, false}), (std::vector<int>{1, 2, 0}));
  EXPECT_EQ(Attempts(PlayMode::LoopList, 2, 1, {true, false, false}), (std::vector<int>{2, 0}));
  // RepeatOne falls back to the entry that played before, once.
  EXPECT_EQ(Attempts(PlayMode::RepeatOne, 2, 0, {true, false, false}), (std::vector<int>{2, 0}));
  // ... and when that fails too, the round ends instead of trying it for ever.
  EXPECT_EQ(Attempts(PlayMode::RepeatOne, 2, 0, {false, false, false}), (std::vector<int>{2, 0}));
  // The failing entry is itself the one that played before.
  EXPECT_EQ(Attempts(PlayMode::RepeatOne, 1, 1, {true, false, true}), (std::vector<int>{1}));
  EXPECT_EQ(Attempts(PlayMode::RepeatOne, 1, -1, {true, false, true}), (std::vector<int>{1}));
  // PlayOnce gives up at once.
  EXPECT_EQ(Attempts(PlayMode::PlayOnce, 0, -1, {false, true}), (std::vector<int>{0}));
}

TEST(PlaybackRules, ARowShowsTheTextAfterTheLastBackslash) {
  EXPECT_EQ(FileNameOf(L"C:\\videos\\a.avi"), L"a.avi");
  EXPECT_EQ(FileNameOf(L"C:\\videos\\中文 名.mp4"), L"中文 名.mp4");
  EXPECT_EQ(FileNameOf(L"a.avi"), L"");  // no backslash: no name
  EXPECT_EQ(FileNameOf(L"C:\\videos\\"), L"");
  EXPECT_EQ(FileNameOf(L"C:/videos/a.avi"), L"");  // only backslashes count
  EXPECT_EQ(FileNameOf(L""), L"");
}

}  // namespace
}  // namespace mainwindow
