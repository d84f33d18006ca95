// The camera studio with the test cameras, whose sizes, pins, pictures and frame rate each
// test sets: how the studio negotiates sizes, falls back to the capture pin, saves stills,
// switches cameras, and that a recording holds exactly the frames the camera sent while it
// ran.
#include "camera/CaptureSizes.h"
#include "camera/StudioTestSupport.h"
#include "vcam/DeviceList.h"
#include "vcam/testing/testcamera/TestCamera.h"

namespace camera {
namespace {

using namespace studio_testing;
using testcamera::CameraName;
using testcamera::CTestCameraSettings;

constexpr COLORREF kYellow = RGB(255, 255, 0), kCyan = RGB(0, 255, 255),
                   kMagenta = RGB(255, 0, 255), kBlack = RGB(0, 0, 0);

class StudioCamerasTest : public CameraStudioTest {
 protected:
  void SetUp() override {
    CameraStudioTest::SetUp();
    // Only the test cameras: our virtual camera is not left registered by another test.
    vcam::testing_support::RunRegsvr32(vcam::testing_support::CameraDllPath(), true);
    for (int camera : {1, 2}) {
      m_settings[camera - 1] = std::make_unique<CTestCameraSettings>(camera);
      ASSERT_TRUE(m_settings[camera - 1]->Ready());
    }
  }
  void TearDown() override {
    m_dialog.reset();
    m_testCameras.reset();
    for (auto& settings : m_settings) settings.reset();
    CameraStudioTest::TearDown();
  }
  CTestCameraSettings& Camera(int camera) { return *m_settings[camera - 1]; }
  void RegisterTestCameras() {
    m_testCameras = std::make_unique<testcamera::CTestCameraRegistration>();
    ASSERT_TRUE(m_testCameras->Succeeded()) << "regsvr32 exit code " << m_testCameras->ExitCode();
  }

  // Presses 拍照 and waits until the buttons come back; the new photograph decoded.
  Picture TakePhoto(HWND studio, size_t photosBefore) {
    Click(studio, IDC_CAMERA_PHOTO);
    EXPECT_TRUE(PumpUntil([&] { return Enabled(studio, IDC_CAMERA_PHOTO); }));
    const std::vector<std::wstring> photos = FilesIn(PhotoFolder());
    EXPECT_EQ(photos.size(), photosBefore + 1);
    if (photos.size() != photosBefore + 1) return {};
    return DecodeImage(PhotoFolder() + L"\\S" + TodayStamp() + L"_" +
                       (photosBefore + 1 < 10 ? L"000" : L"00") +
                       std::to_wstring(photosBefore + 1) + L".jpg");
  }

  std::vector<std::wstring> GraphFilterNames() const {
    std::vector<std::wstring> names;
    for (const testing_support::GraphFilter& filter :
         testing_support::FiltersOf(m_dialog->Capture().Graph()))
      names.push_back(filter.name);
    return names;
  }

  std::unique_ptr<CTestCameraSettings> m_settings[2];
  std::unique_ptr<testcamera::CTestCameraRegistration> m_testCameras;
};

bool Contains(const std::vector<std::wstring>& names, const wchar_t* name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

TEST_F(StudioCamerasTest, TheLargestSizeDominatesAndPhotographsComeOutAtTheirSize) {
  struct Case {
    const wchar_t* offers;
    FrameSize largest, frames, photo;
  } const cases[] = {
      // Wider but lower than the best so far does not count as larger; the request stays.
      {L"640x480 1280x720 800x600", {1280, 720}, {640, 480}, {640, 480}},
      // A camera that cannot reach the request gives its largest size.
      {L"320x240 352x288", {352, 288}, {352, 288}, {352, 288}},
      // A camera that refuses 640x480 sends its own size, stretched into the photograph.
      {L"1280x720", {1280, 720}, {1280, 720}, {640, 480}},
  };
  RegisterTestCameras();
  size_t photos = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.offers, c.offers + std::wcslen(c.offers)));
    ASSERT_TRUE(Camera(1).SetSizes(c.offers));
    const HWND studio = OpenStudio();
    ASSERT_TRUE(m_dialog->IsCameraOpen());
    EXPECT_EQ(g_frameGrabberCB.m_maxCapWidth, c.largest.width);
    EXPECT_EQ(g_frameGrabberCB.m_maxCapHeight, c.largest.height);
    EXPECT_EQ(g_frameGrabberCB.m_frameWidth, c.frames.width);
    EXPECT_EQ(g_frameGrabberCB.m_frameHeight, c.frames.height);
    const std::optional<testcamera::FrameSize> pinFormat = testcamera::LastFormat(1);
    ASSERT_TRUE(pinFormat.has_value());
    EXPECT_EQ(static_cast<std::int32_t>(pinFormat->width), c.frames.width);
    EXPECT_EQ(static_cast<std::int32_t>(pinFormat->height), c.frames.height);

    const Picture photo = TakePhoto(studio, photos++);
    EXPECT_EQ(photo.width, c.photo.width);
    EXPECT_EQ(photo.height, c.photo.height);
    EXPECT_TRUE(ShowsQuadrants(photo, kRed, kGreen, kBlue, kWhite));
    m_dialog.reset();
  }
}

TEST_F(StudioCamerasTest, ACameraWhosePreviewCannotBeRenderedIsShownFromItsCapturePin) {
  struct Case {
    const char* what;
    bool previewPin, previewUnusable;
  } const cases[] = {
      {"preview pin of a type nothing converts", true, true},
      {"capture pin only", false, false},
  };
  RegisterTestCameras();
  size_t photos = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_TRUE(Camera(1).SetPreviewPin(c.previewPin));
    ASSERT_TRUE(Camera(1).SetPreviewPinUnusable(c.previewUnusable));
    const HWND studio = OpenStudio();
    ASSERT_TRUE(m_dialog->IsCameraOpen());
    EXPECT_TRUE(ShowsQuadrants(TakePhoto(studio, photos++), kRed, kGreen, kBlue, kWhite));
    m_dialog.reset();
  }
}

TEST_F(StudioCamerasTest, StillsOfTheStillPinBecome640x480PhotographsWithoutAMessage) {
  ASSERT_TRUE(Camera(1).SetStillPin(true));
  ASSERT_TRUE(Camera(1).SetStillSizes(L"1600x1200"));
  ASSERT_TRUE(Camera(1).SetStillEveryMs(500));
  RegisterTestCameras();
  const HWND studio = OpenStudio();
  ASSERT_TRUE(m_dialog->IsCameraOpen());
  const std::vector<std::wstring> filters = GraphFilterNames();
  EXPECT_TRUE(Contains(filters, L"SampleGrab"));
  EXPECT_TRUE(Contains(filters, L"NullRender"));
  EXPECT_EQ(g_stillGrabberCB.m_frameWidth, 1600);
  EXPECT_EQ(g_stillGrabberCB.m_frameHeight, 1200);
  EXPECT_EQ(g_stillGrabberCB.m_maxCapWidth, 1600);

  ASSERT_TRUE(PumpUntil([&] { return !FilesIn(PhotoFolder()).empty(); }));
  // The still was not asked for: the dialog's buttons never went away.
  EXPECT_TRUE(Enabled(studio, IDC_CAMERA_PHOTO));
  EXPECT_FALSE(m_dialog->IsPhotoRequested());
  const std::wstring first = PhotoFolder() + L"\\S" + TodayStamp() + L"_0001.jpg";
  ASSERT_TRUE(PumpUntil([&] { return !DecodeImage(first).pixels.empty(); }));
  const Picture still = DecodeImage(first);
  EXPECT_EQ(still.width, 640);
  EXPECT_EQ(still.height, 480);
  EXPECT_TRUE(ShowsQuadrants(still, kRed, kGreen, kBlue, kWhite));
  EXPECT_GE(testcamera::StillsDelivered(1), 1);
}

TEST_F(StudioCamerasTest, ACameraWithoutAStillPinGetsNoStillBranch) {
  RegisterTestCameras();
  OpenStudio();
  ASSERT_TRUE(m_dialog->IsCameraOpen());
  const std::vector<std::wstring> filters = GraphFilterNames();
  EXPECT_TRUE(Contains(filters, L"Capture Filter"));
  EXPECT_FALSE(Contains(filters, L"SampleGrab"));
  EXPECT_FALSE(Contains(filters, L"NullRender"));
}

TEST_F(StudioCamerasTest, TwoCamerasAreListedInTheSystemsOrderAndTheSecondReplacesTheFirst) {
  RegisterTestCameras();
  std::vector<std::wstring> systemOrder;
  for (const vcam::VideoInputDevice& device : vcam::ListVideoInputDevices())
    systemOrder.push_back(device.friendlyName.c_str());
  ASSERT_EQ(systemOrder.size(), 2u);

  const HWND studio = OpenStudio();
  const HWND list = ::GetDlgItem(studio, IDC_CAMERA_LIST);
  ASSERT_EQ(::SendMessageW(list, CB_GETCOUNT, 0, 0), 2);
  for (int i = 0; i < 2; ++i) {
    wchar_t name[128] = L"";
    ::SendMessageW(list, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(name));
    EXPECT_EQ(name, systemOrder[static_cast<size_t>(i)]);
  }
  const int second = systemOrder[1] == CameraName(2) ? 2 : 1;
  const int first = 3 - second;
  const COLORREF colours[2][4] = {{kRed, kGreen, kBlue, kWhite},
                                  {kYellow, kCyan, kMagenta, kBlack}};
  const auto shows = [&](const Picture& photo, int camera) {
    const COLORREF* c = colours[camera - 1];
    return ShowsQuadrants(photo, c[0], c[1], c[2], c[3]);
  };
  EXPECT_TRUE(shows(TakePhoto(studio, 0), first));

  ::SendMessageW(list, CB_SETCURSEL, 1, 0);
  ::SendMessageW(studio, WM_COMMAND, MAKEWPARAM(IDC_CAMERA_LIST, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
  ASSERT_TRUE(m_dialog->IsCameraOpen());
  EXPECT_TRUE(shows(TakePhoto(studio, 1), second));
}

TEST_F(StudioCamerasTest, ACameraThatSendsNoFramesLeavesThePhotoButtonsDisabled) {
  ASSERT_TRUE(Camera(1).SetDelivers(false));
  RegisterTestCameras();
  const HWND studio = OpenStudio();
  ASSERT_TRUE(m_dialog->IsCameraOpen());
  Click(studio, IDC_CAMERA_PHOTO);
  testing_support::PumpDialogFor(studio, 1500);
  EXPECT_FALSE(Enabled(studio, IDC_CAMERA_PHOTO));
  EXPECT_FALSE(Enabled(studio, IDC_CAMERA_RECORD));
  EXPECT_FALSE(Enabled(studio, IDC_CAMERA_SETTINGS));
  EXPECT_TRUE(m_dialog->IsPhotoRequested());
  EXPECT_TRUE(FilesIn(PhotoFolder()).empty());
}

// The sequence numbers of a movie's frames, each checked against camera's picture.
std::vector<std::uint32_t> MovieSequence(const moviemaker::MovieOnDisk& movie, int camera) {
  const testcamera::FrameSize size{static_cast<std::uint32_t>(movie.format.biWidth),
                                   static_cast<std::uint32_t>(movie.format.biHeight)};
  std::vector<std::uint32_t> sequence;
  for (const std::vector<BYTE>& sample : movie.samples) {
    const std::vector<std::uint8_t> frame(sample.begin(), sample.end());
    const std::optional<std::uint32_t> number = testcamera::DecodeSequenceNumber(frame, size);
    EXPECT_TRUE(number.has_value());
    if (!number) break;
    EXPECT_EQ(testcamera::PictureDifference(camera, size, *number, frame), "")
        << "frame " << *number;
    sequence.push_back(*number);
  }
  return sequence;
}

TEST_F(StudioCamerasTest, ARecordingHoldsExactlyTheFramesTheCameraSentWhileItRan) {
  struct Case {
    const wchar_t* movieResolution;
    std::uint32_t skipped;  // frames a recording leaves out at its start
  } const cases[] = {{L"1", 0}, {L"0", 3}};
  ASSERT_TRUE(Camera(1).SetFramesPerSecond(15));
  RegisterTestCameras();
  int recording = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "movieresolution " << c.movieResolution);
    WriteConfig(L"[usingsetting]\r\nresourcespath=" + m_root->Path() + L"\r\nmovieresolution=" +
                c.movieResolution + L"\r\n");
    ResetOutputFoldersForTesting();
    // The counter runs on across the DLL's filters; a new filter numbers its frames from 1.
    const LONG sentByEarlierFilters = std::max<LONG>(testcamera::FramesDelivered(1), 0);
    const HWND studio = OpenStudio();
    ASSERT_TRUE(m_dialog->IsCameraOpen());
    ASSERT_TRUE(PumpUntil([] { return testcamera::FramesDelivered(1) > 0; }));

    // The camera holds its frames while the recording starts and ends, so that the test
    // knows exactly which frames were sent while it ran.
    ASSERT_TRUE(testcamera::HoldFrames(1, true));
    const LONG before = testcamera::FramesDelivered(1);
    const unsigned long seenBefore = g_frameGrabberCB.FramesSeen();
    Click(studio, IDC_CAMERA_RECORD);
    ASSERT_TRUE(m_dialog->IsRecording());
    ASSERT_TRUE(testcamera::HoldFrames(1, false));
    ASSERT_TRUE(PumpUntil([&] { return testcamera::FramesDelivered(1) >= before + 24; }));
    ASSERT_TRUE(testcamera::HoldFrames(1, true));
    const LONG sent = testcamera::FramesDelivered(1) - before;
    EXPECT_EQ(g_frameGrabberCB.FramesSeen() - seenBefore, static_cast<unsigned long>(sent));
    {
      testing_support::MessageBoxAnswerer answerer(IDCANCEL);
      Click(studio, IDC_CAMERA_RECORD);
      EXPECT_EQ(answerer.Boxes().size(), 1u);
    }
    ASSERT_TRUE(testcamera::HoldFrames(1, false));

    const std::wstring movie = RecordingFolder() + L"\\M" + TodayStamp() + L"_000" +
                               std::to_wstring(++recording) + L".avi";
    const moviemaker::MovieOnDisk recorded = moviemaker::ReadMovie(movie);
    ASSERT_TRUE(recorded.opened);
    EXPECT_EQ(recorded.info.dwRate / recorded.info.dwScale, 12u);
    const std::vector<std::uint32_t> sequence = MovieSequence(recorded, 1);
    ASSERT_EQ(sequence.size(), static_cast<size_t>(sent) - c.skipped);
    for (size_t i = 0; i < sequence.size(); ++i)
      EXPECT_EQ(sequence[i],
                static_cast<std::uint32_t>(before - sentByEarlierFilters) + 1 + c.skipped + i);
    m_dialog.reset();
  }
}

TEST_F(StudioCamerasTest, SwitchingCameraWhileRecordingEndsTheRecordingFirst) {
  RegisterTestCameras();
  const HWND studio = OpenStudio();
  const HWND list = ::GetDlgItem(studio, IDC_CAMERA_LIST);
  wchar_t firstName[128] = L"";
  ::SendMessageW(list, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(firstName));
  const int first = firstName == CameraName(1) ? 1 : 2;
  Click(studio, IDC_CAMERA_RECORD);
  const std::wstring movie = RecordingFolder() + L"\\M" + TodayStamp() + L"_0001.avi";
  ASSERT_TRUE(PumpUntil([&] { return FileExists(movie); }));
  testing_support::PumpDialogFor(studio, 500);
  {
    // The same offer as after 停止录像.
    testing_support::MessageBoxAnswerer answerer(IDCANCEL);
    ::SendMessageW(list, CB_SETCURSEL, 1, 0);
    ::SendMessageW(studio, WM_COMMAND, MAKEWPARAM(IDC_CAMERA_LIST, CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(list));
    const std::vector<testing_support::SeenBox> boxes = answerer.Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, L"视频录制成功，是否需要把刚才录制的视频添加到虚拟视频的播放列表中");
  }
  EXPECT_FALSE(m_dialog->IsRecording());
  EXPECT_TRUE(m_dialog->IsCameraOpen());
  EXPECT_EQ(ItemText(studio, IDC_CAMERA_RECORD), L"录像");
  testing_support::PumpDialogFor(studio, 500);
  // Every frame of the movie is the first camera's.
  const moviemaker::MovieOnDisk recorded = moviemaker::ReadMovie(movie);
  ASSERT_TRUE(recorded.opened);
  EXPECT_FALSE(MovieSequence(recorded, first).empty());
  EXPECT_EQ(FilesIn(RecordingFolder()).size(), 1u);
}

}  // namespace
}  // namespace camera
