#include "framework/CodePage.h"

#include <climits>

namespace framework {

bool ToCodePage(UINT codePage, std::wstring_view text, std::string& out) {
  out.clear();
  if (text.empty()) return true;
  if (text.size() > INT_MAX / 4) return false;
  const int length = static_cast<int>(text.size());
  // The UTF code pages refuse the best-fit flag; they hold every valid character anyway.
  const UINT actual = codePage == CP_ACP     ? ::GetACP()
                      : codePage == CP_OEMCP ? ::GetOEMCP()
                                             : codePage;
  const DWORD flags = (actual == CP_UTF8 || actual == CP_UTF7) ? 0 : WC_NO_BEST_FIT_CHARS;
  const int size =
      ::WideCharToMultiByte(codePage, flags, text.data(), length, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return false;
  out.resize(static_cast<size_t>(size));
  if (::WideCharToMultiByte(codePage, flags, text.data(), length, out.data(), size, nullptr,
                            nullptr) != size)
    return false;
  // A character the code page lacks comes back as something else (a "?", say).
  return FromCodePage(codePage, out) == text;
}

std::wstring FromCodePage(UINT codePage, std::string_view bytes) {
  if (bytes.empty() || bytes.size() > INT_MAX) return {};
  const int length = static_cast<int>(bytes.size());
  const int size = ::MultiByteToWideChar(codePage, 0, bytes.data(), length, nullptr, 0);
  if (size <= 0) return {};
  std::wstring text(static_cast<size_t>(size), L'\0');
  ::MultiByteToWideChar(codePage, 0, bytes.data(), length, text.data(), size);
  return text;
}

}  // namespace framework
