// For tests that drive the program's real windows: a message pump that pre-translates
// as the program's modal loops do, and a watcher that answers the modal boxes and dialogs
// a window opens (message boxes, the file dialog) through their own controls.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace testing_support {

// Dispatches this thread's messages, each first offered to the pre-translation of the
// windows under top, until done answers true or the time runs out; done's last answer.
bool PumpDialogUntil(HWND top, const std::function<bool()>& done, unsigned timeoutMs);
void PumpDialogFor(HWND top, unsigned ms);

// The text of a message box.
std::wstring MessageBoxText(HWND box);

// Presses a button of a dialog as a click does: the dialog receives its BN_CLICKED.
void PressDialogButton(HWND dialog, int id);

// Watches, on a thread of its own, for dialog windows (class "#32770") that the thread
// uiThread opens while the watcher lives, and hands each new one to answer, on the
// watcher's thread. Windows that exist when the watcher starts, shown or hidden, are left
// alone.
class ModalWatcher {
 public:
  ModalWatcher(DWORD uiThread, std::function<void(HWND)> answer);
  ModalWatcher(const ModalWatcher&) = delete;
  ModalWatcher& operator=(const ModalWatcher&) = delete;
  ~ModalWatcher();

  int Answered() const { return m_answered; }

 private:
  void Watch();

  DWORD m_uiThread;
  std::function<void(HWND)> m_answer;
  std::vector<HWND> m_known;
  std::atomic<bool> m_stop{false};
  std::atomic<int> m_answered{0};
  std::thread m_thread;
};

// A message box seen and answered.
struct SeenBox {
  std::wstring caption;
  std::wstring text;
  LONG style = 0;
};

// Answers every message box with button id and remembers what it said. Dialogs that are
// no message boxes (they have no text control 0xFFFF) are left alone.
class MessageBoxAnswerer {
 public:
  explicit MessageBoxAnswerer(int button);
  std::vector<SeenBox> Boxes() const;

 private:
  mutable std::mutex m_lock;
  std::vector<SeenBox> m_boxes;
  ModalWatcher m_watcher;
};

// Answers the file dialog the thread opens by typing names (quoted paths, separated by
// spaces, for several) into its file name box and pressing Open.
class FileDialogAnswerer {
 public:
  explicit FileDialogAnswerer(std::wstring names);
  std::wstring Caption() const;

 private:
  mutable std::mutex m_lock;
  std::wstring m_caption;
  ModalWatcher m_watcher;
};

// text in double quotes, as the file dialog takes each of several names.
std::wstring Quoted(const std::wstring& text);

}  // namespace testing_support
