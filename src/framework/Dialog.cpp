#include "framework/Dialog.h"

#include "framework/DataExchange.h"

namespace framework {

CDialogEx::CDialogEx(UINT templateId, CWnd* parent) : m_templateId(templateId), m_parent(parent) {}

CDialogEx::~CDialogEx() {
  DestroyWindow();
}

INT_PTR CDialogEx::DoModal() {
  HWND owner = m_parent != nullptr ? m_parent->GetSafeHwnd() : ::GetActiveWindow();
  m_modal = true;
  m_endModal = false;
  m_modalResult = -1;
  if (::CreateDialogParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(m_templateId), owner,
                           &CDialogEx::DialogProc, reinterpret_cast<LPARAM>(this)) == nullptr) {
    m_modal = false;
    return -1;
  }
  // EndDialog may already have been called by OnInitDialog.
  const bool ownerWasEnabled = owner != nullptr && ::IsWindowEnabled(owner);
  if (ownerWasEnabled) ::EnableWindow(owner, FALSE);
  if (!m_endModal) ShowWindow(SW_SHOW);

  MSG message;
  while (!m_endModal) {
    const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) {
      // Leave WM_QUIT for the loop outside.
      ::PostQuitMessage(static_cast<int>(message.wParam));
      break;
    }
    if (got == -1) break;
    if (PreTranslateInChain(message, m_hWnd)) continue;
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }

  // The owner gets the activation back before this window goes away.
  if (ownerWasEnabled) ::EnableWindow(owner, TRUE);
  if (owner != nullptr && ::GetActiveWindow() == m_hWnd) ::SetActiveWindow(owner);
  DestroyWindow();
  m_modal = false;
  return m_modalResult;
}

bool CDialogEx::Create(HWND parent) {
  m_modal = false;
  return ::CreateDialogParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(m_templateId), parent,
                              &CDialogEx::DialogProc, reinterpret_cast<LPARAM>(this)) != nullptr;
}

void CDialogEx::EndDialog(INT_PTR result) {
  if (m_modal) {
    m_modalResult = result;
    m_endModal = true;
    // Wakes the modal loop if it is waiting for a message.
    PostMessage(WM_NULL);
  } else {
    DestroyWindow();
  }
}

void CDialogEx::DestroyWindow() {
  if (m_hWnd != nullptr && ::IsWindow(m_hWnd)) ::DestroyWindow(m_hWnd);
}

bool CDialogEx::UpdateData(bool saveAndValidate) {
  CDataExchange exchange(*this, saveAndValidate);
  DoDataExchange(exchange);
  return !exchange.Failed();
}

void CDialogEx::OnOK() {
  if (UpdateData(true)) EndDialog(IDOK);
}

bool CDialogEx::PreTranslateMessage(MSG& message) {
  return ::IsDialogMessageW(m_hWnd, &message) != FALSE;
}

bool CDialogEx::OnMessage(UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
  if (message != WM_COMMAND || HIWORD(wParam) != BN_CLICKED) return false;
  if (LOWORD(wParam) == IDOK) {
    OnOK();
  } else if (LOWORD(wParam) == IDCANCEL) {
    OnCancel();
  } else {
    return false;
  }
  result = 0;
  return true;
}

bool CDialogEx::AnswersDirectly(UINT message) {
  // Messages whose answer is the dialog procedure's return value itself.
  switch (message) {
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
    case WM_INITDIALOG:
      return true;
    default:
      return false;
  }
}

INT_PTR CALLBACK CDialogEx::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  CDialogEx* self = nullptr;
  if (message == WM_INITDIALOG) {
    self = reinterpret_cast<CDialogEx*>(lParam);
    self->AttachHandle(window);
    CDataExchange exchange(*self, false);
    self->DoDataExchange(exchange);
    return self->OnInitDialog();
  }
  self = static_cast<CDialogEx*>(FromHandle(window));
  if (self == nullptr) return FALSE;
  if (message == WM_NCDESTROY) {
    self->DetachHandle();
    if (self->m_modal) self->m_endModal = true;
    return FALSE;
  }

  LRESULT result = 0;
  bool handled = ReflectToChild(message, wParam, lParam, result);
  if (!handled) handled = self->OnMessage(message, wParam, lParam, result);
  if (!handled) return FALSE;
  if (AnswersDirectly(message)) return static_cast<INT_PTR>(result);
  ::SetWindowLongPtrW(window, DWLP_MSGRESULT, result);
  return TRUE;
}

}  // namespace framework
