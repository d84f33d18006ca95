// The About box: the product's name, version and a link to its help page.
#pragma once

#include "framework/Dialog.h"
#include "framework/LinkCtrl.h"

namespace dialogs {

class CAboutDlg : public framework::CDialogEx {
 public:
  explicit CAboutDlg(framework::CWnd* parent = nullptr);

  const framework::CLinkCtrl& Link() const { return m_link; }

 protected:
  void DoDataExchange(framework::CDataExchange& exchange) override;
  BOOL OnInitDialog() override;

 private:
  framework::CLinkCtrl m_link;
};

// The program's help page shipped beside it, at a section ("" for the top).
std::wstring HelpPageUrl(const std::wstring& section = L"");

}  // namespace dialogs
