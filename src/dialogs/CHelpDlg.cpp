#include "dialogs/CHelpDlg.h"

#include <iterator>

#include "dialogs/CAboutDlg.h"
#include "framework/DataExchange.h"
#include "framework/MessageMap.h"
#include "resources/resource.h"

namespace dialogs {

namespace {

// Each link and the section of the help page it opens ("" for the top of the page).
struct HelpLink {
  int id;
  const wchar_t* section;
};
constexpr HelpLink kHelpLinks[] = {
    {IDC_HELP_USE_IN_QQ, L"howuseinqq"},
    {IDC_HELP_QQ_SHOWS_MEDIA_FILE, L"howforuseinqq"},
    {IDC_HELP_IMAGES_TO_VIDEO, L"howforhasimage"},
    {IDC_HELP_ADD_VIDEOS, L"howaddmovie"},
    {IDC_HELP_DELETE_VIDEOS, L"howdeletemovie"},
    {IDC_HELP_RECORDING, L"howrecording"},
    {IDC_HELP_MORE, L""},
};
static_assert(std::size(kHelpLinks) == kHelpLinkCount);

}  // namespace

CHelpDlg::CHelpDlg(framework::CWnd* parent) : CDialogEx(IDD_HELP, parent) {}

const framework::CLinkCtrl* CHelpDlg::Link(int id) const {
  for (const framework::CLinkCtrl& link : m_links)
    if (link.GetSafeHwnd() != nullptr && link.GetDlgCtrlID() == id) return &link;
  return nullptr;
}

void CHelpDlg::DoDataExchange(framework::CDataExchange& exchange) {
  for (std::size_t i = 0; i < m_links.size(); ++i)
    framework::DDX_Control(exchange, kHelpLinks[i].id, m_links[i]);
}

BOOL CHelpDlg::OnInitDialog() {
  CDialogEx::OnInitDialog();
  for (std::size_t i = 0; i < m_links.size(); ++i)
    m_links[i].SetUrl(HelpPageUrl(kHelpLinks[i].section));
  return TRUE;
}

bool CHelpDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  using Map = framework::MessageMap<CHelpDlg>;
  static const Map::Entry kEntries[] = {
      Map::Command<&CHelpDlg::OnAbout>(IDC_HELP_ABOUT),
      Map::Command<&CHelpDlg::OnCancelButton>(IDC_HELP_CLOSE),
  };
  return Map::Dispatch(kEntries, *this, message, wParam, lParam, result) ||
         CDialogEx::OnMessage(message, wParam, lParam, result);
}

void CHelpDlg::OnAbout() {
  // Modal over this dialog, which stays open underneath.
  CAboutDlg about(this);
  about.DoModal();
}

}  // namespace dialogs
