#include "camera/OutputFileNaming.h"

#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <thread>
#include <vector>

#include "app/SettingStore.h"
#include "framework/SystemMessage.h"
#include "testing/FileBytes.h"
#include "testing/NoticeCapture.h"
#include "testing/TempFolder.h"

namespace camera {
namespace {

using testing_support::FileExists;
using testing_support::WarningBoxCapture;
using testing_support::WriteFileBytes;
using Texts = std::vector<std::wstring>;

SYSTEMTIME g_today;

SYSTEMTIME Today() {
  return g_today;
}

bool IsFolder(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

class OutputFileNamingTest : public ::testing::Test {
 protected:
  OutputFileNamingTest() {
    SetDate(2012, 5, 12);
    SetLocalDateSourceForTesting(&Today);
    ResetOutputFoldersForTesting();
    UseSettings(0, m_folder.File(L"存储"));
    ::CreateDirectoryW(m_photos.c_str(), nullptr);
    ::CreateDirectoryW(m_recordings.c_str(), nullptr);
  }
  ~OutputFileNamingTest() override {
    SetLocalDateSourceForTesting(nullptr);
    app::CSettingStore::DestroyInstance();
  }

  static void SetDate(WORD year, WORD month, WORD day) {
    g_today = SYSTEMTIME{};
    g_today.wYear = year;
    g_today.wMonth = month;
    g_today.wDay = day;
  }

  void UseSettings(int autoCreatingFolder, const std::wstring& storageRoot) {
    app::CSettingStore::DestroyInstance();
    const std::wstring config = m_folder.File(L"config.ini");
    WriteFileBytes(config,
                   testing_support::Utf16FileBytes(L"[usingsetting]\r\nautocreatingfolder=" +
                                                   std::to_wstring(autoCreatingFolder) +
                                                   L"\r\nresourcespath=" + storageRoot + L"\r\n"));
    app::CSettingStore::InstanceFor(config);
  }

  // Names the next photograph and writes it, as the camera studio does.
  std::wstring TakePhoto() {
    std::wstring path;
    EXPECT_TRUE(MakePhotoFileName(path, m_photos));
    EXPECT_FALSE(FileExists(path)) << path;
    WriteFileBytes(path, "jpeg");
    return path;
  }
  std::wstring Record() {
    std::wstring path;
    EXPECT_TRUE(MakeMovieFileName(path, m_recordings));
    EXPECT_FALSE(FileExists(path)) << path;
    WriteFileBytes(path, "avi");
    return path;
  }

  const testing_support::TempFolder m_folder{L"naming"};
  const std::wstring m_photos = m_folder.File(L"照片");
  const std::wstring m_recordings = m_folder.File(L"录像");
};

TEST_F(OutputFileNamingTest, DatedNamesCountUpWithinADayAndRestartTheNext) {
  EXPECT_EQ(TakePhoto(), m_photos + L"\\S20120512_0001.jpg");
  EXPECT_EQ(TakePhoto(), m_photos + L"\\S20120512_0002.jpg");
  EXPECT_EQ(Record(), m_recordings + L"\\M20120512_0001.avi");
  EXPECT_EQ(Record(), m_recordings + L"\\M20120512_0002.avi");
  SetDate(2012, 5, 13);
  EXPECT_EQ(TakePhoto(), m_photos + L"\\S20120513_0001.jpg");
  EXPECT_EQ(Record(), m_recordings + L"\\M20120513_0001.avi");
}

TEST_F(OutputFileNamingTest, AFileDatedInTheFutureGoesOnCounting) {
  WriteFileBytes(m_photos + L"\\S20991231_0007.jpg", "jpeg");
  EXPECT_EQ(TakePhoto(), m_photos + L"\\S20991231_0008.jpg");
  SetDate(2099, 12, 31);
  EXPECT_EQ(TakePhoto(), m_photos + L"\\S20991231_0009.jpg");
}

TEST_F(OutputFileNamingTest, ForeignFilesDoNotCount) {
  WriteFileBytes(m_photos + L"\\readme.txt", "notes");
  ::CreateDirectoryW((m_photos + L"\\S20120512_0040.jpg").c_str(), nullptr);
  EXPECT_EQ(TakePhoto(), m_photos + L"\\S20120512_0001.jpg");
}

TEST_F(OutputFileNamingTest, ADatedNameNeverNamesAnExistingFile) {
  // 10000 sorts before 9999, and a foreign a_1.jpg after every name of ours: by text alone
  // the next names would be 10000 and 0001 again.
  WriteFileBytes(m_photos + L"\\S20120512_9999.jpg", "jpeg");
  WriteFileBytes(m_photos + L"\\S20120512_10000.jpg", "jpeg");
  EXPECT_EQ(TakePhoto(), m_photos + L"\\S20120512_10001.jpg");
  EXPECT_EQ(TakePhoto(), m_photos + L"\\S20120512_10002.jpg");

  WriteFileBytes(m_recordings + L"\\M20120512_0001.avi", "avi");
  WriteFileBytes(m_recordings + L"\\a_1.avi", "foreign");
  EXPECT_EQ(Record(), m_recordings + L"\\M20120512_0002.avi");
}

TEST_F(OutputFileNamingTest, ANameHandedOutIsNotHandedOutAgainBeforeItsFileExists) {
  std::wstring first, second;
  ASSERT_TRUE(MakePhotoFileName(first, m_photos));
  ASSERT_TRUE(MakePhotoFileName(second, m_photos));
  EXPECT_EQ(first, m_photos + L"\\S20120512_0001.jpg");
  EXPECT_EQ(second, m_photos + L"\\S20120512_0002.jpg");
}

TEST_F(OutputFileNamingTest, ThreadsNamingAtOnceGetDifferentNames) {
  for (const int scheme : {0, 1}) {
    SCOPED_TRACE(scheme);
    UseSettings(scheme, m_folder.File(L"存储"));
    constexpr int kThreads = 4, kNamesEach = 40;
    std::vector<std::wstring> names[kThreads];
    std::atomic<int> waiting{kThreads};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
      threads.emplace_back([&, t] {
        --waiting;
        while (waiting > 0) {
        }
        for (int i = 0; i < kNamesEach; ++i) {
          std::wstring path;
          if (!MakePhotoFileName(path, m_photos)) continue;
          names[t].push_back(path);
          // Some photographs are on disk at once, some only later.
          if (i % 2 == 0) WriteFileBytes(path, "jpeg");
        }
      });
    }
    for (std::thread& thread : threads) thread.join();
    std::set<std::wstring> distinct;
    for (const auto& list : names) {
      EXPECT_EQ(list.size(), static_cast<size_t>(kNamesEach));
      distinct.insert(list.begin(), list.end());
    }
    EXPECT_EQ(distinct.size(), static_cast<size_t>(kThreads * kNamesEach));
  }
}

TEST_F(OutputFileNamingTest, TheFolderTreeHoldsAThousandNumbersPerGroup) {
  UseSettings(1, m_folder.File(L"存储"));
  const std::wstring day = m_photos + L"\\20120512";
  EXPECT_EQ(TakePhoto(), day + L"\\000\\SingleShot0000.jpg");
  EXPECT_EQ(TakePhoto(), day + L"\\000\\SingleShot0001.jpg");
  EXPECT_EQ(Record(), m_recordings + L"\\20120512\\000\\Movie0000.avi");

  // The 1000th photograph of the day fills group 000; the 1001st opens group 001.
  WriteFileBytes(day + L"\\000\\SingleShot0999.jpg", "jpeg");
  EXPECT_EQ(TakePhoto(), day + L"\\001\\SingleShot1000.jpg");
  EXPECT_EQ(TakePhoto(), day + L"\\001\\SingleShot1001.jpg");
  EXPECT_TRUE(IsFolder(day + L"\\001"));

  SetDate(2012, 5, 13);
  EXPECT_EQ(TakePhoto(), m_photos + L"\\20120513\\000\\SingleShot0000.jpg");
}

TEST_F(OutputFileNamingTest, NoFolderNoName) {
  std::wstring path = L"untouched";
  const WarningBoxCapture boxes;
  EXPECT_FALSE(MakePhotoFileName(path, L""));
  EXPECT_FALSE(MakeMovieFileName(path, L""));
  EXPECT_EQ(path, L"untouched");
  EXPECT_EQ(boxes.Texts(), Texts{});
}

TEST_F(OutputFileNamingTest, AFolderOfTheTreeThatCannotBeMadeIsShownAndGivesNoName) {
  UseSettings(1, m_folder.File(L"存储"));
  const std::wstring deep = m_folder.File(L"missing\\照片");
  std::wstring path = L"untouched";
  const WarningBoxCapture boxes;
  EXPECT_FALSE(MakePhotoFileName(path, deep));
  EXPECT_EQ(path, L"untouched");
  EXPECT_EQ(boxes.Texts(), Texts{deep + framework::SystemMessageText(ERROR_PATH_NOT_FOUND)});
}

TEST_F(OutputFileNamingTest, EnsureDirectoryMakesOneLevelAndShowsWhyItCannot) {
  const WarningBoxCapture boxes;
  EXPECT_TRUE(EnsureDirectory(m_photos));
  EXPECT_TRUE(EnsureDirectory(m_folder.File(L"新的")));
  EXPECT_TRUE(IsFolder(m_folder.File(L"新的")));

  const std::wstring twoLevels = m_folder.File(L"a\\b");
  EXPECT_FALSE(EnsureDirectory(twoLevels));
  // A file where the folder should be is no folder.
  const std::wstring file = m_folder.File(L"occupied");
  WriteFileBytes(file, "a file");
  EXPECT_FALSE(EnsureDirectory(file));

  const std::wstring pathNotFound = framework::SystemMessageText(ERROR_PATH_NOT_FOUND);
  const std::wstring alreadyExists = framework::SystemMessageText(ERROR_ALREADY_EXISTS);
  ASSERT_FALSE(pathNotFound.empty());
  ASSERT_FALSE(alreadyExists.empty());
  EXPECT_EQ(boxes.Texts(), (Texts{twoLevels + pathNotFound, file + alreadyExists}));
}

TEST_F(OutputFileNamingTest, OutputFoldersAreMadeOncePerRun) {
  const std::wstring root = m_folder.File(L"存储");
  ASSERT_TRUE(::CreateDirectoryW(root.c_str(), nullptr));
  EnsureOutputFolders();
  EXPECT_TRUE(IsFolder(root + L"\\Plumora"));
  EXPECT_TRUE(IsFolder(root + L"\\Plumora\\照片"));
  EXPECT_TRUE(IsFolder(root + L"\\Plumora\\录像"));

  ASSERT_TRUE(::RemoveDirectoryW((root + L"\\Plumora\\录像").c_str()));
  EnsureOutputFolders();
  EXPECT_FALSE(IsFolder(root + L"\\Plumora\\录像"));
}

TEST_F(OutputFileNamingTest, ThreadsRacingToMakeTheOutputFoldersMakeThemOnce) {
  // Without its storage root no folder can be made: each attempt shows a box, so the boxes
  // count the attempts.
  const std::wstring product = m_folder.File(L"存储") + L"\\Plumora";
  const WarningBoxCapture boxes;
  std::atomic<int> waiting{2};
  auto race = [&] {
    --waiting;
    while (waiting > 0) {
    }
    EnsureOutputFolders();
  };
  std::thread first(race), second(race);
  first.join();
  second.join();
  const std::wstring why = framework::SystemMessageText(ERROR_PATH_NOT_FOUND);
  EXPECT_EQ(boxes.Texts(),
            (Texts{product + why, product + L"\\照片" + why, product + L"\\录像" + why}));
}

TEST(TodayStamp, IsTheLocalDate) {
  SYSTEMTIME now;
  ::GetLocalTime(&now);
  wchar_t expected[16];
  swprintf(expected, 16, L"%04d%02d%02d", now.wYear, now.wMonth, now.wDay);
  EXPECT_EQ(TodayStamp(), expected);
}

}  // namespace
}  // namespace camera
