// Watches for a file to appear or go, spinning rather than sleeping: a save's temporary
// file lives a few milliseconds, less than a scheduler's tick.
#pragma once

#include <windows.h>

#include <atomic>
#include <string>
#include <thread>

namespace devtools {

// Waits until path exists (present) or does not (!present). False when process ended,
// timeoutMs passed or giveUp was set first.
bool WaitForFile(const std::wstring& path, bool present, HANDLE process, unsigned timeoutMs,
                 const std::atomic<bool>* giveUp = nullptr);

// Waits until a file at path is written anew: it appears, or one that is there when the
// wait starts (a temporary file a killed save left) is deleted and made again or changes
// its size or time stamp. Only attributes are read, so that the writer, which may open the
// file for itself alone, never finds it open. False when process ended or timeoutMs
// passed first.
bool WaitForNewFile(const std::wstring& path, HANDLE process, unsigned timeoutMs);

// Measures, on a thread of its own, how long a file that appears from now on lives: the
// microseconds from its appearance until it is gone again.
class CFileLifetime {
 public:
  CFileLifetime(std::wstring path, HANDLE process, unsigned timeoutMs);
  CFileLifetime(const CFileLifetime&) = delete;
  CFileLifetime& operator=(const CFileLifetime&) = delete;
  ~CFileLifetime() { Microseconds(); }

  // For once the file has come and gone: the measurement, or 0 when the file was not seen
  // at all (it lived too short a time for the watch, which then stops waiting for it).
  unsigned Microseconds() {
    m_over = true;
    if (m_thread.joinable()) m_thread.join();
    return m_microseconds;
  }

 private:
  std::atomic<bool> m_over{false};
  std::atomic<unsigned> m_microseconds{0};
  std::thread m_thread;
};

}  // namespace devtools
