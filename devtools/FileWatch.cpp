#include "devtools/FileWatch.h"

namespace devtools {

namespace {

LONGLONG Now() {
  LARGE_INTEGER now;
  ::QueryPerformanceCounter(&now);
  return now.QuadPart;
}

LONGLONG TicksPerSecond() {
  LARGE_INTEGER frequency;
  ::QueryPerformanceFrequency(&frequency);
  return frequency.QuadPart;
}

}  // namespace

bool WaitForFile(const std::wstring& path, bool present, HANDLE process, unsigned timeoutMs,
                 const std::atomic<bool>* giveUp) {
  const LONGLONG end = Now() + timeoutMs * TicksPerSecond() / 1000;
  for (unsigned round = 0;; ++round) {
    if ((::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) == present) return true;
    if (giveUp != nullptr && *giveUp) return false;
    // Now and then, whether waiting still makes sense.
    if (round % 256 == 0 && (Now() >= end || ::WaitForSingleObject(process, 0) != WAIT_TIMEOUT))
      return false;
  }
}

bool WaitForNewFile(const std::wstring& path, HANDLE process, unsigned timeoutMs) {
  const auto read = [&path](WIN32_FILE_ATTRIBUTE_DATA& data) {
    return ::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data) != FALSE;
  };
  WIN32_FILE_ATTRIBUTE_DATA before{}, now{};
  bool seenGone = !read(before);
  const LONGLONG end = Now() + timeoutMs * TicksPerSecond() / 1000;
  for (unsigned round = 0;; ++round) {
    if (!read(now)) {
      seenGone = true;
    } else if (seenGone || now.nFileSizeLow != before.nFileSizeLow ||
               now.nFileSizeHigh != before.nFileSizeHigh ||
               ::CompareFileTime(&now.ftLastWriteTime, &before.ftLastWriteTime) != 0) {
      return true;
    }
    if (round % 256 == 0 && (Now() >= end || ::WaitForSingleObject(process, 0) != WAIT_TIMEOUT))
      return false;
  }
}

CFileLifetime::CFileLifetime(std::wstring path, HANDLE process, unsigned timeoutMs)
    : m_thread([this, path = std::move(path), process, timeoutMs] {
        if (!WaitForFile(path, true, process, timeoutMs, &m_over)) return;
        const LONGLONG appeared = Now();
        if (!WaitForFile(path, false, process, timeoutMs)) return;
        m_microseconds = static_cast<unsigned>((Now() - appeared) * 1000000 / TicksPerSecond());
      }) {}

}  // namespace devtools
