// The player on a machine without a sound device: this program runs where Wine has none.
#include "feed/CMyVideoPlayer.h"

#include <gtest/gtest.h>

#include "feed/CMyVideoSampleGrabberCB.h"
#include "testing/GraphInspection.h"
#include "testing/VideoWindow.h"

using Microsoft::WRL::ComPtr;

namespace feed {
namespace {

TEST(PlayerWithoutSoundDevice, TheSourceRouteStillPlaysTheVideo) {
  ComPtr<IBaseFilter> probe;
  ASSERT_TRUE(FAILED(
      ::CoCreateInstance(CLSID_DSoundRender, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&probe))))
      << "run with PLUMORA_WINE_SOUND=none: this Wine has a sound device";

  testing_support::VideoWindow window;
  CMyVideoPlayer player;
  const std::wstring path = std::wstring(PLUMORA_TEST_MEDIA_DIR) + L"\\sound.avi";
  const unsigned long before = g_videoGrabberCallback.SamplesSeen();
  ASSERT_HRESULT_SUCCEEDED(player.PlayInWindow(path.c_str(), window.VideoArea(), false, true));

  const std::string graph = testing_support::DescribeGraph(player.Graph());
  bool fileSource = false;
  for (const auto& entry : testing_support::FiltersOf(player.Graph())) {
    EXPECT_NE(entry.classId, CLSID_DSoundRender) << graph;
    fileSource |= entry.name == L"File Source";
  }
  EXPECT_TRUE(fileSource) << graph;
  EXPECT_TRUE(
      window.PumpUntil([&] { return g_videoGrabberCallback.SamplesSeen() >= before + 10; }, 10000));
}

}  // namespace
}  // namespace feed
