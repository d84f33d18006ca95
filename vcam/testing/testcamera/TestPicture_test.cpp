// The test cameras' picture and settings as plain functions: where the colours and the
// sequence blocks are in the bytes, and how a size list is read.
#include <gtest/gtest.h>

#include <vector>

#include "vcam/testing/testcamera/CameraSettings.h"
#include "vcam/testing/testcamera/TestCamera.h"
#include "vcam/testing/testcamera/TestPicture.h"

namespace testcamera {
namespace {

std::vector<std::uint8_t> Drawn(int camera, FrameSize size, std::uint32_t sequence) {
  std::vector<std::uint8_t> frame(FrameBytes(size.width, size.height), 0x5A);
  DrawFrame(camera, size.width, size.height, sequence, frame.data());
  return frame;
}

// Read straight from the bytes, as DirectShow lays out RGB24: bottom row first, rows
// padded to 4 bytes, blue before green before red.
Rgb RawPixel(const std::vector<std::uint8_t>& frame, FrameSize size, std::uint32_t x,
             std::uint32_t y) {
  const std::size_t stride = (size.width * 3 + 3) / 4 * 4;
  const std::size_t at = stride * (size.height - 1 - y) + x * 3;
  return {frame.at(at + 2), frame.at(at + 1), frame.at(at)};
}

TEST(TestCameraPictureTest, ColoursAndSequenceBlocksSitWhereTheHeaderSays) {
  // 322 pixels wide: rows of 966 bytes padded to 968, halves at x = 161 and y = 120.
  const FrameSize size{322, 240};
  const Rgb red{255, 0, 0}, green{0, 255, 0}, blue{0, 0, 255}, white{255, 255, 255};
  const Rgb yellow{255, 255, 0}, cyan{0, 255, 255}, magenta{255, 0, 255}, black{0, 0, 0};
  struct Case {
    int camera;
    std::uint32_t x, y;
    Rgb colour;
  };
  const Case cases[] = {
      // 0x80000001: the first and the last block white, the others black.
      {1, 0, 0, white},
      {1, 7, 7, white},
      {1, 8, 3, black},
      {1, 247, 4, black},
      {1, 248, 4, white},
      {1, 255, 7, white},
      // Beside the blocks and below them, the quadrants.
      {1, 256, 0, green},
      {1, 0, 8, red},
      {1, 160, 119, red},
      {1, 161, 119, green},
      {1, 160, 120, blue},
      {1, 161, 120, white},
      {1, 321, 239, white},
      {1, 0, 239, blue},
      {2, 0, 0, white},
      {2, 8, 0, black},
      {2, 0, 8, yellow},
      {2, 321, 0, cyan},
      {2, 0, 239, magenta},
      {2, 321, 239, black},
  };
  for (const Case& c : cases) {
    const std::vector<std::uint8_t> frame = Drawn(c.camera, size, 0x80000001u);
    EXPECT_EQ(RawPixel(frame, size, c.x, c.y), c.colour)
        << "camera " << c.camera << " at (" << c.x << ", " << c.y << ")";
    EXPECT_EQ(ExpectedPixel(c.camera, size.width, size.height, c.x, c.y, 0x80000001u), c.colour)
        << "camera " << c.camera << " at (" << c.x << ", " << c.y << ")";
  }
  // The padding bytes at the end of each row are left as zeros.
  const std::vector<std::uint8_t> frame = Drawn(1, size, 1);
  EXPECT_EQ(frame.at(966), 0);
  EXPECT_EQ(frame.at(967), 0);
}

TEST(TestCameraPictureTest, EveryPixelIsTheExpectedOne) {
  for (const FrameSize size : {FrameSize{256, 8}, FrameSize{257, 9}, FrameSize{64, 48}}) {
    for (const int camera : {1, 2}) {
      const std::vector<std::uint8_t> frame = Drawn(camera, size, 0x0F0F00FFu);
      EXPECT_EQ(PictureDifference(camera, size, 0x0F0F00FFu, frame), "")
          << "camera " << camera << ", " << size.width << "x" << size.height;
    }
  }
}

TEST(TestCameraPictureTest, SequenceNumbersReadBackAsDrawn) {
  for (const FrameSize size : {FrameSize{256, 8}, FrameSize{257, 9}, FrameSize{640, 480}}) {
    for (const std::uint32_t sequence : {0u, 1u, 2u, 0x12345678u, 0x80000000u, 0xFFFFFFFFu}) {
      EXPECT_EQ(DecodeSequenceNumber(Drawn(2, size, sequence), size), sequence)
          << size.width << "x" << size.height << ", " << sequence;
    }
  }
}

TEST(TestCameraPictureTest, FramesWithoutABlockRowCarryNoNumber) {
  struct Case {
    const char* what;
    FrameSize size;
    std::size_t keptBytes;  // 0: the whole frame
    bool greyBlock;
  };
  const Case cases[] = {
      {"narrower than 32 blocks", {255, 480}, 0, false},
      {"lower than a block", {640, 7}, 0, false},
      {"cut short of its top rows", {640, 480}, FrameBytes(640, 470), false},
      {"a block neither black nor white", {640, 480}, 0, true},
  };
  for (const Case& c : cases) {
    std::vector<std::uint8_t> frame = Drawn(1, c.size, 0xFFFFFFFFu);
    if (c.keptBytes != 0) frame.resize(c.keptBytes);
    if (c.greyBlock) {
      // The middle of block 5, on the buffer's last row but three.
      const std::size_t at = FrameStride(c.size.width) * (c.size.height - 1 - 4) + (5 * 8 + 4) * 3;
      frame[at] = frame[at + 1] = frame[at + 2] = 128;
    }
    EXPECT_EQ(DecodeSequenceNumber(frame, c.size), std::nullopt) << c.what;
  }
}

TEST(TestCameraSettingsTest, SizeListsKeepTheirOrderAndLeaveOutWhatIsNoSize) {
  struct Case {
    const wchar_t* text;
    std::vector<FrameSize> sizes;
  };
  const Case cases[] = {
      {L"640x480 1280x720 800x600", {{640, 480}, {1280, 720}, {800, 600}}},
      {L"  320X240,160x120  ", {{320, 240}, {160, 120}}},
      {L"640x480 camera 0x10 10x0 9000x10 12x -5x5 8192x8192", {{640, 480}, {8192, 8192}}},
      {L"", {}},
  };
  for (const Case& c : cases) {
    const std::vector<FrameSize> parsed = ParseSizes(c.text);
    ASSERT_EQ(parsed.size(), c.sizes.size()) << c.text;
    for (std::size_t i = 0; i < parsed.size(); ++i) {
      EXPECT_EQ(parsed[i], c.sizes[i]) << c.text;
    }
  }
}

}  // namespace
}  // namespace testcamera
