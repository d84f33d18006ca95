// Data exchange between a dialog's controls and its members, called from DoDataExchange:
// DDX_Control binds a control object to a control of the template (once, when the dialog
// is created); the value exchanges copy into the members when saving and back otherwise.
#pragma once

#include <string>

#include "framework/Dialog.h"

namespace framework {

class CDataExchange {
 public:
  CDataExchange(CDialogEx& dialog, bool saveAndValidate)
      : m_dialog(dialog), m_saveAndValidate(saveAndValidate) {}

  CDialogEx& Dialog() const { return m_dialog; }
  bool Saving() const { return m_saveAndValidate; }
  bool Failed() const { return m_failed; }
  // A value was refused; the control named gets the focus.
  void Fail(int controlId);

 private:
  CDialogEx& m_dialog;
  bool m_saveAndValidate;
  bool m_failed = false;
};

// Routes the messages of control id through control (the first time only).
void DDX_Control(CDataExchange& exchange, int id, CWnd& control);
// The text of control id.
void DDX_Text(CDataExchange& exchange, int id, std::wstring& value);
// The whole number in edit control id. Text that is not one is refused with the
// framework's message "请输入一个整数。" and leaves value as it was.
void DDX_Text(CDataExchange& exchange, int id, int& value);
// The radio group that starts with button id: the position of its checked button, -1 for
// none. The group runs up to the next control with the group style.
void DDX_Radio(CDataExchange& exchange, int id, int& value);
// The selected position of combo box id (-1 for none).
void DDX_CBIndex(CDataExchange& exchange, int id, int& value);
// The check state of button id (BST_UNCHECKED, BST_CHECKED, BST_INDETERMINATE).
void DDX_Check(CDataExchange& exchange, int id, int& value);

}  // namespace framework
