#include "framework/LinkCtrl.h"

#include <commctrl.h>
#include <shellapi.h>

namespace framework {

bool CLinkCtrl::Open() const {
  if (m_url.empty()) return false;
  const auto result = reinterpret_cast<INT_PTR>(
      ::ShellExecuteW(GetParent(), L"open", m_url.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
  return result > 32;
}

bool CLinkCtrl::OnReflectedMessage(UINT message, WPARAM, LPARAM lParam, LRESULT& result) {
  if (message != WM_NOTIFY) return false;
  const auto* header = reinterpret_cast<const NMHDR*>(lParam);
  if (header->code != NM_CLICK && header->code != NM_RETURN) return false;
  Open();
  result = 0;
  return true;
}

std::wstring ShippedPageUrl(const std::wstring& moduleFolder, const std::wstring& relativePath,
                            const std::wstring& anchor) {
  std::wstring url = L"file:///";
  for (wchar_t c : moduleFolder + relativePath) {
    // Characters a URL cannot hold as they are; other characters stay, the shell and the
    // browsers take them in file: URLs.
    switch (c) {
      case L'\\':
        url += L'/';
        break;
      case L' ':
        url += L"%20";
        break;
      case L'#':
        url += L"%23";
        break;
      case L'%':
        url += L"%25";
        break;
      default:
        url += c;
    }
  }
  if (!anchor.empty()) url += L"#" + anchor;
  return url;
}

}  // namespace framework
