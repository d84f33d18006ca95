#include "devtools/PlumoraRemote.h"

#include <commctrl.h>

#include <cstring>
#include <functional>

#include "resources/resource.h"

namespace devtools {

namespace {

constexpr unsigned kPollMs = 5;
// The longest playlist row text read back.
constexpr size_t kRowTextLength = 1024;

struct WindowSearch {
  DWORD processId;
  HWND found;
};

BOOL CALLBACK MatchPlumoraWindow(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<WindowSearch*>(context);
  DWORD processId = 0;
  ::GetWindowThreadProcessId(window, &processId);
  if (search->processId != 0 && processId != search->processId) return TRUE;
  if (::GetPropW(window, kPlumoraWindowProperty) == nullptr) return TRUE;
  search->found = window;
  return FALSE;
}

}  // namespace

// Memory in another process, for list-view messages whose parameters point at data: the
// system carries such pointers across processes as they are.
class CRemoteMemory {
 public:
  CRemoteMemory(HANDLE process, size_t size)
      : m_process(process),
        m_address(
            ::VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)) {}
  CRemoteMemory(const CRemoteMemory&) = delete;
  CRemoteMemory& operator=(const CRemoteMemory&) = delete;
  ~CRemoteMemory() {
    if (m_address != nullptr) ::VirtualFreeEx(m_process, m_address, 0, MEM_RELEASE);
  }

  explicit operator bool() const { return m_address != nullptr; }
  BYTE* At(size_t offset) const { return static_cast<BYTE*>(m_address) + offset; }
  bool Write(size_t offset, const void* bytes, size_t size) const {
    SIZE_T written = 0;
    return ::WriteProcessMemory(m_process, At(offset), bytes, size, &written) && written == size;
  }
  bool Read(size_t offset, void* bytes, size_t size) const {
    SIZE_T read = 0;
    return ::ReadProcessMemory(m_process, At(offset), bytes, size, &read) && read == size;
  }

 private:
  HANDLE m_process;
  void* m_address;
};

namespace {

bool WaitUntil(const std::function<bool()>& done, unsigned timeoutMs) {
  const ULONGLONG end = ::GetTickCount64() + timeoutMs;
  while (!done()) {
    if (::GetTickCount64() >= end) return false;
    ::Sleep(kPollMs);
  }
  return true;
}

struct DialogSearch {
  HWND exclude;
  int controlId;
  HWND found;
};

BOOL CALLBACK MatchDialog(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<DialogSearch*>(context);
  wchar_t name[16] = L"";
  ::GetClassNameW(window, name, ARRAYSIZE(name));
  if (window == search->exclude || std::wcscmp(name, L"#32770") != 0 ||
      !::IsWindowVisible(window) || ::GetDlgItem(window, search->controlId) == nullptr)
    return TRUE;
  search->found = window;
  return FALSE;
}

}  // namespace

HWND FindPlumoraWindow(DWORD processId) {
  WindowSearch search{processId, nullptr};
  ::EnumWindows(&MatchPlumoraWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

CPlumoraRemote::CPlumoraRemote(HWND window, unsigned timeoutMs)
    : m_window(window), m_timeoutMs(timeoutMs) {
  m_threadId = ::GetWindowThreadProcessId(window, &m_processId);
  m_process.Reset(::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION |
                                    PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE,
                                FALSE, m_processId));
}

CPlumoraRemote::~CPlumoraRemote() = default;

const CRemoteMemory* CPlumoraRemote::ItemMemory() const {
  if (!m_itemMemory)
    m_itemMemory = std::make_unique<CRemoteMemory>(
        m_process.Get(), sizeof(LVITEMW) + kRowTextLength * sizeof(wchar_t));
  return *m_itemMemory ? m_itemMemory.get() : nullptr;
}

bool CPlumoraRemote::Running() const {
  return m_process && ::WaitForSingleObject(m_process.Get(), 0) == WAIT_TIMEOUT;
}

bool CPlumoraRemote::Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                          LRESULT* result) const {
  DWORD_PTR answer = 0;
  const bool sent = ::SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, m_timeoutMs,
                                          &answer) != 0;
  if (result != nullptr) *result = static_cast<LRESULT>(answer);
  return sent;
}

bool CPlumoraRemote::Answers(unsigned timeoutMs, unsigned* elapsedMs) const {
  const ULONGLONG start = ::GetTickCount64();
  DWORD_PTR answer = 0;
  const bool answered =
      ::SendMessageTimeoutW(m_window, WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &answer) != 0;
  if (elapsedMs != nullptr) *elapsedMs = static_cast<unsigned>(::GetTickCount64() - start);
  return answered;
}

int CPlumoraRemote::PlayMode() const {
  LRESULT selection = -1;
  if (!Send(::GetDlgItem(m_window, IDC_PLAY_MODE), CB_GETCURSEL, 0, 0, &selection)) return -1;
  return static_cast<int>(selection);
}

bool CPlumoraRemote::SetPlayMode(int mode) {
  const HWND list = ::GetDlgItem(m_window, IDC_PLAY_MODE);
  LRESULT selected = CB_ERR;
  return Send(list, CB_SETCURSEL, static_cast<WPARAM>(mode), 0, &selected) && selected == mode &&
         Send(m_window, WM_COMMAND, MAKEWPARAM(IDC_PLAY_MODE, CBN_SELCHANGE),
              reinterpret_cast<LPARAM>(list), nullptr);
}

bool CPlumoraRemote::ReadRows(std::vector<std::wstring>& rows) const {
  rows.clear();
  const HWND list = ::GetDlgItem(m_window, IDC_PLAYLIST);
  LRESULT count = 0;
  if (!Send(list, LVM_GETITEMCOUNT, 0, 0, &count)) return false;
  const CRemoteMemory* const remote = ItemMemory();
  if (remote == nullptr) return false;
  // An item description followed by room for its text.
  const CRemoteMemory& memory = *remote;
  for (int row = 0; row < count; ++row) {
    LVITEMW item{};
    item.iSubItem = 0;
    item.pszText = reinterpret_cast<wchar_t*>(memory.At(sizeof(LVITEMW)));
    item.cchTextMax = static_cast<int>(kRowTextLength);
    LRESULT length = 0;
    if (!memory.Write(0, &item, sizeof item) ||
        !Send(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
              reinterpret_cast<LPARAM>(memory.At(0)), &length) ||
        length < 0 || static_cast<size_t>(length) >= kRowTextLength)
      return false;
    std::wstring text(static_cast<size_t>(length), L'\0');
    if (!memory.Read(sizeof(LVITEMW), text.data(), text.size() * sizeof(wchar_t))) return false;
    rows.push_back(std::move(text));
  }
  return true;
}

bool CPlumoraRemote::SelectRow(int row) {
  const HWND list = ::GetDlgItem(m_window, IDC_PLAYLIST);
  const CRemoteMemory* const remote = ItemMemory();
  if (remote == nullptr) return false;
  const CRemoteMemory& memory = *remote;
  LVITEMW item{};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  // First no row selected (item -1 is every row), then the one.
  item.state = 0;
  LRESULT done = FALSE;
  if (!memory.Write(0, &item, sizeof item) ||
      !Send(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(memory.At(0)),
            &done) ||
      !done)
    return false;
  item.state = LVIS_SELECTED | LVIS_FOCUSED;
  return memory.Write(0, &item, sizeof item) &&
         Send(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
              reinterpret_cast<LPARAM>(memory.At(0)), &done) &&
         done;
}

int CPlumoraRemote::PlayingRow() const {
  // The image the window gives the playing row (its kPlayingImage).
  constexpr int kPlayingImage = 1;
  const HWND list = ::GetDlgItem(m_window, IDC_PLAYLIST);
  const CRemoteMemory* const memory = ItemMemory();
  LRESULT count = 0;
  if (memory == nullptr || !Send(list, LVM_GETITEMCOUNT, 0, 0, &count)) return -1;
  for (int row = 0; row < count; ++row) {
    LVITEMW item{};
    item.mask = LVIF_IMAGE;
    item.iItem = row;
    LRESULT got = FALSE;
    if (!memory->Write(0, &item, sizeof item) ||
        !Send(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(memory->At(0)), &got) || !got ||
        !memory->Read(0, &item, sizeof item))
      return -1;
    if (item.iImage == kPlayingImage) return row;
  }
  return -1;
}

std::wstring CPlumoraRemote::StatusText() const {
  return WindowText(::GetDlgItem(m_window, IDC_STATUS));
}

std::wstring CPlumoraRemote::WindowText(HWND window) const {
  std::wstring text;
  ReadWindowText(window, text);
  return text;
}

bool CPlumoraRemote::ReadWindowText(HWND window, std::wstring& text) const {
  text.clear();
  LRESULT length = 0;
  if (!Send(window, WM_GETTEXTLENGTH, 0, 0, &length) || length < 0) return false;
  std::wstring buffer(static_cast<size_t>(length) + 1, L'\0');
  if (!Send(window, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()), &length))
    return false;
  buffer.resize(static_cast<size_t>(length));
  text = std::move(buffer);
  return true;
}

bool CPlumoraRemote::Press(int id) {
  const HWND button = ::GetDlgItem(m_window, id);
  // A click cannot reach a disabled button.
  if (button == nullptr || !::IsWindowEnabled(button)) return false;
  return Send(m_window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button),
              nullptr);
}

HWND CPlumoraRemote::WaitForDialog(int controlId) const {
  DialogSearch search{m_window, controlId, nullptr};
  WaitUntil(
      [&] {
        ::EnumThreadWindows(m_threadId, &MatchDialog, reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr || !Running();
      },
      m_timeoutMs);
  return search.found;
}

HWND CPlumoraRemote::OpenSettings(std::wstring& shownRoot) {
  const HWND settingsButton = ::GetDlgItem(m_window, IDC_SETTINGS);
  // Posted: the dialog runs its own modal loop inside the handler.
  if (!::PostMessageW(m_window, WM_COMMAND, MAKEWPARAM(IDC_SETTINGS, BN_CLICKED),
                      reinterpret_cast<LPARAM>(settingsButton)))
    return nullptr;
  const HWND dialog = WaitForDialog(IDC_SETTING_OK);
  if (dialog == nullptr || !ReadWindowText(::GetDlgItem(dialog, IDC_STORAGE_ROOT), shownRoot))
    return nullptr;
  return dialog;
}

bool CPlumoraRemote::EnterStorageRoot(HWND dialog, const std::wstring& root) {
  return Send(::GetDlgItem(dialog, IDC_STORAGE_ROOT), WM_SETTEXT, 0,
              reinterpret_cast<LPARAM>(root.c_str()), nullptr);
}

bool CPlumoraRemote::CloseSettings(HWND dialog, bool confirm) {
  const int button = confirm ? IDC_SETTING_OK : IDC_SETTING_CANCEL;
  if (!Send(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
            reinterpret_cast<LPARAM>(::GetDlgItem(dialog, button)), nullptr))
    return false;
  return WaitUntil([&] { return !::IsWindow(dialog) || !Running(); }, m_timeoutMs) &&
         !::IsWindow(dialog);
}

bool CPlumoraRemote::Quit() {
  if (!::PostMessageW(m_window, WM_COMMAND, ID_TRAY_EXIT, 0)) return false;
  const HWND question = WaitForDialog(IDOK);
  return question != nullptr &&
         ::PostMessageW(question, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                        reinterpret_cast<LPARAM>(::GetDlgItem(question, IDOK)));
}

long CPlumoraRemote::WaitForExit(unsigned timeoutMs) const {
  DWORD exitCode = 0;
  if (!m_process || ::WaitForSingleObject(m_process.Get(), timeoutMs) != WAIT_OBJECT_0 ||
      !::GetExitCodeProcess(m_process.Get(), &exitCode))
    return -1;
  return static_cast<long>(exitCode);
}

}  // namespace devtools
