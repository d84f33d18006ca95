// The playlist that survives restarts: "chapters.dat" beside the executable, rewritten
// through "tmpchapters.dat" whenever the playlist changes. The store keeps nothing between
// calls; failures go to the debugger output only.
#pragma once

#include <string>
#include <vector>

namespace mainwindow {

// Full paths of media files in play order; duplicates allowed.
using Playlist = std::vector<std::wstring>;

// Empties list and fills it with the entries of "chapters.dat". The sample line becomes
// the sample video in the "video" folder beside the executable; a path stored in its short
// form gets its long form back while the file exists. True when the file was
// read, also when it holds no entries; false (list empty) when it could not be.
bool LoadPlaylist(Playlist& list);

// Replaces "chapters.dat" with list in one step, so that a failure or a crash at any
// moment leaves either the old or the new file. Entries are written in the system's ANSI
// code page; an entry that code page cannot hold is written as its short path when that
// one fits (the sample video as its own special line), and is otherwise left out of the
// file (it stays in list). Paths of any length the system takes are written whole. True
// when the new file is in place.
bool SavePlaylist(const Playlist& list);

// The same for the playlist files in folder instead of beside the executable.
bool LoadPlaylistFrom(const std::wstring& folder, Playlist& list);
bool SavePlaylistTo(const std::wstring& folder, const Playlist& list);

// For fault-injection tests: the points of a save at which the process may die.
enum class SaveStep { TemporaryCreated, HalfWritten, Written, Closed, Replaced };
using SaveStepHook = void (*)(SaveStep step);
void SetSaveStepHookForTesting(SaveStepHook hook);

}  // namespace mainwindow
