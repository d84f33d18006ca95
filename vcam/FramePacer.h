// When each frame of a live stream is due, in stream time (100-nanosecond units): one
// frame every interval, on a fixed schedule so that the rate does not drift with the
// time each frame takes. No Win32 here.
#pragma once

#include <cstdint>

namespace vcam {

class CFramePacer {
 public:
  explicit CFramePacer(std::int64_t interval) : m_interval(interval) {}

  // The due time of the next frame. The first is due at once; after that each follows
  // the one before by the interval. A pacer more than a few frames behind (the machine
  // was busy) starts again from now rather than sending a burst of stale frames.
  std::int64_t NextDue(std::int64_t now);
  // The frame due at the last NextDue has gone out.
  void Sent() {
    m_due += m_interval;
    ++m_sent;
  }

  std::int64_t Interval() const { return m_interval; }
  std::int64_t FramesSent() const { return m_sent; }

 private:
  static constexpr std::int64_t kMostFramesBehind = 4;

  std::int64_t m_interval;
  std::int64_t m_due = 0;
  std::int64_t m_sent = 0;
  bool m_started = false;
};

}  // namespace vcam
