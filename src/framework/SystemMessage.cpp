#include "framework/SystemMessage.h"

#include <memory>

namespace framework {

namespace {

struct LocalFree {
  void operator()(wchar_t* text) const { ::LocalFree(text); }
};

}  // namespace

std::wstring SystemMessageText(DWORD code) {
  wchar_t* text = nullptr;
  const DWORD length = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL), reinterpret_cast<wchar_t*>(&text),
      0, nullptr);
  const std::unique_ptr<wchar_t, LocalFree> owned(text);
  if (length == 0 || text == nullptr) return {};
  return std::wstring(text, length);
}

}  // namespace framework
