// Dialog windows made from dialog templates in the program's resources, modal or
// modeless. A dialog binds its controls in DoDataExchange, sets itself up in
// OnInitDialog and handles its messages in OnMessage (usually through a MessageMap).
//
// A modal dialog runs its own message loop, like the dialog framework this stands in
// for, so that PreTranslateMessage of the dialog and of its controls sees every message
// taken from the queue (tooltips and slider drags need that).
#pragma once

#include "framework/Wnd.h"

namespace framework {

class CDataExchange;

class CDialogEx : public CWnd {
 public:
  // templateId names the dialog resource; parent (may be null) owns the dialog.
  explicit CDialogEx(UINT templateId, CWnd* parent = nullptr);
  ~CDialogEx() override;

  // Shows the dialog and returns the value given to EndDialog, or -1 when the dialog
  // could not be created. The owner is disabled meanwhile.
  INT_PTR DoModal();

  // Creates the dialog as a modeless window (visible when its template says so).
  bool Create(HWND parent = nullptr);

  // Ends a modal dialog with result, or destroys a modeless one.
  void EndDialog(INT_PTR result);
  void DestroyWindow();

  // Moves the values of data-bound controls into the members (true) or the other way
  // (false). False when a value was refused.
  bool UpdateData(bool saveAndValidate = true);

  UINT TemplateId() const { return m_templateId; }

 protected:
  // Binds the dialog's controls and values to members.
  virtual void DoDataExchange(CDataExchange&) {}
  // After the controls are bound. True lets the system set the focus.
  virtual BOOL OnInitDialog() { return TRUE; }
  virtual void OnOK();
  virtual void OnCancel() { EndDialog(IDCANCEL); }

  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
  // Dialogs keep IsDialogMessage's keyboard handling after their own pre-translation.
  bool PreTranslateMessage(MSG& message) override;

 private:
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static bool AnswersDirectly(UINT message);

  UINT m_templateId;
  CWnd* m_parent;
  bool m_modal = false;
  bool m_endModal = false;
  INT_PTR m_modalResult = -1;
};

}  // namespace framework
