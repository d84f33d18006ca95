#include "mainwindow/PlaybackRules.h"

namespace mainwindow {

PlayMode PlayModeAt(int position) {
  switch (position) {
    case 1:
      return PlayMode::RepeatOne;
    case 2:
      return PlayMode::PlayOnce;
    default:
      return PlayMode::LoopList;
  }
}

int NextAfterEnd(PlayMode mode, int current, int count) {
  if (count <= 0) return -1;
  switch (mode) {
    case PlayMode::PlayOnce:
      return -1;
    case PlayMode::RepeatOne:
      return current >= 0 && current < count ? current : -1;
    case PlayMode::LoopList:
    default:
      return current + 1 < count && current + 1 >= 0 ? current + 1 : 0;
  }
}

int NextAfterFailure(PlayMode mode, int candidate, int current, int first,
                     const std::vector<bool>& tried) {
  const int count = static_cast<int>(tried.size());
  int next = -1;
  switch (mode) {
    case PlayMode::LoopList:
      next = candidate + 1 < count ? candidate + 1 : 0;
      break;
    case PlayMode::RepeatOne:
      next = current;
      break;
    case PlayMode::PlayOnce:
      next = -1;
      break;
  }
  if (next < 0 || next >= count || next == first || tried[static_cast<size_t>(next)]) return -1;
  return next;
}

std::wstring FileNameOf(const std::wstring& path) {
  const size_t slash = path.rfind(L'\\');
  return slash == std::wstring::npos ? std::wstring() : path.substr(slash + 1);
}

}  // namespace mainwindow
