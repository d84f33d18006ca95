// The settings and help dialogs driven as a user drives them: opened from the main
// window's buttons, filled in through their controls, with the camera registered for real
// and the folder browser answered through its own window.
#include <gtest/gtest.h>

#include <windows.h>

#include <shlobj.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/ModulePaths.h"
#include "app/SettingStore.h"
#include "dialogs/CAboutDlg.h"
#include "dialogs/CSettingDlg.h"
#include "framework/DebugText.h"
#include "framework/LinkCtrl.h"
#include "mainwindow/CLumaretDlg.h"
#include "mainwindow/PlaylistStore.h"
#include "resources/resource.h"
#include "testing/DialogDriver.h"
#include "testing/FileBytes.h"
#include "testing/TempFolder.h"
#include "vcam/CameraIds.h"
#include "vcam/testing/CameraDevices.h"

namespace dialogs {
namespace {

using testing_support::FileExists;
using testing_support::ModalWatcher;
using testing_support::PressDialogButton;
using testing_support::ReadFileBytes;
using testing_support::WriteFileBytes;

std::wstring ItemText(HWND dialog, int id) {
  wchar_t text[512] = L"";
  ::GetDlgItemTextW(dialog, id, text, ARRAYSIZE(text));
  return text;
}

std::wstring WindowText(HWND window) {
  wchar_t text[512] = L"";
  ::GetWindowTextW(window, text, ARRAYSIZE(text));
  return text;
}

// The name under which the device enumerator lists our camera, as a chat program shows it;
// empty when it does not list it.
std::wstring ListedCameraName() {
  for (const vcam::VideoInputDevice& device : vcam::ListVideoInputDevices())
    if (device.classId == vcam::kClassIdText) return device.friendlyName.c_str();
  return L"";
}

// The FriendlyName value of this program's view as stored: its type and size in bytes.
struct StoredValue {
  DWORD type = REG_NONE;
  DWORD bytes = 0;
};
StoredValue StoredFriendlyName() {
  StoredValue value;
  ::RegGetValueW(HKEY_CLASSES_ROOT, vcam::kInstanceKeyPath, L"FriendlyName", RRF_RT_ANY,
                 &value.type, nullptr, &value.bytes);
  return value;
}

bool InstanceKeyExists(REGSAM view) {
  HKEY key = nullptr;
  if (::RegOpenKeyExW(HKEY_CLASSES_ROOT, vcam::kInstanceKeyPath, 0, KEY_READ | view, &key) !=
      ERROR_SUCCESS)
    return false;
  ::RegCloseKey(key);
  return true;
}

// The other bitness's camera, as its regsvr32 leaves it: the instance key with a name in
// the other registry view. Removed again when the object goes.
class COtherViewCamera {
 public:
  explicit COtherViewCamera(const std::wstring& name) {
    HKEY key = nullptr;
    m_created = ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, Path().c_str(), 0, nullptr, 0,
                                  KEY_WRITE | kOtherView, nullptr, &key, nullptr) == ERROR_SUCCESS;
    if (!m_created) return;
    ::RegSetValueExW(key, L"FriendlyName", 0, REG_SZ, reinterpret_cast<const BYTE*>(name.c_str()),
                     static_cast<DWORD>((name.size() + 1) * sizeof(wchar_t)));
    ::RegCloseKey(key);
  }
  ~COtherViewCamera() {
    if (m_created) ::RegDeleteKeyExW(HKEY_LOCAL_MACHINE, Path().c_str(), kOtherView, 0);
  }
  bool Created() const { return m_created; }

  static constexpr REGSAM kOtherView = sizeof(void*) == 8 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;

 private:
  static std::wstring Path() {
    return std::wstring(L"Software\\Classes\\") + vcam::kInstanceKeyPath;
  }
  bool m_created = false;
};

// The focused control of the dialogs of thread, where a key press goes.
HWND FocusOf(DWORD thread) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  return ::GetGUIThreadInfo(thread, &info) ? info.hwndFocus : nullptr;
}

// A press of Escape as the keyboard delivers it, to the dialog's focused control.
void PressEscape(DWORD thread, HWND dialog) {
  HWND focus = FocusOf(thread);
  ::PostMessageW(focus != nullptr ? focus : dialog, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
}

bool WaitUntilGone(HWND window) {
  for (int i = 0; i < 500 && ::IsWindow(window); ++i) ::Sleep(10);
  return !::IsWindow(window);
}

// Debugger messages of the code under test, caught for reading.
std::vector<std::wstring> g_debugTexts;
void CatchDebugText(const std::wstring& text) {
  g_debugTexts.push_back(text);
}

class SettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    m_config = app::GetConfigFilePath();
    m_keptConfig.emplace(m_config);
    ::DeleteFileW(m_config.c_str());
    app::CSettingStore::DestroyInstance();
    g_debugTexts.clear();
    m_previousHandler = framework::SetDebugTextHandler(&CatchDebugText);
  }

  void TearDown() override {
    framework::SetDebugTextHandler(m_previousHandler);
    m_dialog.reset();
    m_registration.reset();
    app::CSettingStore::DestroyInstance();
    m_keptConfig.reset();
    ::CoUninitialize();
  }

  // config.ini beside the program as the user left it, before the store reads it.
  void WriteConfig(const std::wstring& lines) {
    ASSERT_TRUE(WriteFileBytes(m_config, testing_support::Utf16FileBytes(lines)));
  }
  std::wstring ConfigValue(const wchar_t* key) const {
    wchar_t value[512] = L"";
    ::GetPrivateProfileStringW(L"usingsetting", key, L"(none)", value, ARRAYSIZE(value),
                               m_config.c_str());
    return value;
  }

  void RegisterCamera(const std::wstring& name) {
    m_registration = std::make_unique<vcam::testing_support::CCameraRegistration>();
    ASSERT_TRUE(m_registration->Succeeded()) << "regsvr32 exit code " << m_registration->ExitCode();
    ASSERT_TRUE(vcam::testing_support::SetCameraFriendlyName(name));
  }

  // The dialog on this thread, not modal, so that the test can work its controls.
  HWND OpenDialog() {
    app::CSettingStore::Instance();
    m_dialog = std::make_unique<CSettingDlg>();
    EXPECT_TRUE(m_dialog->Create(nullptr));
    m_dialog->ShowWindow(SW_SHOW);
    return m_dialog->GetSafeHwnd();
  }
  // A click on a button of the dialog; returns when the click's work is done.
  static void Click(HWND dialog, int id) {
    ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)));
  }
  static void SetItemText(HWND dialog, int id, const std::wstring& text) {
    ::SetDlgItemTextW(dialog, id, text.c_str());
  }

  std::wstring m_config;
  std::optional<testing_support::CFileKeeper> m_keptConfig;
  framework::DebugTextHandler m_previousHandler = nullptr;
  std::unique_ptr<vcam::testing_support::CCameraRegistration> m_registration;
  std::unique_ptr<CSettingDlg> m_dialog;
};

// What the settings dialog showed when it was opened from the main window.
struct SettingsSeen {
  std::wstring caption, name, root, recordings, photos;
};

// Opens the main window, clicks its button, and lets answer fill in the dialog.
class MainWindowButtonTest : public SettingsTest {
 protected:
  // Opened after the test has written config.ini, which the window reads first.
  void OpenMainWindow() {
    if (m_window) return;
    ASSERT_TRUE(mainwindow::SavePlaylist({}));
    m_window = std::make_unique<mainwindow::CLumaretDlg>();
    ASSERT_TRUE(m_window->Create(nullptr));
    m_window->ShowWindow(SW_SHOW);
    testing_support::PumpDialogFor(m_window->GetSafeHwnd(), 200);
  }
  void TearDown() override {
    m_window.reset();
    SettingsTest::TearDown();
  }

  // Clicks the main window's button id; returns when the dialog it opens has closed.
  void ClickMainWindowButton(int id) {
    OpenMainWindow();
    ::SendMessageW(::GetDlgItem(m_window->GetSafeHwnd(), id), BM_CLICK, 0, 0);
  }

  SettingsSeen OpenSettings(const std::function<void(HWND)>& fill, int closeWith) {
    OpenMainWindow();
    SettingsSeen seen;
    ModalWatcher watcher(::GetCurrentThreadId(), [&](HWND dialog) {
      seen = {WindowText(dialog), ItemText(dialog, IDC_CAMERA_NAME),
              ItemText(dialog, IDC_STORAGE_ROOT), ItemText(dialog, IDC_RECORDING_FOLDER),
              ItemText(dialog, IDC_PHOTO_FOLDER)};
      // The main window waits underneath.
      EXPECT_FALSE(::IsWindowEnabled(m_window->GetSafeHwnd()));
      if (fill) fill(dialog);
      if (closeWith == IDCANCEL)
        PressEscape(::GetWindowThreadProcessId(dialog, nullptr), dialog);
      else
        PressDialogButton(dialog, closeWith);
    });
    ClickMainWindowButton(IDC_SETTINGS);
    EXPECT_EQ(watcher.Answered(), 1);
    EXPECT_TRUE(::IsWindowEnabled(m_window->GetSafeHwnd()));
    return seen;
  }

  std::unique_ptr<mainwindow::CLumaretDlg> m_window;
};

TEST_F(MainWindowButtonTest, SettingsShowTheListedNameAndANewNameIsTheNameClientsList) {
  RegisterCamera(L"直播摄像头");
  ASSERT_EQ(ListedCameraName(), L"直播摄像头");
  const std::wstring renamed = L"会议室 Camera 二号";
  const SettingsSeen seen = OpenSettings(
      [&](HWND dialog) { ::SetDlgItemTextW(dialog, IDC_CAMERA_NAME, renamed.c_str()); },
      IDC_SETTING_OK);
  EXPECT_EQ(seen.caption, L"Setting");
  EXPECT_EQ(seen.name, L"直播摄像头");
  EXPECT_EQ(ListedCameraName(), renamed);
  // Stored as the fixed block: 100 UTF-16 units, the name and zero fill.
  const StoredValue stored = StoredFriendlyName();
  EXPECT_EQ(stored.type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(stored.bytes, 200u);
  EXPECT_TRUE(g_debugTexts.empty());
}

TEST_F(MainWindowButtonTest, OkWithTheConfiguredNameWritesNoNameButSavesTheStorageRoot) {
  // The main window makes the folders under the root: a folder of the test's own.
  const testing_support::TempFolder folder(L"设置 root");
  const std::wstring root = folder.Path();
  WriteConfig(L"[usingsetting]\r\nname=Virtual Camera\r\nresourcespath=" + root + L"\\\r\n");
  RegisterCamera(L"Other");
  const SettingsSeen seen = OpenSettings(
      [](HWND dialog) { ::SetDlgItemTextW(dialog, IDC_CAMERA_NAME, L"Virtual Camera"); },
      IDC_SETTING_OK);
  EXPECT_EQ(seen.name, L"Other");
  EXPECT_EQ(seen.root, root + L"\\");
  EXPECT_EQ(seen.recordings, root + L"\\Plumora\\录像");
  EXPECT_EQ(seen.photos, root + L"\\Plumora\\照片");
  EXPECT_EQ(vcam::testing_support::CameraFriendlyName(), L"Other");
  // Every OK saves, and the root is stored normalised.
  EXPECT_EQ(ConfigValue(L"resourcespath"), root);
}

TEST_F(MainWindowButtonTest, WithoutTheCameraTheConfiguredNameShowsAndOkSavesOnlyTheRoot) {
  WriteConfig(L"[usingsetting]\r\nname=我的摄像头\r\n");
  // Not left registered by an earlier test that was stopped.
  vcam::testing_support::RunRegsvr32(vcam::testing_support::CameraDllPath(), true);
  ASSERT_FALSE(InstanceKeyExists(0));
  const SettingsSeen seen = OpenSettings(
      [](HWND dialog) {
        ::SetDlgItemTextW(dialog, IDC_CAMERA_NAME, L"新名字");
        ::SetDlgItemTextW(dialog, IDC_STORAGE_ROOT, L"E:\\录制\\");
      },
      IDC_SETTING_OK);
  EXPECT_EQ(seen.name, L"我的摄像头");
  EXPECT_EQ(ConfigValue(L"resourcespath"), L"E:\\录制");
  // No key is made for a camera that is not there, in either view.
  EXPECT_FALSE(InstanceKeyExists(0));
  EXPECT_FALSE(InstanceKeyExists(KEY_WOW64_32KEY));
  EXPECT_FALSE(InstanceKeyExists(KEY_WOW64_64KEY));
}

TEST_F(MainWindowButtonTest, CancelAndEscapeSaveNothingAndRenameNothing) {
  RegisterCamera(L"Before");
  for (const int close : {IDC_SETTING_CANCEL, IDCANCEL}) {
    OpenSettings(
        [](HWND dialog) {
          ::SetDlgItemTextW(dialog, IDC_CAMERA_NAME, L"After");
          ::SetDlgItemTextW(dialog, IDC_STORAGE_ROOT, L"F:\\");
        },
        close);
    EXPECT_FALSE(FileExists(m_config)) << close;
    EXPECT_EQ(vcam::testing_support::CameraFriendlyName(), L"Before") << close;
  }
}

// ---- the storage root and the folder browser

// Answers the folder browser: records it, chooses folder (or cancels when empty).
class FolderBrowserAnswerer {
 public:
  explicit FolderBrowserAnswerer(std::wstring folder)
      : m_watcher(::GetCurrentThreadId(), [this, folder](HWND browser) {
          m_owner = ::GetWindow(browser, GW_OWNER);
          HWND child = nullptr;
          while ((child = ::FindWindowExW(browser, child, L"Static", nullptr)) != nullptr)
            m_texts.push_back(WindowText(child));
          if (folder.empty()) {
            PressDialogButton(browser, IDCANCEL);
            return;
          }
          ::SendMessageW(browser, BFFM_SETSELECTIONW, TRUE,
                         reinterpret_cast<LPARAM>(folder.c_str()));
          PressDialogButton(browser, IDOK);
        }) {}
  int Answered() const { return m_watcher.Answered(); }
  HWND Owner() const { return m_owner; }
  bool ShowedText(const std::wstring& text) const {
    for (const std::wstring& shown : m_texts)
      if (shown == text) return true;
    return false;
  }

 private:
  HWND m_owner = nullptr;
  std::vector<std::wstring> m_texts;
  ModalWatcher m_watcher;
};

TEST_F(SettingsTest, ABrowsedFolderFillsTheThreePathsAndOkStoresItNormalised) {
  HWND dialog = OpenDialog();
  {
    FolderBrowserAnswerer browser(L"C:\\");
    Click(dialog, IDC_BROWSE_STORAGE_ROOT);
    ASSERT_EQ(browser.Answered(), 1);
    EXPECT_EQ(browser.Owner(), dialog);
    EXPECT_TRUE(browser.ShowedText(L"所选择路径:   "));
  }
  EXPECT_EQ(ItemText(dialog, IDC_STORAGE_ROOT), L"C:\\");
  EXPECT_EQ(ItemText(dialog, IDC_RECORDING_FOLDER), L"C:\\Plumora\\录像");
  EXPECT_EQ(ItemText(dialog, IDC_PHOTO_FOLDER), L"C:\\Plumora\\照片");
  // Nothing is stored before OK.
  EXPECT_FALSE(FileExists(m_config));
  Click(dialog, IDC_SETTING_OK);
  EXPECT_FALSE(::IsWindow(dialog));
  EXPECT_EQ(ConfigValue(L"resourcespath"), L"C:");
  EXPECT_EQ(app::CSettingStore::Instance()->GetCurrent().GetPhotoFolder(), L"C:\\Plumora\\照片");
}

TEST_F(SettingsTest, ACancelledBrowserChangesNoneOfThePaths) {
  WriteConfig(L"[usingsetting]\r\nresourcespath=D:\\存储\r\n");
  HWND dialog = OpenDialog();
  const std::wstring paths[] = {ItemText(dialog, IDC_STORAGE_ROOT),
                                ItemText(dialog, IDC_RECORDING_FOLDER),
                                ItemText(dialog, IDC_PHOTO_FOLDER)};
  EXPECT_EQ(paths[0], L"D:\\存储");
  EXPECT_EQ(paths[1], L"D:\\存储\\Plumora\\录像");
  {
    FolderBrowserAnswerer browser(L"");
    Click(dialog, IDC_BROWSE_STORAGE_ROOT);
    ASSERT_EQ(browser.Answered(), 1);
  }
  EXPECT_EQ(ItemText(dialog, IDC_STORAGE_ROOT), paths[0]);
  EXPECT_EQ(ItemText(dialog, IDC_RECORDING_FOLDER), paths[1]);
  EXPECT_EQ(ItemText(dialog, IDC_PHOTO_FOLDER), paths[2]);
}

TEST_F(SettingsTest, CancelAfterBrowsingStoresNothing) {
  const std::wstring before = L"[usingsetting]\r\nresourcespath=D:\\存储\r\n";
  WriteConfig(before);
  const std::string bytes = ReadFileBytes(m_config);
  HWND dialog = OpenDialog();
  {
    FolderBrowserAnswerer browser(L"C:\\");
    Click(dialog, IDC_BROWSE_STORAGE_ROOT);
  }
  ASSERT_EQ(ItemText(dialog, IDC_STORAGE_ROOT), L"C:\\");
  Click(dialog, IDC_SETTING_CANCEL);
  EXPECT_FALSE(::IsWindow(dialog));
  EXPECT_EQ(ReadFileBytes(m_config), bytes);
  EXPECT_EQ(app::CSettingStore::Instance()->GetCurrent().GetStorageRoot(), L"D:\\存储");
}

TEST_F(SettingsTest, TypedPathsLeaveTheShownFoldersAloneUntilOk) {
  HWND dialog = OpenDialog();
  const std::wstring recordings = ItemText(dialog, IDC_RECORDING_FOLDER);
  SetItemText(dialog, IDC_STORAGE_ROOT, L"G:\\新的\\");
  EXPECT_EQ(ItemText(dialog, IDC_RECORDING_FOLDER), recordings);
  Click(dialog, IDC_SETTING_OK);
  EXPECT_EQ(ConfigValue(L"resourcespath"), L"G:\\新的");
}

// ---- the camera's name

TEST_F(SettingsTest, ANameCannotBeTypedLongerThanTheStoredBlockHolds) {
  RegisterCamera(L"Virtual Camera");
  HWND dialog = OpenDialog();
  HWND edit = ::GetDlgItem(dialog, IDC_CAMERA_NAME);
  SetItemText(dialog, IDC_CAMERA_NAME, L"");
  for (int i = 0; i < 120; ++i) ::SendMessageW(edit, WM_CHAR, L'名', 1);
  const std::wstring typed = ItemText(dialog, IDC_CAMERA_NAME);
  EXPECT_EQ(typed, std::wstring(99, L'名'));
  Click(dialog, IDC_SETTING_OK);
  EXPECT_EQ(vcam::testing_support::CameraFriendlyName(), typed);
  EXPECT_EQ(ListedCameraName(), typed);
  EXPECT_EQ(StoredFriendlyName().bytes, 200u);
}

TEST_F(SettingsTest, AnEmptyNameIsWrittenAsAnEmptyName) {
  RegisterCamera(L"Studio");
  HWND dialog = OpenDialog();
  SetItemText(dialog, IDC_CAMERA_NAME, L"");
  Click(dialog, IDC_SETTING_OK);
  EXPECT_EQ(vcam::testing_support::CameraFriendlyName(), L"");
  EXPECT_EQ(StoredFriendlyName().bytes, 200u);
}

TEST_F(SettingsTest, AnUnreadableNameShowsTheConfiguredOneAndSaysWhy) {
  WriteConfig(L"[usingsetting]\r\nname=配置的名字\r\n");
  RegisterCamera(L"Virtual Camera");
  // More than the 255 bytes the dialog reads.
  ASSERT_TRUE(vcam::testing_support::SetCameraFriendlyName(std::wstring(200, L'x')));
  HWND dialog = OpenDialog();
  EXPECT_EQ(ItemText(dialog, IDC_CAMERA_NAME), L"配置的名字");
  ASSERT_EQ(g_debugTexts.size(), 1u);
  EXPECT_EQ(g_debugTexts[0], L"获得虚拟设备名称失败，失败的代码是234\n");  // ERROR_MORE_DATA
}

TEST_F(SettingsTest, EveryRegistryViewWithTheCameraGetsTheNewNameAndNoOtherViewIsTouched) {
  if (!vcam::testing_support::HasTwoRegistryViews())
    GTEST_SKIP() << "32-bit Windows has one registry view";
  RegisterCamera(L"Virtual Camera");
  {
    // The camera of the other bitness too, as both installers register it.
    COtherViewCamera other(L"Virtual Camera");
    ASSERT_TRUE(other.Created());
    HWND dialog = OpenDialog();
    SetItemText(dialog, IDC_CAMERA_NAME, L"双视图 Camera");
    Click(dialog, IDC_SETTING_OK);
    EXPECT_EQ(vcam::testing_support::CameraFriendlyName(), L"双视图 Camera");
    EXPECT_EQ(vcam::testing_support::OtherViewFriendlyName(), L"双视图 Camera");
    EXPECT_EQ(ListedCameraName(), L"双视图 Camera");
  }
  // With the other view's camera gone, renaming does not bring its key back.
  HWND dialog = OpenDialog();
  SetItemText(dialog, IDC_CAMERA_NAME, L"一个视图");
  Click(dialog, IDC_SETTING_OK);
  EXPECT_EQ(vcam::testing_support::CameraFriendlyName(), L"一个视图");
  EXPECT_FALSE(InstanceKeyExists(COtherViewCamera::kOtherView));
}

TEST_F(SettingsTest, ACameraRegisteredOnlyInTheOtherViewShowsItsName) {
  if (!vcam::testing_support::HasTwoRegistryViews())
    GTEST_SKIP() << "32-bit Windows has one registry view";
  COtherViewCamera other(L"只有另一个视图");
  ASSERT_TRUE(other.Created());
  HWND dialog = OpenDialog();
  EXPECT_EQ(ItemText(dialog, IDC_CAMERA_NAME), L"只有另一个视图");
  SetItemText(dialog, IDC_CAMERA_NAME, L"改名");
  Click(dialog, IDC_SETTING_OK);
  EXPECT_EQ(vcam::testing_support::OtherViewFriendlyName(), L"改名");
  EXPECT_FALSE(InstanceKeyExists(0));
}

// ---- help and About

TEST_F(MainWindowButtonTest, HelpListsItsTopicsAsLinksIntoTheShippedHelpPage) {
  const std::string page = ReadFileBytes(app::GetModuleFolder() + L"help\\dovu.html");
  ASSERT_FALSE(page.empty()) << "no help page beside the program";
  struct Topic {
    int id;
    const char* section;
  };
  const Topic topics[] = {{IDC_HELP_USE_IN_QQ, "howuseinqq"},
                          {IDC_HELP_QQ_SHOWS_MEDIA_FILE, "howforuseinqq"},
                          {IDC_HELP_IMAGES_TO_VIDEO, "howforhasimage"},
                          {IDC_HELP_ADD_VIDEOS, "howaddmovie"},
                          {IDC_HELP_DELETE_VIDEOS, "howdeletemovie"},
                          {IDC_HELP_RECORDING, "howrecording"},
                          {IDC_HELP_MORE, ""}};
  OpenMainWindow();
  std::wstring caption;
  std::vector<std::wstring> urls;
  ModalWatcher watcher(::GetCurrentThreadId(), [&](HWND help) {
    caption = WindowText(help);
    for (const Topic& topic : topics) {
      const auto* link = static_cast<const framework::CLinkCtrl*>(
          framework::CWnd::FromHandle(::GetDlgItem(help, topic.id)));
      urls.push_back(link != nullptr ? link->GetUrl() : L"(no link)");
    }
    PressDialogButton(help, IDC_HELP_CLOSE);
  });
  ClickMainWindowButton(IDC_HELP_BUTTON);
  ASSERT_EQ(watcher.Answered(), 1);
  EXPECT_EQ(caption, L"帮助");
  ASSERT_EQ(urls.size(), std::size(topics));
  for (size_t i = 0; i < urls.size(); ++i) {
    const std::string section = topics[i].section;
    const std::wstring wideSection(section.begin(), section.end());
    EXPECT_EQ(urls[i], HelpPageUrl(wideSection)) << section;
    EXPECT_EQ(urls[i].rfind(L"file:///", 0), 0u) << section;
    if (!section.empty()) {
      EXPECT_NE(page.find("id=\"" + section + "\""), std::string::npos) << section;
    }
  }
  EXPECT_TRUE(::IsWindowEnabled(m_window->GetSafeHwnd()));
}

TEST_F(MainWindowButtonTest, AboutOpensOverHelpAndEscapeClosesOneThenTheOther) {
  OpenMainWindow();
  const DWORD thread = ::GetCurrentThreadId();
  HWND help = nullptr;
  std::wstring aboutCaption;
  bool helpWaitedUnderneath = false, helpBackAfterAbout = false;
  ModalWatcher watcher(thread, [&](HWND dialog) {
    if (help == nullptr) {
      help = dialog;
      PressDialogButton(help, IDC_HELP_ABOUT);
      return;
    }
    aboutCaption = WindowText(dialog);
    helpWaitedUnderneath = ::IsWindowVisible(help) && !::IsWindowEnabled(help) &&
                           ::GetWindow(dialog, GW_OWNER) == help;
    PressEscape(thread, dialog);
    if (!WaitUntilGone(dialog)) return;
    helpBackAfterAbout = ::IsWindowVisible(help) && ::IsWindowEnabled(help);
    PressEscape(thread, help);
  });
  ClickMainWindowButton(IDC_HELP_BUTTON);
  EXPECT_EQ(watcher.Answered(), 2);
  EXPECT_EQ(aboutCaption, L"关于");
  EXPECT_TRUE(helpWaitedUnderneath);
  EXPECT_TRUE(helpBackAfterAbout);
  EXPECT_FALSE(::IsWindow(help));
  EXPECT_TRUE(::IsWindowEnabled(m_window->GetSafeHwnd()));
}

}  // namespace
}  // namespace dialogs
