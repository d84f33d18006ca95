// Plumora's windows driven from another process, as a user's clicks reach them: the main
// window (found by the property it carries for a second start), its playlist rows, its
// play mode and buttons, the settings dialog and the exit question. Every call that waits
// for Plumora gives up after its timeout, and when Plumora ends meanwhile.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/Handle.h"

namespace devtools {

// The property Plumora's main window carries: the executable's base name.
inline constexpr wchar_t kPlumoraWindowProperty[] = L"Plumora";

// The main window of Plumora's process processId, or null. With processId 0, of any
// process.
HWND FindPlumoraWindow(DWORD processId);

class CRemoteMemory;

class CPlumoraRemote {
 public:
  // Calls that wait for Plumora give up after timeoutMs.
  explicit CPlumoraRemote(HWND window, unsigned timeoutMs = 10000);
  CPlumoraRemote(const CPlumoraRemote&) = delete;
  CPlumoraRemote& operator=(const CPlumoraRemote&) = delete;
  ~CPlumoraRemote();

  HWND Window() const { return m_window; }
  DWORD ProcessId() const { return m_processId; }

  // Whether the window's thread handled a message within timeoutMs; elapsedMs gets how
  // long it took.
  bool Answers(unsigned timeoutMs, unsigned* elapsedMs = nullptr) const;

  // The play-mode list's selection (0 is 循环播放, the whole list in a loop), -1 when
  // there is none or Plumora did not answer.
  int PlayMode() const;
  // Selects a play mode as the user's choice does.
  bool SetPlayMode(int mode);

  // The playlist's rows as the list shows them; false when Plumora did not answer.
  bool ReadRows(std::vector<std::wstring>& rows) const;
  // Makes row the only selected one, as a click on it does.
  bool SelectRow(int row);
  // The row that carries the playing marker, -1 when none does or Plumora did not answer.
  int PlayingRow() const;
  // The status line under the preview; empty when Plumora did not answer.
  std::wstring StatusText() const;

  // Presses an enabled button of the main window as a click does, and returns once
  // Plumora has handled it.
  bool Press(int id);

  // Opens 参数设置 and reads the storage location it shows into shownRoot; the dialog,
  // or null when it did not open or its storage location could not be read.
  HWND OpenSettings(std::wstring& shownRoot);
  // Types root into the open settings dialog's storage location.
  bool EnterStorageRoot(HWND dialog, const std::wstring& root);
  // Presses 确定 (which saves) or 取消 and waits until the dialog has gone.
  bool CloseSettings(HWND dialog, bool confirm);

  // Chooses 退出系统 in the tray menu and answers the question with OK. True once the
  // question was answered; the process then ends by itself.
  bool Quit();
  // The process's exit code once it has ended, or -1 when it still runs after timeoutMs.
  long WaitForExit(unsigned timeoutMs) const;

 private:
  // A dialog of Plumora's window thread, other than the main window, that holds a control
  // with controlId; null when none appeared within the timeout.
  HWND WaitForDialog(int controlId) const;
  bool Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) const;
  // The text of a window of Plumora's; empty also when it did not answer.
  std::wstring WindowText(HWND window) const;
  // The same; false when it did not answer.
  bool ReadWindowText(HWND window, std::wstring& text) const;
  bool Running() const;
  // Room in Plumora's process for one list item and its text, made on first use and kept,
  // so that watching over hours does not map and unmap memory there all the time.
  const CRemoteMemory* ItemMemory() const;

  HWND m_window;
  unsigned m_timeoutMs;
  DWORD m_processId = 0;
  DWORD m_threadId = 0;
  framework::CHandle m_process;
  mutable std::unique_ptr<CRemoteMemory> m_itemMemory;
};

}  // namespace devtools
