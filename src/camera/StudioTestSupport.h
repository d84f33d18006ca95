// For the camera studio's tests: the studio opened on the test's thread with its storage
// root in a folder of the test's own, the cameras it shows, and photographs and movie
// frames read back as pictures.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <gdiplus.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
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

namespace camera::studio_testing {

using testing_support::FileExists;
using testing_support::ReadFileBytes;
using testing_support::WriteFileBytes;

inline std::wstring ItemText(HWND dialog, int id) {
  wchar_t text[512] = L"";
  ::GetDlgItemTextW(dialog, id, text, ARRAYSIZE(text));
  return text;
}

inline bool Enabled(HWND dialog, int id) {
  return ::IsWindowEnabled(::GetDlgItem(dialog, id)) != FALSE;
}

inline std::vector<std::wstring> FilesIn(const std::wstring& folder) {
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

inline bool FolderExists(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// A photograph decoded again.
struct Picture {
  int width = 0, height = 0;
  std::vector<COLORREF> pixels;  // top row first, as RGB()
  COLORREF At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

inline Picture DecodeImage(const std::wstring& path) {
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

inline bool Near(COLORREF actual, COLORREF expected, int tolerance = 40) {
  return std::abs(GetRValue(actual) - GetRValue(expected)) <= tolerance &&
         std::abs(GetGValue(actual) - GetGValue(expected)) <= tolerance &&
         std::abs(GetBValue(actual) - GetBValue(expected)) <= tolerance;
}

inline ::testing::AssertionResult ShowsQuadrants(const Picture& picture, COLORREF topLeft,
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
    m_keptConfig.emplace(m_config);
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
    m_keptConfig.reset();
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
  std::optional<testing_support::CFileKeeper> m_keptConfig;
  std::unique_ptr<testing_support::TempFolder> m_root;
  std::unique_ptr<vcam::testing_support::CCameraRegistration> m_registration;
  std::unique_ptr<testing_support::ChildProcess> m_writer;
  std::unique_ptr<mainwindow::CLumaretDlg> m_window;
  std::unique_ptr<CPreviwCameraDlg> m_dialog;
};

inline const COLORREF kRed = RGB(255, 0, 0), kGreen = RGB(0, 255, 0), kBlue = RGB(0, 0, 255),
                      kWhite = RGB(255, 255, 255);

// The colour of a bottom-up 24-bit frame's pixel (x, y counted from the top).
inline COLORREF FramePixel(const std::vector<BYTE>& frame, int width, int height, int x, int y) {
  const BYTE* pixel = frame.data() + (static_cast<size_t>(height - 1 - y) * width + x) * 3;
  return RGB(pixel[2], pixel[1], pixel[0]);
}

inline Picture FramePicture(const std::vector<BYTE>& frame, int width, int height) {
  Picture picture{width, height, {}};
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      picture.pixels.push_back(FramePixel(frame, width, height, x, y));
  return picture;
}

}  // namespace camera::studio_testing
