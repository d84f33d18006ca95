// What the studio windows need of the main window: a finished recording or movie put into
// the virtual camera's playlist. The main window implements it; the studio windows find it
// as the application's main window, or as their owner where the test runs no application.
#pragma once

#include <string>

namespace framework {
class CWnd;
}

namespace app {

class IPlaylistTarget {
 public:
  // Appends path to the playlist, saves the playlist when save is set, and starts the
  // file when nothing plays.
  virtual void AddFileToPlaylist(const std::wstring& path, bool save) = 0;

 protected:
  ~IPlaylistTarget() = default;
};

// The application's main window as a playlist, else owner's (owner may be null); null
// when neither is one.
IPlaylistTarget* FindPlaylistTarget(framework::CWnd* owner);

}  // namespace app
