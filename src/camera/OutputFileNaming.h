// Names and folders of the camera studio's output: each new photograph or recording gets
// the next free name in its folder, by the scheme the settings choose (see OutputNames.h).
// Names are worked out from the disk at each call, so numbering carries on across runs.
#pragma once

#include <windows.h>

#include <string>

namespace camera {

// Store the full path of the next photograph (".jpg") or recording (".avi") in folder and
// return true, or return false and store nothing. A name never names an existing file,
// nor one handed out earlier in this run, so threads naming at once get different names.
// False for an empty folder, and when a folder of the tree cannot be created (a warning
// box says which and why).
bool MakePhotoFileName(std::wstring& path, const std::wstring& folder);
bool MakeMovieFileName(std::wstring& path, const std::wstring& folder);

// On the first call of a run creates the product, photographs and recordings folders of
// the current settings; later calls, and calls racing the first, wait for it and do
// nothing more. Failures show their boxes and are not retried in the same run.
void EnsureOutputFolders();

// True when path is a folder, or was created as one (one level). Otherwise a warning box
// shows the path immediately followed by the system's text for the error, and false.
bool EnsureDirectory(const std::wstring& path);

// The local date as "%04d%02d%02d".
std::wstring TodayStamp();

// Forgets that the folders were made in this run (at shutdown; the next call makes them
// again).
void ForgetOutputFolders();

// For tests: where the local date comes from (null restores the system clock), and a
// fresh once-per-run mark.
using LocalDateSource = SYSTEMTIME (*)();
void SetLocalDateSourceForTesting(LocalDateSource source);
void ResetOutputFoldersForTesting();

}  // namespace camera
