// Fills each output frame: the channel's picture while something plays, the placeholder
// card before any writer has written, under a header that cannot be trusted, or when
// the picture has not changed for a while.
#pragma once

#include <cstddef>
#include <cstdint>

#include "vcam/ChangeWatch.h"
#include "vcam/ChannelView.h"
#include "vcam/FrameComposer.h"
#include "vcam/PlaceholderCard.h"
#include "vcam/VideoFormats.h"

namespace vcam {

class CFrameProducer {
 public:
  CFrameProducer();

  enum class Content { Picture, Card };

  // nowMs: a monotonic clock in milliseconds. False, with nothing written, when the
  // frame is smaller than FrameBytes(layout).
  bool Fill(const OutputLayout& layout, std::uint8_t* frame, std::size_t frameBytes,
            std::int64_t nowMs, Content* shown = nullptr);

 private:
  // Looking for a block that does not exist costs a kernel call; twice a second is
  // soon enough for a player that starts.
  static constexpr std::int64_t kOpenRetryMs = 500;

  CChannelView m_channel;
  std::int64_t m_nextOpenMs = 0;
  CChangeWatch m_watch;
  CFrameComposer m_composer;
  CPlaceholderCard m_card;
};

}  // namespace vcam
