#include "testing/Wait.h"

#include <windows.h>

namespace testing_support {

bool WaitFor(const std::function<bool()>& done, unsigned timeoutMs) {
  const ULONGLONG end = ::GetTickCount64() + timeoutMs;
  while (!done()) {
    if (::GetTickCount64() >= end) return false;
    ::Sleep(50);
  }
  return true;
}

}  // namespace testing_support
