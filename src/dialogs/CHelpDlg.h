// The Help dialog: links into the help page shipped beside the program, and the About box.
#pragma once

#include <array>

#include "framework/Dialog.h"
#include "framework/LinkCtrl.h"

namespace dialogs {

// The help topics listed, the last being the whole page.
inline constexpr std::size_t kHelpLinkCount = 7;

class CHelpDlg : public framework::CDialogEx {
 public:
  explicit CHelpDlg(framework::CWnd* parent = nullptr);

  // The link of control id, or null.
  const framework::CLinkCtrl* Link(int id) const;

 protected:
  void DoDataExchange(framework::CDataExchange& exchange) override;
  BOOL OnInitDialog() override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  void OnAbout();
  // The dialog's own close button ends it as Escape does.
  void OnCancelButton() { OnCancel(); }

  std::array<framework::CLinkCtrl, kHelpLinkCount> m_links;
};

}  // namespace dialogs
