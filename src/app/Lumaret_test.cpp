// Plumora.exe started as a user starts it: a copy of the shipped folder in a folder whose
// name has Chinese characters and spaces, real processes, real windows, the real log.
#include <windows.h>

#include <shellapi.h>

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "feed/FrameLayout.h"
#include "resources/resource.h"
#include "testing/DialogDriver.h"
#include "testing/Process.h"
#include "testing/TempFolder.h"
#include "testing/Text.h"
#include "testing/Wait.h"

namespace {

using testing_support::ChildProcess;
using testing_support::TempFolder;
using testing_support::Utf8;
using testing_support::WaitFor;

constexpr wchar_t kInstanceProperty[] = L"Plumora";

bool Exists(const std::wstring& path) {
  return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void CopyTree(const std::wstring& from, const std::wstring& to) {
  ::CreateDirectoryW(to.c_str(), nullptr);
  WIN32_FIND_DATAW found;
  HANDLE search = ::FindFirstFileW((from + L"\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    const std::wstring name = found.cFileName;
    if (name == L"." || name == L"..") continue;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
      CopyTree(from + L"\\" + name, to + L"\\" + name);
    else
      ::CopyFileW((from + L"\\" + name).c_str(), (to + L"\\" + name).c_str(), FALSE);
  } while (::FindNextFileW(search, &found));
  ::FindClose(search);
}

std::string ReadBytes(const std::wstring& path) {
  std::ifstream in(path.c_str(), std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

int CountContaining(const std::string& text, const std::string& part) {
  int count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

struct WindowSearch {
  DWORD process;
  HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<WindowSearch*>(context);
  DWORD process = 0;
  ::GetWindowThreadProcessId(window, &process);
  if (process != search->process || ::GetPropW(window, kInstanceProperty) == nullptr) return TRUE;
  search->found = window;
  return FALSE;
}

// The main window of process, found as a second start finds it: by its property.
HWND MainWindowOf(DWORD process) {
  WindowSearch search{process, nullptr};
  ::EnumWindows(&MatchWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// The frame channel's header and a sample of its pixels, as the camera reads them.
struct ChannelLook {
  int width = 0, height = 0;
  unsigned long long checksum = 0;
};

ChannelLook LookAtChannel() {
  ChannelLook look;
  HANDLE mapping = ::OpenFileMappingW(FILE_MAP_READ, FALSE, feed::kFrameChannelName);
  if (mapping == nullptr) return look;
  if (const auto* view =
          static_cast<const unsigned char*>(::MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0))) {
    look.width = view[0] | (view[1] << 8);
    look.height = view[2] | (view[3] << 8);
    for (size_t i = 4; i < 4 + 640 * 480 * 3; i += 97) look.checksum = look.checksum * 31 + view[i];
    ::UnmapViewOfFile(view);
  }
  ::CloseHandle(mapping);
  return look;
}

// A copy of the shipped folder, started and stopped as a user would.
class InstalledPlumora : public ::testing::Test {
 protected:
  void SetUp() override {
    CopyTree(PLUMORA_DIST_DIR, m_folder);
    // Only what ships: nothing an earlier run beside the shipped program left there.
    for (const wchar_t* left : {L"Plumora.log", L"config.ini", L"Kestrowin.dll"})
      ::DeleteFileW(File(left).c_str());
    ASSERT_TRUE(Exists(Exe())) << "no shipped program in " << Utf8(m_folder);
  }
  void TearDown() override {
    for (auto& process : m_processes) process->Wait(0);
    m_processes.clear();
  }

  std::wstring Exe() const { return m_folder + L"\\Plumora.exe"; }
  std::wstring File(const std::wstring& name) const { return m_folder + L"\\" + name; }

  // Starts a copy in workingFolder (its own folder when empty).
  ChildProcess& Start(const std::wstring& workingFolder = L"") {
    m_processes.push_back(std::make_unique<ChildProcess>(
        Exe(), L"", workingFolder.empty() ? m_folder : workingFolder));
    return *m_processes.back();
  }

  // Its main window; null, with a failure that says what the process was doing (its windows
  // and the stacks of its threads), when none comes within 15 s.
  HWND WaitForWindow(const ChildProcess& process) {
    HWND window = nullptr;
    if (!WaitFor([&] { return (window = MainWindowOf(process.Id())) != nullptr; }, 15000))
      ADD_FAILURE() << "no main window within 15 s: " << process.Describe() << "\n"
                    << process.ThreadStacks();
    return window;
  }

  // Chooses "退出系统" in the tray menu and answers the question with button.
  void ExitThroughTrayMenu(HWND window, int button) {
    const DWORD thread = ::GetWindowThreadProcessId(window, nullptr);
    std::wstring question;
    testing_support::ModalWatcher answer(thread, [&](HWND box) {
      question = testing_support::MessageBoxText(box);
      testing_support::PressDialogButton(box, button);
    });
    ::PostMessageW(window, WM_COMMAND, ID_TRAY_EXIT, 0);
    WaitFor([&] { return answer.Answered() > 0; }, 10000);
    ::Sleep(300);
    EXPECT_EQ(question, L"是否确实要退出系统?");
  }

  void InstallUpdater(const wchar_t* variant) {
    ASSERT_TRUE(::CopyFileW(
        (testing_support::ProgramFolder() + L"\\updater-" + variant + L"\\Kestrowin.dll").c_str(),
        File(L"Kestrowin.dll").c_str(), FALSE));
  }
  std::vector<std::string> UpdaterCalls() const {
    return Lines(ReadBytes(File(L"updater-calls.txt")));
  }

  TempFolder m_temp{L"installed"};
  const std::wstring m_folder = m_temp.Path() + L"\\试 用 Plumora 副本";
  std::vector<std::unique_ptr<ChildProcess>> m_processes;
};

const std::string kUpdateCall = "UpdateSoftware zxquillmeshsoft quillmesh Plumora.exe";

TEST_F(InstalledPlumora, StartsPlaysTheSampleIntoTheCameraAndQuitsOnlyWhenConfirmed) {
  ChildProcess& plumora = Start();
  HWND window = WaitForWindow(plumora);
  ASSERT_NE(window, nullptr);
  // The sample from the shipped playlist reaches the camera.
  ASSERT_TRUE(WaitFor([] { return LookAtChannel().width == 640; }, 15000));
  EXPECT_EQ(LookAtChannel().height, 480);

  // The tray icon exists: the shell accepts a change to it.
  NOTIFYICONDATAW icon{};
  icon.cbSize = sizeof(icon);
  icon.hWnd = window;
  icon.uID = 5;
  icon.uFlags = NIF_TIP;
  wcscpy(icon.szTip, L"Plumora");
  EXPECT_TRUE(::Shell_NotifyIconW(NIM_MODIFY, &icon));

  // The caption's close box hides the window; the camera keeps receiving new frames.
  ::PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
  ASSERT_TRUE(WaitFor([&] { return !::IsWindowVisible(window); }, 5000));
  const unsigned long long before = LookAtChannel().checksum;
  EXPECT_TRUE(WaitFor([&] { return LookAtChannel().checksum != before; }, 5000));
  EXPECT_TRUE(plumora.Running());
  // A left click on the tray icon brings the window back; maximise is ignored.
  ::PostMessageW(window, 1031 /* tray notification */, 5, WM_LBUTTONDOWN);
  EXPECT_TRUE(WaitFor([&] { return ::IsWindowVisible(window) != FALSE; }, 5000));
  ::SendMessageW(window, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  EXPECT_FALSE(::IsZoomed(window));

  // Exit with Cancel: still running.
  ExitThroughTrayMenu(window, IDCANCEL);
  EXPECT_TRUE(plumora.Running());
  EXPECT_TRUE(::IsWindow(window));
  // With OK: the process ends and its tray icon is gone.
  ExitThroughTrayMenu(window, IDOK);
  EXPECT_NE(plumora.Wait(10000), -1);
  EXPECT_FALSE(::Shell_NotifyIconW(NIM_MODIFY, &icon));

  // The log beside it, from the shipped logging set-up.
  const std::string log = ReadBytes(File(L"Plumora.log"));
  EXPECT_EQ(CountContaining(log, "INFO  [Lumaret:"), 1) << log;
  EXPECT_EQ(CountContaining(log, "] begin to quillmesh"), 1) << log;
  EXPECT_EQ(CountContaining(log, "grabber sample width = 640,height=480,buffersize = 921600"), 1)
      << log;
}

TEST_F(InstalledPlumora, ASecondStartEndsAtOnceAndBringsTheFirstCopyBack) {
  ChildProcess& first = Start();
  HWND window = WaitForWindow(first);
  ASSERT_NE(window, nullptr);
  ::PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
  ASSERT_TRUE(WaitFor([&] { return !::IsWindowVisible(window); }, 5000));

  ChildProcess& second = Start();
  EXPECT_EQ(second.Wait(15000), 1);
  EXPECT_TRUE(WaitFor([&] { return ::IsWindowVisible(window) != FALSE; }, 5000));
  EXPECT_EQ(MainWindowOf(second.Id()), nullptr);
  EXPECT_TRUE(first.Running());
  // The second copy never got as far as logging.
  EXPECT_EQ(CountContaining(ReadBytes(File(L"Plumora.log")), "begin to quillmesh"), 1);

  ExitThroughTrayMenu(window, IDOK);
  ASSERT_NE(first.Wait(10000), -1);
  // With the first copy gone, a new start runs.
  ChildProcess& third = Start();
  HWND again = WaitForWindow(third);
  EXPECT_NE(again, nullptr);
  if (again != nullptr) ExitThroughTrayMenu(again, IDOK);
  EXPECT_NE(third.Wait(10000), -1);
}

TEST_F(InstalledPlumora, AnUpdaterThatTakesOverEndsTheStartBeforeAnythingElse) {
  InstallUpdater(L"true");
  ChildProcess& plumora = Start();
  EXPECT_EQ(plumora.Wait(15000), 2);
  EXPECT_EQ(UpdaterCalls(),
            (std::vector<std::string>{"loaded", kUpdateCall, "ReleaseUpdater", "unloaded"}));
  EXPECT_FALSE(Exists(File(L"Plumora.log")));  // logging was never configured
  EXPECT_EQ(MainWindowOf(plumora.Id()), nullptr);
}

TEST_F(InstalledPlumora, AnUpdaterWithoutAnUpdateStaysLoadedUntilTheWindowCloses) {
  InstallUpdater(L"false");
  ChildProcess& plumora = Start();
  HWND window = WaitForWindow(plumora);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(UpdaterCalls(), (std::vector<std::string>{"loaded", kUpdateCall}));
  ExitThroughTrayMenu(window, IDOK);
  EXPECT_EQ(plumora.Wait(10000), 0);
  EXPECT_EQ(UpdaterCalls(),
            (std::vector<std::string>{"loaded", kUpdateCall, "ReleaseUpdater", "unloaded"}));
}

TEST_F(InstalledPlumora, AnUpdaterWithoutItsExportsIsLoadedAndIgnored) {
  InstallUpdater(L"noexports");
  ChildProcess& plumora = Start();
  HWND window = WaitForWindow(plumora);
  ASSERT_NE(window, nullptr);
  ExitThroughTrayMenu(window, IDOK);
  EXPECT_EQ(plumora.Wait(10000), 0);
  EXPECT_EQ(UpdaterCalls(), (std::vector<std::string>{"loaded", "unloaded"}));
}

TEST_F(InstalledPlumora,
       FromAnotherFolderTheSettingsComeFromBesideTheProgramAndTheLogSetUpFromThere) {
  // Settings beside the program: a storage folder of the test's own.
  const std::wstring storage = m_temp.Path() + L"\\存储";
  ASSERT_TRUE(::CreateDirectoryW(storage.c_str(), nullptr));
  // UTF-16 with its mark, as the program writes it: the folder name is Chinese.
  {
    const std::wstring text = L"\xFEFF[usingsetting]\r\nresourcespath=" + storage + L"\r\n";
    std::ofstream config(File(L"config.ini").c_str(), std::ios::binary);
    config.write(reinterpret_cast<const char*>(text.data()),
                 static_cast<std::streamsize>(text.size() * 2));
  }
  // The logging set-up of the current folder writes a log of its own there.
  const std::wstring elsewhere = m_temp.Path() + L"\\别处";
  ::CreateDirectoryW(elsewhere.c_str(), nullptr);
  {
    std::ofstream properties((elsewhere + L"\\log4quillmesh.properties").c_str(), std::ios::binary);
    properties << "log4cplus.rootLogger=INFO, File\n"
                  "log4cplus.appender.File=log4cplus::FileAppender\n"
                  "log4cplus.appender.File.File=elsewhere.log\n"
                  "log4cplus.appender.File.Locale=GLOBAL\n"
                  "log4cplus.appender.File.layout=log4cplus::PatternLayout\n"
                  "log4cplus.appender.File.layout.ConversionPattern=%p|%b|%m%n\n";
  }
  ChildProcess& plumora = Start(elsewhere);
  HWND window = WaitForWindow(plumora);
  ASSERT_NE(window, nullptr);
  // The program makes both folders one after the other: wait for both, not for the first.
  const std::wstring photos = storage + L"\\Plumora\\照片";
  const std::wstring recordings = storage + L"\\Plumora\\录像";
  EXPECT_TRUE(WaitFor([&] { return Exists(photos) && Exists(recordings); }, 5000))
      << "photos " << Exists(photos) << ", recordings " << Exists(recordings);
  ExitThroughTrayMenu(window, IDOK);
  plumora.Wait(10000);
  const std::string log = ReadBytes(elsewhere + L"\\elsewhere.log");
  EXPECT_EQ(CountContaining(log, "INFO|Lumaret|begin to quillmesh"), 1) << log;
  EXPECT_FALSE(Exists(File(L"Plumora.log")));
}

TEST_F(InstalledPlumora, AChineseLogRecordIsWrittenAsUtf8) {
  // A video too large for the camera's block: the feed says so, in Chinese.
  const std::wstring huge = std::wstring(PLUMORA_TEST_MEDIA_DIR) + L"\\huge.avi";
  ASSERT_TRUE(Exists(huge));
  {
    std::ofstream playlist(File(L"chapters.dat").c_str(), std::ios::binary);
    playlist << std::string(huge.begin(), huge.end());
  }
  ChildProcess& plumora = Start();
  HWND window = WaitForWindow(plumora);
  ASSERT_NE(window, nullptr);
  const std::string record = "ERROR [CMyVideoPlayer:";
  const std::string text = Utf8(L"存储图像的空间太小，不能传输图像");
  EXPECT_TRUE(
      WaitFor([&] { return CountContaining(ReadBytes(File(L"Plumora.log")), text) > 0; }, 15000))
      << ReadBytes(File(L"Plumora.log"));
  EXPECT_GT(CountContaining(ReadBytes(File(L"Plumora.log")), record), 0);
  ExitThroughTrayMenu(window, IDOK);
  plumora.Wait(10000);
}

}  // namespace
