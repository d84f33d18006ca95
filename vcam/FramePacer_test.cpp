#include "vcam/FramePacer.h"

#include <gtest/gtest.h>

#include <random>

namespace vcam {
namespace {

constexpr std::int64_t kInterval = 333333;

TEST(FramePacer, TheFirstFrameIsDueAtOnceAndTheRestOnAFixedSchedule) {
  CFramePacer pacer(kInterval);
  EXPECT_EQ(pacer.NextDue(5000), 5000);
  pacer.Sent();
  // Woken a little early or late, the schedule stays where it was.
  EXPECT_EQ(pacer.NextDue(5000 + kInterval - 20000), 5000 + kInterval);
  pacer.Sent();
  EXPECT_EQ(pacer.NextDue(5000 + 2 * kInterval + 30000), 5000 + 2 * kInterval);
  pacer.Sent();
  EXPECT_EQ(pacer.FramesSent(), 3);
}

TEST(FramePacer, CatchesUpAFewFramesButStartsAgainWhenFarBehind) {
  CFramePacer pacer(kInterval);
  pacer.NextDue(0);
  pacer.Sent();
  // Three frames late: those frames still go, one after the other.
  const std::int64_t late = 4 * kInterval;
  EXPECT_EQ(pacer.NextDue(late), kInterval);
  pacer.Sent();
  EXPECT_EQ(pacer.NextDue(late), 2 * kInterval);
  pacer.Sent();
  // A second's stall: the frames it missed are dropped.
  const std::int64_t stalled = 2 * kInterval + 10000000;
  EXPECT_EQ(pacer.NextDue(stalled), stalled);
}

TEST(FramePacer, KeepsTheRateOverTenSecondsOfJitteryWakeUps) {
  CFramePacer pacer(kInterval);
  std::mt19937 random(7);
  std::uniform_int_distribution<std::int64_t> jitter(0, 150000);  // up to 15 ms late
  std::int64_t now = 0;
  const std::int64_t end = 10 * 10000000;
  while (true) {
    const std::int64_t due = pacer.NextDue(now);
    if (due >= end) break;
    now = std::max(now, due) + jitter(random);  // the wait ends at or after the due time
    pacer.Sent();
  }
  // One frame every interval: 333333 units is a little under a thirtieth of a second.
  EXPECT_EQ(pacer.FramesSent(), 301);
}

}  // namespace
}  // namespace vcam
