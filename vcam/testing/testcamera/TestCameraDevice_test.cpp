// The test cameras as regsvr32 installs them and as DirectShow clients find and configure
// them: the device list, the pins each setting gives, and the sizes on offer.
#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "framework/dshow/MediaType.h"
#include "vcam/DeviceList.h"
#include "vcam/testing/CameraDevices.h"
#include "vcam/testing/testcamera/CameraGraph.h"
#include "vcam/testing/testcamera/TestCamera.h"
#include "vcam/testing/testcamera/TestCameraFixture.h"

using Microsoft::WRL::ComPtr;

namespace testcamera {
namespace {

class TestCameraDeviceTest : public CTestCameraFixture {};

// Where the device list has each camera, by position; -1 when it is not there. Names
// are compared up to their first zero (docs/wine-notes.md: Wine hands the name over with
// whatever the registry value holds after it).
std::vector<int> ListedPositions(const std::vector<vcam::VideoInputDevice>& devices) {
  std::vector<int> positions(kCameraCount, -1);
  for (std::size_t i = 0; i < devices.size(); ++i) {
    const std::wstring name =
        devices[i].friendlyName.substr(0, devices[i].friendlyName.find(L'\0'));
    for (int camera = 1; camera <= kCameraCount; ++camera) {
      if (name != CameraName(camera)) continue;
      EXPECT_EQ(positions[camera - 1], -1) << "camera " << camera << " listed twice";
      positions[camera - 1] = static_cast<int>(i);
      EXPECT_EQ(devices[i].classId, IdentityOf(camera)->classIdText);
    }
  }
  return positions;
}

// A copy of what GetStreamCaps answers for entry `index`.
struct StreamCapsEntry {
  HRESULT result = E_FAIL;
  dshow::CMediaType type;
  VIDEO_STREAM_CONFIG_CAPS caps{};
};
StreamCapsEntry StreamCapsAt(IAMStreamConfig* config, int index) {
  StreamCapsEntry entry;
  AM_MEDIA_TYPE* type = nullptr;
  entry.result = config->GetStreamCaps(index, &type, reinterpret_cast<BYTE*>(&entry.caps));
  if (type != nullptr) {
    entry.type = dshow::CMediaType(*type);
    dshow::DeleteMediaType(type);
  }
  return entry;
}

// Wine lists a category's devices in the order of their keys' names (the registry's,
// alphabetical), not in the order they were registered; the cameras' names give both
// orders alike.
TEST_F(TestCameraDeviceTest, BothCamerasAreListedByNameInTheOrderTheyAreRegistered) {
  const std::vector<int> positions = ListedPositions(vcam::ListVideoInputDevices());
  ASSERT_NE(positions[0], -1) << "camera 1 is not listed";
  ASSERT_NE(positions[1], -1) << "camera 2 is not listed";
  EXPECT_LT(positions[0], positions[1]);
}

TEST_F(TestCameraDeviceTest, UnregisteringRemovesBothCamerasAndRegisteringBringsThemBack) {
  ASSERT_EQ(vcam::testing_support::RunRegsvr32(TestCameraDllPath(), true), 0);
  EXPECT_EQ(ListedPositions(vcam::ListVideoInputDevices()), (std::vector<int>{-1, -1}));
  for (int camera = 1; camera <= kCameraCount; ++camera) {
    ComPtr<IBaseFilter> filter;
    EXPECT_EQ(::CoCreateInstance(IdentityOf(camera)->classId, nullptr, CLSCTX_INPROC_SERVER,
                                 IID_PPV_ARGS(&filter)),
              REGDB_E_CLASSNOTREG);
  }
  // Unregistering what is not registered is no error.
  EXPECT_EQ(vcam::testing_support::RunRegsvr32(TestCameraDllPath(), true), 0);

  ASSERT_EQ(vcam::testing_support::RunRegsvr32(TestCameraDllPath(), false), 0);
  for (const int position : ListedPositions(vcam::ListVideoInputDevices())) EXPECT_NE(position, -1);
}

TEST_F(TestCameraDeviceTest, PinsAndVideoControlFollowTheSettings) {
  struct Case {
    std::optional<bool> previewPin, stillPin;  // nullopt: the value is not written
    bool hasPreview, hasStill;
  };
  const Case cases[] = {
      {std::nullopt, std::nullopt, true, false},
      {false, std::nullopt, false, false},
      {true, true, true, true},
      {false, true, false, true},
      {std::nullopt, false, true, false},
  };
  for (const int camera : {1, 2}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(::testing::Message()
                   << "camera " << camera << ", PreviewPin " << (c.previewPin ? *c.previewPin : -1)
                   << ", StillPin " << (c.stillPin ? *c.stillPin : -1));
      CTestCameraSettings settings(camera);
      if (c.previewPin) {
        ASSERT_TRUE(settings.SetPreviewPin(*c.previewPin));
      }
      if (c.stillPin) {
        ASSERT_TRUE(settings.SetStillPin(*c.stillPin));
      }
      CCameraGraph graph(camera);
      ASSERT_TRUE(graph.Ready());

      EXPECT_NE(graph.PinOf(PIN_CATEGORY_CAPTURE), nullptr);
      EXPECT_EQ(graph.PinOf(PIN_CATEGORY_PREVIEW) != nullptr, c.hasPreview);
      const ComPtr<IPin> still = graph.PinOf(PIN_CATEGORY_STILL);
      EXPECT_EQ(still != nullptr, c.hasStill);
      ComPtr<IAMVideoControl> control;
      EXPECT_EQ(SUCCEEDED(graph.Camera()->QueryInterface(IID_PPV_ARGS(&control))), c.hasStill);
      if (control != nullptr && still != nullptr) {
        LONG caps = 0;
        ASSERT_HRESULT_SUCCEEDED(control->GetCaps(still.Get(), &caps));
        EXPECT_EQ(caps, VideoControlFlag_Trigger | VideoControlFlag_ExternalTriggerEnable);
        LONG mode = -1;
        ASSERT_HRESULT_SUCCEEDED(control->SetMode(
            still.Get(), VideoControlFlag_Trigger | VideoControlFlag_ExternalTriggerEnable));
        ASSERT_HRESULT_SUCCEEDED(control->GetMode(still.Get(), &mode));
        // Triggering is an act; the mode kept is the rest.
        EXPECT_EQ(mode, VideoControlFlag_ExternalTriggerEnable);
      }
    }
  }
}

TEST_F(TestCameraDeviceTest, StreamConfigOffersTheConfiguredSizesInTheirOrder) {
  struct Case {
    const GUID* category;
    const wchar_t* value;  // Sizes, or StillSizes for the still pin; null: not written
    std::vector<FrameSize> offered;
  };
  const Case cases[] = {
      {&PIN_CATEGORY_PREVIEW, nullptr, {{640, 480}}},
      {&PIN_CATEGORY_CAPTURE, nullptr, {{640, 480}}},
      {&PIN_CATEGORY_STILL, nullptr, {{1600, 1200}}},
      {&PIN_CATEGORY_PREVIEW, L"640x480 1280x720 800x600", {{640, 480}, {1280, 720}, {800, 600}}},
      {&PIN_CATEGORY_CAPTURE, L"1280x720 320x240", {{1280, 720}, {320, 240}}},
      {&PIN_CATEGORY_STILL, L"2048x1536 1600x1200", {{2048, 1536}, {1600, 1200}}},
      // Nothing usable in the value: the default.
      {&PIN_CATEGORY_CAPTURE, L"large", {{640, 480}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << (c.value != nullptr ? c.value : L"(default)"));
    CTestCameraSettings settings(1);
    ASSERT_TRUE(settings.SetStillPin(true));
    if (c.value != nullptr) {
      ASSERT_TRUE(*c.category == PIN_CATEGORY_STILL ? settings.SetStillSizes(c.value)
                                                    : settings.SetSizes(c.value));
    }
    CCameraGraph graph(1);
    ASSERT_TRUE(graph.Ready());
    const ComPtr<IAMStreamConfig> config = graph.StreamConfigOf(*c.category);
    ASSERT_NE(config, nullptr);

    int count = 0, size = 0;
    ASSERT_HRESULT_SUCCEEDED(config->GetNumberOfCapabilities(&count, &size));
    EXPECT_EQ(size, 128);
    ASSERT_EQ(count, static_cast<int>(c.offered.size()));
    for (int index = 0; index < count; ++index) {
      const FrameSize expected = c.offered[static_cast<std::size_t>(index)];
      const StreamCapsEntry entry = StreamCapsAt(config.Get(), index);
      ASSERT_EQ(entry.result, S_OK) << "entry " << index;
      const AM_MEDIA_TYPE& type = entry.type.Get();
      EXPECT_TRUE(type.majortype == MEDIATYPE_Video);
      EXPECT_TRUE(type.subtype == MEDIASUBTYPE_RGB24);
      ASSERT_NE(entry.type.VideoInfo(), nullptr) << "entry " << index;
      const BITMAPINFOHEADER& header = entry.type.VideoInfo()->bmiHeader;
      EXPECT_EQ(header.biBitCount, 24);
      // Bottom-up, as RGB is by default.
      EXPECT_EQ(header.biHeight, static_cast<LONG>(expected.height));
      EXPECT_EQ(VideoSizeOf(type), expected) << "entry " << index;
      EXPECT_EQ(header.biSizeImage, FrameBytes(expected.width, expected.height));
      EXPECT_TRUE(entry.caps.guid == FORMAT_VideoInfo);
      EXPECT_EQ(entry.caps.MinOutputSize.cx, static_cast<LONG>(expected.width));
      EXPECT_EQ(entry.caps.MinOutputSize.cy, static_cast<LONG>(expected.height));
      EXPECT_EQ(entry.caps.MaxOutputSize.cx, static_cast<LONG>(expected.width));
      EXPECT_EQ(entry.caps.MaxOutputSize.cy, static_cast<LONG>(expected.height));
    }
    EXPECT_EQ(StreamCapsAt(config.Get(), count).result, S_FALSE);
    // Until a client chooses, the format is the first size offered.
    EXPECT_EQ(CurrentFormat(config.Get()), c.offered.front());
  }
}

TEST_F(TestCameraDeviceTest, AvgTimePerFrameFollowsFramesPerSecond) {
  for (const DWORD rate : {30u, 5u, 60u}) {
    CTestCameraSettings settings(2);
    ASSERT_TRUE(settings.SetFramesPerSecond(rate));
    CCameraGraph graph(2);
    ASSERT_TRUE(graph.Ready());
    const ComPtr<IAMStreamConfig> config = graph.StreamConfigOf(PIN_CATEGORY_CAPTURE);
    ASSERT_NE(config, nullptr);
    const StreamCapsEntry entry = StreamCapsAt(config.Get(), 0);
    ASSERT_NE(entry.type.VideoInfo(), nullptr);
    EXPECT_EQ(entry.type.VideoInfo()->AvgTimePerFrame, 10000000 / static_cast<LONGLONG>(rate))
        << rate << " frames a second";
  }
}

TEST_F(TestCameraDeviceTest, SetFormatTakesAnOfferedSizeAndRefusesAnyOther) {
  CTestCameraSettings settings(1);
  ASSERT_TRUE(settings.SetSizes(L"640x480 1280x720 800x600"));
  CCameraGraph graph(1);
  ASSERT_TRUE(graph.Ready());
  const ComPtr<IAMStreamConfig> config = graph.StreamConfigOf(PIN_CATEGORY_PREVIEW);
  ASSERT_NE(config, nullptr);

  struct Step {
    FrameSize size;
    WORD bitCount;
    bool taken;
  };
  const Step steps[] = {
      {{1280, 720}, 24, true},  {{320, 240}, 24, false}, {{800, 600}, 32, false},
      {{800, 600}, 24, true},   {{600, 800}, 24, false}, {{640, 480}, 24, true},
      {{1280, 721}, 24, false},
  };
  FrameSize current{640, 480};
  for (const Step& step : steps) {
    SCOPED_TRACE(::testing::Message() << step.size << " at " << step.bitCount << " bits");
    const HRESULT result = SetFormatAsAClient(config.Get(), step.size, step.bitCount);
    if (step.taken) {
      EXPECT_EQ(result, S_OK);
      current = step.size;
    } else {
      EXPECT_TRUE(result == E_FAIL || result == VFW_E_INVALIDMEDIATYPE) << std::hex << result;
    }
    EXPECT_EQ(CurrentFormat(config.Get()), current);
    EXPECT_EQ(LastFormat(1), std::optional<FrameSize>(current));
  }
  // The capture pin keeps its own format.
  const ComPtr<IAMStreamConfig> capture = graph.StreamConfigOf(PIN_CATEGORY_CAPTURE);
  ASSERT_NE(capture, nullptr);
  EXPECT_EQ(CurrentFormat(capture.Get()), (FrameSize{640, 480}));
}

}  // namespace
}  // namespace testcamera
