// The installer run as an administrator runs it, silently (/S), into a folder whose name has
// Chinese characters and a space: what it puts where, the camera it registers, Plumora
// started from its shortcut, an upgrade over an install, and the uninstaller. Also a
// picture of its first page for the documentation.
#include <windows.h>

#include <gdiplus.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <wrl/client.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "Version.h"
#include "devtools/WindowPicture.h"
#include "feed/FrameLayout.h"
#include "testing/FileBytes.h"
#include "testing/Process.h"
#include "testing/TempFolder.h"
#include "testing/Wait.h"
#include "vcam/CameraIds.h"
#include "vcam/DeviceList.h"
#include "vcam/testing/CameraDevices.h"
#include "vcam/testing/CaptureGraph.h"

namespace {

using Microsoft::WRL::ComPtr;
using testing_support::ChildProcess;
using testing_support::TempFolder;
using testing_support::WaitFor;

// The filter this test program's clients load.
constexpr const wchar_t* kOwnFilter =
    sizeof(void*) == 8 ? L"PlumoraVirtualCamera64.dll" : L"PlumoraVirtualCamera32.dll";

constexpr wchar_t kUninstallKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Plumora";

bool Exists(const std::wstring& path) {
  return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Every file under folder, as paths relative to it.
void ListFiles(const std::wstring& folder, const std::wstring& prefix,
               std::vector<std::wstring>& files) {
  WIN32_FIND_DATAW found;
  HANDLE search = ::FindFirstFileW((folder + L"\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    const std::wstring name = found.cFileName;
    if (name == L"." || name == L"..") continue;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
      ListFiles(folder + L"\\" + name, prefix + name + L"\\", files);
    else
      files.push_back(prefix + name);
  } while (::FindNextFileW(search, &found));
  ::FindClose(search);
}

std::wstring KnownFolder(int csidl) {
  wchar_t path[MAX_PATH] = L"";
  ::SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
  return path;
}
std::wstring ProgramsShortcut() {
  return KnownFolder(CSIDL_COMMON_PROGRAMS) + L"\\Plumora\\Plumora.lnk";
}
std::wstring DesktopShortcut() {
  return KnownFolder(CSIDL_COMMON_DESKTOPDIRECTORY) + L"\\Plumora.lnk";
}

// The program a shortcut starts; empty when it cannot be read.
std::wstring ShortcutTarget(const std::wstring& shortcut) {
  ComPtr<IShellLinkW> link;
  ComPtr<IPersistFile> file;
  wchar_t target[MAX_PATH] = L"";
  if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(&link))) ||
      FAILED(link.As(&file)) || FAILED(file->Load(shortcut.c_str(), STGM_READ)) ||
      FAILED(link->GetPath(target, MAX_PATH, nullptr, 0)))
    return L"";
  return target;
}

// A text value of the uninstall entry, in this program's registry view (the installer
// writes the view of its own bitness, as this program reads); false when there is none.
bool ReadEntry(const wchar_t* name, std::wstring& value) {
  wchar_t text[1024];
  DWORD bytes = sizeof text;
  if (::RegGetValueW(HKEY_LOCAL_MACHINE, kUninstallKey, name, RRF_RT_REG_SZ, nullptr, text,
                     &bytes) != ERROR_SUCCESS)
    return false;
  value = text;
  return true;
}
bool EntryExists() {
  HKEY key = nullptr;
  if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
    return false;
  ::RegCloseKey(key);
  return true;
}

std::wstring CameraServerPath() {
  wchar_t path[MAX_PATH * 2] = L"";
  DWORD bytes = sizeof path;
  const std::wstring key = std::wstring(L"CLSID\\") + vcam::kClassIdText + L"\\InprocServer32";
  if (::RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, path,
                     &bytes) != ERROR_SUCCESS)
    return L"";
  return path;
}

bool CameraListed(const std::wstring& name) {
  const std::vector<vcam::VideoInputDevice> devices = vcam::ListVideoInputDevices();
  return std::any_of(devices.begin(), devices.end(),
                     [&](const vcam::VideoInputDevice& d) { return d.friendlyName == name; });
}

// The width of the picture in the frame channel, 0 when there is none.
int ChannelWidth() {
  HANDLE mapping = ::OpenFileMappingW(FILE_MAP_READ, FALSE, feed::kFrameChannelName);
  if (mapping == nullptr) return 0;
  int width = 0;
  if (const auto* view =
          static_cast<const unsigned char*>(::MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0))) {
    width = view[0] | (view[1] << 8);
    ::UnmapViewOfFile(view);
  }
  ::CloseHandle(mapping);
  return width;
}

bool PlumoraRunning() {
  HANDLE mutex = ::OpenMutexW(SYNCHRONIZE, FALSE, L"Plumora");
  if (mutex == nullptr) return false;
  ::CloseHandle(mutex);
  return true;
}

class InstallerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ASSERT_TRUE(Exists(PLUMORA_INSTALLER)) << "no installer: run tools/build.sh";
    ASSERT_FALSE(EntryExists()) << "Plumora is installed in this prefix already";
    m_root = std::make_unique<TempFolder>(L"installer");
    m_folder = m_root->Path() + L"\\安装 Plumora";
  }
  void TearDown() override {
    m_plumora.reset();
    // Whatever a failed test left installed goes, so that the prefix has no camera of ours.
    if (Exists(File(L"Uninstall.exe"))) Uninstall();
    if (EntryExists()) ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, kUninstallKey);
    ::CoUninitialize();
  }

  std::wstring File(const std::wstring& name) const { return m_folder + L"\\" + name; }

  // NSIS takes the folder after /D= as the rest of the command line, unquoted.
  int Install() {
    return testing_support::RunProgram(PLUMORA_INSTALLER, L"/S /D=" + m_folder, 120000);
  }

  // The uninstaller copies itself to the temporary folder and runs from there, so that it
  // can delete itself: it is done when its own file and the entry are gone.
  bool Uninstall() {
    if (testing_support::RunProgram(File(L"Uninstall.exe"), L"/S", 60000) != 0) return false;
    return WaitFor([&] { return !Exists(File(L"Uninstall.exe")) && !EntryExists(); }, 60000);
  }

  std::unique_ptr<TempFolder> m_root;
  std::wstring m_folder;
  std::unique_ptr<ChildProcess> m_plumora;
};

TEST_F(InstallerTest, ASilentInstallPutsTheProgramShortcutsEntryAndCameraInPlace) {
  ASSERT_EQ(Install(), 0);

  for (const wchar_t* shipped :
       {L"Plumora.exe", L"chapters.dat", L"log4quillmesh.properties", L"help\\dovu.html",
        L"Image\\play.png", L"video\\示例影音文件(使用时可以删除).avi",
        L"PlumoraVirtualCamera64.dll", L"Uninstall.exe"})
    EXPECT_TRUE(Exists(File(shipped))) << testing::PrintToString(std::wstring(shipped));

  EXPECT_EQ(ShortcutTarget(ProgramsShortcut()), File(L"Plumora.exe"));
  EXPECT_EQ(ShortcutTarget(DesktopShortcut()), File(L"Plumora.exe"));

  std::wstring value;
  ASSERT_TRUE(ReadEntry(L"DisplayName", value));
  EXPECT_EQ(value, L"Plumora");
  ASSERT_TRUE(ReadEntry(L"DisplayVersion", value));
  EXPECT_EQ(value, L"" PLUMORA_VERSION_TEXT);
  ASSERT_TRUE(ReadEntry(L"Publisher", value));
  EXPECT_EQ(value, L"Plumora");
  ASSERT_TRUE(ReadEntry(L"DisplayIcon", value));
  EXPECT_EQ(value, File(L"Plumora.exe") + L",0");
  ASSERT_TRUE(ReadEntry(L"UninstallString", value));
  EXPECT_EQ(value, L"\"" + File(L"Uninstall.exe") + L"\"");
  DWORD size = 0, bytes = sizeof size;
  ASSERT_EQ(::RegGetValueW(HKEY_LOCAL_MACHINE, kUninstallKey, L"EstimatedSize", RRF_RT_REG_DWORD,
                           nullptr, &size, &bytes),
            ERROR_SUCCESS);
  EXPECT_GT(size, 1000u);  // kilobytes: the program and its sample video

  // The camera of this bitness, served from the installed folder; the installer that
  // carries the 32-bit filter registers it in the 32-bit view as well.
  EXPECT_TRUE(CameraListed(L"Virtual Camera"));
  EXPECT_EQ(CameraServerPath(), File(kOwnFilter));
  if (Exists(File(L"PlumoraVirtualCamera32.dll")) && vcam::testing_support::HasTwoRegistryViews()) {
    EXPECT_EQ(vcam::testing_support::OtherViewFriendlyName(), L"Virtual Camera");
  }
}

// A chat program's capture graph on the camera, 640×480 RGB24, running and keeping the
// first `frames` frames it receives.
::testing::AssertionResult StartClient(vcam::testing_support::CCaptureGraph& client,
                                       size_t frames) {
  if (!client.Ready()) return ::testing::AssertionFailure() << "no capture graph";
  if (const HRESULT connected = client.Connect({vcam::PixelFormat::Rgb24, 640, 480});
      connected != S_OK)
    return ::testing::AssertionFailure()
           << "connecting to the camera gave 0x" << std::hex << connected;
  client.KeepFrames(frames);
  if (const HRESULT running = client.Run(); FAILED(running))
    return ::testing::AssertionFailure() << "running the client gave 0x" << std::hex << running;
  return ::testing::AssertionSuccess();
}

TEST_F(InstallerTest, PlumoraFromItsShortcutPlaysTheSampleIntoTheCameraThatAClientSees) {
  ASSERT_EQ(Install(), 0);
  const std::wstring program = ShortcutTarget(ProgramsShortcut());
  ASSERT_EQ(program, File(L"Plumora.exe"));
  m_plumora = std::make_unique<ChildProcess>(program, L"", m_folder);
  ASSERT_TRUE(m_plumora->Started());
  // The shipped playlist names the sample video, which plays into the channel.
  ASSERT_TRUE(WaitFor([] { return ChannelWidth() == 640; }, 20000));

  vcam::testing_support::CCaptureGraph client;
  ASSERT_TRUE(StartClient(client, 3));
  EXPECT_TRUE(client.WaitForFrames(3, 10000));
  client.Stop();
}

TEST_F(InstallerTest, AnInstallOverAnInstallKeepsThePlaylistSettingsAndCameraName) {
  ASSERT_EQ(Install(), 0);
  const std::string playlist = "C:\\\xC4\xE3\xBA\xC3.avi\r\nD:\\b.mp4\r\n";  // code page 936
  const std::string settings = "[usingsetting]\r\nframewidth=320\r\n";
  ASSERT_TRUE(testing_support::WriteFileBytes(File(L"chapters.dat"), playlist));
  ASSERT_TRUE(testing_support::WriteFileBytes(File(L"config.ini"), settings));
  ASSERT_TRUE(vcam::testing_support::SetCameraFriendlyName(L"我的摄像头"));

  ASSERT_EQ(Install(), 0);
  EXPECT_EQ(testing_support::ReadFileBytes(File(L"chapters.dat")), playlist);
  EXPECT_EQ(testing_support::ReadFileBytes(File(L"config.ini")), settings);
  EXPECT_EQ(vcam::testing_support::CameraFriendlyName(), L"我的摄像头");
  EXPECT_TRUE(CameraListed(L"我的摄像头"));
  EXPECT_FALSE(CameraListed(L"Virtual Camera"));
}

// A chat program holding the camera while Plumora is upgraded: the upgrade succeeds, the
// held client keeps receiving frames, and the next client gets the new filter. On Windows the
// loaded filter cannot be deleted and the installer moves it aside; where the platform lets
// the file be deleted at once, as Wine may, that branch is not taken and this shows no more
// than that the upgrade and the held client get along.
TEST_F(InstallerTest, AnUpgradeWhileAClientHoldsTheCameraSucceeds) {
  ASSERT_EQ(Install(), 0);
  {
    vcam::testing_support::CCaptureGraph client;
    ASSERT_TRUE(StartClient(client, 2));
    ASSERT_TRUE(client.WaitForFrames(1, 10000));

    ASSERT_EQ(Install(), 0);
    EXPECT_EQ(CameraServerPath(), File(kOwnFilter));
    EXPECT_TRUE(client.WaitForFrames(2, 10000));  // the old filter keeps serving it
    client.Stop();
  }
  vcam::testing_support::CCaptureGraph next;
  ASSERT_TRUE(next.Ready());
  EXPECT_EQ(next.Connect({vcam::PixelFormat::Rgb24, 640, 480}), S_OK);
}

TEST_F(InstallerTest, TheUninstallerStopsPlumoraAndTakesAwayAllButTheUsersFiles) {
  ASSERT_EQ(Install(), 0);
  m_plumora = std::make_unique<ChildProcess>(File(L"Plumora.exe"), L"", m_folder);
  ASSERT_TRUE(WaitFor(PlumoraRunning, 20000));
  // A photograph kept in a folder the user made here, and a movie beside the program.
  ASSERT_TRUE(::CreateDirectoryW(File(L"照片").c_str(), nullptr));
  ASSERT_TRUE(testing_support::WriteFileBytes(File(L"照片\\S20261211_0001.jpg"), "photo"));
  ASSERT_TRUE(testing_support::WriteFileBytes(File(L"我的视频.avi"), "movie"));

  ASSERT_TRUE(Uninstall());
  EXPECT_NE(m_plumora->Wait(10000), -1);  // it ended
  std::vector<std::wstring> left;
  ListFiles(m_folder, L"", left);
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, (std::vector<std::wstring>{L"我的视频.avi", L"照片\\S20261211_0001.jpg"}));
  EXPECT_FALSE(Exists(ProgramsShortcut()));
  EXPECT_FALSE(Exists(KnownFolder(CSIDL_COMMON_PROGRAMS) + L"\\Plumora"));
  EXPECT_FALSE(Exists(DesktopShortcut()));
  EXPECT_FALSE(EntryExists());
  EXPECT_EQ(CameraServerPath(), L"");
  EXPECT_FALSE(CameraListed(L"Virtual Camera"));
  if (vcam::testing_support::HasTwoRegistryViews()) {
    EXPECT_EQ(vcam::testing_support::OtherViewFriendlyName(), L"");
  }
}

TEST_F(InstallerTest, UninstalledFromAFolderWithNothingElseTheFolderGoesToo) {
  ASSERT_EQ(Install(), 0);
  ASSERT_TRUE(Uninstall());
  EXPECT_FALSE(Exists(m_folder));
}

// The installer's first page, frame included, for the documentation: PLUMORA_SHOT_PATH.
TEST_F(InstallerTest, TheFirstPageIsShownInChinese) {
  ChildProcess installer(PLUMORA_INSTALLER, L"");
  ASSERT_TRUE(installer.Started());
  HWND page = nullptr;
  ASSERT_TRUE(WaitFor(
      [&] {
        page = ::FindWindowW(L"#32770", L"Plumora " PLUMORA_VERSION_TEXT L" 安装");
        return page != nullptr && ::IsWindowVisible(page);
      },
      20000));
  // Its welcome text is drawn once the page is up: wait for the next button to be enabled.
  ASSERT_TRUE(WaitFor([&] { return ::IsWindowEnabled(::GetDlgItem(page, 1)) != FALSE; }, 10000));
  // It paints in its own process: a moment to finish before the picture is taken.
  ::Sleep(1000);
  wchar_t next[64] = L"";
  ::GetDlgItemTextW(page, 1, next, 64);
  EXPECT_EQ(std::wstring(next), L"下一步(&N) >");
  {
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartupInput input;
    ASSERT_EQ(Gdiplus::GdiplusStartup(&token, &input, nullptr), Gdiplus::Ok);
    EXPECT_TRUE(devtools::SaveWindowPicture(page, PLUMORA_SHOT_PATH));
    Gdiplus::GdiplusShutdown(token);
  }
  // Nothing was installed: ending it here leaves nothing behind.
  installer.Kill(0);
  EXPECT_FALSE(EntryExists());
}

}  // namespace
