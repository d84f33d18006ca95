#include "framework/ExecutableFolder.h"

#include <windows.h>

namespace framework {

bool QueryExecutableFolder(std::wstring& folder) {
  // The longest path the system allows; MAX_PATH is only where the search starts.
  constexpr DWORD kLongestPath = 32768;
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD size = static_cast<DWORD>(path.size());
    const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), size);
    if (length == 0) return false;
    if (length < size) {
      path.resize(length);
      break;
    }
    // Cut short: the buffer was too small.
    if (size >= kLongestPath) {
      ::SetLastError(ERROR_INSUFFICIENT_BUFFER);
      return false;
    }
    path.resize(size * 2);
  }
  const size_t separator = path.find_last_of(L"\\/");
  folder = separator == std::wstring::npos ? std::wstring() : path.substr(0, separator + 1);
  return true;
}

}  // namespace framework
