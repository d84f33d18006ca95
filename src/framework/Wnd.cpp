#include "framework/Wnd.h"

#include <commctrl.h>

namespace framework {

namespace {
// The window property that leads from a window handle to its object.
constexpr wchar_t kObjectProperty[] = L"Plumora.CWnd";
constexpr UINT_PTR kSubclassId = 0x504C554D;  // "PLUM"
}  // namespace

CWnd::~CWnd() {
  if (m_subclassed) Unsubclass();
  DetachHandle();
}

CWnd* CWnd::FromHandle(HWND window) {
  if (window == nullptr) return nullptr;
  return static_cast<CWnd*>(::GetPropW(window, kObjectProperty));
}

void CWnd::AttachHandle(HWND window) {
  m_hWnd = window;
  ::SetPropW(window, kObjectProperty, this);
}

void CWnd::DetachHandle() {
  if (m_hWnd != nullptr && FromHandle(m_hWnd) == this) ::RemovePropW(m_hWnd, kObjectProperty);
  m_hWnd = nullptr;
}

bool CWnd::Subclass(HWND window) {
  if (window == nullptr || !::IsWindow(window) || FromHandle(window) != nullptr ||
      m_hWnd != nullptr)
    return false;
  m_hWnd = window;
  PreSubclassWindow();
  if (!::SetWindowSubclass(window, &CWnd::SubclassProc, kSubclassId,
                           reinterpret_cast<DWORD_PTR>(this))) {
    m_hWnd = nullptr;
    return false;
  }
  m_subclassed = true;
  AttachHandle(window);
  return true;
}

void CWnd::Unsubclass() {
  if (!m_subclassed) return;
  ::RemoveWindowSubclass(m_hWnd, &CWnd::SubclassProc, kSubclassId);
  m_subclassed = false;
  DetachHandle();
}

LRESULT CALLBACK CWnd::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                    UINT_PTR, DWORD_PTR reference) {
  auto* self = reinterpret_cast<CWnd*>(reference);
  if (message == WM_NCDESTROY) {
    self->Unsubclass();
    return ::DefSubclassProc(window, message, wParam, lParam);
  }
  // A control can be a parent too (a combo box of its edit, a list of its header).
  LRESULT result = 0;
  if (ReflectToChild(message, wParam, lParam, result)) return result;
  if (self->OnMessage(message, wParam, lParam, result)) return result;
  return ::DefSubclassProc(window, message, wParam, lParam);
}

bool CWnd::ReflectToChild(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  HWND child = nullptr;
  switch (message) {
    case WM_COMMAND:
      child = reinterpret_cast<HWND>(lParam);
      break;
    case WM_NOTIFY:
      child = reinterpret_cast<const NMHDR*>(lParam)->hwndFrom;
      break;
    case WM_DRAWITEM:
      child = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)->hwndItem;
      break;
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR:
      child = reinterpret_cast<HWND>(lParam);
      break;
    default:
      return false;
  }
  CWnd* control = FromHandle(child);
  return control != nullptr && control->OnReflectedMessage(message, wParam, lParam, result);
}

bool CWnd::PreTranslateMessage(MSG&) {
  return false;
}

bool CWnd::OnMessage(UINT, WPARAM, LPARAM, LRESULT&) {
  return false;
}

bool CWnd::OnReflectedMessage(UINT, WPARAM, LPARAM, LRESULT&) {
  return false;
}

LRESULT CWnd::Default(UINT message, WPARAM wParam, LPARAM lParam) {
  if (m_subclassed) return ::DefSubclassProc(m_hWnd, message, wParam, lParam);
  return ::DefWindowProcW(m_hWnd, message, wParam, lParam);
}

namespace {

std::wstring TextOf(HWND window) {
  const int length = ::GetWindowTextLengthW(window);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const int copied = ::GetWindowTextW(window, text.data(), length + 1);
  text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
  return text;
}

}  // namespace

std::wstring CWnd::GetWindowText() const {
  return TextOf(m_hWnd);
}

std::wstring CWnd::GetDlgItemText(int id) const {
  HWND item = GetDlgItem(id);
  return item != nullptr ? TextOf(item) : std::wstring();
}

RECT CWnd::GetClientRect() const {
  RECT rect{};
  ::GetClientRect(m_hWnd, &rect);
  return rect;
}

void CWnd::ModifyStyle(DWORD remove, DWORD add, UINT frameFlags) const {
  const DWORD style = GetStyle();
  const DWORD changed = (style & ~remove) | add;
  if (changed != style) ::SetWindowLongPtrW(m_hWnd, GWL_STYLE, static_cast<LONG_PTR>(changed));
  if (frameFlags != 0)
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                   SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | frameFlags);
}

bool PreTranslateInChain(MSG& message, HWND top) {
  for (HWND window = message.hwnd; window != nullptr; window = ::GetParent(window)) {
    if (CWnd* object = CWnd::FromHandle(window); object != nullptr) {
      if (object->PreTranslateMessage(message)) return true;
    }
    if (window == top) break;
  }
  return false;
}

}  // namespace framework
