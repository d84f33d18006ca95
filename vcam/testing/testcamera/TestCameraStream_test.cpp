// The test cameras streaming in graphs as clients build them: what the frames show, how
// fast they come, the sizes chosen, stills, the preview pin's variants, and stopping.
#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <thread>
#include <vector>

#include "framework/dshow/MediaType.h"
#include "vcam/testing/testcamera/CameraGraph.h"
#include "vcam/testing/testcamera/TestCamera.h"
#include "vcam/testing/testcamera/TestCameraFixture.h"

using Microsoft::WRL::ComPtr;

namespace testcamera {
namespace {

class TestCameraStreamTest : public CTestCameraFixture {};

constexpr unsigned kWaitMs = 10000;

void Pause(unsigned milliseconds) {
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

// Checks frames: each shows the camera's picture at `size`, numbered one after the other
// (when consecutive) if the size carries numbers. The numbers seen, in order.
std::vector<std::uint32_t> CheckFrames(int camera, FrameSize size,
                                       const std::vector<GrabbedFrame>& frames,
                                       bool consecutive = true) {
  // The top left quadrant's last row, below the number rows for every size used here, as
  // each camera films it.
  const Rgb topLeft = camera == 1 ? Rgb{255, 0, 0} : Rgb{255, 255, 0};
  const bool numbered = size.width >= kSequenceMinWidth;
  std::vector<std::uint32_t> numbers;
  for (const GrabbedFrame& frame : frames) {
    EXPECT_EQ(frame.bytes.size(), FrameBytes(size.width, size.height));
    EXPECT_EQ(PixelAt(frame.bytes, size, 0, size.height / 2 - 1), std::optional<Rgb>(topLeft));
    std::uint32_t number = 0;
    if (numbered) {
      const std::optional<std::uint32_t> decoded = DecodeSequenceNumber(frame.bytes, size);
      EXPECT_TRUE(decoded.has_value()) << "a frame without a readable number";
      if (!decoded) continue;
      number = *decoded;
      if (consecutive && !numbers.empty()) {
        EXPECT_EQ(number, numbers.back() + 1) << "frames lost or repeated";
      }
      numbers.push_back(number);
    }
    EXPECT_EQ(PictureDifference(camera, size, number, frame.bytes), "");
  }
  return numbers;
}

TEST_F(TestCameraStreamTest, FramesShowTheCamerasPictureAtItsFirstSize) {
  struct Case {
    int camera;
    const GUID* category;
    const wchar_t* sizes;
    FrameSize size;
  };
  const Case cases[] = {
      {1, &PIN_CATEGORY_PREVIEW, nullptr, {640, 480}},
      {2, &PIN_CATEGORY_PREVIEW, L"800x600 640x480", {800, 600}},
      {1, &PIN_CATEGORY_CAPTURE, L"322x242", {322, 242}},
      {2, &PIN_CATEGORY_CAPTURE, L"160x120 640x480", {160, 120}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "camera " << c.camera << ", " << c.size);
    CTestCameraSettings settings(c.camera);
    if (c.sizes != nullptr) {
      ASSERT_TRUE(settings.SetSizes(c.sizes));
    }
    CCameraGraph graph(c.camera);
    ASSERT_TRUE(graph.Ready());
    CGrabberBranch branch(graph.Graph());
    ASSERT_TRUE(branch.Ready());
    ASSERT_HRESULT_SUCCEEDED(graph.Render(*c.category, branch));
    EXPECT_EQ(branch.ConnectedSize(), c.size);
    EXPECT_EQ(LastFormat(c.camera), std::optional<FrameSize>(c.size));

    const LONG deliveredBefore = FramesDelivered(c.camera);
    ASSERT_HRESULT_SUCCEEDED(graph.Run());
    ASSERT_TRUE(branch.WaitForFrames(CGrabberBranch::kKeptFrames, kWaitMs));
    ASSERT_HRESULT_SUCCEEDED(graph.Stop());
    const std::vector<GrabbedFrame> frames = branch.KeptFrames();
    ASSERT_EQ(frames.size(), CGrabberBranch::kKeptFrames);
    CheckFrames(c.camera, c.size, frames);
    EXPECT_GE(FramesDelivered(c.camera) - deliveredBefore, static_cast<LONG>(branch.FrameCount()));
  }
}

TEST_F(TestCameraStreamTest, EachPinNumbersItsFramesFromOne) {
  CTestCameraSettings settings(1);
  ASSERT_TRUE(settings.SetFramesPerSecond(10));
  CCameraGraph graph(1);
  ASSERT_TRUE(graph.Ready());
  CGrabberBranch preview(graph.Graph()), capture(graph.Graph());
  ASSERT_HRESULT_SUCCEEDED(graph.Render(PIN_CATEGORY_PREVIEW, preview));
  ASSERT_HRESULT_SUCCEEDED(graph.Render(PIN_CATEGORY_CAPTURE, capture));
  ASSERT_HRESULT_SUCCEEDED(graph.Run());
  ASSERT_TRUE(preview.WaitForFrames(3, kWaitMs));
  ASSERT_TRUE(capture.WaitForFrames(3, kWaitMs));
  ASSERT_HRESULT_SUCCEEDED(graph.Stop());
  for (const CGrabberBranch* branch : {&preview, &capture}) {
    const std::vector<std::uint32_t> numbers =
        CheckFrames(1, {640, 480}, {branch->FirstFrame(), branch->KeptFrames().back()}, false);
    ASSERT_EQ(numbers.size(), 2u);
    EXPECT_EQ(numbers.front(), 1u);
    EXPECT_EQ(numbers.back(), branch->FrameCount());
  }
}

TEST_F(TestCameraStreamTest, TwoCamerasRunSideBySideEachWithItsOwnPictureAndCount) {
  CTestCameraSettings settings1(1), settings2(2);
  ASSERT_TRUE(settings1.SetSizes(L"320x240"));
  ASSERT_TRUE(settings2.SetSizes(L"256x32"));
  CCameraGraph graph1(1), graph2(2);
  ASSERT_TRUE(graph1.Ready());
  ASSERT_TRUE(graph2.Ready());
  CGrabberBranch branch1(graph1.Graph()), branch2(graph2.Graph());
  ASSERT_HRESULT_SUCCEEDED(graph1.Render(PIN_CATEGORY_PREVIEW, branch1));
  ASSERT_HRESULT_SUCCEEDED(graph2.Render(PIN_CATEGORY_PREVIEW, branch2));
  const LONG before1 = FramesDelivered(1), before2 = FramesDelivered(2);
  ASSERT_HRESULT_SUCCEEDED(graph1.Run());
  ASSERT_HRESULT_SUCCEEDED(graph2.Run());
  ASSERT_TRUE(branch1.WaitForFrames(CGrabberBranch::kKeptFrames, kWaitMs));
  ASSERT_TRUE(branch2.WaitForFrames(CGrabberBranch::kKeptFrames, kWaitMs));
  ASSERT_HRESULT_SUCCEEDED(graph1.Stop());
  // Camera 2 alone now: camera 1's count stands still.
  const LONG stopped1 = FramesDelivered(1);
  const std::size_t grabbed2 = branch2.FrameCount();
  ASSERT_TRUE(branch2.WaitForFrames(grabbed2 + 3, kWaitMs));
  ASSERT_HRESULT_SUCCEEDED(graph2.Stop());

  CheckFrames(1, {320, 240}, branch1.KeptFrames());
  CheckFrames(2, {256, 32}, branch2.KeptFrames());
  EXPECT_EQ(FramesDelivered(1), stopped1);
  EXPECT_GE(stopped1 - before1, static_cast<LONG>(branch1.FrameCount()));
  EXPECT_GE(FramesDelivered(2) - before2, static_cast<LONG>(branch2.FrameCount()));
}

TEST_F(TestCameraStreamTest, FramesComeAtTheConfiguredRate) {
  constexpr unsigned kWindowMs = 2000;
  for (const DWORD rate : {5u, 25u}) {
    SCOPED_TRACE(::testing::Message() << rate << " frames a second");
    CTestCameraSettings settings(1);
    ASSERT_TRUE(settings.SetFramesPerSecond(rate));
    ASSERT_TRUE(settings.SetSizes(L"320x240"));
    CCameraGraph graph(1);
    ASSERT_TRUE(graph.Ready());
    CGrabberBranch branch(graph.Graph());
    ASSERT_HRESULT_SUCCEEDED(graph.Render(PIN_CATEGORY_PREVIEW, branch));
    ASSERT_HRESULT_SUCCEEDED(graph.Run());
    ASSERT_TRUE(branch.WaitForFrames(1, kWaitMs));
    const std::size_t first = branch.FrameCount();
    const auto start = std::chrono::steady_clock::now();
    Pause(kWindowMs);
    const std::size_t arrived = branch.FrameCount() - first;
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    ASSERT_HRESULT_SUCCEEDED(graph.Stop());
    const double expected = rate * seconds;
    EXPECT_GE(static_cast<double>(arrived), expected * 0.75);
    EXPECT_LE(static_cast<double>(arrived), expected * 1.25 + 1);
  }
}

TEST_F(TestCameraStreamTest, ACameraThatDeliversNothingConnectsAndRunsWithoutFrames) {
  CTestCameraSettings settings(2);
  ASSERT_TRUE(settings.SetDelivers(false));
  ASSERT_TRUE(settings.SetStillPin(true));
  ASSERT_TRUE(settings.SetStillEveryMs(100));
  CCameraGraph graph(2);
  ASSERT_TRUE(graph.Ready());
  CGrabberBranch preview(graph.Graph()), still(graph.Graph());
  ASSERT_HRESULT_SUCCEEDED(graph.Render(PIN_CATEGORY_PREVIEW, preview));
  ASSERT_HRESULT_SUCCEEDED(graph.Render(PIN_CATEGORY_STILL, still));
  EXPECT_EQ(preview.ConnectedSize(), (FrameSize{640, 480}));
  const LONG framesBefore = FramesDelivered(2), stillsBefore = StillsDelivered(2);
  ASSERT_HRESULT_SUCCEEDED(graph.Run());
  ComPtr<IAMVideoControl> control;
  ASSERT_HRESULT_SUCCEEDED(graph.Camera()->QueryInterface(IID_PPV_ARGS(&control)));
  EXPECT_HRESULT_SUCCEEDED(
      control->SetMode(graph.PinOf(PIN_CATEGORY_STILL).Get(), VideoControlFlag_Trigger));
  Pause(1000);
  FILTER_STATE state = State_Stopped;
  EXPECT_HRESULT_SUCCEEDED(graph.Camera()->GetState(0, &state));
  EXPECT_EQ(state, State_Running);
  ASSERT_HRESULT_SUCCEEDED(graph.Stop());
  EXPECT_EQ(preview.FrameCount(), 0u);
  EXPECT_EQ(still.FrameCount(), 0u);
  EXPECT_EQ(FramesDelivered(2), framesBefore);
  EXPECT_EQ(StillsDelivered(2), stillsBefore);
}

TEST_F(TestCameraStreamTest, SetFormatBeforeConnectingChoosesThatPinsSize) {
  CTestCameraSettings settings(1);
  ASSERT_TRUE(settings.SetSizes(L"640x480 1280x720 320x240"));
  CCameraGraph graph(1);
  ASSERT_TRUE(graph.Ready());
  const ComPtr<IAMStreamConfig> config = graph.StreamConfigOf(PIN_CATEGORY_PREVIEW);
  ASSERT_NE(config, nullptr);
  ASSERT_EQ(SetFormatAsAClient(config.Get(), {320, 240}), S_OK);
  CGrabberBranch preview(graph.Graph()), capture(graph.Graph());
  ASSERT_HRESULT_SUCCEEDED(graph.Render(PIN_CATEGORY_PREVIEW, preview));
  EXPECT_EQ(preview.ConnectedSize(), (FrameSize{320, 240}));
  // The capture pin was not asked: it connects at its first size.
  ASSERT_HRESULT_SUCCEEDED(graph.Render(PIN_CATEGORY_CAPTURE, capture));
  EXPECT_EQ(capture.ConnectedSize(), (FrameSize{640, 480}));
  EXPECT_EQ(LastFormat(1), (std::optional<FrameSize>(FrameSize{640, 480})));

  ASSERT_HRESULT_SUCCEEDED(graph.Run());
  ASSERT_TRUE(preview.WaitForFrames(3, kWaitMs));
  ASSERT_TRUE(capture.WaitForFrames(3, kWaitMs));
  ASSERT_HRESULT_SUCCEEDED(graph.Stop());
  CheckFrames(1, {320, 240}, preview.KeptFrames());
  CheckFrames(1, {640, 480}, capture.KeptFrames());
}

TEST_F(TestCameraStreamTest, SetFormatWhileConnectedReconnectsAtTheNewSize) {
  CTestCameraSettings settings(2);
  ASSERT_TRUE(settings.SetSizes(L"640x480 1280x720"));
  CCameraGraph graph(2);
  ASSERT_TRUE(graph.Ready());
  CGrabberBranch branch(graph.Graph());
  ASSERT_HRESULT_SUCCEEDED(graph.Render(PIN_CATEGORY_CAPTURE, branch));
  ASSERT_EQ(branch.ConnectedSize(), (FrameSize{640, 480}));
  const ComPtr<IAMStreamConfig> config = graph.StreamConfigOf(PIN_CATEGORY_CAPTURE);
  ASSERT_NE(config, nullptr);
  const ComPtr<IPin> pin = graph.PinOf(PIN_CATEGORY_CAPTURE);
  ASSERT_NE(pin, nullptr);
  const auto pinSize = [&pin] {
    dshow::CMediaType type;
    return SUCCEEDED(pin->ConnectionMediaType(&type.Get())) ? VideoSizeOf(type.Get()) : FrameSize{};
  };

  EXPECT_EQ(SetFormatAsAClient(config.Get(), {1280, 720}), S_OK);
  EXPECT_EQ(pinSize(), (FrameSize{1280, 720}));
  EXPECT_EQ(branch.ConnectedSize(), (FrameSize{1280, 720}));
  EXPECT_EQ(LastFormat(2), (std::optional<FrameSize>(FrameSize{1280, 720})));

  const HRESULT refused = SetFormatAsAClient(config.Get(), {1024, 768});
  EXPECT_TRUE(refused == E_FAIL || refused == VFW_E_INVALIDMEDIATYPE) << std::hex << refused;
  EXPECT_EQ(pinSize(), (FrameSize{1280, 720}));
  EXPECT_EQ(LastFormat(2), (std::optional<FrameSize>(FrameSize{1280, 720})));

  // A running camera keeps its format.
  ASSERT_HRESULT_SUCCEEDED(graph.Run());
  EXPECT_EQ(SetFormatAsAClient(config.Get(), {640, 480}), VFW_E_NOT_STOPPED);
  ASSERT_HRESULT_SUCCEEDED(graph.Stop());
  EXPECT_EQ(pinSize(), (FrameSize{1280, 720}));
}

TEST_F(TestCameraStreamTest, TheStillPinSendsStillsAtItsOwnPaceAndSize) {
  CTestCameraSettings settings(1);
  ASSERT_TRUE(settings.SetStillPin(true));
  ASSERT_TRUE(settings.SetStillEveryMs(150));
  CCameraGraph graph(1);
  ASSERT_TRUE(graph.Ready());
  // As the camera studio builds it: preview through one grabber, stills through another.
  CGrabberBranch preview(graph.Graph()), still(graph.Graph());
  ASSERT_HRESULT_SUCCEEDED(graph.Render(PIN_CATEGORY_PREVIEW, preview));
  ASSERT_HRESULT_SUCCEEDED(graph.Render(PIN_CATEGORY_STILL, still));
  ASSERT_EQ(still.ConnectedSize(), (FrameSize{1600, 1200}));
  EXPECT_EQ(preview.ConnectedSize(), (FrameSize{640, 480}));
  EXPECT_EQ(LastFormat(1), (std::optional<FrameSize>(FrameSize{640, 480})));

  const LONG stillsBefore = StillsDelivered(1);
  ASSERT_HRESULT_SUCCEEDED(graph.Run());
  ASSERT_TRUE(still.WaitForFrames(4, kWaitMs));
  const auto frames = still.KeptFrames();
  const std::size_t previewFrames = preview.FrameCount();
  ASSERT_HRESULT_SUCCEEDED(graph.Stop());

  CheckFrames(1, {1600, 1200}, frames);
  EXPECT_GE(StillsDelivered(1) - stillsBefore, static_cast<LONG>(still.FrameCount()));
  // 150 ms apart: fewer stills than 30-a-second preview frames came meanwhile.
  EXPECT_GT(previewFrames, still.FrameCount());
  for (std::size_t i = 1; i < frames.size(); ++i) {
    const double gap = frames[i].arrivedSeconds - frames[i - 1].arrivedSeconds;
    EXPECT_GT(gap, 0.1);
    EXPECT_LT(gap, 0.6);
  }
}

TEST_F(TestCameraStreamTest, ATriggerTakesOneStill) {
  CTestCameraSettings settings(2);
  ASSERT_TRUE(settings.SetStillPin(true));
  ASSERT_TRUE(settings.SetStillSizes(L"800x600 1600x1200"));
  CCameraGraph graph(2);
  ASSERT_TRUE(graph.Ready());
  CGrabberBranch still(graph.Graph());
  ASSERT_HRESULT_SUCCEEDED(graph.Render(PIN_CATEGORY_STILL, still));
  ASSERT_EQ(still.ConnectedSize(), (FrameSize{800, 600}));
  ComPtr<IAMVideoControl> control;
  ASSERT_HRESULT_SUCCEEDED(graph.Camera()->QueryInterface(IID_PPV_ARGS(&control)));
  const ComPtr<IPin> stillPin = graph.PinOf(PIN_CATEGORY_STILL);
  ASSERT_NE(stillPin, nullptr);

  ASSERT_HRESULT_SUCCEEDED(graph.Run());
  Pause(400);
  EXPECT_EQ(still.FrameCount(), 0u) << "a still without a trigger";
  ASSERT_HRESULT_SUCCEEDED(control->SetMode(stillPin.Get(), VideoControlFlag_Trigger));
  ASSERT_TRUE(still.WaitForFrames(1, kWaitMs));
  ASSERT_HRESULT_SUCCEEDED(control->SetMode(stillPin.Get(), VideoControlFlag_Trigger));
  ASSERT_TRUE(still.WaitForFrames(2, kWaitMs));
  Pause(300);
  ASSERT_HRESULT_SUCCEEDED(graph.Stop());
  EXPECT_EQ(still.FrameCount(), 2u);
  EXPECT_EQ(CheckFrames(2, {800, 600}, still.KeptFrames()), (std::vector<std::uint32_t>{1, 2}));
}

TEST_F(TestCameraStreamTest, AnUnusablePreviewPinFailsPreviewButNotCapture) {
  CTestCameraSettings settings(1);
  ASSERT_TRUE(settings.SetPreviewPinUnusable(true));
  CCameraGraph graph(1);
  ASSERT_TRUE(graph.Ready());
  const ComPtr<IPin> previewPin = graph.PinOf(PIN_CATEGORY_PREVIEW);
  ASSERT_NE(previewPin, nullptr) << "the pin is there, only unusable";
  CGrabberBranch preview(graph.Graph());
  EXPECT_HRESULT_FAILED(graph.Render(PIN_CATEGORY_PREVIEW, preview));
  ComPtr<IPin> peer;
  EXPECT_EQ(previewPin->ConnectedTo(&peer), VFW_E_NOT_CONNECTED);

  CGrabberBranch capture(graph.Graph());
  ASSERT_HRESULT_SUCCEEDED(graph.Render(PIN_CATEGORY_CAPTURE, capture));
  EXPECT_EQ(capture.ConnectedSize(), (FrameSize{640, 480}));
  ASSERT_HRESULT_SUCCEEDED(graph.Run());
  ASSERT_TRUE(capture.WaitForFrames(3, kWaitMs));
  ASSERT_HRESULT_SUCCEEDED(graph.Stop());
  CheckFrames(1, {640, 480}, capture.KeptFrames());
}

TEST_F(TestCameraStreamTest, WithoutAPreviewPinPreviewComesThroughASmartTee) {
  CTestCameraSettings settings(2);
  ASSERT_TRUE(settings.SetPreviewPin(false));
  CCameraGraph graph(2);
  ASSERT_TRUE(graph.Ready());
  ASSERT_EQ(graph.PinOf(PIN_CATEGORY_PREVIEW), nullptr);
  CGrabberBranch preview(graph.Graph());
  EXPECT_EQ(graph.Render(PIN_CATEGORY_PREVIEW, preview), VFW_S_NOPREVIEWPIN);
  ASSERT_EQ(preview.ConnectedSize(), (FrameSize{640, 480}));
  ASSERT_HRESULT_SUCCEEDED(graph.Run());
  ASSERT_TRUE(preview.WaitForFrames(3, kWaitMs));
  ASSERT_HRESULT_SUCCEEDED(graph.Stop());
  CheckFrames(2, {640, 480}, preview.KeptFrames());
}

TEST_F(TestCameraStreamTest, PausedSendsNothing) {
  CTestCameraSettings settings(1);
  ASSERT_TRUE(settings.SetSizes(L"320x240"));
  CCameraGraph graph(1);
  ASSERT_TRUE(graph.Ready());
  CGrabberBranch branch(graph.Graph());
  ASSERT_HRESULT_SUCCEEDED(graph.Render(PIN_CATEGORY_PREVIEW, branch));
  ComPtr<IMediaControl> control;
  ASSERT_HRESULT_SUCCEEDED(graph.Graph()->QueryInterface(IID_PPV_ARGS(&control)));
  ASSERT_HRESULT_SUCCEEDED(graph.Run());
  ASSERT_TRUE(branch.WaitForFrames(2, kWaitMs));
  control->Pause();
  Pause(100);  // a frame already on its way may still arrive
  const std::size_t paused = branch.FrameCount();
  Pause(500);
  EXPECT_EQ(branch.FrameCount(), paused);
  ASSERT_HRESULT_SUCCEEDED(graph.Run());
  EXPECT_TRUE(branch.WaitForFrames(paused + 2, kWaitMs));
  ASSERT_HRESULT_SUCCEEDED(graph.Stop());
}

TEST_F(TestCameraStreamTest, HeldFramesAreNeitherSentNorNumberedButStillsGoOn) {
  CTestCameraSettings settings(1);
  ASSERT_TRUE(settings.SetSizes(L"256x32"));
  ASSERT_TRUE(settings.SetFramesPerSecond(50));
  ASSERT_TRUE(settings.SetStillPin(true));
  ASSERT_TRUE(settings.SetStillSizes(L"256x32"));
  ASSERT_TRUE(settings.SetStillEveryMs(50));
  CCameraGraph graph(1);
  ASSERT_TRUE(graph.Ready());
  CGrabberBranch preview(graph.Graph()), still(graph.Graph());
  ASSERT_HRESULT_SUCCEEDED(graph.Render(PIN_CATEGORY_PREVIEW, preview));
  ASSERT_HRESULT_SUCCEEDED(graph.Render(PIN_CATEGORY_STILL, still));
  // The hold lives in the DLL, beyond this test: it must not outlast it.
  struct CReleaseAtEnd {
    ~CReleaseAtEnd() { HoldFrames(1, false); }
  } releaseAtEnd;
  EXPECT_FALSE(HoldFrames(3, true));

  ASSERT_HRESULT_SUCCEEDED(graph.Run());
  ASSERT_TRUE(preview.WaitForFrames(3, kWaitMs));
  ASSERT_TRUE(HoldFrames(1, true));
  const std::size_t grabbed = preview.FrameCount();
  const LONG delivered = FramesDelivered(1);
  const std::size_t stills = still.FrameCount();
  const std::optional<std::uint32_t> lastNumber =
      DecodeSequenceNumber(preview.KeptFrames().back().bytes, FrameSize{256, 32});
  ASSERT_TRUE(lastNumber.has_value());
  Pause(400);
  EXPECT_EQ(preview.FrameCount(), grabbed);
  EXPECT_EQ(FramesDelivered(1), delivered);
  EXPECT_TRUE(still.WaitForFrames(stills + 2, kWaitMs)) << "the still pin is never held";

  ASSERT_TRUE(HoldFrames(1, false));
  ASSERT_TRUE(preview.WaitForFrames(grabbed + 1, kWaitMs));
  ASSERT_TRUE(HoldFrames(1, true));
  const std::size_t after = preview.FrameCount() - grabbed;
  const std::vector<GrabbedFrame> kept = preview.KeptFrames();
  ASSERT_LE(after, kept.size());
  // The first frame after the hold goes on from the last before it: none was numbered.
  EXPECT_EQ(CheckFrames(1, {256, 32}, {kept[kept.size() - after]}),
            (std::vector<std::uint32_t>{*lastNumber + 1}));
  EXPECT_EQ(FramesDelivered(1) - delivered, static_cast<LONG>(after));
  // A held camera stops like any other.
  const auto start = std::chrono::steady_clock::now();
  ASSERT_HRESULT_SUCCEEDED(graph.Stop());
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
}

TEST_F(TestCameraStreamTest, StoppingAtAnyMomentReturnsAndNumbersGoOn) {
  CTestCameraSettings settings(1);
  ASSERT_TRUE(settings.SetStillPin(true));
  ASSERT_TRUE(settings.SetStillEveryMs(30));
  ASSERT_TRUE(settings.SetStillSizes(L"640x480"));
  ASSERT_TRUE(settings.SetFramesPerSecond(100));
  CCameraGraph graph(1);
  ASSERT_TRUE(graph.Ready());
  CGrabberBranch preview(graph.Graph()), still(graph.Graph());
  ASSERT_HRESULT_SUCCEEDED(graph.Render(PIN_CATEGORY_PREVIEW, preview));
  ASSERT_HRESULT_SUCCEEDED(graph.Render(PIN_CATEGORY_STILL, still));

  std::uint32_t lastNumber = 0;
  for (int round = 0; round < 12; ++round) {
    SCOPED_TRACE(::testing::Message() << "round " << round);
    const std::size_t seen = preview.FrameCount();
    ASSERT_HRESULT_SUCCEEDED(graph.Run());
    // Every other round stops as soon as it runs, the others once a frame came.
    if (round % 2 == 1) {
      ASSERT_TRUE(preview.WaitForFrames(seen + 1, kWaitMs));
    }
    const auto start = std::chrono::steady_clock::now();
    ASSERT_HRESULT_SUCCEEDED(graph.Stop());
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
    if (preview.FrameCount() == seen) continue;
    const std::vector<GrabbedFrame> frames = preview.KeptFrames();
    const std::optional<std::uint32_t> number =
        DecodeSequenceNumber(frames.back().bytes, FrameSize{640, 480});
    ASSERT_TRUE(number.has_value());
    // Counted from the filter's creation: a new run goes on from the last.
    EXPECT_GT(*number, lastNumber);
    lastNumber = *number;
  }
  EXPECT_GT(lastNumber, 5u);
}

}  // namespace
}  // namespace testcamera
