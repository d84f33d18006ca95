// The main window driven as a user drives it: real clicks and notifications on the real
// dialog, real videos played through the real player into the frame channel.
#include "mainwindow/CLumaretDlg.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <fstream>
#include <memory>
#include <optional>
#include <set>
#include <sstream>
#include <utility>

#include "app/ModulePaths.h"
#include "app/SettingStore.h"
#include "feed/CMyVideoSampleGrabberCB.h"
#include "feed/ErrorMessageText.h"
#include "feed/FrameLayout.h"
#include "framework/LinkCtrl.h"
#include "resources/resource.h"
#include "testing/DialogDriver.h"
#include "testing/FileBytes.h"
#include "testing/StalledFile.h"
#include "testing/TempFolder.h"

namespace mainwindow {
namespace {

using testing_support::MessageBoxAnswerer;
using testing_support::TempFolder;

std::wstring Media(const std::wstring& name) {
  return std::wstring(PLUMORA_TEST_MEDIA_DIR) + L"\\" + name;
}

std::string PlaylistFileBytes() {
  std::ifstream in((app::GetModuleFolder() + L"chapters.dat").c_str(), std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// The size in the frame channel's header, as the camera reads it.
std::pair<int, int> ChannelFrameSize() {
  HANDLE mapping = ::OpenFileMappingW(FILE_MAP_READ, FALSE, feed::kFrameChannelName);
  if (mapping == nullptr) return {0, 0};
  const auto* view =
      static_cast<const unsigned short*>(::MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 4));
  std::pair<int, int> size{0, 0};
  if (view != nullptr) {
    size = {view[0], view[1]};
    ::UnmapViewOfFile(view);
  }
  ::CloseHandle(mapping);
  return size;
}

class MainWindowTest : public ::testing::Test {
 protected:
  // Writes the playlist file the window starts with and opens the window.
  void Open(const Playlist& entries) {
    OpenWithoutWaiting(entries);
    ASSERT_TRUE(Settle());
  }

  // Opens the window and leaves its first start, if any, under way.
  void OpenWithoutWaiting(const Playlist& entries,
                          DWORD buildDeadlineMs = feed::kDefaultBuildDeadlineMs) {
    ASSERT_TRUE(SavePlaylist(entries));
    m_window = std::make_unique<CLumaretDlg>();
    m_window->Player().SetBuildDeadline(buildDeadlineMs);
    ASSERT_TRUE(m_window->Create(nullptr));
    m_window->ShowWindow(SW_SHOW);
    Pump(300);
  }

  // The window starts from the defaults, whatever an interrupted run of another test
  // program left beside the tests: a config.ini naming a storage folder that is gone
  // would stop the window at its warning box. The file is put back afterwards.
  void SetUp() override {
    const std::wstring config = app::GetConfigFilePath();
    m_keptConfig.emplace(config);
    ::DeleteFileW(config.c_str());
    app::CSettingStore::DestroyInstance();
  }

  void TearDown() override {
    m_window.reset();
    app::CSettingStore::DestroyInstance();
    m_keptConfig.reset();
  }

  HWND Dialog() const { return m_window->GetSafeHwnd(); }
  HWND Item(int id) const { return ::GetDlgItem(Dialog(), id); }
  bool Enabled(int id) const { return ::IsWindowEnabled(Item(id)) != FALSE; }
  std::wstring Text(int id) const {
    wchar_t text[1024] = L"";
    ::GetWindowTextW(Item(id), text, ARRAYSIZE(text));
    return text;
  }
  std::wstring Status() const { return Text(IDC_STATUS); }

  void Pump(unsigned ms) { testing_support::PumpDialogFor(Dialog(), ms); }
  bool PumpUntil(const std::function<bool()>& done, unsigned timeoutMs = 10000) {
    return testing_support::PumpDialogUntil(Dialog(), done, timeoutMs);
  }

  // Waits until no entry is being opened or waits for its turn: a start has played or
  // failed, entries after a failure included.
  bool Settle() {
    return PumpUntil([&] { return !m_window->IsStarting(); }, 20000);
  }

  void Click(int id) {
    ::SendMessageW(Item(id), BM_CLICK, 0, 0);
    Pump(50);
    Settle();
  }

  // Selects a row as a click on it does.
  void SelectRow(int row) {
    ListView_SetItemState(Item(IDC_PLAYLIST), -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_SetItemState(Item(IDC_PLAYLIST), row, LVIS_SELECTED | LVIS_FOCUSED,
                          LVIS_SELECTED | LVIS_FOCUSED);
    Pump(20);
  }

  void DoubleClickRow(int row, bool settle = true) {
    SelectRow(row);
    NMITEMACTIVATE click{};
    click.hdr.hwndFrom = Item(IDC_PLAYLIST);
    click.hdr.idFrom = IDC_PLAYLIST;
    click.hdr.code = NM_DBLCLK;
    click.iItem = row;
    ::SendMessageW(Dialog(), WM_NOTIFY, IDC_PLAYLIST, reinterpret_cast<LPARAM>(&click));
    Pump(50);
    if (settle) Settle();
  }

  int RowCount() const { return ListView_GetItemCount(Item(IDC_PLAYLIST)); }
  std::wstring RowText(int row) const {
    wchar_t text[512] = L"";
    ListView_GetItemText(Item(IDC_PLAYLIST), row, 0, text, ARRAYSIZE(text));
    return text;
  }
  int RowImage(int row) const {
    LVITEMW item{};
    item.mask = LVIF_IMAGE;
    item.iItem = row;
    ListView_GetItem(Item(IDC_PLAYLIST), &item);
    return item.iImage;
  }
  // The rows that carry the playing marker.
  std::vector<int> MarkedRows() const {
    std::vector<int> rows;
    for (int row = 0; row < RowCount(); ++row)
      if (RowImage(row) == 1) rows.push_back(row);
    return rows;
  }

  // Waits until the camera has received frames of the playing file.
  bool FramesArrive() {
    const unsigned long before = feed::g_videoGrabberCallback.SamplesSeen();
    return PumpUntil([&] { return feed::g_videoGrabberCallback.SamplesSeen() >= before + 5; });
  }

  void SelectPlayMode(int position) {
    ::SendMessageW(Item(IDC_PLAY_MODE), CB_SETCURSEL, static_cast<WPARAM>(position), 0);
  }

  std::optional<testing_support::CFileKeeper> m_keptConfig;
  std::unique_ptr<CLumaretDlg> m_window;
};

// The playlist file's bytes for these entries: one per line, lines separated by CR LF.
std::string PlaylistBytes(const std::vector<std::wstring>& entries) {
  std::string bytes;
  for (const std::wstring& path : entries) {
    if (!bytes.empty()) bytes += "\r\n";
    bytes += std::string(path.begin(), path.end());  // test media paths are ASCII
  }
  return bytes;
}

// ---- start-up

TEST_F(MainWindowTest, AnEmptyPlaylistShowsTheTipAndOnlyTheAddingButtons) {
  Open({});
  EXPECT_EQ(RowCount(), 0);
  EXPECT_EQ(Status().rfind(L"您还没有添加视频文件，请点击《添加》按钮添加视频文件", 0), 0u)
      << Status();
  for (int id :
       {IDC_CLEAR, IDC_PLAY_PAUSE, IDC_STOP, IDC_DELETE, IDC_UP, IDC_DOWN, IDC_QUIETER, IDC_LOUDER})
    EXPECT_FALSE(Enabled(id)) << id;
  for (int id : {IDC_ADD, IDC_SETTINGS, IDC_REAL_CAMERA, IDC_IMAGES_TO_VIDEO, IDC_HELP_BUTTON})
    EXPECT_TRUE(Enabled(id)) << id;
  EXPECT_FALSE(m_window->Player().HasGraph());
  EXPECT_EQ(m_window->CurrentIndex(), -1);
}

TEST_F(MainWindowTest, TheControlsAreSetUpAsTheWindowShowsThem) {
  Open({});
  // Play modes, the first chosen.
  HWND modes = Item(IDC_PLAY_MODE);
  ASSERT_EQ(::SendMessageW(modes, CB_GETCOUNT, 0, 0), 3);
  const wchar_t* expected[] = {L"循环播放", L"单曲循环", L"单曲播放"};
  for (int i = 0; i < 3; ++i) {
    wchar_t text[64] = L"";
    ::SendMessageW(modes, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, expected[i]);
  }
  EXPECT_EQ(::SendMessageW(modes, CB_GETCURSEL, 0, 0), 0);

  // The list: one column as wide as the control's inside, grid lines, whole-row selection, two
  // 32 x 32 row images.
  HWND list = Item(IDC_PLAYLIST);
  wchar_t title[64] = L"";
  LVCOLUMNW column{};
  column.mask = LVCF_TEXT | LVCF_WIDTH;
  column.pszText = title;
  column.cchTextMax = ARRAYSIZE(title);
  ASSERT_TRUE(ListView_GetColumn(list, 0, &column));
  EXPECT_STREQ(title, L"视频名称");
  RECT inside{};
  ::GetClientRect(list, &inside);
  EXPECT_EQ(column.cx, inside.right);
  EXPECT_FALSE(::GetWindowLongPtrW(list, GWL_STYLE) & WS_HSCROLL);
  const DWORD extended = ListView_GetExtendedListViewStyle(list);
  EXPECT_TRUE(extended & LVS_EX_GRIDLINES);
  EXPECT_TRUE(extended & LVS_EX_FULLROWSELECT);
  HIMAGELIST images = ListView_GetImageList(list, LVSIL_SMALL);
  ASSERT_NE(images, nullptr);
  EXPECT_EQ(ImageList_GetImageCount(images), 2);
  int width = 0, height = 0;
  ImageList_GetIconSize(images, &width, &height);
  EXPECT_EQ(width, 32);
  EXPECT_EQ(height, 32);

  // Every button has its picture, its caption as tooltip and its layout.
  struct Look {
    int id;
    const wchar_t* image;
    const wchar_t* tip;
    bool captionBelow;
  };
  const Look looks[] = {
      {IDC_SETTINGS, L"Setting.png", L"参数设置", true},
      {IDC_REAL_CAMERA, L"TrueCamera.png", L"真实摄像头", true},
      {IDC_IMAGES_TO_VIDEO, L"imgToVideo.png", L"图像转视频", true},
      {IDC_HELP_BUTTON, L"Help.png", L"帮助", true},
      {IDC_ADD, L"addMovie.png", L"添加", true},
      {IDC_DELETE, L"Delete.png", L"删除", true},
      {IDC_CLEAR, L"Clear.png", L"清空", true},
      {IDC_UP, L"up.png", L"上移", true},
      {IDC_DOWN, L"down.png", L"下移", true},
      {IDC_PLAY_PAUSE, L"pause.png", L"播放", false},
      {IDC_STOP, L"Stop.png", L"停止", false},
      {IDC_MUTE, L"CloseSound.png", L"静音", false},
      {IDC_LOUDER, L"AddSound.png", L"大声", false},
      {IDC_QUIETER, L"MinusSound.png", L"小声", false},
  };
  for (const Look& look : looks) {
    const auto& button = m_window->Button(look.id);
    EXPECT_EQ(button.GetDlgCtrlID(), look.id);
    EXPECT_EQ(button.GetImageFile(), look.image) << look.id;
    EXPECT_EQ(button.GetHoverTip(), look.tip) << look.id;
    EXPECT_EQ(button.GetCaptionBelowImage(), look.captionBelow) << look.id;
    EXPECT_EQ(button.GetStyle() & 0x1F, static_cast<DWORD>(BS_OWNERDRAW)) << look.id;
    // The picture ships beside the program.
    EXPECT_NE(::GetFileAttributesW((app::GetModuleFolder() + L"Image\\" + look.image).c_str()),
              INVALID_FILE_ATTRIBUTES)
        << look.id;
  }
  // The preview keeps the renderer's children out of the window's painting.
  EXPECT_TRUE(::GetWindowLongPtrW(Item(IDC_PREVIEW), GWL_STYLE) & WS_CLIPCHILDREN);
}

TEST_F(MainWindowTest, ASavedPlaylistIsListedAndItsFirstEntryPlaysIntoTheCamera) {
  Open({Media(L"raw.avi"), Media(L"small.avi")});
  ASSERT_EQ(RowCount(), 2);
  EXPECT_EQ(RowText(0), L"raw.avi");
  EXPECT_EQ(RowText(1), L"small.avi");
  ASSERT_TRUE(PumpUntil([&] { return m_window->CurrentIndex() == 0; }));
  EXPECT_EQ(MarkedRows(), std::vector<int>{0});
  EXPECT_EQ(Status(), L"现在正在播放的视频是：raw.avi");
  EXPECT_EQ(m_window->Button(IDC_PLAY_PAUSE).GetHoverTip(), L"暂停");
  EXPECT_EQ(m_window->Button(IDC_PLAY_PAUSE).GetImageFile(), L"pause.png");
  EXPECT_TRUE(Enabled(IDC_CLEAR));
  EXPECT_TRUE(Enabled(IDC_PLAY_PAUSE));
  EXPECT_TRUE(Enabled(IDC_STOP));
  EXPECT_FALSE(Enabled(IDC_DELETE));
  ASSERT_TRUE(FramesArrive());
  EXPECT_EQ(ChannelFrameSize(), (std::pair<int, int>{160, 120}));
}

TEST_F(MainWindowTest, ClearStopsEmptiesTheListAndWritesAnEmptyPlaylist) {
  Open({Media(L"raw.avi"), Media(L"small.avi")});
  ASSERT_TRUE(PumpUntil([&] { return m_window->Player().HasGraph(); }));
  EXPECT_EQ(PlaylistFileBytes(), PlaylistBytes({Media(L"raw.avi"), Media(L"small.avi")}));
  Click(IDC_CLEAR);
  EXPECT_EQ(RowCount(), 0);
  EXPECT_TRUE(m_window->Entries().empty());
  EXPECT_FALSE(m_window->Player().HasGraph());
  EXPECT_EQ(PlaylistFileBytes(), "");
  EXPECT_EQ(Status(), L"停止播放视频");
  for (int id : {IDC_CLEAR, IDC_PLAY_PAUSE, IDC_STOP, IDC_DELETE, IDC_UP, IDC_DOWN})
    EXPECT_FALSE(Enabled(id)) << id;
  EXPECT_FALSE(m_window->IsPaused());
}

TEST_F(MainWindowTest, EnterAndEscapeLeaveTheWindowOpen) {
  Open({});
  for (WPARAM key : {VK_RETURN, VK_ESCAPE}) {
    ::PostMessageW(Item(IDC_PLAYLIST), WM_KEYDOWN, key, 0);
    ::PostMessageW(Item(IDC_PLAYLIST), WM_KEYUP, key, 0);
    Pump(100);
    EXPECT_TRUE(::IsWindow(Dialog())) << key;
    EXPECT_TRUE(::IsWindowVisible(Dialog())) << key;
  }
}

// ---- the window's frame: system menu, tray, links, closing

TEST_F(MainWindowTest, TheSystemMenuEndsWithAboutAfterASeparator) {
  Open({});
  HMENU menu = ::GetSystemMenu(Dialog(), FALSE);
  const int count = ::GetMenuItemCount(menu);
  ASSERT_GE(count, 2);
  EXPECT_EQ(::GetMenuItemID(menu, count - 1), kAboutCommand);
  wchar_t text[64] = L"";
  ::GetMenuStringW(menu, count - 1, text, ARRAYSIZE(text), MF_BYPOSITION);
  EXPECT_STREQ(text, L"关于 Plumora(&A)...");
  MENUITEMINFOW before{};
  before.cbSize = sizeof(before);
  before.fMask = MIIM_FTYPE;
  ::GetMenuItemInfoW(menu, static_cast<UINT>(count - 2), TRUE, &before);
  EXPECT_TRUE(before.fType & MFT_SEPARATOR);
}

// Opens the About box with a message to the window and reads it.
struct AboutBoxSeen {
  std::wstring caption, version;
  bool hasLink = false;
};

AboutBoxSeen OpenAbout(HWND window, UINT message, WPARAM wParam) {
  AboutBoxSeen seen;
  testing_support::ModalWatcher watcher(::GetCurrentThreadId(), [&](HWND box) {
    wchar_t text[128] = L"";
    ::GetWindowTextW(box, text, ARRAYSIZE(text));
    seen.caption = text;
    HWND child = nullptr;
    while ((child = ::FindWindowExW(box, child, L"Static", nullptr)) != nullptr) {
      ::GetWindowTextW(child, text, ARRAYSIZE(text));
      if (wcsstr(text, L"Plumora") != nullptr) seen.version = text;
    }
    seen.hasLink = ::GetDlgItem(box, 1015) != nullptr;
    testing_support::PressDialogButton(box, IDOK);
  });
  // The box is modal: this returns when it has been answered.
  ::SendMessageW(window, message, wParam, 0);
  return seen;
}

TEST_F(MainWindowTest, TheAboutBoxOpensFromTheSystemMenuAndTheTrayMenu) {
  Open({});
  for (const auto& [message, command] :
       {std::pair<UINT, WPARAM>{WM_SYSCOMMAND, kAboutCommand}, {WM_COMMAND, ID_TRAY_ABOUT}}) {
    const AboutBoxSeen seen = OpenAbout(Dialog(), message, command);
    EXPECT_EQ(seen.caption, L"关于") << message;
    EXPECT_EQ(seen.version, L"Plumora3.8版") << message;
    EXPECT_TRUE(seen.hasLink) << message;
    EXPECT_TRUE(::IsWindowEnabled(Dialog()));
  }
}

TEST_F(MainWindowTest, MinimiseAndCloseHideTheWindowWhilePlaybackGoesOnAndTheTrayBringsItBack) {
  Open({Media(L"raw.avi")});
  ASSERT_TRUE(PumpUntil([&] { return m_window->Player().HasGraph(); }));
  EXPECT_TRUE(m_window->HasTrayIcon());
  for (WPARAM command : {SC_MINIMIZE, SC_CLOSE}) {
    ::SendMessageW(Dialog(), WM_SYSCOMMAND, command, 0);
    EXPECT_FALSE(::IsWindowVisible(Dialog())) << command;
    EXPECT_FALSE(::IsIconic(Dialog()));
    EXPECT_TRUE(FramesArrive()) << command;
    EXPECT_TRUE(m_window->Player().HasGraph());
    // A left click on the tray icon, then the tray menu's first item.
    ::SendMessageW(Dialog(), WM_TRAY_NOTIFY, kTrayIconId, WM_LBUTTONDOWN);
    EXPECT_TRUE(::IsWindowVisible(Dialog())) << command;
    ::SendMessageW(Dialog(), WM_SYSCOMMAND, command, 0);
    ::SendMessageW(Dialog(), WM_COMMAND, ID_TRAY_SHOW, 0);
    EXPECT_TRUE(::IsWindowVisible(Dialog())) << command;
  }
  // Other icons' notifications and maximise change nothing.
  ::SendMessageW(Dialog(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  ::SendMessageW(Dialog(), WM_TRAY_NOTIFY, kTrayIconId + 1, WM_LBUTTONDOWN);
  EXPECT_FALSE(::IsWindowVisible(Dialog()));
  ::SendMessageW(Dialog(), WM_COMMAND, ID_TRAY_SHOW, 0);
  ::SendMessageW(Dialog(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  EXPECT_FALSE(::IsZoomed(Dialog()));
}

TEST_F(MainWindowTest, ClosingAsksFirstAndOnlyOkEndsTheWindowAndRemovesItsMarks) {
  Open({});
  const std::wstring property = L"mainwindow_tests";  // this program's base name
  EXPECT_EQ(::GetPropW(Dialog(), property.c_str()), reinterpret_cast<HANDLE>(1));
  {
    MessageBoxAnswerer cancel(IDCANCEL);
    ::SendMessageW(Dialog(), WM_CLOSE, 0, 0);
    ASSERT_EQ(cancel.Boxes().size(), 1u);
    EXPECT_EQ(cancel.Boxes()[0].text, L"是否确实要退出系统?");
    EXPECT_EQ(cancel.Boxes()[0].caption, L"询问");
  }
  EXPECT_TRUE(::IsWindow(Dialog()));
  EXPECT_TRUE(m_window->HasTrayIcon());
  HWND window = Dialog();
  {
    MessageBoxAnswerer ok(IDOK);
    ::SendMessageW(window, WM_COMMAND, ID_TRAY_EXIT, 0);
    Pump(100);
  }
  EXPECT_FALSE(::IsWindow(window));
  EXPECT_FALSE(m_window->HasTrayIcon());
}

TEST_F(MainWindowTest, TheLinksOpenSectionsOfTheHelpPageShippedBesideTheProgram) {
  Open({});
  std::ifstream in((app::GetModuleFolder() + L"help\\dovu.html").c_str(), std::ios::binary);
  std::ostringstream page;
  page << in.rdbuf();
  ASSERT_FALSE(page.str().empty()) << "no help page beside the program";
  const std::pair<int, const char*> links[] = {{IDC_LINK_PRODUCT, "virtualcamera"},
                                               {IDC_LINK_QQ_HELP, "howuseinqq"},
                                               {IDC_LINK_DECODER, "decoder"},
                                               {IDC_LINK_DECODER_HINT, "decoder"},
                                               {IDC_LINK_HOME, ""}};
  for (const auto& [id, section] : links) {
    const framework::CLinkCtrl* link = m_window->Link(id);
    ASSERT_NE(link, nullptr) << id;
    const std::wstring url = link->GetUrl();
    EXPECT_EQ(url.rfind(L"file:///", 0), 0u) << id;
    const std::wstring page_part = L"/help/dovu.html";
    const size_t at = url.find(page_part);
    ASSERT_NE(at, std::wstring::npos) << id;
    const std::wstring anchor = url.substr(at + page_part.size());
    if (*section == '\0') {
      EXPECT_EQ(anchor, L"") << id;
    } else {
      EXPECT_EQ(anchor, L"#" + std::wstring(section, section + strlen(section))) << id;
      EXPECT_NE(page.str().find(std::string("id=\"") + section + "\""), std::string::npos)
          << section;
    }
  }
}

// ---- adding, deleting, moving

using testing_support::FileDialogAnswerer;
using testing_support::Quoted;

TEST_F(MainWindowTest, AddingThreeFilesWhileIdlePlaysTheFirstAndSavesAllThree) {
  Open({});
  {
    const FileDialogAnswerer answer(Quoted(Media(L"raw.avi")) + L" " + Quoted(Media(L"small.avi")) +
                                    L" " + Quoted(Media(L"mjpeg.avi")));
    Click(IDC_ADD);
    PumpUntil([&] { return RowCount() == 3; }, 10000);
  }
  ASSERT_EQ(RowCount(), 3);
  ASSERT_TRUE(Settle());
  std::vector<std::wstring> names;
  for (int row = 0; row < 3; ++row) names.push_back(RowText(row));
  // The dialog decides the order; all three are there, and the first of them plays.
  EXPECT_EQ(std::set<std::wstring>(names.begin(), names.end()),
            (std::set<std::wstring>{L"raw.avi", L"small.avi", L"mjpeg.avi"}));
  EXPECT_EQ(m_window->CurrentIndex(), 0);
  EXPECT_EQ(MarkedRows(), std::vector<int>{0});
  EXPECT_EQ(Status(), L"现在正在播放的视频是：" + names[0]);
  EXPECT_TRUE(Enabled(IDC_CLEAR));
  EXPECT_EQ(PlaylistFileBytes(), PlaylistBytes(m_window->Entries()));
  EXPECT_TRUE(FramesArrive());
}

TEST_F(MainWindowTest, ACancelledAddChangesNothing) {
  Open({Media(L"raw.avi")});
  const std::string before = PlaylistFileBytes();
  {
    testing_support::ModalWatcher cancel(::GetCurrentThreadId(), [](HWND dialog) {
      testing_support::PressDialogButton(dialog, IDCANCEL);
    });
    Click(IDC_ADD);
    Pump(300);
  }
  EXPECT_EQ(RowCount(), 1);
  EXPECT_EQ(PlaylistFileBytes(), before);
}

TEST_F(MainWindowTest, AFileAddedByAnotherWindowAfterStopOnlyJoinsTheList) {
  Open({Media(L"raw.avi")});
  ASSERT_TRUE(PumpUntil([&] { return m_window->Player().HasGraph(); }));
  Click(IDC_STOP);
  EXPECT_FALSE(m_window->Player().HasGraph());
  m_window->AddFileToPlaylist(Media(L"small.avi"), true);
  EXPECT_EQ(RowCount(), 2);
  EXPECT_FALSE(m_window->Player().HasGraph());
  EXPECT_EQ(Status(), L"停止播放视频");
  EXPECT_EQ(PlaylistFileBytes(), PlaylistBytes({Media(L"raw.avi"), Media(L"small.avi")}));
}

TEST_F(MainWindowTest, AFileAddedWhileIdleStartsAtOnceAndWithoutSaveIsNotWritten) {
  Open({});
  m_window->AddFileToPlaylist(Media(L"small.avi"), false);
  EXPECT_TRUE(m_window->IsStarting());  // at once, without waiting for the file to open
  ASSERT_TRUE(Settle());
  EXPECT_TRUE(m_window->Player().HasGraph());
  EXPECT_EQ(MarkedRows(), std::vector<int>{0});
  EXPECT_EQ(PlaylistFileBytes(), "");
  // A path without a backslash is listed with an empty name.
  m_window->AppendPlaylistEntry(L"relative.avi");
  EXPECT_EQ(RowText(1), L"");
  EXPECT_EQ(m_window->EntryPathAt(1), L"relative.avi");
  EXPECT_EQ(m_window->EntryPathAt(2), L"");
  EXPECT_EQ(m_window->EntryPathAt(-1), L"");
}

TEST_F(MainWindowTest, APathLongerThanTheClassicLimitIsKeptWholeAndFailsCleanly) {
  Open({});
  std::wstring path = L"C:\\";
  while (path.size() < 300) path += L"very long folder name\\";
  path += L"clip.avi";
  m_window->AddFileToPlaylist(path, true);
  ASSERT_TRUE(Settle());
  EXPECT_EQ(m_window->EntryPathAt(0), path);
  EXPECT_EQ(RowText(0), L"clip.avi");
  EXPECT_FALSE(m_window->Player().HasGraph());
  EXPECT_EQ(Status(), L"播放视频 clip.avi失败，失败的理由是：媒体文件不存在或者已经被删除");
  EXPECT_EQ(PlaylistFileBytes(), PlaylistBytes({path}));
}

TEST_F(MainWindowTest, DeleteWithoutASelectionAsksForOneInABox) {
  Open({Media(L"raw.avi")});
  MessageBoxAnswerer answer(IDOK);
  // The button is disabled without a selection; the message an enabled one sends.
  ::SendMessageW(Dialog(), WM_COMMAND, MAKEWPARAM(IDC_DELETE, BN_CLICKED),
                 reinterpret_cast<LPARAM>(Item(IDC_DELETE)));
  Pump(100);
  const auto boxes = answer.Boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, L"请在上面的列表中选中需要删除的列，才能删除");
  EXPECT_EQ(boxes[0].caption, L"Plumora");
  EXPECT_EQ(RowCount(), 1);
}

TEST_F(MainWindowTest, SelectingARowEnablesDeleteAndMovesEvenWhenItAlreadyHadTheFocus) {
  Open({Media(L"raw.avi"), Media(L"small.avi")});
  EXPECT_FALSE(Enabled(IDC_DELETE));
  SelectRow(1);
  for (int id : {IDC_DELETE, IDC_UP, IDC_DOWN}) EXPECT_TRUE(Enabled(id)) << id;
  Click(IDC_DELETE);
  for (int id : {IDC_DELETE, IDC_UP, IDC_DOWN}) EXPECT_FALSE(Enabled(id)) << id;
  // The focused row that remains is selected again by a click: only its selection changes.
  HWND list = Item(IDC_PLAYLIST);
  ListView_SetItemState(list, 0, LVIS_FOCUSED, LVIS_FOCUSED);
  Pump(20);
  ListView_SetItemState(list, 0, LVIS_SELECTED, LVIS_SELECTED);
  Pump(20);
  EXPECT_TRUE(Enabled(IDC_DELETE));
}

TEST_F(MainWindowTest, DeletingThePlayingLastRowStartsTheFirst) {
  Open({Media(L"raw.avi"), Media(L"small.avi")});
  DoubleClickRow(1);
  ASSERT_EQ(m_window->CurrentIndex(), 1);
  SelectRow(1);
  Click(IDC_DELETE);
  EXPECT_EQ(RowCount(), 1);
  EXPECT_EQ(m_window->CurrentIndex(), 0);
  EXPECT_EQ(MarkedRows(), std::vector<int>{0});
  EXPECT_EQ(Status(), L"现在正在播放的视频是：raw.avi");
  EXPECT_EQ(PlaylistFileBytes(), PlaylistBytes({Media(L"raw.avi")}));
}

TEST_F(MainWindowTest, DeletingTheOnlyEntryWhileItPlaysStopsEverything) {
  Open({Media(L"raw.avi")});
  ASSERT_TRUE(PumpUntil([&] { return m_window->Player().HasGraph(); }));
  SelectRow(0);
  Click(IDC_DELETE);
  EXPECT_EQ(RowCount(), 0);
  EXPECT_FALSE(m_window->Player().HasGraph());
  EXPECT_EQ(m_window->CurrentIndex(), -1);
  for (int id : {IDC_CLEAR, IDC_PLAY_PAUSE, IDC_STOP}) EXPECT_FALSE(Enabled(id)) << id;
  EXPECT_FALSE(m_window->IsPaused());
  EXPECT_EQ(PlaylistFileBytes(), "");
  // Idle again: a new file starts by itself.
  m_window->AddFileToPlaylist(Media(L"small.avi"), true);
  ASSERT_TRUE(Settle());
  EXPECT_TRUE(m_window->Player().HasGraph());
}

TEST_F(MainWindowTest, DeletingARowAboveThePlayingOneKeepsTheIndexOnThePlayingEntry) {
  Open({Media(L"raw.avi"), Media(L"small.avi"), Media(L"mjpeg.avi")});
  DoubleClickRow(2);
  ASSERT_EQ(m_window->CurrentIndex(), 2);
  SelectRow(0);
  Click(IDC_DELETE);
  EXPECT_EQ(m_window->CurrentIndex(), 1);
  EXPECT_EQ(m_window->EntryPathAt(1), Media(L"mjpeg.avi"));
  EXPECT_EQ(MarkedRows(), std::vector<int>{1});
  EXPECT_EQ(Status(), L"现在正在播放的视频是：mjpeg.avi");  // nothing restarted
}

TEST_F(MainWindowTest, MovingThePlayingEntryTakesTheMarkerAndTheIndexAlong) {
  Open({Media(L"raw.avi"), Media(L"small.avi"), Media(L"mjpeg.avi")});
  DoubleClickRow(1);
  ASSERT_EQ(m_window->CurrentIndex(), 1);
  SelectRow(1);
  Click(IDC_UP);
  EXPECT_EQ(m_window->CurrentIndex(), 0);
  EXPECT_EQ(RowText(0), L"small.avi");
  EXPECT_EQ(RowText(1), L"raw.avi");
  EXPECT_EQ(MarkedRows(), std::vector<int>{0});
  EXPECT_EQ(ListView_GetNextItem(Item(IDC_PLAYLIST), -1, LVNI_SELECTED), 0);
  EXPECT_EQ(PlaylistFileBytes(),
            PlaylistBytes({Media(L"small.avi"), Media(L"raw.avi"), Media(L"mjpeg.avi")}));
  // Up on the first row and down on the last do nothing.
  Click(IDC_UP);
  EXPECT_EQ(RowText(0), L"small.avi");
  SelectRow(2);
  Click(IDC_DOWN);
  EXPECT_EQ(RowText(2), L"mjpeg.avi");
  // Another row moved past the playing one: the marker stays with its entry.
  SelectRow(1);
  Click(IDC_UP);
  EXPECT_EQ(RowText(0), L"raw.avi");
  EXPECT_EQ(m_window->CurrentIndex(), 1);
  EXPECT_EQ(MarkedRows(), std::vector<int>{1});
  SelectRow(1);
  Click(IDC_DOWN);
  EXPECT_EQ(m_window->CurrentIndex(), 2);
  EXPECT_EQ(RowText(2), L"small.avi");
  EXPECT_EQ(MarkedRows(), std::vector<int>{2});
}

// ---- playing

TEST_F(MainWindowTest, ASingleEntryLoopsByRewindingTheSameGraph) {
  Open({Media(L"raw.avi")});
  ASSERT_TRUE(PumpUntil([&] { return m_window->Player().HasGraph(); }));
  IGraphBuilder* graph = m_window->Player().Graph();
  const std::wstring status = Status();
  LONGLONG position = 0;
  // Past the end of the 2-second file and into its second round.
  Pump(3000);
  EXPECT_EQ(m_window->Player().Graph(), graph);
  EXPECT_EQ(Status(), status);
  ASSERT_TRUE(m_window->Player().GetCurrentPosition(position));
  EXPECT_LT(position, 15000000);  // rewound: under 1.5 s into the file again
  EXPECT_TRUE(FramesArrive());
}

TEST_F(MainWindowTest, PlayOnceStopsAtTheEndHoldingTheFirstFrameAndPlaysAgainFromTheStart) {
  Open({Media(L"raw.avi"), Media(L"small.avi")});
  SelectPlayMode(2);
  ASSERT_TRUE(PumpUntil([&] { return m_window->Player().HasGraph(); }));
  ASSERT_TRUE(PumpUntil([&] { return Status() == L"停止播放视频"; }, 6000)) << Status();
  EXPECT_TRUE(m_window->Player().HasGraph());  // kept, paused at the start
  EXPECT_TRUE(m_window->IsPaused());
  EXPECT_EQ(m_window->Button(IDC_PLAY_PAUSE).GetImageFile(), L"play.png");
  EXPECT_EQ(m_window->Button(IDC_PLAY_PAUSE).GetHoverTip(), L"播放");
  EXPECT_EQ(m_window->CurrentIndex(), 0);
  LONGLONG position = -1;
  ASSERT_TRUE(m_window->Player().GetCurrentPosition(position));
  EXPECT_EQ(position, 0);
  EXPECT_EQ(::SendMessageW(Item(IDC_PROGRESS), TBM_GETPOS, 0, 0), 0);

  Click(IDC_PLAY_PAUSE);
  EXPECT_EQ(Status(), L"重新播放状态");
  EXPECT_FALSE(m_window->IsPaused());
  EXPECT_TRUE(FramesArrive());
  ASSERT_TRUE(m_window->Player().GetCurrentPosition(position));
  EXPECT_LT(position, 15000000);
}

TEST_F(MainWindowTest, RepeatOnePlaysTheSameEntryAgainAndLoopListMovesOn) {
  Open({Media(L"raw.avi"), Media(L"small.avi")});
  SelectPlayMode(1);
  ASSERT_TRUE(PumpUntil([&] { return m_window->Player().HasGraph(); }));
  Pump(2800);
  EXPECT_EQ(m_window->CurrentIndex(), 0);
  EXPECT_EQ(ChannelFrameSize(), (std::pair<int, int>{160, 120}));
  SelectPlayMode(0);
  ASSERT_TRUE(PumpUntil([&] { return m_window->CurrentIndex() == 1; }, 4000));
  EXPECT_EQ(MarkedRows(), std::vector<int>{1});
  EXPECT_EQ(Status(), L"现在正在播放的视频是：small.avi");
  ASSERT_TRUE(PumpUntil([&] { return ChannelFrameSize() == std::pair<int, int>{96, 72}; }));
  // After the last entry, the first.
  ASSERT_TRUE(PumpUntil([&] { return m_window->CurrentIndex() == 0; }, 4000));
}

class MainWindowFailureTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    // A file that exists but is no video.
    std::ofstream(m_folder.File(L"broken.avi").c_str(), std::ios::binary) << "not a video";
  }
  std::wstring Broken() const { return m_folder.File(L"broken.avi"); }
  std::wstring Missing() const { return m_folder.File(L"missing.avi"); }

  TempFolder m_folder{L"mainwindow"};
};

TEST_F(MainWindowFailureTest, LoopListTriesOnUntilTheThirdEntryPlays) {
  Open({Missing(), Broken(), Media(L"raw.avi")});
  ASSERT_TRUE(PumpUntil([&] { return m_window->CurrentIndex() == 2; }));
  EXPECT_EQ(MarkedRows(), std::vector<int>{2});
  EXPECT_EQ(Status(), L"现在正在播放的视频是：raw.avi");
  EXPECT_FALSE(m_window->IsPaused());
  EXPECT_TRUE(FramesArrive());
}

TEST_F(MainWindowFailureTest, AnEntryWhoseOpeningNeverEndsIsGivenUpWhileTheWindowAnswers) {
  testing_support::StalledFile stalled;
  ASSERT_TRUE(stalled.IsValid());
  const DWORD opened = ::GetTickCount();
  OpenWithoutWaiting({stalled.Path(), Media(L"raw.avi")}, 1500);
  // Meanwhile the window answers: a row can be selected and its buttons follow.
  SelectRow(1);
  EXPECT_TRUE(Enabled(IDC_DELETE));
  EXPECT_FALSE(m_window->Player().HasGraph());
  EXPECT_TRUE(m_window->Player().IsBuilding());

  ASSERT_TRUE(PumpUntil([&] { return m_window->CurrentIndex() == 1; }));
  EXPECT_GE(::GetTickCount() - opened, 1400u);
  EXPECT_EQ(MarkedRows(), std::vector<int>{1});
  EXPECT_EQ(Status(), L"现在正在播放的视频是：raw.avi");
  EXPECT_TRUE(FramesArrive());
  // The opening left behind ends when the stall does, and changes nothing.
  stalled.Release();
  Pump(500);
  EXPECT_EQ(m_window->CurrentIndex(), 1);
  EXPECT_EQ(Status(), L"现在正在播放的视频是：raw.avi");
}

TEST_F(MainWindowFailureTest, AGivenUpOpeningSaysWhyAndStopDuringAnOpeningEndsIt) {
  testing_support::StalledFile stalled;
  ASSERT_TRUE(stalled.IsValid());
  OpenWithoutWaiting({stalled.Path()}, 1000);
  ASSERT_TRUE(PumpUntil([&] { return !m_window->Player().IsBuilding(); }));
  EXPECT_EQ(Status(), L"播放视频 " + FileNameOf(stalled.Path()) + L"失败，失败的理由是：" +
                          feed::ErrorMessageText(feed::E_GRAPH_BUILD_TIMEOUT));
  EXPECT_FALSE(m_window->Player().HasGraph());

  DoubleClickRow(0, false);  // opening again, then Stop before the deadline
  EXPECT_TRUE(m_window->Player().IsBuilding());
  Click(IDC_STOP);
  EXPECT_FALSE(m_window->Player().IsBuilding());
  EXPECT_EQ(Status(), L"停止播放视频");
  Pump(1500);  // past the deadline: nothing more happens
  EXPECT_EQ(Status(), L"停止播放视频");
  EXPECT_FALSE(m_window->Player().HasGraph());
}

TEST_F(MainWindowFailureTest, WhenNothingPlaysEveryEntryIsTriedOnceAndTheLastFailureShows) {
  Open({Missing(), Broken()});
  Pump(1500);
  EXPECT_FALSE(m_window->Player().HasGraph());
  EXPECT_EQ(m_window->CurrentIndex(), -1);
  EXPECT_TRUE(MarkedRows().empty());
  EXPECT_TRUE(m_window->IsPaused());
  EXPECT_EQ(m_window->Button(IDC_PLAY_PAUSE).GetImageFile(), L"play.png");
  // The broken file was tried last; its reason is the system's, not "missing".
  const std::wstring prefix = L"播放视频 broken.avi失败，失败的理由是：";
  EXPECT_EQ(Status().rfind(prefix, 0), 0u) << Status();
  EXPECT_GT(Status().size(), prefix.size());
  EXPECT_EQ(Status().find(L"媒体文件不存在"), std::wstring::npos) << Status();
}

TEST_F(MainWindowFailureTest, AMissingFileSaysSo) {
  Open({Media(L"raw.avi"), Missing()});
  SelectPlayMode(2);
  DoubleClickRow(1);
  EXPECT_EQ(Status(), L"播放视频 missing.avi失败，失败的理由是：媒体文件不存在或者已经被删除");
  EXPECT_FALSE(m_window->Player().HasGraph());
  // The marker stays where the last file played.
  EXPECT_EQ(m_window->CurrentIndex(), 0);
}

TEST_F(MainWindowFailureTest, RepeatOneGivesUpWhenTheFallbackFailsToo) {
  Open({Media(L"raw.avi"), Broken()});
  ASSERT_TRUE(PumpUntil([&] { return m_window->CurrentIndex() == 0; }));
  SelectPlayMode(1);
  // The entry that played is gone from the disk meanwhile: both attempts fail, once each.
  std::wstring moved = m_folder.File(L"raw-moved.avi");
  ASSERT_TRUE(::CopyFileW(Media(L"raw.avi").c_str(), moved.c_str(), FALSE));
  m_window->AppendPlaylistEntry(moved);
  DoubleClickRow(2);
  ASSERT_EQ(m_window->CurrentIndex(), 2);
  m_window->Player().ReleaseGraph();
  ASSERT_TRUE(::DeleteFileW(moved.c_str()));
  DoubleClickRow(1);  // broken, then the fallback 2, which is missing now: the end
  EXPECT_FALSE(m_window->Player().HasGraph());
  EXPECT_EQ(Status(), L"播放视频 raw-moved.avi失败，失败的理由是：媒体文件不存在或者已经被删除");
}

TEST_F(MainWindowTest, PauseResumeAndStopThenPlayRebuildTheCurrentEntry) {
  Open({Media(L"raw.avi"), Media(L"small.avi")});
  DoubleClickRow(1);
  ASSERT_EQ(m_window->CurrentIndex(), 1);
  Click(IDC_PLAY_PAUSE);
  EXPECT_EQ(Status(), L"暂停状态");
  EXPECT_TRUE(m_window->IsPaused());
  EXPECT_EQ(m_window->Button(IDC_PLAY_PAUSE).GetHoverTip(), L"播放");
  EXPECT_EQ(m_window->Button(IDC_PLAY_PAUSE).GetImageFile(), L"play.png");
  Click(IDC_PLAY_PAUSE);
  EXPECT_EQ(Status(), L"重新播放状态");
  EXPECT_EQ(m_window->Button(IDC_PLAY_PAUSE).GetImageFile(), L"pause.png");
  EXPECT_EQ(m_window->Button(IDC_PLAY_PAUSE).GetHoverTip(), L"暂停");

  Click(IDC_STOP);
  EXPECT_FALSE(m_window->Player().HasGraph());
  EXPECT_EQ(Status(), L"停止播放视频");
  EXPECT_TRUE(m_window->IsPaused());
  Click(IDC_PLAY_PAUSE);
  EXPECT_TRUE(m_window->Player().HasGraph());
  EXPECT_EQ(m_window->CurrentIndex(), 1);
  EXPECT_EQ(Status(), L"现在正在播放的视频是：small.avi");
}

TEST_F(MainWindowTest, MutingCarriesOverToTheNextFile) {
  Open({Media(L"sound.avi"), Media(L"raw.avi")});
  ASSERT_TRUE(PumpUntil([&] { return m_window->Player().HasGraph(); }));
  ASSERT_TRUE(Enabled(IDC_MUTE));
  EXPECT_EQ(::SendMessageW(Item(IDC_VOLUME), TBM_GETPOS, 0, 0), 10000);  // full volume
  Click(IDC_MUTE);
  EXPECT_TRUE(m_window->IsMuted());
  EXPECT_FALSE(Enabled(IDC_VOLUME));
  EXPECT_EQ(m_window->Button(IDC_MUTE).GetHoverTip(), L"播音");
  EXPECT_EQ(m_window->Button(IDC_MUTE).GetImageFile(), L"openSound.png");

  DoubleClickRow(0);  // a new graph for the same sound file
  long volume = 0;
  ASSERT_TRUE(m_window->Player().GetVolume(volume));
  EXPECT_EQ(volume, -10000);
  EXPECT_TRUE(m_window->IsMuted());

  Click(IDC_MUTE);
  EXPECT_FALSE(m_window->IsMuted());
  EXPECT_TRUE(Enabled(IDC_VOLUME));
  ASSERT_TRUE(m_window->Player().GetVolume(volume));
  EXPECT_EQ(volume, 0);
  EXPECT_EQ(m_window->Button(IDC_MUTE).GetHoverTip(), L"静音");
  EXPECT_EQ(m_window->Button(IDC_MUTE).GetImageFile(), L"closeSound.png");
}

TEST_F(MainWindowTest, ASilentFileDisablesTheVolumeControls) {
  Open({Media(L"raw.avi")});
  ASSERT_TRUE(PumpUntil([&] { return m_window->Player().HasGraph(); }));
  EXPECT_FALSE(Enabled(IDC_MUTE));
  EXPECT_FALSE(Enabled(IDC_VOLUME));
}

TEST_F(MainWindowTest, TheVolumeSliderSetsTheVolumeWhenReleased) {
  Open({Media(L"sound.avi")});
  ASSERT_TRUE(PumpUntil([&] { return m_window->Player().HasGraph(); }));
  ::SendMessageW(Item(IDC_VOLUME), TBM_SETPOS, TRUE, 7000);
  NMHDR released{Item(IDC_VOLUME), IDC_VOLUME, static_cast<UINT>(NM_RELEASEDCAPTURE)};
  ::SendMessageW(Dialog(), WM_NOTIFY, IDC_VOLUME, reinterpret_cast<LPARAM>(&released));
  long volume = 0;
  ASSERT_TRUE(m_window->Player().GetVolume(volume));
  EXPECT_EQ(volume, -3000);
}

TEST_F(MainWindowTest, TheProgressThumbFollowsPlaybackStaysWhileHeldAndSeeksOnRelease) {
  Open({Media(L"raw.avi")});
  HWND progress = Item(IDC_PROGRESS);
  ASSERT_TRUE(PumpUntil([&] { return ::SendMessageW(progress, TBM_GETPOS, 0, 0) > 300; }, 3000));
  EXPECT_EQ(::SendMessageW(progress, TBM_GETRANGEMAX, 0, 0), 2000);  // milliseconds

  // The user presses the thumb: the timer stops, the thumb stays while the video plays on.
  RECT thumb{};
  ::SendMessageW(progress, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
  const LPARAM at = MAKELPARAM((thumb.left + thumb.right) / 2, (thumb.top + thumb.bottom) / 2);
  ::PostMessageW(progress, WM_LBUTTONDOWN, MK_LBUTTON, at);
  Pump(50);
  const LRESULT held = ::SendMessageW(progress, TBM_GETPOS, 0, 0);
  ::SendMessageW(progress, TBM_SETPOS, TRUE, 200);  // where the drag has taken it
  Pump(400);
  EXPECT_EQ(::SendMessageW(progress, TBM_GETPOS, 0, 0), 200) << "held at " << held;

  // Released: the player seeks to the thumb, and the thumb moves on from there.
  ::PostMessageW(progress, WM_LBUTTONUP, 0, at);
  Pump(50);
  LONGLONG position = 0;
  ASSERT_TRUE(m_window->Player().GetCurrentPosition(position));
  EXPECT_LT(position, 200 * 10000 + 3000000);
  ASSERT_TRUE(PumpUntil([&] { return ::SendMessageW(progress, TBM_GETPOS, 0, 0) != 200; }, 2000));
}

TEST_F(MainWindowTest, TheDisabledVolumeStepButtonsNeverReact) {
  Open({Media(L"raw.avi")});
  ASSERT_TRUE(PumpUntil([&] { return m_window->Player().HasGraph(); }));
  const std::wstring status = Status();
  for (int id : {IDC_QUIETER, IDC_LOUDER}) {
    EXPECT_FALSE(Enabled(id));
    ::SendMessageW(Dialog(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                   reinterpret_cast<LPARAM>(Item(id)));
  }
  Pump(50);
  EXPECT_EQ(Status(), status);
  EXPECT_FALSE(m_window->IsPaused());
  EXPECT_FALSE(m_window->IsMuted());
}

}  // namespace
}  // namespace mainwindow
