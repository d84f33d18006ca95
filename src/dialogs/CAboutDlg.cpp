#include "dialogs/CAboutDlg.h"

#include "app/ModulePaths.h"
#include "framework/DataExchange.h"
#include "resources/resource.h"

namespace dialogs {

std::wstring HelpPageUrl(const std::wstring& section) {
  return framework::ShippedPageUrl(app::GetModuleFolder(), L"help\\dovu.html", section);
}

CAboutDlg::CAboutDlg(framework::CWnd* parent) : CDialogEx(IDD_ABOUTBOX, parent) {}

void CAboutDlg::DoDataExchange(framework::CDataExchange& exchange) {
  framework::DDX_Control(exchange, IDC_ABOUT_LINK, m_link);
}

BOOL CAboutDlg::OnInitDialog() {
  CDialogEx::OnInitDialog();
  m_link.SetUrl(HelpPageUrl());
  return TRUE;
}

}  // namespace dialogs
