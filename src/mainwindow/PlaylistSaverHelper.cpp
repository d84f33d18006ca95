// The other process of the playlist crash tests. Saves playlists into a folder until it is
// killed, or saves once and kills itself at a chosen step of the save.
//   playlist-saver loop FOLDER EVENT   saves lists A and B in turn forever; sets the named
//                                      event once the first save is done
//   playlist-saver die FOLDER STEP     saves list B and ends itself (exit code 3) when the
//                                      save reaches step STEP (a SaveStep number)
#include <windows.h>

#include <cwchar>
#include <string>

#include "framework/Handle.h"
#include "mainwindow/PlaylistCrashLists.h"
#include "mainwindow/PlaylistStore.h"

namespace {

int g_dieAtStep = -1;

void DieAtChosenStep(mainwindow::SaveStep step) {
  if (static_cast<int>(step) == g_dieAtStep) ::TerminateProcess(::GetCurrentProcess(), 3);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 4) return 2;
  const std::wstring mode = argv[1];
  const std::wstring folder = argv[2];
  if (mode == L"die") {
    g_dieAtStep = static_cast<int>(std::wcstol(argv[3], nullptr, 10));
    mainwindow::SetSaveStepHookForTesting(&DieAtChosenStep);
    return mainwindow::SavePlaylistTo(folder, mainwindow::CrashTestListB()) ? 0 : 1;
  }
  if (mode == L"loop") {
    const framework::CHandle ready(::OpenEventW(EVENT_MODIFY_STATE, FALSE, argv[3]));
    if (!ready) return 2;
    for (bool first = true;; first = false) {
      if (!mainwindow::SavePlaylistTo(folder, mainwindow::CrashTestListB())) return 1;
      if (first) ::SetEvent(ready.Get());
      if (!mainwindow::SavePlaylistTo(folder, mainwindow::CrashTestListA())) return 1;
    }
  }
  return 2;
}
