#include "vcam/FrameProducer.h"

#include "feed/FrameLayout.h"
#include "vcam/PixelConversion.h"

namespace vcam {

CFrameProducer::CFrameProducer() : m_channel(feed::kFrameChannelName) {}

bool CFrameProducer::Fill(const OutputLayout& layout, std::uint8_t* frame, std::size_t frameBytes,
                          std::int64_t nowMs, Content* shown) {
  if (!m_channel.IsOpen() && nowMs >= m_nextOpenMs && !m_channel.Open())
    m_nextOpenMs = nowMs + kOpenRetryMs;

  ChannelPicture picture;
  const bool found =
      m_channel.IsOpen() && FindChannelPicture(m_channel.Bytes(), m_channel.Size(), picture);
  if (!found)
    m_watch.Forget();
  else if (m_watch.WantsLook(nowMs))
    m_watch.Observe(PictureFingerprint(picture), nowMs);

  if (found && !m_watch.IsStale(nowMs)) {
    if (shown != nullptr) *shown = Content::Picture;
    return m_composer.ComposePicture(picture, layout, frame, frameBytes);
  }
  if (shown != nullptr) *shown = Content::Card;
  return ConvertPicture(m_card.At(layout.width, layout.height), layout, frame, frameBytes);
}

}  // namespace vcam
