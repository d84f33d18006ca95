#include "testing/DialogDriver.h"

#include <algorithm>

#include "framework/Wnd.h"

namespace testing_support {

bool PumpDialogUntil(HWND top, const std::function<bool()>& done, unsigned timeoutMs) {
  const ULONGLONG end = ::GetTickCount64() + timeoutMs;
  for (;;) {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (framework::PreTranslateInChain(message, top)) continue;
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
    if (done()) return true;
    if (::GetTickCount64() >= end) return done();
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

void PumpDialogFor(HWND top, unsigned ms) {
  PumpDialogUntil(
      top, [] { return false; }, ms);
}

std::wstring MessageBoxText(HWND box) {
  // The text of a message box is its static control 0xFFFF.
  wchar_t text[2048] = L"";
  ::GetDlgItemTextW(box, 0xFFFF, text, ARRAYSIZE(text));
  return text;
}

void PressDialogButton(HWND dialog, int id) {
  ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)));
}

namespace {

struct Collection {
  bool visibleOnly;
  std::vector<HWND> dialogs;
};

BOOL CALLBACK CollectDialog(HWND window, LPARAM context) {
  auto* collection = reinterpret_cast<Collection*>(context);
  wchar_t name[32] = L"";
  ::GetClassNameW(window, name, ARRAYSIZE(name));
  if (wcscmp(name, L"#32770") == 0 && (!collection->visibleOnly || ::IsWindowVisible(window)))
    collection->dialogs.push_back(window);
  return TRUE;
}

std::vector<HWND> DialogsOf(DWORD thread, bool visibleOnly) {
  Collection collection{visibleOnly, {}};
  ::EnumThreadWindows(thread, &CollectDialog, reinterpret_cast<LPARAM>(&collection));
  return collection.dialogs;
}

}  // namespace

ModalWatcher::ModalWatcher(DWORD uiThread, std::function<void(HWND)> answer)
    : m_uiThread(uiThread), m_answer(std::move(answer)), m_known(DialogsOf(uiThread, false)) {
  m_thread = std::thread([this] { Watch(); });
}

ModalWatcher::~ModalWatcher() {
  m_stop = true;
  m_thread.join();
}

void ModalWatcher::Watch() {
  while (!m_stop) {
    for (HWND dialog : DialogsOf(m_uiThread, true)) {
      if (std::find(m_known.begin(), m_known.end(), dialog) != m_known.end()) continue;
      m_known.push_back(dialog);
      // Give the dialog a moment to finish its own set-up.
      ::Sleep(100);
      m_answer(dialog);
      ++m_answered;
    }
    ::Sleep(20);
  }
}

MessageBoxAnswerer::MessageBoxAnswerer(int button)
    : m_watcher(::GetCurrentThreadId(), [this, button](HWND box) {
        // Other dialogs opened meanwhile are someone else's to answer.
        if (::GetDlgItem(box, 0xFFFF) == nullptr) return;
        SeenBox seen;
        wchar_t caption[256] = L"";
        ::GetWindowTextW(box, caption, ARRAYSIZE(caption));
        seen.caption = caption;
        seen.text = MessageBoxText(box);
        seen.style = static_cast<LONG>(::GetWindowLongPtrW(box, GWL_STYLE));
        {
          const std::lock_guard<std::mutex> hold(m_lock);
          m_boxes.push_back(seen);
        }
        PressDialogButton(box, button);
      }) {}

std::vector<SeenBox> MessageBoxAnswerer::Boxes() const {
  const std::lock_guard<std::mutex> hold(m_lock);
  return m_boxes;
}

namespace {

// The first visible edit box, whether it stands alone or inside the name combo box.
BOOL CALLBACK FindFileNameBox(HWND window, LPARAM found) {
  wchar_t name[32] = L"";
  ::GetClassNameW(window, name, ARRAYSIZE(name));
  if (_wcsicmp(name, L"Edit") == 0 && ::IsWindowVisible(window)) {
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

FileDialogAnswerer::FileDialogAnswerer(std::wstring names)
    : m_watcher(::GetCurrentThreadId(), [this, names](HWND dialog) {
        wchar_t caption[256] = L"";
        ::GetWindowTextW(dialog, caption, ARRAYSIZE(caption));
        {
          const std::lock_guard<std::mutex> hold(m_lock);
          m_caption = caption;
        }
        HWND edit = nullptr;
        ::EnumChildWindows(dialog, &FindFileNameBox, reinterpret_cast<LPARAM>(&edit));
        if (edit == nullptr) {
          PressDialogButton(dialog, IDCANCEL);
          return;
        }
        ::SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(names.c_str()));
        PressDialogButton(dialog, IDOK);
      }) {}

std::wstring FileDialogAnswerer::Caption() const {
  const std::lock_guard<std::mutex> hold(m_lock);
  return m_caption;
}

std::wstring Quoted(const std::wstring& text) {
  return L"\"" + text + L"\"";
}

}  // namespace testing_support
