// For checks that kill a process at a random moment: waits of random length whose end can
// fall anywhere, not only on the scheduler's ticks.
#pragma once

#include <random>

namespace testing_support {

// Waits microseconds: sleeps through all but the last stretch and busy-waits through that,
// so that the wait ends on time to the microsecond, also where a sleep lasts a whole tick.
void WaitMicroseconds(unsigned microseconds);

// Waits of random length from 0 to longestMicroseconds, the same ones for the same seed.
class CRandomMoments {
 public:
  CRandomMoments(unsigned seed, unsigned longestMicroseconds)
      : m_random(seed), m_length(0, longestMicroseconds) {}

  // The length of the next wait, in microseconds, for a wait on another thread.
  unsigned Next() { return m_length(m_random); }
  // The same from 0 to longestMicroseconds instead.
  unsigned Next(unsigned longestMicroseconds) {
    return std::uniform_int_distribution<unsigned>(0, longestMicroseconds)(m_random);
  }

  // Waits until the next moment; the microseconds waited.
  unsigned WaitForNext() {
    const unsigned microseconds = Next();
    WaitMicroseconds(microseconds);
    return microseconds;
  }

 private:
  std::mt19937 m_random;
  std::uniform_int_distribution<unsigned> m_length;
};

}  // namespace testing_support
