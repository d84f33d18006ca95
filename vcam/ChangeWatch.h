// Whether the channel's picture still changes. The channel carries no counter or clock,
// and a writer that pauses, stops or exits leaves its last frame in the block, so "the
// same picture for a while" is the only sign that nothing plays. No Win32 here.
#pragma once

#include <cstdint>

#include "vcam/ChannelPicture.h"

namespace vcam {

// A hash of the picture's size and of every readable pixel byte.
std::uint64_t PictureFingerprint(const ChannelPicture& picture);

class CChangeWatch {
 public:
  // How long an unchanged picture counts as still playing. A movie made from still
  // images holds each one for as many seconds as its maker chose, so this is a
  // compromise between showing a stopped player's last frame for long and showing the
  // card in the middle of such a movie.
  static constexpr std::int64_t kStaleAfterMs = 5000;

  // A look at the picture at nowMs (a monotonic clock in milliseconds).
  void Observe(std::uint64_t fingerprint, std::int64_t nowMs);
  // No picture: the next one seen counts as new.
  void Forget() { m_seen = false; }
  bool IsStale(std::int64_t nowMs) const;
  // Hashing a large picture costs about as much as scaling it; a few looks a second
  // are plenty to see a change within the time above.
  bool WantsLook(std::int64_t nowMs) const;

 private:
  static constexpr std::int64_t kLookEveryMs = 250;

  bool m_seen = false;
  std::uint64_t m_fingerprint = 0;
  std::int64_t m_changedAtMs = 0;
  std::int64_t m_lookedAtMs = 0;
};

}  // namespace vcam
