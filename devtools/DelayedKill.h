// Ends a process after a wait, on a thread of its own, as a crash or the task manager
// would: TerminateProcess with exit code kKilledExitCode. The wait can start when
// something happens (startWhen returns), so that the kill falls a given time after it.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <thread>

#include "testing/RandomMoment.h"

namespace devtools {

inline constexpr UINT kKilledExitCode = 9;

class CDelayedKill {
 public:
  // With startWhen, the wait starts when it returns true (on this object's thread); no kill
  // comes when it returns false.
  CDelayedKill(HANDLE process, unsigned waitMicroseconds, std::function<bool()> startWhen = nullptr)
      : m_thread([this, process, waitMicroseconds, startWhen = std::move(startWhen)] {
          if (startWhen && !startWhen()) return;
          testing_support::WaitMicroseconds(waitMicroseconds);
          m_issued = true;
          // Fails when the process has ended already.
          m_killed = ::TerminateProcess(process, kKilledExitCode) != FALSE;
        }) {}
  CDelayedKill(const CDelayedKill&) = delete;
  CDelayedKill& operator=(const CDelayedKill&) = delete;
  ~CDelayedKill() { Join(); }

  // Whether the wait is over and the kill on its way: what goes wrong in the process
  // from then on may be the kill's doing.
  bool Issued() const { return m_issued; }

  // Waits until the kill was made (or failed, or given up); whether it was made.
  bool Join() {
    if (m_thread.joinable()) m_thread.join();
    return m_killed;
  }

 private:
  std::atomic<bool> m_issued{false};
  std::atomic<bool> m_killed{false};
  std::thread m_thread;
};

}  // namespace devtools
