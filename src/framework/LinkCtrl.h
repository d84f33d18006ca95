// A hyperlink: a SysLink control of a dialog template that opens its address with the
// shell's "open" verb (the user's browser) when it is clicked or activated by the keyboard.
// The window holding it handles none of its messages.
#pragma once

#include <string>

#include "framework/Wnd.h"

namespace framework {

class CLinkCtrl : public CWnd {
 public:
  void SetUrl(const std::wstring& url) { m_url = url; }
  const std::wstring& GetUrl() const { return m_url; }

  // Opens the address; true when the shell took it.
  bool Open() const;

 protected:
  bool OnReflectedMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  std::wstring m_url;
};

// The address of a page shipped in the program's folder, as a file: URL with an optional
// anchor ("#section").
std::wstring ShippedPageUrl(const std::wstring& moduleFolder, const std::wstring& relativePath,
                            const std::wstring& anchor = L"");

}  // namespace framework
