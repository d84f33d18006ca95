// The camera studio driven as a user drives it: the real dialog, its buttons pressed, with
// our own virtual camera fed from another process as the camera. Photographs and movies
// are read back from the disk.
#include <gtest/gtest.h>

#include <windows.h>

#include <gdiplus.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/ModulePaths.h"
#include "app/SettingStore.h"
#include "camera/CPreviwCameraDlg.h"
#include "camera/OutputFileNaming.h"
#include "camera/Photo.h"
#include "camera/Recording.h"
#include "camera/SampleGrabberCB.h"
#include "mainwindow/CLumaretDlg.h"
#include "mainwindow/PlaylistStore.h"
#include "moviemaker/AviReadBack.h"
#include "resources/resource.h"
#include "testing/DialogDriver.h"
#include "testing/FileBytes.h"
#include "testing/GraphInspection.h"
#include "testing/NoticeCapture.h"
#include "testing/Process.h"
#include "testing/TempFolder.h"
#include "vcam/testing/CameraDevices.h"
#include "vcam/testing/TestChannel.h"

namespace camera {
namespace {

using testing_support::FileExists;
using testing_support::ReadFileBytes;
using testing_support::WriteFileBytes;

std::wstring ItemText(HWND dialog, int id) {
  wchar_t text[512] = L"";
  ::GetDlgItemTextW(dialog, id, text, ARRAYSIZE(text));
  return text;
}

bool Enabled(HWND dialog, int id) {
  return ::IsWindowEnabled(::GetDlgItem(dialog, id)) != FALSE;
}

std::vector<std::wstring> FilesIn(const std::wstring& folder) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW found;
  HANDLE search = ::FindFirstFileW((folder + L"\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) names.push_back(found.cFileName);
  } while (::FindNextFileW(search, &found));
  ::FindClose(search);
  return names;
}

bool FolderExists(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// A photograph decoded again.
struct Picture {
  int width = 0, height = 0;
  std::vector<COLORREF> pixels;  // top row first, as RGB()
  COLORREF At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

Picture DecodeImage(const std::wstring& path) {
  Picture picture;
  const CGdiplusSession gdiplus;
  Gdiplus::Bitmap bitmap(path.c_str());
  if (bitmap.GetLastStatus() != Gdiplus::Ok) return picture;
  picture.width = static_cast<int>(bitmap.GetWidth());
  picture.height = static_cast<int>(bitmap.GetHeight());
  for (int y = 0; y < picture.height; ++y)
    for (int x = 0; x < picture.width; ++x) {
      Gdiplus::Color colour;
      bitmap.GetPixel(x, y, &colour);
      picture.pixels.push_back(RGB(colour.GetR(), colour.GetG(), colour.GetB()));
    }
  return picture;
}

bool Near(COLORREF actual, COLORREF expected, int tolerance = 40) {
  return std::abs(GetRValue(actual) - GetRValue(expected)) <= tolerance &&
         std::abs(GetGValue(actual) - GetGValue(expected)) <= tolerance &&
         std::abs(GetBValue(actual) - GetBValue(expected)) <= tolerance;
}

::testing::AssertionResult ShowsQuadrants(const Picture& picture, COLORREF topLeft,
                                          COLORREF topRight, COLORREF bottomLeft,
                                          COLORREF bottomRight) {
  const int w = picture.width, h = picture.height;
  if (w == 0) return ::testing::AssertionFailure() << "no picture";
  const struct {
    int x, y;
    COLORREF expected;
  } probes[] = {{w / 4, h / 4 + 8, topLeft},
                {3 * w / 4, h / 4 + 8, topRight},
                {w / 4, 3 * h / 4, bottomLeft},
                {3 * w / 4, 3 * h / 4, bottomRight}};
  for (const auto& probe : probes) {
    const COLORREF actual = picture.At(probe.x, probe.y);
    if (!Near(actual, probe.expected))
      return ::testing::AssertionFailure()
             << "pixel " << probe.x << "," << probe.y << " is RGB(" << int(GetRValue(actual)) << ","
             << int(GetGValue(actual)) << "," << int(GetBValue(actual)) << ")";
  }
  return ::testing::AssertionSuccess();
}

class CameraStudioTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    m_config = app::GetConfigFilePath();
    m_configBefore = ReadFileBytes(m_config);
    m_hadConfig = FileExists(m_config);
    m_root = std::make_unique<testing_support::TempFolder>(L"studio");
    WriteConfig(L"[usingsetting]\r\nresourcespath=" + m_root->Path() + L"\r\n");
    app::CSettingStore::DestroyInstance();
    ResetOutputFoldersForTesting();
  }

  void TearDown() override {
    m_dialog.reset();
    m_window.reset();
    m_writer.reset();
    m_registration.reset();
    StopRecording();
    app::CSettingStore::DestroyInstance();
    ResetOutputFoldersForTesting();
    if (m_hadConfig)
      WriteFileBytes(m_config, m_configBefore);
    else
      ::DeleteFileW(m_config.c_str());
    ::CoUninitialize();
  }

  void WriteConfig(const std::wstring& lines) {
    ASSERT_TRUE(WriteFileBytes(m_config, testing_support::Utf16FileBytes(lines)));
    app::CSettingStore::DestroyInstance();
  }
  std::wstring PhotoFolder() const { return m_root->Path() + L"\\Plumora\\照片"; }
  std::wstring RecordingFolder() const { return m_root->Path() + L"\\Plumora\\录像"; }

  // Our virtual camera, showing the pattern writer's quadrants.
  void StartVirtualCamera() {
    m_registration = std::make_unique<vcam::testing_support::CCameraRegistration>();
    ASSERT_TRUE(m_registration->Succeeded());
    m_writer = std::make_unique<testing_support::ChildProcess>(
        testing_support::ProgramFolder() + L"\\channel-pattern-writer.exe", L"640 480 60");
    ASSERT_TRUE(m_writer->Started());
    ASSERT_TRUE(vcam::testing_support::WaitForChannelPicture(640, 480, 10000));
  }

  // The main window, the studio's owner, as when its button opened the studio.
  void OpenMainWindow() {
    ASSERT_TRUE(mainwindow::SavePlaylist({}));
    m_window = std::make_unique<mainwindow::CLumaretDlg>();
    ASSERT_TRUE(m_window->Create(nullptr));
    m_window->ShowWindow(SW_SHOW);
  }

  // The studio on this thread, not modal, so that the test can press its buttons.
  HWND OpenStudio() {
    app::CSettingStore::Instance();
    m_dialog = std::make_unique<CPreviwCameraDlg>(m_window.get());
    EXPECT_TRUE(m_dialog->Create(m_window ? m_window->GetSafeHwnd() : nullptr));
    m_dialog->ShowWindow(SW_SHOW);
    return m_dialog->GetSafeHwnd();
  }
  static void Click(HWND dialog, int id) {
    ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)));
  }
  bool PumpUntil(const std::function<bool()>& done, unsigned timeoutMs = 10000) {
    return testing_support::PumpDialogUntil(m_dialog->GetSafeHwnd(), done, timeoutMs);
  }

  std::wstring m_config;
  std::string m_configBefore;
  bool m_hadConfig = false;
  std::unique_ptr<testing_support::TempFolder> m_root;
  std::unique_ptr<vcam::testing_support::CCameraRegistration> m_registration;
  std::unique_ptr<testing_support::ChildProcess> m_writer;
  std::unique_ptr<mainwindow::CLumaretDlg> m_window;
  std::unique_ptr<CPreviwCameraDlg> m_dialog;
};

const COLORREF kRed = RGB(255, 0, 0), kGreen = RGB(0, 255, 0), kBlue = RGB(0, 0, 255),
               kWhite = RGB(255, 255, 255);

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

// The colour of a bottom-up 24-bit frame's pixel (x, y counted from the top).
COLORREF FramePixel(const std::vector<BYTE>& frame, int width, int height, int x, int y) {
  const BYTE* pixel = frame.data() + (static_cast<size_t>(height - 1 - y) * width + x) * 3;
  return RGB(pixel[2], pixel[1], pixel[0]);
}

Picture FramePicture(const std::vector<BYTE>& frame, int width, int height) {
  Picture picture{width, height, {}};
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      picture.pixels.push_back(FramePixel(frame, width, height, x, y));
  return picture;
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
