// The card that a client sees instead of black or garbage: before any writer, under a
// header that cannot be trusted, and when the picture has stopped changing.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <random>
#include <thread>

#include "vcam/testing/CameraDevices.h"
#include "vcam/testing/CaptureGraph.h"
#include "vcam/testing/TestChannel.h"

namespace vcam {
namespace {

using namespace testing_support;

class CameraPlaceholderTest : public ::testing::Test {
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

  // A running graph at the format, with its first frame already through.
  std::unique_ptr<CCaptureGraph> Running(const VideoFormat& format) {
    auto graph = std::make_unique<CCaptureGraph>();
    if (!graph->Ready() || FAILED(graph->Connect(format)) || FAILED(graph->Run()) ||
        !graph->WaitForFrames(1, 5000))
      return nullptr;
    return graph;
  }

  std::unique_ptr<CCameraRegistration> m_registration;
};

TEST_F(CameraPlaceholderTest, BeforeAnyWriterEveryFrameIsTheCard) {
  ASSERT_FALSE(ChannelExists()) << "another process holds the frame channel";
  for (std::uint32_t width : {320u, 640u, 1280u}) {
    SCOPED_TRACE(width);
    const auto graph = Running({PixelFormat::Rgb24, width, width == 1280 ? 720u : width * 3 / 4});
    ASSERT_NE(graph, nullptr);
    const OutputLayout layout = graph->ConnectedLayout();
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(ShowsCard(layout, graph->NextFrame().bytes));
  }
}

struct HeaderCase {
  std::uint16_t width, height;
  const char* what;
};

TEST_F(CameraPlaceholderTest, HeadersThatCannotBeTrustedGiveTheCardAndNoCrash) {
  CTestChannel channel;
  ASSERT_TRUE(channel.Ready());
  const auto graph = Running({PixelFormat::Rgb24, 640, 480});
  ASSERT_NE(graph, nullptr);
  const OutputLayout layout = graph->ConnectedLayout();
  const HeaderCase cases[] = {
      {0, 0, "nothing written"},
      {0, 480, "no width"},
      {640, 0, "no height"},
      {65535, 65535, "the largest header, far beyond the block"},
      {65535, 92, "the widest picture, rows beyond the block"},
      {3000, 2001, "one row beyond the block"},
  };
  for (const HeaderCase& c : cases) {
    SCOPED_TRACE(c.what);
    // A good picture first, so that the card is the header's doing.
    channel.WriteSolid(320, 240, 10, 200, 10);
    graph->NextFrame();
    ASSERT_FALSE(ShowsCard(layout, graph->NextFrame().bytes));
    channel.WriteHeader(c.width, c.height);
    graph->NextFrame();
    EXPECT_TRUE(ShowsCard(layout, graph->NextFrame().bytes));
  }
  // The widest picture that does fit: a line across the middle, no card.
  channel.WriteHeader(65535, 1);
  graph->NextFrame();
  const GrabbedFrame line = graph->NextFrame();
  EXPECT_FALSE(ShowsCard(layout, line.bytes));
  EXPECT_EQ(PixelAt(layout, line.bytes, 320, 100).green, 0);
  EXPECT_HRESULT_SUCCEEDED(graph->Stop());
}

TEST_F(CameraPlaceholderTest, HeadersChangingUnderTheReaderNeverCrashIt) {
  // A writer that rewrites the header as fast as it can, with sizes that fit and sizes
  // that do not, while the camera scales into I420 at its largest size.
  CTestChannel channel;
  ASSERT_TRUE(channel.Ready());
  const auto graph = Running({PixelFormat::I420, 1280, 720});
  ASSERT_NE(graph, nullptr);
  std::atomic<bool> stop{false};
  std::thread scribbler([&] {
    std::mt19937 random(11);
    std::uniform_int_distribution<int> size(0, 65535);
    std::uniform_int_distribution<int> small(1, 3000);
    while (!stop) {
      channel.WriteHeader(static_cast<std::uint16_t>(size(random)),
                          static_cast<std::uint16_t>(size(random)));
      channel.WriteHeader(static_cast<std::uint16_t>(small(random)),
                          static_cast<std::uint16_t>(small(random)));
    }
  });
  const std::size_t before = graph->FrameCount();
  ::Sleep(3000);
  stop = true;
  scribbler.join();
  // Still streaming at its pace.
  EXPECT_GE(graph->FrameCount(), before + 75);
  EXPECT_TRUE(graph->WaitForFrames(graph->FrameCount() + 3, 2000));
  EXPECT_HRESULT_SUCCEEDED(graph->Stop());
}

TEST_F(CameraPlaceholderTest, APictureThatStopsChangingGivesWayToTheCardUntilItChanges) {
  CTestChannel channel;
  ASSERT_TRUE(channel.Ready());
  channel.WriteSolid(320, 240, 200, 30, 30);
  const auto graph = Running({PixelFormat::Rgb24, 320, 240});
  ASSERT_NE(graph, nullptr);
  const OutputLayout layout = graph->ConnectedLayout();
  EXPECT_FALSE(ShowsCard(layout, graph->NextFrame().bytes));

  // A paused player writes nothing: the same picture for a few seconds is the card.
  ::Sleep(4000);
  EXPECT_FALSE(ShowsCard(layout, graph->NextFrame().bytes));
  ::Sleep(1500);
  EXPECT_TRUE(ShowsCard(layout, graph->NextFrame().bytes));

  // Playing again: the picture is back within half a second.
  channel.WriteSolid(320, 240, 200, 30, 30, 1);
  ::Sleep(500);
  const GrabbedFrame frame = graph->NextFrame();
  EXPECT_FALSE(ShowsCard(layout, frame.bytes));
  EXPECT_EQ(PixelAt(layout, frame.bytes, 160, 120).blue, 200);
  EXPECT_HRESULT_SUCCEEDED(graph->Stop());
}

}  // namespace
}  // namespace vcam
