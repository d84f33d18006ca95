#include "testing/RandomMoment.h"

#include <windows.h>

namespace testing_support {

void WaitMicroseconds(unsigned microseconds) {
  // A sleep may last up to a tick (15.6 ms on Windows) longer than asked: it stops this
  // much before the end.
  constexpr LONGLONG kSpinMicroseconds = 20000;
  LARGE_INTEGER frequency, start, now;
  ::QueryPerformanceFrequency(&frequency);
  ::QueryPerformanceCounter(&start);
  const LONGLONG end = start.QuadPart + microseconds * frequency.QuadPart / 1000000;
  const LONGLONG spin = kSpinMicroseconds * frequency.QuadPart / 1000000;
  for (;;) {
    ::QueryPerformanceCounter(&now);
    const LONGLONG left = end - now.QuadPart;
    if (left <= 0) return;
    if (left > spin) ::Sleep(static_cast<DWORD>((left - spin) * 1000 / frequency.QuadPart));
  }
}

}  // namespace testing_support
