// The camera as a user installs it with regsvr32 and as DirectShow clients find it. Built
// and run in both bitnesses: each registers the DLL of its own bitness in its own
// registry view.
#include <gtest/gtest.h>

#include "framework/dshow/DirectShow.h"
#include "vcam/CameraIds.h"
#include "vcam/testing/CameraDevices.h"
#include "vcam/testing/CaptureGraph.h"

using Microsoft::WRL::ComPtr;

namespace vcam {
namespace {

using namespace testing_support;

class CameraDeviceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_HRESULT_SUCCEEDED(::CoInitializeEx(nullptr, COINIT_MULTITHREADED));
    m_registration = std::make_unique<CCameraRegistration>();
    ASSERT_TRUE(m_registration->Succeeded()) << "regsvr32 exit code " << m_registration->ExitCode();
  }
  void TearDown() override {
    m_registration.reset();
    ::CoUninitialize();
  }

  static int CountNamed(const std::wstring& name) {
    int count = 0;
    for (const VideoInputDevice& device : ListVideoInputDevices())
      if (device.friendlyName == name) ++count;
    return count;
  }

  std::unique_ptr<CCameraRegistration> m_registration;
};

TEST_F(CameraDeviceTest, ListedAsAVideoInputDeviceNamedVirtualCamera) {
  const std::vector<VideoInputDevice> devices = ListVideoInputDevices();
  int found = 0;
  for (const VideoInputDevice& device : devices) {
    if (device.friendlyName != L"Virtual Camera") continue;
    ++found;
    EXPECT_EQ(device.classId, kClassIdText);
  }
  EXPECT_EQ(found, 1);
  EXPECT_EQ(CameraFriendlyName(), L"Virtual Camera");
}

TEST_F(CameraDeviceTest, ANewFriendlyNameIsTheNameClientsList) {
  const std::wstring renamed = L"会议室摄像头 2";
  ASSERT_TRUE(SetCameraFriendlyName(renamed));
  EXPECT_EQ(CountNamed(renamed), 1);
  EXPECT_EQ(CountNamed(L"Virtual Camera"), 0);
  // And the renamed device is still our camera.
  EXPECT_NE(OpenVideoInputDevice(renamed), nullptr);
}

TEST_F(CameraDeviceTest, RegisteringAgainKeepsTheChosenName) {
  ASSERT_TRUE(SetCameraFriendlyName(L"Studio"));
  ASSERT_EQ(RunRegsvr32(CameraDllPath(), false), 0);
  EXPECT_EQ(CameraFriendlyName(), L"Studio");
  EXPECT_EQ(CountNamed(L"Studio"), 1);
}

TEST_F(CameraDeviceTest, UnregisteringRemovesTheDeviceAndTheClass) {
  ASSERT_EQ(RunRegsvr32(CameraDllPath(), true), 0);
  EXPECT_EQ(CountNamed(L"Virtual Camera"), 0);
  EXPECT_EQ(CameraFriendlyName(), L"");
  ComPtr<IBaseFilter> filter;
  EXPECT_EQ(::CoCreateInstance(CLSID_PlumoraVirtualCamera, nullptr, CLSCTX_INPROC_SERVER,
                               IID_PPV_ARGS(&filter)),
            REGDB_E_CLASSNOTREG);
  // Unregistering what is not registered is no error.
  EXPECT_EQ(RunRegsvr32(CameraDllPath(), true), 0);
}

TEST_F(CameraDeviceTest, AClientGetsTheCardBeforeAnythingPlays) {
  // Nothing in this test program writes the frame channel.
  CCaptureGraph graph;
  ASSERT_TRUE(graph.Ready());
  ASSERT_HRESULT_SUCCEEDED(graph.Connect({PixelFormat::Rgb24, 320, 240}));
  ASSERT_HRESULT_SUCCEEDED(graph.Run());
  const GrabbedFrame frame = graph.NextFrame();
  ASSERT_FALSE(frame.bytes.empty());
  EXPECT_TRUE(ShowsCard(graph.ConnectedLayout(), frame.bytes));
  EXPECT_HRESULT_SUCCEEDED(graph.Stop());
}

TEST_F(CameraDeviceTest, TheDllUnloadsOnceItsLastFilterIsReleased) {
  const HMODULE dll = ::LoadLibraryW(CameraDllPath().c_str());
  ASSERT_NE(dll, nullptr);
  const auto canUnload =
      reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(::GetProcAddress(dll, "DllCanUnloadNow"));
  ASSERT_NE(canUnload, nullptr);
  {
    CCaptureGraph graph;
    ASSERT_TRUE(graph.Ready());
    ASSERT_HRESULT_SUCCEEDED(graph.Connect({PixelFormat::Rgb32, 640, 480}));
    ASSERT_HRESULT_SUCCEEDED(graph.Run());
    ASSERT_TRUE(graph.WaitForFrames(3, 5000));
    EXPECT_EQ(canUnload(), S_FALSE);
  }
  EXPECT_EQ(canUnload(), S_OK);
  ::FreeLibrary(dll);
}

}  // namespace
}  // namespace vcam
