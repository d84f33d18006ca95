// A window's message handlers, declared in one table:
//
//   using Map = framework::MessageMap<CMyDlg>;
//   static const Map::Entry kEntries[] = {
//       Map::Command<&CMyDlg::OnAdd>(IDC_ADD),                  // BN_CLICKED of button IDC_ADD
//       Map::Notify<&CMyDlg::OnListDoubleClick>(IDC_LIST, NM_DBLCLK),
//       Map::Message<&CMyDlg::OnPlayerEvent>(WM_PLAYER_EVENT),
//   };
//   return Map::Dispatch(kEntries, *this, message, wParam, lParam, result);
//
// Handlers are member functions of the window class of one of three shapes: void() for
// commands, void(NMHDR&) for notifications and LRESULT(WPARAM, LPARAM) for any message.
// Placed inside a member function, the table may name private handlers.
#pragma once

#include <windows.h>

#include <cstddef>

namespace framework {

template <class Window>
class MessageMap {
 public:
  struct Entry {
    UINT message;  // WM_COMMAND, WM_NOTIFY or any other message
    UINT id;       // the control, for WM_COMMAND and WM_NOTIFY
    UINT code;     // the notification code, for WM_COMMAND and WM_NOTIFY
    LRESULT (*call)(Window& window, WPARAM wParam, LPARAM lParam);
  };

  template <void (Window::*Handler)()>
  static constexpr Entry Command(UINT id, UINT code = BN_CLICKED) {
    return {WM_COMMAND, id, code, [](Window& window, WPARAM, LPARAM) -> LRESULT {
              (window.*Handler)();
              return 0;
            }};
  }

  template <void (Window::*Handler)(NMHDR&)>
  static constexpr Entry Notify(UINT id, UINT code) {
    return {WM_NOTIFY, id, code, [](Window& window, WPARAM, LPARAM lParam) -> LRESULT {
              (window.*Handler)(*reinterpret_cast<NMHDR*>(lParam));
              return 0;
            }};
  }

  template <LRESULT (Window::*Handler)(WPARAM, LPARAM)>
  static constexpr Entry Message(UINT message) {
    return {message, 0, 0, [](Window& window, WPARAM wParam, LPARAM lParam) -> LRESULT {
              return (window.*Handler)(wParam, lParam);
            }};
  }

  // Calls the first entry that matches; false when none does.
  template <std::size_t N>
  static bool Dispatch(const Entry (&entries)[N], Window& window, UINT message, WPARAM wParam,
                       LPARAM lParam, LRESULT& result) {
    for (const Entry& entry : entries) {
      if (entry.message != message || !Matches(entry, wParam, lParam)) continue;
      result = entry.call(window, wParam, lParam);
      return true;
    }
    return false;
  }

 private:
  static bool Matches(const Entry& entry, WPARAM wParam, LPARAM lParam) {
    if (entry.message == WM_COMMAND)
      return LOWORD(wParam) == entry.id && HIWORD(wParam) == entry.code;
    if (entry.message == WM_NOTIFY) {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      return header->idFrom == entry.id && header->code == entry.code;
    }
    return true;
  }
};

}  // namespace framework
