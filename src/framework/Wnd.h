// The base of our window classes: a window handle, the messages it receives and what every
// window can do. A CWnd either subclasses an existing window (a control of a dialog
// template) or is a dialog it created itself (CDialogEx); in both cases the window's
// messages reach OnMessage first and whatever it leaves goes on to the window's own
// procedure.
#pragma once

#include <windows.h>

#include <string>

namespace framework {

class CWnd {
 public:
  CWnd() = default;
  CWnd(const CWnd&) = delete;
  CWnd& operator=(const CWnd&) = delete;
  virtual ~CWnd();

  HWND GetSafeHwnd() const { return m_hWnd; }

  // The object whose messages this window's messages reach, or null.
  static CWnd* FromHandle(HWND window);

  // Routes the messages of window through this object until the window is destroyed or
  // Unsubclass is called. False when the window does not exist or already has an
  // object of ours.
  bool Subclass(HWND window);
  bool SubclassDlgItem(int id, HWND parent) { return Subclass(::GetDlgItem(parent, id)); }
  void Unsubclass();

  // Called before the framework sees a message taken from the thread's queue for this
  // window or one of its children; true when the message is dealt with and must go no
  // further.
  virtual bool PreTranslateMessage(MSG& message);

  // Operations on the window.
  LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
    return ::SendMessageW(m_hWnd, message, wParam, lParam);
  }
  bool PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
    return ::PostMessageW(m_hWnd, message, wParam, lParam) != FALSE;
  }
  HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
  int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
  HWND GetParent() const { return ::GetParent(m_hWnd); }
  void EnableWindow(bool enable) const { ::EnableWindow(m_hWnd, enable ? TRUE : FALSE); }
  bool IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd) != FALSE; }
  bool IsWindowVisible() const { return ::IsWindowVisible(m_hWnd) != FALSE; }
  void ShowWindow(int command) const { ::ShowWindow(m_hWnd, command); }
  void SetWindowText(const std::wstring& text) const { ::SetWindowTextW(m_hWnd, text.c_str()); }
  std::wstring GetWindowText() const;
  // The text of child control id; empty when there is no such control.
  std::wstring GetDlgItemText(int id) const;
  void SetFocus() const { ::SetFocus(m_hWnd); }
  void Invalidate(bool erase = true) const { ::InvalidateRect(m_hWnd, nullptr, erase); }
  void RedrawWindow() const {
    ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  }
  RECT GetClientRect() const;
  DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_STYLE)); }
  // Removes and adds style bits; with frameFlags the frame is recalculated as well.
  void ModifyStyle(DWORD remove, DWORD add, UINT frameFlags = 0) const;
  bool SetTimer(UINT_PTR id, UINT milliseconds) const {
    return ::SetTimer(m_hWnd, id, milliseconds, nullptr) != 0;
  }
  void KillTimer(UINT_PTR id) const { ::KillTimer(m_hWnd, id); }

 protected:
  // Every message of the window, before its own procedure. True when handled; result is
  // then the message's answer.
  virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

  // Notifications the parent received from this control (WM_COMMAND, WM_NOTIFY,
  // WM_DRAWITEM, WM_CTLCOLOR...), offered to the control before the parent handles them.
  // True when the parent must not handle them as well.
  virtual bool OnReflectedMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

  // Just before subclassing starts: the window exists, no message has reached us yet.
  virtual void PreSubclassWindow() {}

  // The window's own procedure, for the messages OnMessage passes on.
  LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam);

  // Marks window as belonging to this object (dialogs do it themselves at creation).
  void AttachHandle(HWND window);
  void DetachHandle();

  HWND m_hWnd = nullptr;

 private:
  friend class CDialogEx;
  static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR id, DWORD_PTR reference);
  // Offers a parent's notification to the control it came from.
  static bool ReflectToChild(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

  bool m_subclassed = false;
};

// Offers message to PreTranslateMessage of the objects of its window and of that window's
// parents, innermost first, up to and including top. True when one of them took it.
bool PreTranslateInChain(MSG& message, HWND top);

}  // namespace framework
