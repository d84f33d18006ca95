// A critical section and its scoped holder.
#pragma once

#include <windows.h>

namespace framework {

class CCriticalSection {
 public:
  CCriticalSection() { ::InitializeCriticalSection(&m_section); }
  CCriticalSection(const CCriticalSection&) = delete;
  CCriticalSection& operator=(const CCriticalSection&) = delete;
  ~CCriticalSection() { ::DeleteCriticalSection(&m_section); }

  void Lock() { ::EnterCriticalSection(&m_section); }
  void Unlock() { ::LeaveCriticalSection(&m_section); }

 private:
  CRITICAL_SECTION m_section;
};

class CAutoLock {
 public:
  explicit CAutoLock(CCriticalSection& section) : m_section(section) { m_section.Lock(); }
  CAutoLock(const CAutoLock&) = delete;
  CAutoLock& operator=(const CAutoLock&) = delete;
  ~CAutoLock() { m_section.Unlock(); }

 private:
  CCriticalSection& m_section;
};

}  // namespace framework
