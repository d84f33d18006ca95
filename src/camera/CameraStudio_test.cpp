// The camera studio driven as a user drives it: the real dialog, its buttons pressed, with
// our own virtual camera fed from another process as the camera. Photographs and movies
// are read back from the disk.
#include "camera/StudioTestSupport.h"

namespace camera {
namespace {

using namespace studio_testing;
using testing_support::FileExists;
using testing_support::ReadFileBytes;
using testing_support::WriteFileBytes;

TEST_F(CameraStudioTest, TheVirtualCameraIsListedOpensAndGivesAnUprightPhotograph) {
  StartVirtualCamera();
  const HWND studio = OpenStudio();
  wchar_t caption[64] = L"";
  ::GetWindowTextW(studio, caption, ARRAYSIZE(caption));
  EXPECT_STREQ(caption, L"预览真实摄像头");
  const HWND list = ::GetDlgItem(studio, IDC_CAMERA_LIST);
  ASSERT_GE(::SendMessageW(list, CB_GETCOUNT, 0, 0), 1);
  EXPECT_EQ(::SendMessageW(list, CB_GETCURSEL, 0, 0), 0);
  ASSERT_TRUE(m_dialog->IsCameraOpen());
  EXPECT_EQ(g_frameGrabberCB.m_frameWidth, 640);
  EXPECT_EQ(g_frameGrabberCB.m_frameHeight, 480);
  // No still pin: no still branch.
  std::vector<std::wstring> filters;
  for (const testing_support::GraphFilter& filter :
       testing_support::FiltersOf(m_dialog->Capture().Graph()))
    filters.push_back(filter.name);
  EXPECT_NE(std::find(filters.begin(), filters.end(), L"Grabber"), filters.end());
  EXPECT_EQ(std::find(filters.begin(), filters.end(), L"SampleGrab"), filters.end());

  Click(studio, IDC_CAMERA_PHOTO);
  EXPECT_FALSE(Enabled(studio, IDC_CAMERA_PHOTO));
  EXPECT_FALSE(Enabled(studio, IDC_CAMERA_RECORD));
  EXPECT_FALSE(Enabled(studio, IDC_CAMERA_SETTINGS));
  ASSERT_TRUE(PumpUntil([&] { return Enabled(studio, IDC_CAMERA_PHOTO); }));
  EXPECT_TRUE(Enabled(studio, IDC_CAMERA_RECORD));
  EXPECT_TRUE(Enabled(studio, IDC_CAMERA_SETTINGS));
  EXPECT_FALSE(m_dialog->IsPhotoRequested());

  const std::vector<std::wstring> photos = FilesIn(PhotoFolder());
  ASSERT_EQ(photos.size(), 1u);
  EXPECT_EQ(photos[0], L"S" + TodayStamp() + L"_0001.jpg");
  const Picture photo = DecodeImage(PhotoFolder() + L"\\" + photos[0]);
  EXPECT_EQ(photo.width, 640);
  EXPECT_EQ(photo.height, 480);
  EXPECT_TRUE(ShowsQuadrants(photo, kRed, kGreen, kBlue, kWhite));
}

TEST_F(CameraStudioTest, ARecordingBecomesAMovieAndOkPutsItIntoThePlaylist) {
  StartVirtualCamera();
  OpenMainWindow();
  const HWND studio = OpenStudio();
  ASSERT_TRUE(m_dialog->IsCameraOpen());
  EXPECT_EQ(ItemText(studio, IDC_CAMERA_RECORD), L"录影");

  Click(studio, IDC_CAMERA_RECORD);
  EXPECT_TRUE(m_dialog->IsRecording());
  EXPECT_EQ(ItemText(studio, IDC_CAMERA_RECORD), L"停止录像");
  EXPECT_FALSE(Enabled(studio, IDC_CAMERA_PHOTO));
  EXPECT_TRUE(Enabled(studio, IDC_CAMERA_RECORD));
  EXPECT_FALSE(Enabled(studio, IDC_CAMERA_SETTINGS));
  const std::wstring movie = RecordingFolder() + L"\\M" + TodayStamp() + L"_0001.avi";
  ASSERT_TRUE(PumpUntil([&] { return FileExists(movie); }));
  testing_support::PumpDialogFor(studio, 1000);
  {
    testing_support::MessageBoxAnswerer answerer(IDOK);
    Click(studio, IDC_CAMERA_RECORD);
    const std::vector<testing_support::SeenBox> boxes = answerer.Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, L"询问");
    EXPECT_EQ(boxes[0].text, L"视频录制成功，是否需要把刚才录制的视频添加到虚拟视频的播放列表中");
  }
  EXPECT_FALSE(m_dialog->IsRecording());
  EXPECT_EQ(ItemText(studio, IDC_CAMERA_RECORD), L"录像");
  EXPECT_TRUE(Enabled(studio, IDC_CAMERA_PHOTO));
  EXPECT_TRUE(Enabled(studio, IDC_CAMERA_SETTINGS));

  const moviemaker::MovieOnDisk recorded = moviemaker::ReadMovie(movie);
  ASSERT_TRUE(recorded.opened);
  EXPECT_EQ(recorded.info.dwRate / recorded.info.dwScale, 12u);
  EXPECT_EQ(recorded.format.biWidth, 640);
  EXPECT_EQ(recorded.format.biHeight, 480);
  ASSERT_GE(recorded.samples.size(), 5u);
  EXPECT_TRUE(
      ShowsQuadrants(FramePicture(recorded.samples.back(), 640, 480), kRed, kGreen, kBlue, kWhite));

  // The playlist holds it, saved.
  EXPECT_EQ(m_window->EntryPathAt(0), movie);
  std::vector<std::wstring> saved;
  ASSERT_TRUE(mainwindow::LoadPlaylist(saved));
  ASSERT_EQ(saved.size(), 1u);
  EXPECT_EQ(saved[0], movie);
}

TEST_F(CameraStudioTest, WithoutACameraPhotoAndRecordSayWhyAndTheRecordingsFolderIsMade) {
  vcam::testing_support::RunRegsvr32(vcam::testing_support::CameraDllPath(), true);
  const HWND studio = OpenStudio();
  EXPECT_EQ(::SendMessageW(::GetDlgItem(studio, IDC_CAMERA_LIST), CB_GETCOUNT, 0, 0), 0);
  EXPECT_FALSE(m_dialog->IsCameraOpen());
  testing_support::MessageBoxAnswerer answerer(IDOK);
  Click(studio, IDC_CAMERA_PHOTO);
  EXPECT_FALSE(FolderExists(RecordingFolder()));
  Click(studio, IDC_CAMERA_RECORD);
  EXPECT_TRUE(FolderExists(RecordingFolder()));
  EXPECT_FALSE(m_dialog->IsRecording());
  const std::vector<testing_support::SeenBox> boxes = answerer.Boxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].text, L"摄像头没有打开，不能拍照");
  EXPECT_EQ(boxes[1].text, L"摄像头没有打开，不能录像");
  // Both buttons stay usable.
  EXPECT_TRUE(Enabled(studio, IDC_CAMERA_PHOTO));
  EXPECT_TRUE(Enabled(studio, IDC_CAMERA_RECORD));
}

TEST_F(CameraStudioTest, ClosingWhileRecordingAsksAndOkLeavesACompleteMovieWithoutOffer) {
  StartVirtualCamera();
  const HWND studio = OpenStudio();
  Click(studio, IDC_CAMERA_RECORD);
  const std::wstring movie = RecordingFolder() + L"\\M" + TodayStamp() + L"_0001.avi";
  ASSERT_TRUE(PumpUntil([&] { return FileExists(movie); }));
  {
    testing_support::MessageBoxAnswerer answerer(IDCANCEL);
    ::SendMessageW(studio, WM_CLOSE, 0, 0);
    const std::vector<testing_support::SeenBox> boxes = answerer.Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, L"正在录影中，是否要退出系统");
    EXPECT_EQ(boxes[0].caption, L"询问");
  }
  ASSERT_TRUE(::IsWindow(studio));
  EXPECT_TRUE(m_dialog->IsRecording());
  testing_support::PumpDialogFor(studio, 500);
  {
    testing_support::MessageBoxAnswerer answerer(IDOK);
    ::SendMessageW(studio, WM_CLOSE, 0, 0);
    // The question only: no offer to the playlist.
    EXPECT_EQ(answerer.Boxes().size(), 1u);
  }
  EXPECT_FALSE(::IsWindow(studio));
  EXPECT_FALSE(g_pMovieWriter);
  const moviemaker::MovieOnDisk recorded = moviemaker::ReadMovie(movie);
  ASSERT_TRUE(recorded.opened);
  EXPECT_GE(recorded.samples.size(), 3u);
  EXPECT_EQ(recorded.info.dwLength, recorded.samples.size());
}

TEST_F(CameraStudioTest, EscapeWhileRecordingAsksAsTheCloseBoxDoesAndLeavesACompleteMovie) {
  StartVirtualCamera();
  const HWND studio = OpenStudio();
  Click(studio, IDC_CAMERA_RECORD);
  const std::wstring movie = RecordingFolder() + L"\\M" + TodayStamp() + L"_0001.avi";
  ASSERT_TRUE(PumpUntil([&] { return FileExists(movie); }));
  for (const int answer : {IDCANCEL, IDOK}) {
    testing_support::MessageBoxAnswerer answerer(answer);
    ::SendMessageW(studio, WM_COMMAND, IDCANCEL, 0);  // what Escape sends
    const std::vector<testing_support::SeenBox> boxes = answerer.Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, L"正在录影中，是否要退出系统");
    EXPECT_EQ(::IsWindow(studio) != FALSE, answer == IDCANCEL);
  }
  const moviemaker::MovieOnDisk recorded = moviemaker::ReadMovie(movie);
  ASSERT_TRUE(recorded.opened);
  EXPECT_EQ(recorded.info.dwLength, recorded.samples.size());
  EXPECT_GE(recorded.samples.size(), 1u);
}

TEST_F(CameraStudioTest, APhotographThatCannotBeWrittenSaysWhyAndTheButtonsComeBack) {
  StartVirtualCamera();
  // The photographs "folder" is a file: the folder counts as there, the photo cannot be.
  ASSERT_TRUE(::CreateDirectoryW((m_root->Path() + L"\\Plumora").c_str(), nullptr));
  ASSERT_TRUE(WriteFileBytes(PhotoFolder(), "not a folder"));
  testing_support::WarningBoxCapture boxes;
  const HWND studio = OpenStudio();
  ASSERT_TRUE(m_dialog->IsCameraOpen());
  Click(studio, IDC_CAMERA_PHOTO);
  ASSERT_TRUE(PumpUntil([&] { return Enabled(studio, IDC_CAMERA_PHOTO); }));
  EXPECT_TRUE(Enabled(studio, IDC_CAMERA_RECORD));
  EXPECT_TRUE(Enabled(studio, IDC_CAMERA_SETTINGS));
  // The folder that cannot be made, then the photograph that cannot be written: GDI+
  // reports it as a Win32 error on Windows (the system's text then) and as a generic error
  // under Wine.
  const std::vector<std::wstring> texts = boxes.Texts();
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0].rfind(PhotoFolder(), 0), 0u);
  EXPECT_TRUE(texts[1] == GdiplusStatusText(Gdiplus::GenericError) ||
              texts[1] == GdiplusStatusText(Gdiplus::Win32Error));
  EXPECT_EQ(ReadFileBytes(PhotoFolder()), "not a folder");
}

TEST_F(CameraStudioTest, AFailingMovieWriteEndsTheRecordingWithItsBoxAndNoOffer) {
  StartVirtualCamera();
  ASSERT_TRUE(::CreateDirectoryW((m_root->Path() + L"\\Plumora").c_str(), nullptr));
  ASSERT_TRUE(WriteFileBytes(RecordingFolder(), "not a folder"));
  testing_support::WarningBoxCapture boxes;
  const HWND studio = OpenStudio();
  // Started after the studio, which it would otherwise take for a question.
  testing_support::MessageBoxAnswerer questions(IDOK);
  Click(studio, IDC_CAMERA_RECORD);
  ASSERT_TRUE(m_dialog->IsRecording());
  ASSERT_TRUE(PumpUntil([&] { return !m_dialog->IsRecording(); }));
  EXPECT_EQ(ItemText(studio, IDC_CAMERA_RECORD), L"录像");
  EXPECT_TRUE(Enabled(studio, IDC_CAMERA_PHOTO));
  EXPECT_FALSE(g_pMovieWriter);
  // The folder that cannot be made, then the writer's own text for each failed frame.
  const std::vector<std::wstring> texts = boxes.Texts();
  ASSERT_GE(texts.size(), 2u);
  EXPECT_EQ(texts[0].rfind(RecordingFolder(), 0), 0u);
  EXPECT_NE(texts[1], L"Method Succeeded");
  EXPECT_FALSE(texts[1].empty());
  EXPECT_TRUE(questions.Boxes().empty());
}

TEST_F(CameraStudioTest, TheMainWindowsButtonOpensTheStudioModally) {
  StartVirtualCamera();
  OpenMainWindow();
  std::wstring caption;
  bool ownerDisabled = false;
  testing_support::ModalWatcher watcher(::GetCurrentThreadId(), [&](HWND dialog) {
    wchar_t text[64] = L"";
    ::GetWindowTextW(dialog, text, ARRAYSIZE(text));
    caption = text;
    ownerDisabled = !::IsWindowEnabled(m_window->GetSafeHwnd());
    testing_support::PressDialogButton(dialog, IDC_CAMERA_EXIT);
  });
  ::SendMessageW(::GetDlgItem(m_window->GetSafeHwnd(), IDC_REAL_CAMERA), BM_CLICK, 0, 0);
  EXPECT_EQ(watcher.Answered(), 1);
  EXPECT_EQ(caption, L"预览真实摄像头");
  EXPECT_TRUE(ownerDisabled);
  EXPECT_TRUE(::IsWindowEnabled(m_window->GetSafeHwnd()));
}

}  // namespace
}  // namespace camera
