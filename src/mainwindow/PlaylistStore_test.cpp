#include "mainwindow/PlaylistStore.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "mainwindow/PlaylistLines.h"
#include "testing/FileBytes.h"
#include "testing/NoticeCapture.h"
#include "testing/Process.h"
#include "testing/TempFolder.h"

namespace mainwindow {
namespace {

using testing_support::DebugTextCapture;
using testing_support::FileExists;
using testing_support::ReadFileBytes;
using testing_support::WriteFileBytes;
using Texts = std::vector<std::wstring>;

const wchar_t kSampleVideo[] = L"video\\示例影音文件(使用时可以删除).avi";

class PlaylistStoreTest : public ::testing::Test {
 protected:
  std::string FileBytes() const { return ReadFileBytes(m_playlist); }
  Playlist Load() const {
    Playlist list{L"left over from before"};
    EXPECT_TRUE(LoadPlaylistFrom(m_folder.Path(), list));
    return list;
  }

  const testing_support::TempFolder m_folder{L"playlist"};
  const std::wstring m_playlist = m_folder.File(L"chapters.dat");
  const std::wstring m_temporary = m_folder.File(L"tmpchapters.dat");
};

TEST_F(PlaylistStoreTest, AnEmptyPlaylistIsAnEmptyFile) {
  ASSERT_TRUE(SavePlaylistTo(m_folder.Path(), {}));
  ASSERT_TRUE(FileExists(m_playlist));
  EXPECT_EQ(FileBytes(), "");
  EXPECT_EQ(Load(), Playlist{});
  EXPECT_FALSE(FileExists(m_temporary));
}

TEST_F(PlaylistStoreTest, EntriesAreLinesWithCrLfBetweenThem) {
  const Playlist list = {L"C:\\clips\\a.avi", L"D:\\b c.mp4", L"C:\\clips\\a.avi"};
  ASSERT_TRUE(SavePlaylistTo(m_folder.Path(), list));
  EXPECT_EQ(FileBytes(), "C:\\clips\\a.avi\r\nD:\\b c.mp4\r\nC:\\clips\\a.avi");
  EXPECT_EQ(Load(), list);
  EXPECT_FALSE(FileExists(m_temporary));
}

TEST_F(PlaylistStoreTest, PathsInTheSystemCodePageKeepTheirBytesAndReadBack) {
  // What the users' code page holds: Chinese in 936, accented Latin in 1252. An entry
  // written in the OEM code page (437) instead would read back wrong.
  const bool chinese = ::GetACP() == 936;
  ASSERT_TRUE(chinese || ::GetACP() == 1252) << ::GetACP();
  const Playlist list = {chinese ? L"D:\\视频\\片.avi" : L"D:\\Vidéos\\Noël.avi"};
  const std::string bytes =
      chinese ? "D:\\\xCA\xD3\xC6\xB5\\\xC6\xAC.avi" : "D:\\Vid\xE9os\\No\xEBl.avi";
  ASSERT_TRUE(SavePlaylistTo(m_folder.Path(), list));
  EXPECT_EQ(FileBytes(), bytes);
  EXPECT_EQ(Load(), list);
}

TEST_F(PlaylistStoreTest, APathTheCodePageCannotHoldIsStoredAsItsShortForm) {
  // Thai is in neither code page 936 nor 1252.
  const std::wstring video = m_folder.File(L"示例ภาพยนตร์.avi");
  ASSERT_TRUE(WriteFileBytes(video, "the video itself"));
  ASSERT_TRUE(SavePlaylistTo(m_folder.Path(), {L"C:\\before.avi", video}));

  // The file holds the short form: plain ASCII, which every code page reads alike.
  const std::string bytes = FileBytes();
  for (const char c : bytes) ASSERT_LT(static_cast<unsigned char>(c), 0x80) << bytes;
  EXPECT_NE(bytes.find('~'), std::string::npos) << bytes;
  const std::string storedForm = bytes.substr(bytes.find("\r\n") + 2);
  EXPECT_EQ(ReadFileBytes(std::wstring(storedForm.begin(), storedForm.end())), "the video itself");

  // Loaded, it names the file by its real name again.
  const Playlist loaded = Load();
  ASSERT_EQ(loaded.size(), 2u);
  EXPECT_EQ(loaded[0], L"C:\\before.avi");
  EXPECT_EQ(_wcsicmp(loaded[1].c_str(), video.c_str()), 0) << loaded[1];
}

TEST_F(PlaylistStoreTest, AnEntryNoFormOfWhichFitsIsLeftOutOfTheFileOnly) {
  const std::wstring missing = m_folder.File(L"ไม่มี.avi");
  const Playlist list = {L"C:\\a.avi", missing, L"", L"C:\\broken\r\nline.avi", L"C:\\b.avi"};
  const DebugTextCapture debugText;
  ASSERT_TRUE(SavePlaylistTo(m_folder.Path(), list));
  EXPECT_EQ(FileBytes(), "C:\\a.avi\r\nC:\\b.avi");
  EXPECT_EQ(debugText.Texts(),
            (Texts{L"playlist entry left out of the file: " + missing,
                   L"playlist entry left out of the file: ",
                   L"playlist entry left out of the file: C:\\broken\r\nline.avi"}));
}

TEST_F(PlaylistStoreTest, PathsLongerThanMaxPathAreKeptWhole) {
  // 300 bytes of one folder name in either code page: more than a MAX_PATH buffer's 259.
  const bool chinese = ::GetACP() == 936;
  const std::wstring deep =
      L"C:\\" + std::wstring(chinese ? 150 : 300, chinese ? L'深' : L'é') + L"\\clip.avi";
  const std::wstring tooLong = L"C:\\" + std::wstring(kLongestPathUnits, L'x');
  ASSERT_TRUE(SavePlaylistTo(m_folder.Path(), {L"C:\\a.avi", deep, tooLong}));
  EXPECT_GT(FileBytes().size(), 300u);
  EXPECT_EQ(Load(), (Playlist{L"C:\\a.avi", deep}));
}

TEST_F(PlaylistStoreTest, LinesTooLongToBePathsAreSkipped) {
  const std::string junk(kLongestPlaylistLineBytes + 1, 'j');
  ASSERT_TRUE(WriteFileBytes(m_playlist, "C:\\a.avi\r\n" + junk + "\r\nC:\\b.avi\r\n" + junk));
  const DebugTextCapture debugText;
  EXPECT_EQ(Load(), (Playlist{L"C:\\a.avi", L"C:\\b.avi"}));
  EXPECT_EQ(debugText.Texts(), Texts{L"playlist lines too long to be paths were skipped"});
}

TEST_F(PlaylistStoreTest, EmptyLinesAndATrailingLineBreakAreIgnored) {
  ASSERT_TRUE(WriteFileBytes(m_playlist, "\r\nC:\\a.avi\r\n\r\n\nC:\\b.avi\r\n"));
  EXPECT_EQ(Load(), (Playlist{L"C:\\a.avi", L"C:\\b.avi"}));
}

TEST_F(PlaylistStoreTest, TheSampleLineBecomesTheSampleVideoBesideTheExecutable) {
  const std::string otherCase = "V" + std::string(kSampleLine.substr(1));
  ASSERT_TRUE(
      WriteFileBytes(m_playlist, "C:\\a.avi\r\n" + std::string(kSampleLine) + "\r\n" + otherCase));
  const std::wstring sample = testing_support::ProgramFolder() + L"\\\\" + kSampleVideo;
  const Playlist loaded = Load();
  ASSERT_EQ(loaded.size(), 3u);
  EXPECT_EQ(loaded[0], L"C:\\a.avi");
  EXPECT_EQ(loaded[1], sample);
  // Compared byte for byte: another letter case is an ordinary entry.
  EXPECT_EQ(loaded[2].substr(0, 6), L"Video\\");
  if (::GetACP() == 936) {
    EXPECT_EQ(loaded[2], L"V" + std::wstring(kSampleVideo + 1));
  }

  // The next save writes the resolved path where the code page holds it, and the sample's
  // own line where it does not; either way it loads as the sample video again.
  ASSERT_TRUE(SavePlaylistTo(m_folder.Path(), {sample}));
  const std::wstring folder = testing_support::ProgramFolder();
  // The build folder's path is ASCII, the same bytes in every code page.
  ASSERT_TRUE(std::all_of(folder.begin(), folder.end(), [](wchar_t c) { return c < 0x80; }));
  if (::GetACP() == 936)
    EXPECT_EQ(FileBytes(),
              std::string(folder.begin(), folder.end()) + "\\\\" + std::string(kSampleLine));
  else
    EXPECT_EQ(FileBytes(), kSampleLine);
  EXPECT_EQ(Load(), Playlist{sample});
}

TEST_F(PlaylistStoreTest, AMissingFileGivesAnEmptyPlaylist) {
  Playlist list{L"C:\\stale.avi"};
  const DebugTextCapture debugText;
  EXPECT_FALSE(LoadPlaylistFrom(m_folder.Path(), list));
  EXPECT_TRUE(list.empty());
  EXPECT_EQ(debugText.Texts(), Texts{L"Failure to open lanuage file"});
}

TEST_F(PlaylistStoreTest, ALeftOverTemporaryFileIsReplaced) {
  ASSERT_TRUE(WriteFileBytes(m_temporary, "C:\\from a save that died.avi\r\nC:\\half"));
  ASSERT_TRUE(SavePlaylistTo(m_folder.Path(), {L"C:\\new.avi"}));
  EXPECT_EQ(FileBytes(), "C:\\new.avi");
  EXPECT_FALSE(FileExists(m_temporary));
}

TEST_F(PlaylistStoreTest, FailuresLeaveTheOldPlaylistInPlace) {
  ASSERT_TRUE(SavePlaylistTo(m_folder.Path(), {L"C:\\old.avi"}));
  const DebugTextCapture debugText;

  // A folder in the way of the temporary file cannot be deleted.
  ASSERT_TRUE(::CreateDirectoryW(m_temporary.c_str(), nullptr));
  EXPECT_FALSE(SavePlaylistTo(m_folder.Path(), {L"C:\\new.avi"}));
  EXPECT_EQ(FileBytes(), "C:\\old.avi");
  ASSERT_TRUE(::RemoveDirectoryW(m_temporary.c_str()));

  // Nowhere to create the temporary file.
  EXPECT_FALSE(SavePlaylistTo(m_folder.File(L"missing"), {L"C:\\new.avi"}));
  EXPECT_EQ(debugText.Texts(),
            (Texts{L"failure to delete old tmp file", L"Failure to open lanuage file"}));
}

TEST_F(PlaylistStoreTest, AFailedReplacementKeepsWhatIsInTheWayAndRemovesTheTemporaryFile) {
  // A folder named like the playlist cannot be replaced by a file.
  ASSERT_TRUE(::CreateDirectoryW(m_playlist.c_str(), nullptr));
  const DebugTextCapture debugText;
  EXPECT_FALSE(SavePlaylistTo(m_folder.Path(), {L"C:\\new.avi"}));
  EXPECT_EQ(debugText.Texts(), Texts{L"failure to move file"});
  EXPECT_FALSE(FileExists(m_temporary));
  EXPECT_NE(::GetFileAttributesW(m_playlist.c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
  ASSERT_TRUE(::RemoveDirectoryW(m_playlist.c_str()));
}

TEST(PlaylistBesideTheExecutable, IsChaptersDatInTheProgramFolder) {
  const std::wstring playlist = testing_support::ProgramFolder() + L"\\chapters.dat";
  const std::string before = ReadFileBytes(playlist);
  const bool existed = FileExists(playlist);

  ASSERT_TRUE(SavePlaylist({L"C:\\beside.avi", L"C:\\the program.avi"}));
  EXPECT_EQ(ReadFileBytes(playlist), "C:\\beside.avi\r\nC:\\the program.avi");
  Playlist list;
  EXPECT_TRUE(LoadPlaylist(list));
  EXPECT_EQ(list, (Playlist{L"C:\\beside.avi", L"C:\\the program.avi"}));

  if (existed)
    WriteFileBytes(playlist, before);
  else
    ::DeleteFileW(playlist.c_str());
}

}  // namespace
}  // namespace mainwindow
