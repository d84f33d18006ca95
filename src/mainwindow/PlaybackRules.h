// What the main window plays next: after a file ends and after a file fails to start, by
// play mode. Plain index arithmetic, so that every mode and edge can be tested alone.
#pragma once

#include <string>
#include <vector>

namespace mainwindow {

// The play modes in the order of the play-mode list.
enum class PlayMode { LoopList = 0, RepeatOne = 1, PlayOnce = 2 };

// The mode at a position of the play-mode list; no selection (-1) or anything unknown is
// LoopList.
PlayMode PlayModeAt(int position);

// The entry to play when the current one has ended, or -1 to stop.
int NextAfterEnd(PlayMode mode, int current, int count);

// The entry to try after candidate failed to start, or -1 to give up. current is the
// entry that played before (-1 for none). first is where this round of attempts began
// and tried[i] says, for each of the entries, whether entry i failed in this round already: nothing
// is tried twice, so every round ends.
int NextAfterFailure(PlayMode mode, int candidate, int current, int first,
                     const std::vector<bool>& tried);

// The name a playlist row shows: the text after the last backslash ("" without one).
std::wstring FileNameOf(const std::wstring& path);

}  // namespace mainwindow
