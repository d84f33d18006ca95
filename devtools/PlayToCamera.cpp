// Plays a media file into the virtual camera in a window of its own, as the main window
// will: PlayToCamera into a child video area, graph events drained on WM_USER+5, the
// file started again at its end.
//
//   play-to-camera FILE [--seconds N] [--deadline MS]
//
// Ends after N seconds (default: when the window is closed). An opening that takes longer
// than MS milliseconds (default: the player's) is given up. Exit code 0 when the file
// played, 1 when it could not be started (the reason and its code are printed), 3 when its
// opening was given up, 4 on bad usage.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "feed/CMyVideoPlayer.h"
#include "feed/ErrorMessageText.h"

namespace {

constexpr wchar_t kClassName[] = L"PlumoraPlayToCamera";
constexpr UINT_PTR kQuitTimer = 1;

struct Window {
  feed::CMyVideoPlayer player;
  HWND video = nullptr;
  unsigned completions = 0;
};

Window* g_window = nullptr;

LRESULT CALLBACK VideoAreaProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT && g_window != nullptr && g_window->player.HasGraph()) {
    g_window->player.PaintVideo(window);
    return 0;
  }
  return ::DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case feed::WM_PLAYER_EVENT: {
      long code;
      LONG_PTR param1, param2;
      while (SUCCEEDED(g_window->player.NextEvent(code, param1, param2))) {
        if (code == EC_COMPLETE) {
          ++g_window->completions;
          g_window->player.SetPosition(0);  // round and round, as the camera feed does
        }
      }
      return 0;
    }
    case WM_SIZE:
      if (g_window != nullptr && g_window->video != nullptr) {
        ::MoveWindow(g_window->video, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        g_window->player.FitVideoToWindow();
      }
      return 0;
    case WM_DISPLAYCHANGE:
      g_window->player.DisplayModeChanged();
      return 0;
    case WM_TIMER:
      if (wParam == kQuitTimer) ::DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      ::PostQuitMessage(0);
      return 0;
  }
  return ::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  double seconds = 0;
  long deadline = 0;
  bool usage = argc < 2 || argc % 2 != 0;
  for (int i = 2; !usage && i + 1 < argc; i += 2) {
    if (std::wcscmp(argv[i], L"--seconds") == 0)
      seconds = std::wcstod(argv[i + 1], nullptr);
    else if (std::wcscmp(argv[i], L"--deadline") == 0)
      usage = (deadline = std::wcstol(argv[i + 1], nullptr, 10)) <= 0;
    else
      usage = true;
  }
  if (usage) {
    std::fprintf(stderr, "usage: play-to-camera FILE [--seconds N] [--deadline MS]\n");
    return 4;
  }

  const HINSTANCE instance = ::GetModuleHandleW(nullptr);
  WNDCLASSW frameClass{};
  frameClass.lpfnWndProc = FrameProc;
  frameClass.hInstance = instance;
  frameClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  frameClass.lpszClassName = kClassName;
  ::RegisterClassW(&frameClass);
  WNDCLASSW videoClass = frameClass;
  videoClass.lpfnWndProc = VideoAreaProc;
  videoClass.hbrBackground = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
  videoClass.lpszClassName = L"PlumoraVideoArea";
  ::RegisterClassW(&videoClass);

  Window state;
  g_window = &state;
  const std::wstring title = L"Plumora - " + std::wstring(argv[1]);
  HWND frame =
      ::CreateWindowExW(0, kClassName, title.c_str(), WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 40, 40,
                        656, 519, nullptr, nullptr, instance, nullptr);
  RECT client;
  ::GetClientRect(frame, &client);
  state.video = ::CreateWindowExW(0, videoClass.lpszClassName, L"", WS_CHILD | WS_VISIBLE, 0, 0,
                                  client.right, client.bottom, frame, nullptr, instance, nullptr);
  ::ShowWindow(frame, SW_SHOW);
  ::UpdateWindow(frame);

  if (deadline > 0) state.player.SetBuildDeadline(static_cast<DWORD>(deadline));
  const HRESULT started = state.player.PlayToCamera(argv[1], state.video);
  if (FAILED(started)) {
    std::printf("could not play the file (0x%08lX): %ls\n", static_cast<unsigned long>(started),
                feed::ErrorMessageText(started).c_str());
    std::fflush(stdout);
    ::DestroyWindow(frame);
    g_window = nullptr;
    return started == feed::E_GRAPH_BUILD_TIMEOUT ? 3 : 1;
  }
  std::printf("playing into the camera\n");
  std::fflush(stdout);
  if (seconds > 0) ::SetTimer(frame, kQuitTimer, static_cast<UINT>(seconds * 1000), nullptr);

  MSG message;
  while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  state.player.ReleaseGraph();
  g_window = nullptr;
  std::printf("played to the end %u times\n", state.completions);
  std::fflush(stdout);
  return 0;
}
