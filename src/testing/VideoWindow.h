// For tests: a visible top-level window with a child area that video is drawn into, as
// the program's windows have, and a message pump that records the player's events.
#pragma once

#include <windows.h>

#include <functional>

namespace testing_support {

class VideoWindow {
 public:
  VideoWindow();
  VideoWindow(const VideoWindow&) = delete;
  VideoWindow& operator=(const VideoWindow&) = delete;
  ~VideoWindow();

  HWND Parent() const { return m_parent; }
  HWND VideoArea() const { return m_video; }

  // Dispatches messages until `done` answers true or the time runs out; the answer of
  // `done` at the end. A posted WM_USER+5 calls onPlayerEvent on the way.
  bool PumpUntil(const std::function<bool()>& done, unsigned timeoutMs);
  void PumpFor(unsigned ms);

  // Called for each WM_USER+5 that reaches the parent window.
  std::function<void()> onPlayerEvent;
  // Called for each message of the application's range (WM_APP on) that reaches it.
  std::function<void(UINT message, WPARAM wParam)> onOtherMessage;
  int playerEventMessages = 0;

 private:
  static LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  HWND m_parent = nullptr;
  HWND m_video = nullptr;
};

}  // namespace testing_support
