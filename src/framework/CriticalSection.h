// A critical section and a scoped hold on it.
#pragma once

#include <windows.h>

namespace framework {

class CCriticalSection {
 public:
  CCriticalSection() { ::InitializeCriticalSection(&m_section); }
  CCriticalSection(const CCriticalSection&) = delete;
  CCriticalSection& operator=(const CCriticalSection&) = delete;
  ~CCriticalSection() { ::DeleteCriticalSection(&m_section); }

  void Enter() { ::EnterCriticalSection(&m_section); }
  void Leave() { ::LeaveCriticalSection(&m_section); }

 private:
  CRITICAL_SECTION m_section;
};

class CCriticalSectionLock {
 public:
  explicit CCriticalSectionLock(CCriticalSection& section) : m_section(section) {
    m_section.Enter();
  }
  CCriticalSectionLock(const CCriticalSectionLock&) = delete;
  CCriticalSectionLock& operator=(const CCriticalSectionLock&) = delete;
  ~CCriticalSectionLock() { m_section.Leave(); }

 private:
  CCriticalSection& m_section;
};

}  // namespace framework
