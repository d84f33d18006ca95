// What a client of the camera receives while a writer fills the frame channel from
// another process: the same pictures, scaled with black bars, in every pixel format, at
// a steady 30 frames a second.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <memory>
#include <set>

#include "testing/Process.h"
#include "vcam/PixelConversion.h"
#include "vcam/testing/CameraDevices.h"
#include "vcam/testing/CaptureGraph.h"
#include "vcam/testing/TestChannel.h"

namespace vcam {
namespace {

using namespace testing_support;

class CameraStreamTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_HRESULT_SUCCEEDED(::CoInitializeEx(nullptr, COINIT_MULTITHREADED));
    m_registration = std::make_unique<CCameraRegistration>();
    ASSERT_TRUE(m_registration->Succeeded());
  }
  void TearDown() override {
    m_registration.reset();
    ::CoUninitialize();
  }

  static std::wstring Program(const wchar_t* name) {
    return ::testing_support::ProgramFolder() + L"\\" + name;
  }

  std::unique_ptr<CCameraRegistration> m_registration;
};

// ---- the video that the player plays, from another process

// The test video (tools/make-test-media.sh): 160 x 120, 60 frames; the top half a barcode
// of the frame's index (8 columns of 20 pixels, lowest bit left, white = 1), the bottom
// half blue 200, green 100, red 50. The .bgr file holds its frames top row first.
constexpr int kVideoWidth = 160, kVideoHeight = 120, kVideoFrames = 60;

std::vector<std::uint8_t> ReadFile(const std::wstring& path) {
  std::ifstream in(path.c_str(), std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

int BarcodeIndex(const OutputLayout& layout, const std::vector<std::uint8_t>& frame) {
  const std::uint32_t scale = layout.width / kVideoWidth;
  int index = 0;
  for (int bit = 0; bit < 8; ++bit)
    if (PixelAt(layout, frame, (bit * 20 + 10) * scale, 30 * scale).green > 128) index |= 1 << bit;
  return index;
}

// Mean difference per colour byte between a grabbed frame and the source frame blown up
// to its size by repeating pixels (the camera blends neighbours instead, which matters
// only along the barcode's edges).
double MeanDifference(const OutputLayout& layout, const std::vector<std::uint8_t>& frame,
                      const std::uint8_t* source) {
  const std::uint32_t scale = layout.width / kVideoWidth;
  double total = 0;
  for (std::uint32_t y = 0; y < layout.height; ++y)
    for (std::uint32_t x = 0; x < layout.width; ++x) {
      const Pixel grabbed = PixelAt(layout, frame, x, y);
      const std::uint8_t* expected = source + ((y / scale) * kVideoWidth + x / scale) * 3;
      total += std::abs(grabbed.blue - expected[0]) + std::abs(grabbed.green - expected[1]) +
               std::abs(grabbed.red - expected[2]);
    }
  return total / (3.0 * layout.width * layout.height);
}

TEST_F(CameraStreamTest, AClientSeesTheVideoThatPlumoraPlaysInAnotherProcess) {
  const std::wstring media = std::wstring(PLUMORA_TEST_MEDIA_DIR) + L"\\raw.avi";
  const std::vector<std::uint8_t> source = ReadFile(media + L".bgr");
  ASSERT_EQ(source.size(), static_cast<std::size_t>(kVideoWidth * kVideoHeight * 3 * kVideoFrames));

  ::testing_support::ChildProcess player(Program(L"play-to-camera.exe"),
                                         L"\"" + media + L"\" --seconds 12");
  ASSERT_TRUE(player.Started());
  ASSERT_TRUE(WaitForChannelPicture(kVideoWidth, kVideoHeight, 10000));

  for (std::uint32_t width : {320u, 640u}) {
    SCOPED_TRACE(width);
    CCaptureGraph graph;
    ASSERT_TRUE(graph.Ready());
    ASSERT_HRESULT_SUCCEEDED(graph.Connect({PixelFormat::Rgb24, width, width * 3 / 4}));
    graph.KeepFrames(45);
    ASSERT_HRESULT_SUCCEEDED(graph.Run());
    ASSERT_TRUE(graph.WaitForFrames(45, 10000));
    ASSERT_HRESULT_SUCCEEDED(graph.Stop());

    const OutputLayout layout = graph.ConnectedLayout();
    std::set<int> indices;
    int matching = 0;
    const std::vector<GrabbedFrame> frames = graph.KeptFrames();
    for (const GrabbedFrame& frame : frames) {
      ASSERT_EQ(frame.bytes.size(), FrameBytes(layout));
      const int index = BarcodeIndex(layout, frame.bytes);
      if (index >= kVideoFrames) continue;  // a torn frame can mix two barcodes
      const double difference = MeanDifference(
          layout, frame.bytes, source.data() + index * kVideoWidth * kVideoHeight * 3);
      if (difference < 6) {
        ++matching;
        indices.insert(index);
      }
    }
    // A few frames may be torn (the channel has no lock) or caught between files.
    EXPECT_GE(matching, static_cast<int>(frames.size()) * 8 / 10);
    EXPECT_GE(indices.size(), 15u);  // moving video, not one frame again and again
  }
}

// ---- bars, from another process

struct BarsCase {
  std::uint32_t pictureWidth, pictureHeight;
  std::uint32_t x, y, width, height;  // where the picture lands in 640 x 480
};

TEST_F(CameraStreamTest, PicturesOfAnotherShapeKeepTheirAspectRatioBetweenBlackBars) {
  const BarsCase cases[] = {
      {320, 180, 0, 60, 640, 360},   // 16:9: bars above and below
      {180, 320, 185, 0, 270, 480},  // 9:16: bars left and right
  };
  for (const BarsCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.pictureWidth << "x" << c.pictureHeight);
    ::testing_support::ChildProcess writer(
        Program(L"channel-pattern-writer.exe"),
        std::to_wstring(c.pictureWidth) + L" " + std::to_wstring(c.pictureHeight) + L" 3");
    ASSERT_TRUE(writer.Started());
    ASSERT_TRUE(WaitForChannelPicture(static_cast<std::uint16_t>(c.pictureWidth),
                                      static_cast<std::uint16_t>(c.pictureHeight), 10000));
    CCaptureGraph graph;
    ASSERT_TRUE(graph.Ready());
    ASSERT_HRESULT_SUCCEEDED(graph.Connect({PixelFormat::Rgb32, 640, 480}));
    ASSERT_HRESULT_SUCCEEDED(graph.Run());
    graph.NextFrame();
    const GrabbedFrame frame = graph.NextFrame();
    ASSERT_HRESULT_SUCCEEDED(graph.Stop());
    const OutputLayout layout = graph.ConnectedLayout();
    ASSERT_EQ(frame.bytes.size(), FrameBytes(layout));

    const auto at = [&](std::uint32_t x, std::uint32_t y) {
      return PixelAt(layout, frame.bytes, x, y);
    };
    const auto is = [](const Pixel& pixel, int blue, int green, int red) {
      return std::abs(pixel.blue - blue) <= 2 && std::abs(pixel.green - green) <= 2 &&
             std::abs(pixel.red - red) <= 2;
    };
    // Bars: black, up to the pixel next to the picture.
    for (std::uint32_t y = 0; y < 480; y += 7) {
      for (std::uint32_t x = 0; x < 640; x += 5) {
        const bool inside = x >= c.x && x < c.x + c.width && y >= c.y && y < c.y + c.height;
        if (!inside) {
          ASSERT_TRUE(is(at(x, y), 0, 0, 0)) << x << "," << y;
        }
      }
    }
    const std::uint32_t middleX = c.x + c.width / 2, middleY = c.y + c.height / 2;
    if (c.y > 0) {
      EXPECT_TRUE(is(at(middleX, c.y - 1), 0, 0, 0));
      EXPECT_TRUE(is(at(middleX, c.y + c.height), 0, 0, 0));
    }
    if (c.x > 0) {
      EXPECT_TRUE(is(at(c.x - 1, middleY), 0, 0, 0));
      EXPECT_TRUE(is(at(c.x + c.width, middleY), 0, 0, 0));
    }
    // Each quadrant in its place, the right way up and in its own colour.
    const std::uint32_t left = c.x + c.width / 4, right = c.x + c.width * 3 / 4;
    const std::uint32_t top = c.y + c.height / 4, bottom = c.y + c.height * 3 / 4;
    EXPECT_TRUE(is(at(left, top), 0, 0, 255));
    EXPECT_TRUE(is(at(right, top), 0, 255, 0));
    EXPECT_TRUE(is(at(left, bottom), 255, 0, 0));
    EXPECT_TRUE(is(at(right, bottom), 255, 255, 255));
    EXPECT_EQ(writer.Wait(15000), 0);
  }
}

// ---- every pixel format

TEST_F(CameraStreamTest, EveryPixelFormatCarriesThePictureAndItsBars) {
  // Orange, 16:9, written by this program: a client in any format sees orange between
  // bars above and below.
  CTestChannel channel;
  ASSERT_TRUE(channel.Ready());
  channel.WriteSolid(320, 180, 0, 140, 255);
  const Yuv orange = RgbToYuv(255, 140, 0), black = RgbToYuv(0, 0, 0);
  for (PixelFormat pixels :
       {PixelFormat::Rgb24, PixelFormat::Rgb32, PixelFormat::Yuy2, PixelFormat::I420}) {
    SCOPED_TRACE(static_cast<int>(pixels));
    CCaptureGraph graph;
    ASSERT_TRUE(graph.Ready());
    ASSERT_HRESULT_SUCCEEDED(graph.Connect({pixels, 640, 480}));
    ASSERT_HRESULT_SUCCEEDED(graph.Run());
    const GrabbedFrame frame = graph.NextFrame();
    ASSERT_HRESULT_SUCCEEDED(graph.Stop());
    const OutputLayout layout = graph.ConnectedLayout();
    ASSERT_EQ(layout.pixels, pixels);
    ASSERT_EQ(frame.bytes.size(), FrameBytes(layout));
    if (pixels == PixelFormat::Rgb24 || pixels == PixelFormat::Rgb32) {
      const Pixel picture = PixelAt(layout, frame.bytes, 320, 240);
      EXPECT_EQ(picture.blue, 0);
      EXPECT_EQ(picture.green, 140);
      EXPECT_EQ(picture.red, 255);
      const Pixel bar = PixelAt(layout, frame.bytes, 320, 20);
      EXPECT_EQ(bar.blue + bar.green + bar.red, 0);
      continue;
    }
    // Luma and the chroma pair of pixel (320, y); YUV frames are top row first.
    const auto yuv = [&](std::uint32_t y) {
      if (pixels == PixelFormat::Yuy2) {
        const std::uint8_t* pair = frame.bytes.data() + layout.stride * y + 320 * 2;
        return Yuv{pair[0], pair[1], pair[3]};
      }
      const std::uint8_t* u = frame.bytes.data() + layout.stride * layout.height;
      const std::uint8_t* v = u + layout.stride / 2 * (layout.height / 2);
      const std::size_t chroma = layout.stride / 2 * (y / 2) + 160;
      return Yuv{frame.bytes[layout.stride * y + 320], u[chroma], v[chroma]};
    };
    for (auto [y, expected] : {std::pair{240u, orange}, {20u, black}, {470u, black}}) {
      const Yuv got = yuv(y);
      EXPECT_NEAR(got.y, expected.y, 1) << y;
      EXPECT_NEAR(got.u, expected.u, 1) << y;
      EXPECT_NEAR(got.v, expected.v, 1) << y;
    }
  }
}

// A client that starts the camera and stops it again at once, as chat programs do while
// they probe a camera: every graph must release promptly, however soon it stops. (Under
// Wine a graph whose clock got its first advice just before the release used to hang in
// the release.)
TEST_F(CameraStreamTest, GraphsStoppedRightAfterTheirFirstFrameAreReleasedEveryTime) {
  CTestChannel channel;
  ASSERT_TRUE(channel.Ready());
  channel.WriteSolid(320, 240, 10, 20, 30);
  for (int round = 0; round < 25; ++round) {
    SCOPED_TRACE(round);
    CCaptureGraph graph;
    ASSERT_TRUE(graph.Ready());
    ASSERT_HRESULT_SUCCEEDED(graph.Connect({PixelFormat::Rgb24, 640, 480}));
    ASSERT_HRESULT_SUCCEEDED(graph.Run());
    EXPECT_FALSE(graph.NextFrame().bytes.empty());
    ASSERT_HRESULT_SUCCEEDED(graph.Stop());
  }
}

// ---- pacing

TEST_F(CameraStreamTest, SendsThirtyFramesASecondTimedByTheGraphClock) {
  CCaptureGraph graph;
  ASSERT_TRUE(graph.Ready());
  ASSERT_HRESULT_SUCCEEDED(graph.Connect({PixelFormat::Rgb24, 640, 480}));
  graph.KeepFrames(0);
  ASSERT_HRESULT_SUCCEEDED(graph.Run());
  ::Sleep(10500);
  ASSERT_HRESULT_SUCCEEDED(graph.Stop());

  const std::vector<GrabbedFrame> frames = graph.FrameTimes();
  ASSERT_GE(frames.size(), 250u);
  // Over ten seconds after the first half second.
  const double from = frames.front().arrivedSeconds + 0.5;
  std::vector<const GrabbedFrame*> measured;
  for (const GrabbedFrame& frame : frames)
    if (frame.arrivedSeconds >= from && frame.arrivedSeconds < from + 10)
      measured.push_back(&frame);
  ASSERT_GE(measured.size(), 2u);
  const double rate =
      (measured.size() - 1) / (measured.back()->arrivedSeconds - measured.front()->arrivedSeconds);
  EXPECT_NEAR(rate, 30.0, 30.0 * 0.03);

  // Time stamps: stream time, one frame interval long, one interval apart.
  int steady = 0;
  for (std::size_t i = 0; i < frames.size(); ++i) {
    ASSERT_TRUE(frames[i].timed);
    EXPECT_EQ(frames[i].stop - frames[i].start, 333333);
    if (i == 0) continue;
    ASSERT_GT(frames[i].start, frames[i - 1].start);
    if (frames[i].start - frames[i - 1].start == 333333) ++steady;
  }
  EXPECT_GE(steady, static_cast<int>(frames.size()) * 95 / 100);
  // The first frame is stamped near the start of the stream.
  EXPECT_LT(frames.front().start, 2000000);
}

}  // namespace
}  // namespace vcam
