#include "feed/CMyVideoPlayer.h"

#include <gtest/gtest.h>

#include <tlhelp32.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <optional>
#include <set>
#include <vector>

#include "feed/CMyVideoSampleGrabberCB.h"
#include "feed/ColourConverterFilter.h"
#include "feed/ErrorMessageText.h"
#include "feed/FrameChannel.h"
#include "feed/FrameLayout.h"
#include "feed/GraphBuildJob.h"
#include "testing/GraphInspection.h"
#include "testing/LogCapture.h"
#include "testing/Process.h"
#include "testing/StalledFile.h"
#include "testing/TempFolder.h"
#include "testing/VideoWindow.h"

using Microsoft::WRL::ComPtr;
using testing_support::FiltersOf;
using testing_support::LogCapture;

namespace feed {
namespace {

// The test videos (tools/make-test-media.sh): 160x120, 30 frames a second, 60 frames;
// the top half a barcode of the frame's index, the bottom half blue 200, green 100, red 50.
constexpr int kWidth = 160, kHeight = 120, kFrames = 60;
constexpr size_t kFrameBytes = kWidth * kHeight * 3;

std::wstring Media(const std::wstring& name) {
  return std::wstring(PLUMORA_TEST_MEDIA_DIR) + L"\\" + name;
}

std::vector<BYTE> ReadFile(const std::wstring& path) {
  std::ifstream in(path.c_str(), std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The barcode's value in a top-down BGR frame: 8 columns of 20 pixels, lowest bit left.
int FrameIndexTopDown(const BYTE* topDown) {
  int index = 0;
  for (int bit = 0; bit < 8; ++bit) {
    const BYTE* pixel = topDown + (30 * kWidth + bit * 20 + 10) * 3;
    if (pixel[1] > 128) index |= 1 << bit;
  }
  return index;
}

std::vector<BYTE> FlipRows(const BYTE* rows) {
  std::vector<BYTE> flipped(kFrameBytes);
  for (int row = 0; row < kHeight; ++row)
    std::copy(rows + row * kWidth * 3, rows + (row + 1) * kWidth * 3,
              flipped.begin() + (kHeight - 1 - row) * kWidth * 3);
  return flipped;
}

bool IsOtherVideoRenderer(const CLSID& id) {
  static const CLSID kRenderers[] = {CLSID_VideoRenderer, CLSID_VideoRendererDefault,
                                     CLSID_VideoMixingRenderer9};
  for (const CLSID& renderer : kRenderers)
    if (id == renderer) return true;
  return false;
}

class PlayerTest : public ::testing::Test {
 protected:
  // Runs the message loop, draining the player's events, until `done` or the timeout.
  bool PumpUntil(const std::function<bool()>& done, unsigned timeoutMs = 10000) {
    return m_window.PumpUntil(done, timeoutMs);
  }

  void SetUp() override {
    m_window.onPlayerEvent = [this] {
      long code;
      LONG_PTR param1, param2;
      while (SUCCEEDED(m_player.NextEvent(code, param1, param2)))
        if (code == EC_COMPLETE) ++m_completions;
    };
  }

  ComPtr<IBaseFilter> FindFilter(const std::wstring& name) {
    for (const auto& entry : FiltersOf(m_player.Graph()))
      if (entry.name == name) return entry.filter;
    return nullptr;
  }

  // The video window's parent gets the events; the player draws into the child.
  testing_support::VideoWindow m_window;
  CMyVideoPlayer m_player;
  int m_completions = 0;
};

// ---- graph shape

struct RouteCase {
  const wchar_t* file;
  bool wholeFile;
};

class PlayerRouteTest : public PlayerTest, public ::testing::WithParamInterface<RouteCase> {};

TEST_P(PlayerRouteTest, VideoPassesTheGrabberIntoTheWindowlessRendererAndNoOtherRenderer) {
  const RouteCase route = GetParam();
  const unsigned long before = g_videoGrabberCallback.SamplesSeen();
  ASSERT_HRESULT_SUCCEEDED(m_player.PlayInWindow(Media(route.file).c_str(), m_window.VideoArea(),
                                                 route.wholeFile, true));
  const std::string graph = testing_support::DescribeGraph(m_player.Graph());

  const ComPtr<IBaseFilter> renderer = FindFilter(L"Video Mixing Renderer");
  const ComPtr<IBaseFilter> grabber = FindFilter(L"Grabber");
  ASSERT_NE(renderer, nullptr) << graph;
  ASSERT_NE(grabber, nullptr) << graph;
  // Grabber -> (colour converter) -> renderer.
  ComPtr<IBaseFilter> next = testing_support::Downstream(grabber.Get());
  if (next != nullptr && testing_support::FilterName(next.Get()) == L"Colour Converter") {
    EXPECT_EQ(testing_support::InputSubtype(next.Get()), MEDIASUBTYPE_RGB24) << graph;
    next = testing_support::Downstream(next.Get());
  }
  EXPECT_EQ(next, renderer) << graph;
  EXPECT_EQ(testing_support::InputSubtype(grabber.Get()), MEDIASUBTYPE_RGB24) << graph;

  int windowlessRenderers = 0;
  for (const auto& entry : FiltersOf(m_player.Graph())) {
    EXPECT_FALSE(IsOtherVideoRenderer(entry.classId)) << graph;
    if (entry.classId == CLSID_VideoMixingRenderer) ++windowlessRenderers;
  }
  EXPECT_EQ(windowlessRenderers, 1) << graph;

  // The renderer knows the picture; the camera gets its size.
  ComPtr<IVMRWindowlessControl> windowless;
  ASSERT_HRESULT_SUCCEEDED(renderer.As(&windowless));
  long width = 0, height = 0;
  ASSERT_HRESULT_SUCCEEDED(windowless->GetNativeVideoSize(&width, &height, nullptr, nullptr));
  EXPECT_EQ(width, kWidth);
  EXPECT_EQ(height, kHeight);
  EXPECT_EQ(g_videoGrabberCallback.m_width, kWidth);
  EXPECT_EQ(g_videoGrabberCallback.m_height, kHeight);

  // Stretched over the video area's whole client rectangle.
  RECT source{}, destination{}, client{};
  ::GetClientRect(m_window.VideoArea(), &client);
  ASSERT_HRESULT_SUCCEEDED(windowless->GetVideoPosition(&source, &destination));
  EXPECT_TRUE(::EqualRect(&destination, &client));

  EXPECT_TRUE(PumpUntil([&] { return g_videoGrabberCallback.SamplesSeen() >= before + 10; }))
      << graph;
}

INSTANTIATE_TEST_SUITE_P(
    Routes, PlayerRouteTest,
    ::testing::Values(RouteCase{L"raw.avi", false}, RouteCase{L"raw.avi", true},
                      RouteCase{L"mjpeg.avi", false}, RouteCase{L"mjpeg.avi", true},
                      RouteCase{L"h264.mp4", false}, RouteCase{L"h264.mp4", true}));

// ---- frames in the channel, seen from another process

struct ChannelCase {
  const wchar_t* file;
  double allowedMeanDifference;  // 0: the bytes must be exactly the file's
};

class PlayerChannelTest : public PlayerTest, public ::testing::WithParamInterface<ChannelCase> {};

TEST_P(PlayerChannelTest, EveryFrameReachesAReaderInAnotherProcessAsTheFileHoldsIt) {
  const ChannelCase file = GetParam();
  const std::vector<BYTE> expected = ReadFile(Media(std::wstring(file.file) + L".bgr"));
  ASSERT_EQ(expected.size(), kFrameBytes * kFrames);

  // A marker frame first, so that the reader's first frame is not a left-over.
  const BYTE marker[8 * 8 * 3] = {};
  ASSERT_TRUE(WriteFrame(marker, 8, 8));
  const testing_support::TempFolder folder(L"frames");
  // Watching for long enough that a slow start on a busy machine still leaves the whole
  // two-second file inside the window.
  testing_support::ChildProcess reader(testing_support::ProgramFolder() + L"\\channel-reader.exe",
                                       L"--watch 8 --record \"" + folder.Path() + L"\"");
  ASSERT_TRUE(reader.Started());
  // Playing starts once the reader has recorded the marker, however slowly it started.
  ASSERT_TRUE(PumpUntil([&] {
    return ::GetFileAttributesW(folder.File(L"frame-0001.bin").c_str()) != INVALID_FILE_ATTRIBUTES;
  }));

  const unsigned long samplesBefore = g_videoGrabberCallback.SamplesSeen();
  ASSERT_HRESULT_SUCCEEDED(m_player.PlayToCamera(Media(file.file).c_str(), m_window.VideoArea()));
  EXPECT_TRUE(PumpUntil([&] { return m_completions > 0; }));
  // Every frame of the file went through the grabber into the channel.
  EXPECT_EQ(g_videoGrabberCallback.SamplesSeen() - samplesBefore,
            static_cast<unsigned long>(kFrames));
  EXPECT_EQ(reader.Wait(15000), 0);

  // The channel keeps only the newest frame, as a camera wants; a reader that the machine
  // starves for longer than a frame's 33 ms misses that frame, by design. So the reader
  // proves what crosses the process boundary: each frame it saw is the file's frame, whole,
  // and they come in the file's order.
  std::set<int> indices;
  int previousIndex = -1;
  for (int n = 1;; ++n) {
    wchar_t name[32];
    swprintf(name, 32, L"frame-%04d.bin", n);
    const std::vector<BYTE> block = ReadFile(folder.File(name));
    if (block.empty()) break;
    SCOPED_TRACE(testing::Message() << "recorded frame " << n);
    if (n == 1 && block.size() == 4 + sizeof marker) continue;
    ASSERT_EQ(block.size(), 4 + kFrameBytes);
    EXPECT_EQ(block[0] | block[1] << 8, kWidth);
    EXPECT_EQ(block[2] | block[3] << 8, kHeight);
    // Bottom row first, as the grabber's 24-bit samples come.
    const std::vector<BYTE> topDown = FlipRows(block.data() + 4);
    const int index = FrameIndexTopDown(topDown.data());
    ASSERT_LT(index, kFrames);
    EXPECT_GT(index, previousIndex);
    previousIndex = index;
    indices.insert(index);
    const BYTE* want = expected.data() + index * kFrameBytes;
    if (file.allowedMeanDifference == 0) {
      EXPECT_TRUE(std::equal(topDown.begin(), topDown.end(), want)) << "frame index " << index;
    } else {
      double difference = 0;
      for (size_t i = 0; i < kFrameBytes; ++i) difference += std::abs(topDown[i] - want[i]);
      EXPECT_LE(difference / kFrameBytes, file.allowedMeanDifference) << "frame index " << index;
    }
    // Blue, green, red in that order in the bottom half.
    const BYTE* colour = topDown.data() + (100 * kWidth + 80) * 3;
    EXPECT_NEAR(colour[0], 200, 12);
    EXPECT_NEAR(colour[1], 100, 12);
    EXPECT_NEAR(colour[2], 50, 12);
  }
  // Polling every millisecond, it sees nearly all; half would mean a second starved. The
  // last frame stays in the channel after the end, so it is always there to be seen.
  EXPECT_GE(indices.size(), static_cast<size_t>(kFrames / 2)) << "distinct frames seen";
  EXPECT_EQ(indices.count(kFrames - 1), 1u) << "the last frame";
}

INSTANTIATE_TEST_SUITE_P(Files, PlayerChannelTest,
                         ::testing::Values(ChannelCase{L"raw.avi", 0}, ChannelCase{L"mjpeg.avi", 4},
                                           ChannelCase{L"h264.mp4", 4}));

// ---- routes and fallbacks

TEST_F(PlayerTest, WindowsMediaPathsNeverTakeTheSourceRoute) {
  // An ordinary AVI in a folder whose name holds ".wmv".
  const testing_support::TempFolder folder(L"clips.wmv");
  const std::wstring path = folder.File(L"raw.avi");
  ASSERT_TRUE(::CopyFileW(Media(L"raw.avi").c_str(), path.c_str(), FALSE));

  EXPECT_EQ(m_player.PlayInWindow(path.c_str(), m_window.VideoArea(), false, true), E_FAIL);
  EXPECT_EQ(FindFilter(L"File Source"), nullptr);

  // PlayToCamera goes on to the whole-file route in the same call.
  const unsigned long before = g_videoGrabberCallback.SamplesSeen();
  ASSERT_HRESULT_SUCCEEDED(m_player.PlayToCamera(path.c_str(), m_window.VideoArea()));
  const std::string graph = testing_support::DescribeGraph(m_player.Graph());
  EXPECT_EQ(FindFilter(L"File Source"), nullptr) << graph;
  EXPECT_NE(testing_support::Upstream(FindFilter(L"Grabber").Get()), nullptr) << graph;
  EXPECT_TRUE(PumpUntil([&] { return g_videoGrabberCallback.SamplesSeen() >= before + 10; }));
}

TEST_F(PlayerTest, AFileWithoutVideoIsNotGrabbed) {
  const LogCapture log;
  EXPECT_EQ(m_player.PlayToCamera(Media(L"tone.wav").c_str(), m_window.VideoArea()),
            E_GRABBER_NOT_GRABBED);
  EXPECT_EQ(log.Count(L"ERROR", L"vmrutil", L"grabber is not grabbed"), 1) << log.Text();
  EXPECT_EQ(FindFilter(L"Grabber"), nullptr);
  EXPECT_TRUE(m_player.HasGraph());  // built, until the caller releases it
}

TEST_F(PlayerTest, FilesThatAreNotPlayableFailWithATextAndNeverHang) {
  for (const wchar_t* name : {L"missing.avi", L"empty.avi", L"random.avi", L"text.mp4"}) {
    SCOPED_TRACE(testing::Message() << name);
    const HRESULT result = m_player.PlayToCamera(Media(name).c_str(), m_window.VideoArea());
    EXPECT_TRUE(FAILED(result));
    EXPECT_FALSE(ErrorMessageText(result).empty());
    m_player.ReleaseGraph();
  }
}

// Files cut short after a valid start: each plays what it holds, fails, or (where the
// system's parser never answers for it) is given up at the deadline; none holds up its
// caller. Each runs in a process of its own: under Wine a parser that never answers
// leaves a thread inside GStreamer that crashes its process at exit (docs/wine-notes.md).
TEST(TruncatedFiles, EachEndsFailsOrIsGivenUpWithoutHangingItsCaller) {
  const testing_support::TempFolder folder(L"truncated");
  const std::vector<BYTE> raw = ReadFile(Media(L"raw.avi"));
  ASSERT_GT(raw.size(), 4000u);
  std::vector<std::wstring> files = {Media(L"truncated.avi"), Media(L"truncated-early.mp4"),
                                     Media(L"truncated-half.mp4")};
  for (size_t length : {300, 1200}) {
    files.push_back(folder.File(L"raw-" + std::to_wstring(length) + L".avi"));
    std::ofstream(files.back().c_str(), std::ios::binary)
        .write(reinterpret_cast<const char*>(raw.data()), static_cast<std::streamsize>(length));
  }
  const unsigned kDeadlineMs = 3000;
  for (const std::wstring& file : files) {
    SCOPED_TRACE(testing::Message() << std::string(file.begin(), file.end()));
    const DWORD start = ::GetTickCount();
    const int code = testing_support::RunProgram(
        testing_support::ProgramFolder() + L"\\play-to-camera.exe",
        L"\"" + file + L"\" --seconds 1 --deadline " + std::to_wstring(kDeadlineMs), 30000);
    const DWORD took = ::GetTickCount() - start;
    // 0 played, 1 failed, 3 given up at the deadline; -1 would be a hang.
    EXPECT_TRUE(code == 0 || code == 1 || code == 3) << "exit code " << code;
    EXPECT_LT(took, kDeadlineMs + 15000u);
  }
}

// ---- nothing left behind

int ThreadsOfThisProcess() {
  HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return -1;
  THREADENTRY32 entry{};
  entry.dwSize = sizeof entry;
  int count = 0;
  for (BOOL more = ::Thread32First(snapshot, &entry); more; more = ::Thread32Next(snapshot, &entry))
    if (entry.th32OwnerProcessID == ::GetCurrentProcessId()) ++count;
  ::CloseHandle(snapshot);
  return count;
}

// A silent file's sound renderer is offered only outputs that carry sound. Offered the
// grabber's video, the graph manager connected the video renderer on its way and then
// connected it again for real; Wine's renderer keeps a Direct3D device and its thread
// for every such reconnection (docs/wine-notes.md), one per file played, for hours.
TEST_F(PlayerTest, PlayingASilentFileAgainAndAgainLeavesNoThreadsBehind) {
  const auto playOnce = [&] {
    const unsigned long before = g_videoGrabberCallback.SamplesSeen();
    ASSERT_HRESULT_SUCCEEDED(
        m_player.PlayToCamera(Media(L"raw.avi").c_str(), m_window.VideoArea()));
    ASSERT_TRUE(PumpUntil([&] { return g_videoGrabberCallback.SamplesSeen() >= before + 5; }));
    m_player.ReleaseGraph();
  };
  playOnce();  // the first play starts what stays for the process's life
  m_window.PumpFor(300);
  const int threadsBefore = ThreadsOfThisProcess();
  ASSERT_GT(threadsBefore, 0);
  constexpr int kPlays = 8;
  for (int play = 0; play < kPlays; ++play) playOnce();
  m_window.PumpFor(300);
  const int threadsAfter = ThreadsOfThisProcess();
  EXPECT_LT(threadsAfter - threadsBefore, kPlays / 2)
      << threadsBefore << " threads before, " << threadsAfter << " after " << kPlays << " plays";
}

// ---- openings that do not end

TEST_F(PlayerTest, AnOpeningThatDoesNotEndIsGivenUpAtTheDeadlineAndTheNextFilePlays) {
  testing_support::StalledFile stalled;
  ASSERT_TRUE(stalled.IsValid());
  const LogCapture log;
  m_player.SetBuildDeadline(1500);

  const DWORD start = ::GetTickCount();
  EXPECT_EQ(m_player.PlayToCamera(stalled.Path().c_str(), m_window.VideoArea()),
            E_GRAPH_BUILD_TIMEOUT);
  const DWORD waited = ::GetTickCount() - start;
  EXPECT_GE(waited, 1400u);
  EXPECT_LT(waited, 5000u);
  EXPECT_FALSE(m_player.HasGraph());
  EXPECT_FALSE(m_player.IsBuilding());
  EXPECT_EQ(log.Count(L"ERROR", L"CMyVideoPlayer",
                      L"Opening " + stalled.Path() + L" took longer than 1500 ms; given up"),
            1)
      << log.Text();

  // The player is free at once for the next file, while the old opening still waits.
  const unsigned long before = g_videoGrabberCallback.SamplesSeen();
  ASSERT_HRESULT_SUCCEEDED(m_player.PlayToCamera(Media(L"raw.avi").c_str(), m_window.VideoArea()));
  EXPECT_TRUE(PumpUntil([&] { return g_videoGrabberCallback.SamplesSeen() >= before + 10; }));

  // When the opening left behind ends at last, its graph goes without touching the player's.
  stalled.Release();
  IGraphBuilder* const graph = m_player.Graph();
  const unsigned long playing = g_videoGrabberCallback.SamplesSeen();
  EXPECT_TRUE(PumpUntil([&] { return g_videoGrabberCallback.SamplesSeen() >= playing + 10; }));
  EXPECT_EQ(m_player.Graph(), graph);
}

TEST_F(PlayerTest, AStartWithoutWaitingReportsThroughTheParentAndStaleTicketsAreIgnored) {
  testing_support::StalledFile stalled;
  ASSERT_TRUE(stalled.IsValid());
  std::vector<WPARAM> tickets;
  m_window.onOtherMessage = [&](UINT message, WPARAM wParam) {
    if (message == WM_PLAYER_BUILT) tickets.push_back(wParam);
  };

  // A start that stalls, replaced by another before it ends: only the second one counts.
  ASSERT_HRESULT_SUCCEEDED(
      m_player.StartPlayToCamera(stalled.Path().c_str(), m_window.VideoArea()));
  EXPECT_TRUE(m_player.IsBuilding());
  EXPECT_FALSE(m_player.HasGraph());
  ASSERT_HRESULT_SUCCEEDED(
      m_player.StartPlayToCamera(Media(L"raw.avi").c_str(), m_window.VideoArea()));
  ASSERT_TRUE(PumpUntil([&] { return !tickets.empty(); }));
  HRESULT result = E_FAIL;
  ASSERT_TRUE(m_player.FinishPlayToCamera(tickets.back(), result));
  EXPECT_HRESULT_SUCCEEDED(result);
  EXPECT_TRUE(m_player.HasGraph());
  EXPECT_FALSE(m_player.IsBuilding());
  const unsigned long before = g_videoGrabberCallback.SamplesSeen();
  EXPECT_TRUE(PumpUntil([&] { return g_videoGrabberCallback.SamplesSeen() >= before + 10; }));

  // The stalled start ends now, and its notice is no longer the player's business.
  stalled.Release();
  ASSERT_TRUE(PumpUntil([&] { return tickets.size() == 2; }));
  EXPECT_FALSE(m_player.FinishPlayToCamera(tickets.back(), result));
  EXPECT_FALSE(m_player.FinishPlayToCamera(tickets.front(), result));  // taken already
  EXPECT_TRUE(m_player.HasGraph());

  // A failing start reports its failure the same way.
  tickets.clear();
  ASSERT_HRESULT_SUCCEEDED(
      m_player.StartPlayToCamera(Media(L"missing.avi").c_str(), m_window.VideoArea()));
  ASSERT_TRUE(PumpUntil([&] { return !tickets.empty(); }));
  ASSERT_TRUE(m_player.FinishPlayToCamera(tickets.back(), result));
  EXPECT_TRUE(FAILED(result));
  EXPECT_FALSE(ErrorMessageText(result).empty());
}

// On its way out the process waits for the threads of openings that have ended, so that none
// is still ending while the process ends; an opening that never ends must not hold it up.
TEST_F(PlayerTest, TheThreadsOfEndedOpeningsAreWaitedForAndAStalledOneIsNot) {
  testing_support::StalledFile stalled;
  ASSERT_TRUE(stalled.IsValid());
  int built = 0;
  m_window.onOtherMessage = [&](UINT message, WPARAM) {
    if (message == WM_PLAYER_BUILT) ++built;
  };
  ASSERT_HRESULT_SUCCEEDED(
      m_player.StartPlayToCamera(stalled.Path().c_str(), m_window.VideoArea()));
  ASSERT_HRESULT_SUCCEEDED(m_player.PlayToCamera(Media(L"raw.avi").c_str(), m_window.VideoArea()));

  const DWORD start = ::GetTickCount();
  EXPECT_TRUE(CGraphBuildJob::WaitForEndedThreads(5000));
  EXPECT_LT(::GetTickCount() - start, 1000u);
  // The good file's thread is gone; the stalled opening's is still there.
  EXPECT_EQ(CGraphBuildJob::ThreadsLeft(), 1u);

  // Ended at last, the stalled opening's thread is waited for like any other.
  stalled.Release();
  ASSERT_TRUE(PumpUntil([&] { return built == 1; }));
  EXPECT_TRUE(CGraphBuildJob::WaitForEndedThreads(5000));
  EXPECT_EQ(CGraphBuildJob::ThreadsLeft(), 0u);
}

// ---- events, seeking and painting

TEST_F(PlayerTest, EventsReachTheParentAndTheFileReplaysFromZeroWithoutARebuild) {
  ASSERT_HRESULT_SUCCEEDED(m_player.PlayToCamera(Media(L"raw.avi").c_str(), m_window.VideoArea()));
  IGraphBuilder* const graph = m_player.Graph();
  LONGLONG duration = 0;
  ASSERT_TRUE(m_player.GetDuration(duration));
  EXPECT_NEAR(static_cast<double>(duration), 2e7, 1e6);

  ASSERT_TRUE(PumpUntil([&] { return m_completions == 1; }));
  EXPECT_GT(m_window.playerEventMessages, 0);

  // The graph keeps running after the end: back to the start plays it again.
  const unsigned long before = g_videoGrabberCallback.SamplesSeen();
  EXPECT_TRUE(m_player.SetPosition(0));
  EXPECT_TRUE(PumpUntil([&] { return m_completions == 2; }));
  EXPECT_GE(g_videoGrabberCallback.SamplesSeen() - before, static_cast<unsigned long>(kFrames - 2));
  EXPECT_EQ(m_player.Graph(), graph);
}

TEST_F(PlayerTest, SeekingToWhereThePlayerAlreadyIsDoesNotSeek) {
  ASSERT_HRESULT_SUCCEEDED(m_player.PlayToCamera(Media(L"raw.avi").c_str(), m_window.VideoArea()));
  ASSERT_HRESULT_SUCCEEDED(m_player.Pause());
  m_window.PumpFor(300);

  // While paused, a real seek cues up a new frame: that is how a seek shows.
  unsigned long before = g_videoGrabberCallback.SamplesSeen();
  EXPECT_TRUE(m_player.SetPosition(10000000));
  EXPECT_TRUE(PumpUntil([&] { return g_videoGrabberCallback.SamplesSeen() > before; }, 3000));
  EXPECT_TRUE(m_player.SetPosition(0));
  m_window.PumpFor(500);
  LONGLONG position = -1;
  ASSERT_TRUE(m_player.GetCurrentPosition(position));
  ASSERT_EQ(position, 0);

  before = g_videoGrabberCallback.SamplesSeen();
  EXPECT_TRUE(m_player.SetPosition(0));
  m_window.PumpFor(500);
  EXPECT_EQ(g_videoGrabberCallback.SamplesSeen(), before);
}

TEST_F(PlayerTest, AnEmptyPlayerDoesNothingAndReportsFailure) {
  m_player.ReleaseGraph();
  m_player.ReleaseGraph();
  EXPECT_FALSE(m_player.HasGraph());
  EXPECT_TRUE(FAILED(m_player.Run()));
  EXPECT_TRUE(FAILED(m_player.Pause()));
  EXPECT_TRUE(FAILED(m_player.Stop()));
  EXPECT_TRUE(FAILED(m_player.FitVideoToWindow()));
  EXPECT_TRUE(FAILED(m_player.DisplayModeChanged()));
  long code;
  LONG_PTR param1, param2;
  EXPECT_TRUE(FAILED(m_player.NextEvent(code, param1, param2)));
  LONGLONG position = 0;
  EXPECT_FALSE(m_player.GetDuration(position));
  EXPECT_FALSE(m_player.GetCurrentPosition(position));
  EXPECT_FALSE(m_player.SetPosition(0));

  const LogCapture log;
  long volume = 0;
  EXPECT_FALSE(m_player.Mute());
  EXPECT_FALSE(m_player.SetVolume(-100));
  EXPECT_FALSE(m_player.GetVolume(volume));
  EXPECT_EQ(log.CountAll(), 0) << log.Text();
}

TEST_F(PlayerTest, PaintVideoPaintsOnlyWithAGraph) {
  const HWND video = m_window.VideoArea();
  RECT update;
  ::InvalidateRect(video, nullptr, FALSE);
  m_player.PaintVideo(video);
  EXPECT_TRUE(::GetUpdateRect(video, &update, FALSE)) << "painted without a graph";

  ASSERT_HRESULT_SUCCEEDED(m_player.PlayToCamera(Media(L"raw.avi").c_str(), video));
  ::InvalidateRect(video, nullptr, FALSE);
  m_player.PaintVideo(video);
  EXPECT_FALSE(::GetUpdateRect(video, &update, FALSE)) << "not painted with a graph";
  m_player.PaintVideo(nullptr);  // not a window: nothing happens
}

// ---- sound

bool HasFilterOfClass(IGraphBuilder* graph, const CLSID& id) {
  for (const auto& entry : FiltersOf(graph))
    if (entry.classId == id) return true;
  return false;
}

TEST_F(PlayerTest, ASilentFileLosesItsAudioRendererAndTheVolumeCallsFail) {
  ASSERT_HRESULT_SUCCEEDED(m_player.PlayToCamera(Media(L"raw.avi").c_str(), m_window.VideoArea()));
  EXPECT_FALSE(HasFilterOfClass(m_player.Graph(), CLSID_DSoundRender))
      << testing_support::DescribeGraph(m_player.Graph());

  const LogCapture log;
  long volume = 0;
  EXPECT_FALSE(m_player.GetVolume(volume));
  EXPECT_FALSE(m_player.SetVolume(-100));
  EXPECT_FALSE(m_player.Mute());
  for (const wchar_t* text :
       {L"Failure to get volume error code= ", L"Failure to set volume error code= ",
        L"Failure to Close volume error code= "})
    EXPECT_EQ(log.CountStartingWith(L"INFO", L"CMyVideoPlayer", text), 1) << log.Text();
}

TEST_F(PlayerTest, AFileWithSoundKeepsItsAudioRendererAndTheVolumeWorks) {
  ASSERT_HRESULT_SUCCEEDED(
      m_player.PlayToCamera(Media(L"sound.avi").c_str(), m_window.VideoArea()));
  const ComPtr<IBaseFilter> audio = FindFilter(L"Audio Renderer");
  ASSERT_NE(audio, nullptr) << testing_support::DescribeGraph(m_player.Graph());
  EXPECT_NE(testing_support::Upstream(audio.Get()), nullptr);

  long volume = 0;
  EXPECT_TRUE(m_player.SetVolume(-1500));
  EXPECT_TRUE(m_player.GetVolume(volume));
  EXPECT_EQ(volume, -1500);
  EXPECT_TRUE(m_player.Mute());
  EXPECT_TRUE(m_player.GetVolume(volume));
  EXPECT_EQ(volume, -10000);
}

// ---- the grabber's callback

TEST_F(PlayerTest, TheFirstSampleOfEachFileIsLoggedThenOnlyLengthChanges) {
  static const wchar_t kRawLine[] = L"grabber sample width = 160,height=120,buffersize = 57600";
  static const wchar_t kSmallLine[] = L"grabber sample width = 96,height=72,buffersize = 20736";
  std::optional<LogCapture> log;
  int rawLines = 0, smallLines = 0;
  // Each file is played until its own first sample has been logged (a slow machine may take
  // a while to start a graph) and then for another 15 samples, which must log nothing more.
  const auto play = [&](const wchar_t* name, const wchar_t* line, int& expected) {
    ASSERT_HRESULT_SUCCEEDED(m_player.PlayToCamera(Media(name).c_str(), m_window.VideoArea()));
    ++expected;
    if (log) {
      EXPECT_TRUE(PumpUntil([&] {
        return log->Count(L"INFO", L"CMyVideoPlayer", line) >= expected;
      })) << log->Text();
    }
    const unsigned long before = g_videoGrabberCallback.SamplesSeen();
    EXPECT_TRUE(PumpUntil([&] { return g_videoGrabberCallback.SamplesSeen() >= before + 15; }));
  };
  int ignored = 0;
  play(L"small.avi", kSmallLine,
       ignored);  // whatever was logged before, the last length is small.avi's
  log.emplace();
  play(L"raw.avi", kRawLine, rawLines);
  play(L"small.avi", kSmallLine, smallLines);
  play(L"raw.avi", kRawLine, rawLines);
  EXPECT_EQ(log->Count(L"INFO", L"CMyVideoPlayer", kRawLine), 2) << log->Text();
  EXPECT_EQ(log->Count(L"INFO", L"CMyVideoPlayer", kSmallLine), 1) << log->Text();
  EXPECT_EQ(log->CountAll(), 3) << log->Text();
}

// A buffer whose last byte is followed by a page that cannot be read.
class GuardedBuffer {
 public:
  explicit GuardedBuffer(size_t size) {
    const size_t page = 4096, pages = (size + page - 1) / page + 1;
    m_base = static_cast<BYTE*>(
        ::VirtualAlloc(nullptr, pages * page, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    DWORD old;
    ::VirtualProtect(m_base + (pages - 1) * page, page, PAGE_NOACCESS, &old);
    m_data = m_base + (pages - 1) * page - size;
    std::fill(m_data, m_data + size, 0x5A);
  }
  ~GuardedBuffer() { ::VirtualFree(m_base, 0, MEM_RELEASE); }
  BYTE* Data() const { return m_data; }

 private:
  BYTE* m_base;
  BYTE* m_data;
};

std::pair<int, int> ChannelHeader() {
  HANDLE mapping = ::OpenFileMappingW(FILE_MAP_READ, FALSE, kFrameChannelName);
  if (mapping == nullptr) return {-1, -1};
  const auto* bytes = static_cast<const BYTE*>(::MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 4));
  const std::pair<int, int> header{bytes[0] | bytes[1] << 8, bytes[2] | bytes[3] << 8};
  ::UnmapViewOfFile(bytes);
  ::CloseHandle(mapping);
  return header;
}

TEST(GrabberCallback, ASampleShorterThanItsFrameIsDroppedAndNeverReadPast) {
  const BYTE known[4 * 4 * 3] = {};
  ASSERT_TRUE(WriteFrame(known, 4, 4));
  g_videoGrabberCallback.m_width = kWidth;
  g_videoGrabberCallback.m_height = kHeight;

  const GuardedBuffer shortSample(kFrameBytes - 1);
  EXPECT_EQ(g_videoGrabberCallback.BufferCB(0, shortSample.Data(), kFrameBytes - 1), S_OK);
  EXPECT_EQ(ChannelHeader(), std::make_pair(4, 4));

  const GuardedBuffer wholeSample(kFrameBytes);
  EXPECT_EQ(g_videoGrabberCallback.BufferCB(0, wholeSample.Data(), kFrameBytes), S_OK);
  EXPECT_EQ(ChannelHeader(), std::make_pair(kWidth, kHeight));
}

TEST(GrabberCallback, HasAFixedReferenceCountAndOnlyItsOwnInterfaces) {
  ISampleGrabberCB& callback = g_videoGrabberCallback;
  EXPECT_EQ(callback.AddRef(), 2u);
  EXPECT_EQ(callback.Release(), 1u);
  void* object = nullptr;
  EXPECT_EQ(callback.QueryInterface(IID_ISampleGrabberCB, &object), S_OK);
  EXPECT_EQ(object, &callback);
  EXPECT_EQ(callback.QueryInterface(IID_IBaseFilter, &object), E_NOINTERFACE);
  EXPECT_EQ(object, nullptr);
}

TEST(ErrorMessageText, GivesTheSystemsTextOrTheDecoderHint) {
  const std::wstring known = ErrorMessageText(HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND));
  EXPECT_NE(known, kDecoderHint);
  EXPECT_FALSE(known.empty());
  EXPECT_NE(known.back(), L'\n');
  EXPECT_EQ(ErrorMessageText(E_GRABBER_NOT_GRABBED), kDecoderHint);
}

}  // namespace
}  // namespace feed
