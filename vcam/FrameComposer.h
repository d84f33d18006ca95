// Makes output frames of any offered format from the channel's picture. No Win32 here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "vcam/ChannelPicture.h"
#include "vcam/FrameScaler.h"
#include "vcam/VideoFormats.h"

namespace vcam {

class CFrameComposer {
 public:
  // The channel's picture scaled into the frame with black bars. False, with nothing
  // written, when the frame is smaller than FrameBytes(layout).
  bool ComposePicture(const ChannelPicture& picture, const OutputLayout& layout,
                      std::uint8_t* frame, std::size_t frameBytes);

 private:
  CFrameScaler m_scaler;
  // RGB24 frames are scaled straight into the sample; other formats through this.
  std::vector<std::uint8_t> m_canvas;
};

}  // namespace vcam
