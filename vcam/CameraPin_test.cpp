// The camera's pin as clients configure it: formats through IAMStreamConfig, its
// category, and the states of a live source.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <set>
#include <thread>

#include "vcam/MediaTypes.h"
#include "vcam/testing/CameraDevices.h"
#include "vcam/testing/CaptureGraph.h"

using Microsoft::WRL::ComPtr;

namespace vcam {
namespace {

using namespace testing_support;

class CameraPinTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_HRESULT_SUCCEEDED(::CoInitializeEx(nullptr, COINIT_MULTITHREADED));
    m_registration = std::make_unique<CCameraRegistration>();
    ASSERT_TRUE(m_registration->Succeeded());
    m_graph = std::make_unique<CCaptureGraph>();
    ASSERT_TRUE(m_graph->Ready());
    m_config = m_graph->StreamConfig();
    ASSERT_NE(m_config, nullptr);
  }
  void TearDown() override {
    m_config.Reset();
    m_graph.reset();
    m_registration.reset();
    ::CoUninitialize();
  }

  // The pin's current format as size and subtype, or an empty description.
  TypeDescription CurrentFormat(GUID* subtype = nullptr) {
    AM_MEDIA_TYPE* type = nullptr;
    TypeDescription description;
    if (SUCCEEDED(m_config->GetFormat(&type)) && type != nullptr) {
      DescribeMediaType(*type, description);
      if (subtype != nullptr) *subtype = type->subtype;
      dshow::DeleteMediaType(type);
    }
    return description;
  }

  std::vector<dshow::CMediaType> EnumeratedTypes() {
    std::vector<dshow::CMediaType> types;
    ComPtr<IEnumMediaTypes> enumerator;
    if (FAILED(m_graph->CameraPin()->EnumMediaTypes(&enumerator))) return types;
    AM_MEDIA_TYPE* type = nullptr;
    while (enumerator->Next(1, &type, nullptr) == S_OK) {
      types.emplace_back(*type);
      dshow::DeleteMediaType(type);
    }
    return types;
  }

  std::unique_ptr<CCameraRegistration> m_registration;
  std::unique_ptr<CCaptureGraph> m_graph;
  ComPtr<IAMStreamConfig> m_config;
};

TEST_F(CameraPinTest, ReportsEveryFormatItOffersWithConsistentCapabilities) {
  int count = 0, size = 0;
  ASSERT_HRESULT_SUCCEEDED(m_config->GetNumberOfCapabilities(&count, &size));
  ASSERT_EQ(count, 12);
  ASSERT_EQ(size, static_cast<int>(sizeof(VIDEO_STREAM_CONFIG_CAPS)));

  // Subtypes told apart by their first field (the FOURCC of the YUV ones).
  std::set<std::tuple<unsigned long, std::uint32_t, std::uint32_t>> seen;
  for (int i = 0; i < count; ++i) {
    SCOPED_TRACE(i);
    AM_MEDIA_TYPE* type = nullptr;
    VIDEO_STREAM_CONFIG_CAPS caps{};
    ASSERT_EQ(m_config->GetStreamCaps(i, &type, reinterpret_cast<BYTE*>(&caps)), S_OK);
    const dshow::CMediaType owned(*type);
    dshow::DeleteMediaType(type);
    TypeDescription description;
    ASSERT_TRUE(DescribeMediaType(owned.Get(), description));
    EXPECT_TRUE(owned.Get().bFixedSizeSamples);
    EXPECT_EQ(owned.Get().lSampleSize, FrameBytes(description.layout));
    EXPECT_EQ(caps.guid, FORMAT_VideoInfo);
    EXPECT_EQ(caps.MinOutputSize.cx, static_cast<LONG>(description.layout.width));
    EXPECT_EQ(caps.MaxOutputSize.cy, static_cast<LONG>(description.layout.height));
    EXPECT_GE(description.frameInterval, caps.MinFrameInterval);
    EXPECT_LE(description.frameInterval, caps.MaxFrameInterval);
    EXPECT_EQ(caps.MinFrameInterval, 333333);  // 30 frames a second at most
    EXPECT_GT(caps.OutputGranularityX, 0);
    seen.emplace(owned.Get().subtype.Data1, description.layout.width, description.layout.height);
  }
  EXPECT_EQ(seen.size(), 12u);
  for (const GUID& subtype :
       {MEDIASUBTYPE_RGB24, MEDIASUBTYPE_RGB32, MEDIASUBTYPE_YUY2, kMediaSubtypeI420})
    for (auto [width, height] : {std::pair{640u, 480u}, {320u, 240u}, {1280u, 720u}})
      EXPECT_EQ(seen.count({subtype.Data1, width, height}), 1u);

  AM_MEDIA_TYPE* type = nullptr;
  VIDEO_STREAM_CONFIG_CAPS caps{};
  EXPECT_EQ(m_config->GetStreamCaps(12, &type, reinterpret_cast<BYTE*>(&caps)), S_FALSE);
  EXPECT_EQ(m_config->GetStreamCaps(-1, &type, reinterpret_cast<BYTE*>(&caps)), E_INVALIDARG);
  EXPECT_EQ(m_config->GetStreamCaps(0, nullptr, reinterpret_cast<BYTE*>(&caps)), E_POINTER);
}

TEST_F(CameraPinTest, Rgb24At640x480IsTheDefaultAndAChosenFormatIsTheOnlyOneOffered) {
  GUID subtype{};
  TypeDescription current = CurrentFormat(&subtype);
  EXPECT_EQ(subtype, MEDIASUBTYPE_RGB24);
  EXPECT_EQ(current.layout.width, 640u);
  EXPECT_EQ(current.layout.height, 480u);
  EXPECT_EQ(current.frameInterval, 333333);
  EXPECT_EQ(EnumeratedTypes().size(), 12u);

  dshow::CMediaType chosen = MakeMediaType({PixelFormat::Yuy2, 320, 240}, 666666);
  ASSERT_EQ(m_config->SetFormat(&chosen.Get()), S_OK);
  current = CurrentFormat(&subtype);
  EXPECT_EQ(subtype, MEDIASUBTYPE_YUY2);
  EXPECT_EQ(current.layout.width, 320u);
  EXPECT_EQ(current.frameInterval, 666666);
  const std::vector<dshow::CMediaType> offered = EnumeratedTypes();
  ASSERT_EQ(offered.size(), 1u);
  EXPECT_EQ(offered[0].Get().subtype, MEDIASUBTYPE_YUY2);

  // Back to everything.
  ASSERT_EQ(m_config->SetFormat(nullptr), S_OK);
  EXPECT_EQ(EnumeratedTypes().size(), 12u);
}

struct RefusedCase {
  const char* what;
  void (*spoil)(AM_MEDIA_TYPE& type);
};

VIDEOINFOHEADER& Video(AM_MEDIA_TYPE& type) {
  return *reinterpret_cast<VIDEOINFOHEADER*>(type.pbFormat);
}

TEST_F(CameraPinTest, RefusesFormatsItCannotDeliverAndKeepsTheOneItHas) {
  const RefusedCase cases[] = {
      {"a size it does not offer",
       [](AM_MEDIA_TYPE& t) {
         Video(t).bmiHeader.biWidth = 800;
         Video(t).bmiHeader.biHeight = 600;
       }},
      {"60 frames a second", [](AM_MEDIA_TYPE& t) { Video(t).AvgTimePerFrame = 166666; }},
      {"a bit count that is not the subtype's",
       [](AM_MEDIA_TYPE& t) { Video(t).bmiHeader.biBitCount = 16; }},
      {"a compressed subtype", [](AM_MEDIA_TYPE& t) { t.subtype = MEDIASUBTYPE_MJPG; }},
      {"audio", [](AM_MEDIA_TYPE& t) { t.majortype = MEDIATYPE_Audio; }},
      {"another format block", [](AM_MEDIA_TYPE& t) { t.formattype = FORMAT_VideoInfo2; }},
      {"a format block too short", [](AM_MEDIA_TYPE& t) { t.cbFormat = 8; }},
      {"no format block", [](AM_MEDIA_TYPE& t) { t.pbFormat = nullptr; }},
      {"a negative width", [](AM_MEDIA_TYPE& t) { Video(t).bmiHeader.biWidth = -640; }},
  };
  dshow::CMediaType chosen = MakeMediaType({PixelFormat::Rgb32, 1280, 720}, 333333);
  ASSERT_EQ(m_config->SetFormat(&chosen.Get()), S_OK);
  for (const RefusedCase& c : cases) {
    SCOPED_TRACE(c.what);
    dshow::CMediaType type = MakeMediaType({PixelFormat::Rgb24, 640, 480}, 333333);
    BYTE* format = type.Get().pbFormat;
    const ULONG formatBytes = type.Get().cbFormat;
    c.spoil(type.Get());
    EXPECT_EQ(m_config->SetFormat(&type.Get()), VFW_E_INVALIDMEDIATYPE);
    // Put the block back so that the type frees what it owns.
    type.Get().pbFormat = format;
    type.Get().cbFormat = formatBytes;
    GUID subtype{};
    const TypeDescription current = CurrentFormat(&subtype);
    EXPECT_EQ(subtype, MEDIASUBTYPE_RGB32);
    EXPECT_EQ(current.layout.width, 1280u);
  }
}

TEST_F(CameraPinTest, IsACapturePin) {
  ComPtr<IKsPropertySet> properties;
  ASSERT_HRESULT_SUCCEEDED(m_graph->CameraPin()->QueryInterface(IID_PPV_ARGS(&properties)));
  GUID category{};
  DWORD returned = 0;
  ASSERT_EQ(properties->Get(AMPROPSETID_Pin, AMPROPERTY_PIN_CATEGORY, nullptr, 0, &category,
                            sizeof category, &returned),
            S_OK);
  EXPECT_EQ(category, PIN_CATEGORY_CAPTURE);
  EXPECT_EQ(returned, sizeof(GUID));
  // Asked for the size alone, and with too little room.
  returned = 0;
  EXPECT_EQ(
      properties->Get(AMPROPSETID_Pin, AMPROPERTY_PIN_CATEGORY, nullptr, 0, nullptr, 0, &returned),
      S_OK);
  EXPECT_EQ(returned, sizeof(GUID));
  EXPECT_EQ(properties->Get(AMPROPSETID_Pin, AMPROPERTY_PIN_CATEGORY, nullptr, 0, &category, 4,
                            &returned),
            E_UNEXPECTED);
  DWORD support = 0;
  EXPECT_EQ(properties->QuerySupported(AMPROPSETID_Pin, AMPROPERTY_PIN_CATEGORY, &support), S_OK);
  EXPECT_EQ(support, static_cast<DWORD>(KSPROPERTY_SUPPORT_GET));
  EXPECT_EQ(properties->Get(AMPROPSETID_Pin, AMPROPERTY_PIN_CATEGORY + 1, nullptr, 0, &category,
                            sizeof category, &returned),
            E_PROP_ID_UNSUPPORTED);
  EXPECT_EQ(
      properties->Get(PIN_CATEGORY_CAPTURE, 0, nullptr, 0, &category, sizeof category, &returned),
      E_PROP_SET_UNSUPPORTED);
  EXPECT_EQ(properties->Set(AMPROPSETID_Pin, AMPROPERTY_PIN_CATEGORY, nullptr, 0, &category,
                            sizeof category),
            E_NOTIMPL);
}

TEST_F(CameraPinTest, ALiveSourceSendsNothingWhilePausedAndCannotCue) {
  ComPtr<IAMFilterMiscFlags> flags;
  ASSERT_HRESULT_SUCCEEDED(m_graph->Camera()->QueryInterface(IID_PPV_ARGS(&flags)));
  EXPECT_EQ(flags->GetMiscFlags(), static_cast<ULONG>(AM_FILTER_MISC_FLAGS_IS_SOURCE));

  ASSERT_HRESULT_SUCCEEDED(m_graph->Connect({PixelFormat::Rgb24, 320, 240}));
  ASSERT_HRESULT_SUCCEEDED(m_graph->Control()->Pause());
  FILTER_STATE state{};
  EXPECT_EQ(m_graph->Camera()->GetState(0, &state), VFW_S_CANT_CUE);
  EXPECT_EQ(state, State_Paused);
  // The graph manager passes the answer on, so that clients do not wait for a cue.
  OAFilterState graphState = 0;
  EXPECT_EQ(m_graph->Control()->GetState(1000, &graphState), VFW_S_CANT_CUE);
  ::Sleep(500);
  EXPECT_EQ(m_graph->FrameCount(), 0u);

  ASSERT_HRESULT_SUCCEEDED(m_graph->Run());
  EXPECT_TRUE(m_graph->WaitForFrames(5, 5000));
  EXPECT_EQ(m_graph->Camera()->GetState(0, &state), S_OK);
  EXPECT_EQ(state, State_Running);

  // Paused again: the frames stop, and come back on running.
  ASSERT_HRESULT_SUCCEEDED(m_graph->Control()->Pause());
  ::Sleep(200);
  const std::size_t whenPaused = m_graph->FrameCount();
  ::Sleep(500);
  EXPECT_LE(m_graph->FrameCount(), whenPaused + 1);
  ASSERT_HRESULT_SUCCEEDED(m_graph->Run());
  EXPECT_TRUE(m_graph->WaitForFrames(whenPaused + 5, 5000));
  ASSERT_HRESULT_SUCCEEDED(m_graph->Stop());
}

TEST_F(CameraPinTest, StoppingTheCameraWhileARendererHoldsAFrameDoesNotHang) {
  // Some clients stop their filters one by one, the source first. A paused renderer
  // holds the frame it was given until it runs or stops, so the camera's streaming
  // thread waits in delivering it while the camera is told to stop.
  ASSERT_HRESULT_SUCCEEDED(m_graph->Connect({PixelFormat::Rgb24, 320, 240}));
  ASSERT_HRESULT_SUCCEEDED(m_graph->Run());
  ASSERT_TRUE(m_graph->WaitForFrames(3, 5000));
  ASSERT_HRESULT_SUCCEEDED(m_graph->Renderer()->Pause());
  ::Sleep(300);  // a frame or more reaches the paused renderer

  std::atomic<bool> stopped{false};
  std::thread stopper([&] {
    m_graph->Camera()->Stop();
    stopped = true;
  });
  for (int waited = 0; waited < 100 && !stopped; ++waited) ::Sleep(100);
  if (!stopped) {
    stopper.detach();
    FAIL() << "the camera did not stop within ten seconds";
  }
  stopper.join();
  FILTER_STATE state{};
  EXPECT_EQ(m_graph->Camera()->GetState(0, &state), S_OK);
  EXPECT_EQ(state, State_Stopped);
  EXPECT_HRESULT_SUCCEEDED(m_graph->Stop());
}

TEST_F(CameraPinTest, ANewFormatWhileConnectedReconnectsAtThatFormat) {
  ASSERT_HRESULT_SUCCEEDED(m_graph->Connect({PixelFormat::Rgb24, 320, 240}));
  ASSERT_HRESULT_SUCCEEDED(m_graph->Run());
  ASSERT_TRUE(m_graph->WaitForFrames(1, 5000));
  dshow::CMediaType larger = MakeMediaType({PixelFormat::Rgb24, 1280, 720}, 333333);
  EXPECT_EQ(m_config->SetFormat(&larger.Get()), VFW_E_NOT_STOPPED);

  ASSERT_HRESULT_SUCCEEDED(m_graph->Stop());
  ASSERT_EQ(m_config->SetFormat(&larger.Get()), S_OK);
  const OutputLayout layout = m_graph->ConnectedLayout();
  EXPECT_EQ(layout.width, 1280u);
  EXPECT_EQ(layout.height, 720u);
  ASSERT_HRESULT_SUCCEEDED(m_graph->ReconnectGrabberOutput());
  ASSERT_HRESULT_SUCCEEDED(m_graph->Run());
  const GrabbedFrame frame = m_graph->NextFrame();
  EXPECT_EQ(frame.bytes.size(), 1280u * 720u * 3u);
}

}  // namespace
}  // namespace vcam
