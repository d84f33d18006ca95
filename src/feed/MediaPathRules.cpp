#include "feed/MediaPathRules.h"

#include <cwctype>

namespace feed {

bool IsWindowsMediaPath(const std::wstring& path) {
  std::wstring lowered = path.substr(0, 259);
  for (wchar_t& c : lowered) c = static_cast<wchar_t>(std::towlower(c));
  for (const wchar_t* extension : {L".asf", L".wma", L".wmv"})
    if (lowered.find(extension) != std::wstring::npos) return true;
  return false;
}

}  // namespace feed
