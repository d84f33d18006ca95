// libFuzzer target: any bytes as the frame channel's block. Whatever the header claims,
// finding the picture, hashing it and making a frame of it read nothing outside the
// block and write nothing outside the frame (AddressSanitizer watches both).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "vcam/ChangeWatch.h"
#include "vcam/ChannelPicture.h"
#include "vcam/FrameComposer.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // A copy of exactly the input's size, so that any read past it is caught.
  const std::vector<std::uint8_t> block(data, data + size);
  vcam::ChannelPicture picture;
  if (!vcam::FindChannelPicture(block.data(), block.size(), picture)) return 0;

  Check(picture.width > 0 && picture.height > 0);
  Check(picture.readableRows >= 1 && picture.readableRows <= picture.height);
  const std::uint8_t* end = block.data() + block.size();
  Check(vcam::PictureRowFromTop(picture, 0) + picture.width * 3 <= end);
  vcam::PictureFingerprint(picture);

  // A small frame keeps runs fast; the last input byte picks the pixel format.
  static vcam::CFrameComposer composer;
  const auto pixels = static_cast<vcam::PixelFormat>(data[size - 1] % 4);
  const vcam::OutputLayout layout = vcam::NaturalLayout({pixels, 64, 48});
  std::vector<std::uint8_t> frame(vcam::FrameBytes(layout));
  Check(composer.ComposePicture(picture, layout, frame.data(), frame.size()));
  return 0;
}
