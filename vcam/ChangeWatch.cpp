#include "vcam/ChangeWatch.h"

#include <cstring>

namespace vcam {

namespace {

constexpr std::uint64_t kMultiplier = 0x9E3779B97F4A7C15ull;

std::uint64_t Mix(std::uint64_t hash, std::uint64_t word) {
  hash ^= word;
  hash *= kMultiplier;
  return hash ^ (hash >> 29);
}

}  // namespace

std::uint64_t PictureFingerprint(const ChannelPicture& picture) {
  std::uint64_t hash = Mix(0, (static_cast<std::uint64_t>(picture.width) << 32) | picture.height);
  if (picture.readableRows == 0) return hash;
  // The readable rows are one run of bytes from the bottom row on.
  const std::size_t bytes =
      picture.stride * (picture.readableRows - 1) + static_cast<std::size_t>(picture.width) * 3;
  const std::uint8_t* at = picture.pixels;
  const std::uint8_t* const end = at + bytes;
  for (; end - at >= 8; at += 8) {
    std::uint64_t word;
    std::memcpy(&word, at, sizeof word);
    hash = Mix(hash, word);
  }
  std::uint64_t tail = 0;
  std::memcpy(&tail, at, static_cast<std::size_t>(end - at));
  return Mix(hash, tail);
}

void CChangeWatch::Observe(std::uint64_t fingerprint, std::int64_t nowMs) {
  m_lookedAtMs = nowMs;
  if (m_seen && fingerprint == m_fingerprint) return;
  m_seen = true;
  m_fingerprint = fingerprint;
  m_changedAtMs = nowMs;
}

bool CChangeWatch::IsStale(std::int64_t nowMs) const {
  return !m_seen || nowMs - m_changedAtMs >= kStaleAfterMs;
}

bool CChangeWatch::WantsLook(std::int64_t nowMs) const {
  return !m_seen || nowMs - m_lookedAtMs >= kLookEveryMs;
}

}  // namespace vcam
