#include "vcam/FrameComposer.h"

#include "vcam/PixelConversion.h"

namespace vcam {

bool CFrameComposer::ComposePicture(const ChannelPicture& picture, const OutputLayout& layout,
                                    std::uint8_t* frame, std::size_t frameBytes) {
  const std::size_t needed = FrameBytes(layout);
  if (needed == 0 || frameBytes < needed || frame == nullptr) return false;
  if (layout.pixels == PixelFormat::Rgb24) {
    m_scaler.Draw(picture,
                  RgbCanvas{frame, layout.width, layout.height, layout.stride, layout.bottomUp});
    return true;
  }
  const std::size_t stride = static_cast<std::size_t>(layout.width) * 3;
  m_canvas.resize(stride * layout.height);
  const RgbCanvas canvas{m_canvas.data(), layout.width, layout.height, stride, false};
  m_scaler.Draw(picture, canvas);
  return ConvertPicture(canvas, layout, frame, frameBytes);
}

}  // namespace vcam
