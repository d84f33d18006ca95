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

TEST_F(CameraDeviceTest, EachBitnessRegistersInItsOwnRegistryView) {
  if (!HasTwoRegistryViews()) GTEST_SKIP() << "32-bit Windows has one registry view";
  const std::wstring other =
      std::wstring(PLUMORA_DIST_DIR) +
      (sizeof(void*) == 8 ? L"\\PlumoraVirtualCamera32.dll" : L"\\PlumoraVirtualCamera64.dll");
  if (::GetFileAttributesW(other.c_str()) == INVALID_FILE_ATTRIBUTES)
    GTEST_SKIP() << "the other bitness is not built";

  EXPECT_EQ(OtherViewFriendlyName(), L"");
  ASSERT_EQ(RunRegsvr32(other, false, true), 0);
  EXPECT_EQ(OtherViewFriendlyName(), L"Virtual Camera");
  // Renaming or removing the camera in one view leaves the other alone.
  ASSERT_TRUE(SetCameraFriendlyName(L"Only here"));
  EXPECT_EQ(OtherViewFriendlyName(), L"Virtual Camera");
  ASSERT_EQ(RunRegsvr32(CameraDllPath(), true), 0);
  EXPECT_EQ(OtherViewFriendlyName(), L"Virtual Camera");
  EXPECT_EQ(CountNamed(L"Only here"), 0);
  EXPECT_EQ(RunRegsvr32(other, true, true), 0);
  EXPECT_EQ(OtherViewFriendlyName(), L"");
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
  // Through void*: FARPROC's type differs from the entry point's in 64-bit builds.
  const auto canUnload = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(
      reinterpret_cast<void*>(::GetProcAddress(dll, "DllCanUnloadNow")));
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
