#include "app/PlaylistTarget.h"

#include "framework/WinApp.h"

namespace app {

IPlaylistTarget* FindPlaylistTarget(framework::CWnd* owner) {
  if (auto* target = dynamic_cast<IPlaylistTarget*>(framework::AfxGetMainWnd())) return target;
  return dynamic_cast<IPlaylistTarget*>(owner);
}

}  // namespace app
