#include "app/SettingStore.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <thread>

#include "app/ModulePaths.h"
#include "app/SettingCrashRecords.h"
#include "framework/Handle.h"
#include "testing/FileBytes.h"
#include "testing/NoticeCapture.h"
#include "testing/Process.h"
#include "testing/RandomMoment.h"
#include "testing/TempFolder.h"

namespace app {
namespace {

using testing_support::FileExists;
using testing_support::ReadFileBytes;
using testing_support::Utf16FileBytes;
using testing_support::WriteFileBytes;

class SettingStoreTest : public ::testing::Test {
 protected:
  SettingStoreTest() { CSettingStore::DestroyInstance(); }
  ~SettingStoreTest() override { CSettingStore::DestroyInstance(); }

  // The store as the next start of the program sees the file.
  CSettingStore* Reload() {
    CSettingStore::DestroyInstance();
    return CSettingStore::InstanceFor(m_config);
  }

  std::wstring Value(const wchar_t* section, const wchar_t* key) const {
    wchar_t value[1024] = {};
    ::GetPrivateProfileStringW(section, key, L"<missing>", value, 1024, m_config.c_str());
    return value;
  }

  const testing_support::TempFolder m_folder{L"settings"};
  const std::wstring m_config = m_folder.File(L"config.ini");
};

TEST_F(SettingStoreTest, WithoutAFileTheDefaultsApplyAndNothingIsCreated) {
  const SettingRecord record = CSettingStore::InstanceFor(m_config)->GetCurrent();
  const std::wstring videos = GetDefaultStorageRoot();
  ASSERT_FALSE(videos.empty());
  EXPECT_EQ(videos, GetShellFolderPath(0x000e /* CSIDL_MYVIDEO */));
  EXPECT_EQ(record.GetStorageRoot(), videos);
  EXPECT_EQ(record.GetProductFolder(), videos + L"\\Plumora");
  EXPECT_EQ(record.makingMoviePath, videos + L"\\Plumora\\录像");
  EXPECT_EQ(record.GetPhotoFolder(), videos + L"\\Plumora\\照片");
  EXPECT_EQ(g_strCameraName, L"Virtual Camera");
  EXPECT_EQ(record.frameWidth, 640);
  EXPECT_EQ(record.frameHeight, 480);
  EXPECT_EQ(record.movieResolution, 1);
  EXPECT_EQ(record.movieSizeMax, 16);
  EXPECT_EQ(record.shotsOfTimedShot, 60);
  EXPECT_EQ(record.minutesOfTimedShot, 60);
  EXPECT_EQ(record.autoCreatingFolder, 0);
  EXPECT_EQ(record.makingTimeOneFrame, 1);
  EXPECT_EQ(record.makingMovieResolution, 1);
  EXPECT_EQ(record.language, -1);
  EXPECT_FALSE(FileExists(m_config));
}

TEST_F(SettingStoreTest, ReadsEveryKeyOfTheSection) {
  ASSERT_TRUE(WriteFileBytes(m_config, Utf16FileBytes(L"[other]\r\nname=not this one\r\n"
                                                      L"[usingsetting]\r\n"
                                                      L"name=我的摄像头\r\n"
                                                      L"resourcespath=D:\\素材\r\n"
                                                      L"makingmoviepath=E:\\影片\r\n"
                                                      L"makingtimeoneframe=3\r\n"
                                                      L"makingmovieresolution=0\r\n"
                                                      L"movieresolution=0\r\n"
                                                      L"autocreatingfolder=1\r\n"
                                                      L"moviesizemax=32\r\n"
                                                      L"shotsoftimedshot=5\r\n"
                                                      L"minutesoftimedshot=7\r\n"
                                                      L"language=-1\r\n")));
  const SettingRecord record = CSettingStore::InstanceFor(m_config)->GetCurrent();
  EXPECT_EQ(g_strCameraName, L"我的摄像头");
  EXPECT_EQ(record.GetStorageRoot(), L"D:\\素材");
  EXPECT_EQ(record.GetProductFolder(), L"D:\\素材\\Plumora");
  EXPECT_EQ(record.GetRecordingFolder(), L"D:\\素材\\Plumora\\录像");
  EXPECT_EQ(record.makingMoviePath, L"E:\\影片");
  EXPECT_EQ(record.makingTimeOneFrame, 3);
  EXPECT_EQ(record.makingMovieResolution, 0);
  EXPECT_EQ(record.movieResolution, 0);
  EXPECT_EQ(record.autoCreatingFolder, 1);
  EXPECT_EQ(record.movieSizeMax, 32);
  EXPECT_EQ(record.shotsOfTimedShot, 5);
  EXPECT_EQ(record.minutesOfTimedShot, 7);
  EXPECT_EQ(record.language, -1);
}

TEST_F(SettingStoreTest, ReadsNumbersAsAtolAndTakesOnlyExactDefault) {
  ASSERT_TRUE(WriteFileBytes(m_config,
                             "[usingsetting]\r\n"
                             "resourcespath=Default\r\n"
                             "makingmoviepath=DEFAULT\r\n"
                             "movieresolution=abc\r\n"
                             "language=-7\r\n"
                             "moviesizemax=12kb\r\n"
                             "autocreatingfolder=\r\n"));
  const SettingRecord record = CSettingStore::InstanceFor(m_config)->GetCurrent();
  // Letter case matters: these are folders named so, not the default.
  EXPECT_EQ(record.GetStorageRoot(), L"Default");
  EXPECT_EQ(record.GetProductFolder(), L"Default\\Plumora");
  EXPECT_EQ(record.makingMoviePath, L"DEFAULT");
  EXPECT_EQ(record.movieResolution, 0);
  EXPECT_EQ(record.language, -7);
  EXPECT_EQ(record.movieSizeMax, 12);
  EXPECT_EQ(record.autoCreatingFolder, 0);
}

TEST_F(SettingStoreTest, ReadsValuesLongerThanAPathBufferWhole) {
  const std::wstring longRoot = L"D:\\" + std::wstring(400, L'长');
  ASSERT_TRUE(WriteFileBytes(
      m_config, Utf16FileBytes(L"[usingsetting]\r\nresourcespath=" + longRoot + L"\r\n")));
  EXPECT_EQ(CSettingStore::InstanceFor(m_config)->GetCurrent().GetStorageRoot(), longRoot);
}

TEST_F(SettingStoreTest, SaveWritesTheKeysAndMakesTheRecordCurrent) {
  CSettingStore* store = CSettingStore::InstanceFor(m_config);
  SettingRecord record = store->GetCurrent();
  record.SetStorageRoot(L"D:/Media//");
  record.makingMoviePath = L"D:\\Movies";
  record.makingTimeOneFrame = 4;
  record.makingMovieResolution = 0;
  record.autoCreatingFolder = 2;
  record.movieResolution = 0;
  record.movieSizeMax = 8;
  record.shotsOfTimedShot = 9;
  record.minutesOfTimedShot = 10;
  record.language = -1;
  EXPECT_TRUE(store->Save(record));

  EXPECT_EQ(store->GetCurrent().GetStorageRoot(), L"D:\\Media");
  EXPECT_EQ(store->GetCurrent().GetProductFolder(), L"D:\\Media\\Plumora");
  EXPECT_EQ(Value(L"usingsetting", L"resourcespath"), L"D:\\Media");
  EXPECT_EQ(Value(L"usingsetting", L"makingmoviepath"), L"D:\\Movies");
  EXPECT_EQ(Value(L"usingsetting", L"makingtimeoneframe"), L"4");
  EXPECT_EQ(Value(L"usingsetting", L"makingmovieresolution"), L"0");
  EXPECT_EQ(Value(L"usingsetting", L"autocreatingfolder"), L"2");
  EXPECT_EQ(Value(L"usingsetting", L"movieresolution"), L"0");
  EXPECT_EQ(Value(L"usingsetting", L"moviesizemax"), L"8");
  EXPECT_EQ(Value(L"usingsetting", L"shotsoftimedshot"), L"9");
  EXPECT_EQ(Value(L"usingsetting", L"minutesoftimedshot"), L"10");
  EXPECT_EQ(Value(L"usingsetting", L"language"), L"-1");
  // The camera name belongs to the settings dialog's registry write, never to Save.
  EXPECT_EQ(Value(L"usingsetting", L"name"), L"<missing>");

  const SettingRecord loaded = Reload()->GetCurrent();
  EXPECT_EQ(loaded.GetStorageRoot(), L"D:\\Media");
  EXPECT_EQ(loaded.GetProductFolder(), L"D:\\Media\\Plumora");
  EXPECT_EQ(loaded.makingMoviePath, L"D:\\Movies");
  EXPECT_EQ(loaded.autoCreatingFolder, 2);
  EXPECT_EQ(loaded.movieResolution, 0);
  EXPECT_EQ(loaded.language, -1);
}

TEST_F(SettingStoreTest, TheDefaultFolderIsSavedAsDefaultAndTheMovieFolderAsResolved) {
  CSettingStore* store = CSettingStore::InstanceFor(m_config);
  const SettingRecord first = store->GetCurrent();
  ASSERT_TRUE(store->Save(first));
  // "default" follows the video folder wherever it moves; the movie folder stays put.
  EXPECT_EQ(Value(L"usingsetting", L"resourcespath"), L"default");
  EXPECT_EQ(Value(L"usingsetting", L"makingmoviepath"), first.GetRecordingFolder());

  SettingRecord moved = Reload()->GetCurrent();
  EXPECT_EQ(moved.makingMoviePath, first.GetRecordingFolder());
  moved.SetStorageRoot(L"F:\\Elsewhere");
  ASSERT_TRUE(CSettingStore::Instance()->Save(moved));
  EXPECT_EQ(Value(L"usingsetting", L"resourcespath"), L"F:\\Elsewhere");
  EXPECT_EQ(Reload()->GetCurrent().makingMoviePath, first.GetRecordingFolder());
}

TEST_F(SettingStoreTest, ANewFileIsUnicodeAndKeepsChineseFolders) {
  CSettingStore* store = CSettingStore::InstanceFor(m_config);
  SettingRecord record = store->GetCurrent();
  record.SetStorageRoot(L"D:\\我的视频");
  record.makingMoviePath = L"D:\\我的视频\\影片";
  ASSERT_TRUE(store->Save(record));
  EXPECT_EQ(ReadFileBytes(m_config).substr(0, 2), "\xFF\xFE");

  const SettingRecord loaded = Reload()->GetCurrent();
  EXPECT_EQ(loaded.GetStorageRoot(), L"D:\\我的视频");
  EXPECT_EQ(loaded.GetPhotoFolder(), L"D:\\我的视频\\Plumora\\照片");
  EXPECT_EQ(loaded.makingMoviePath, L"D:\\我的视频\\影片");
}

TEST_F(SettingStoreTest, AnExistingAnsiFileKeepsItsContentAndTakesChineseFolders) {
  const std::string ansi =
      "; written by an earlier version\r\n"
      "[usingsetting]\r\nname=Studio Cam\r\nmoviesizemax=3\r\nshotsoftimedshot=5\r\n"
      "minutesoftimedshot=7\r\nlanguage=2\r\n[window]\r\nleft=12\r\n";
  ASSERT_TRUE(WriteFileBytes(m_config, ansi));
  CSettingStore* store = CSettingStore::InstanceFor(m_config);
  EXPECT_EQ(g_strCameraName, L"Studio Cam");

  // ASCII values leave an 8-bit file 8-bit.
  SettingRecord record = store->GetCurrent();
  record.SetStorageRoot(L"D:\\Media");
  record.makingMoviePath = L"D:\\Media\\Movies";
  ASSERT_TRUE(store->Save(record));
  EXPECT_NE(ReadFileBytes(m_config).substr(0, 2), "\xFF\xFE");

  record.SetStorageRoot(L"D:\\素材库");
  record.makingMoviePath = L"D:\\素材库\\影片";
  ASSERT_TRUE(store->Save(record));

  const SettingRecord loaded = Reload()->GetCurrent();
  EXPECT_EQ(loaded.GetStorageRoot(), L"D:\\素材库");
  EXPECT_EQ(loaded.makingMoviePath, L"D:\\素材库\\影片");
  // Keys the store only carries, keys it never writes and other sections all survive.
  EXPECT_EQ(g_strCameraName, L"Studio Cam");
  EXPECT_EQ(loaded.movieSizeMax, 3);
  EXPECT_EQ(loaded.shotsOfTimedShot, 5);
  EXPECT_EQ(loaded.minutesOfTimedShot, 7);
  EXPECT_EQ(loaded.language, 2);
  EXPECT_EQ(Value(L"window", L"left"), L"12");
}

TEST_F(SettingStoreTest, AFailedWriteIsReportedAndTheRecordStillHolds) {
  // A file in a folder that does not exist can be neither created nor written.
  const std::wstring unwritable = m_folder.File(L"missing\\config.ini");
  CSettingStore* store = CSettingStore::InstanceFor(unwritable);
  SettingRecord record = store->GetCurrent();
  record.movieSizeMax = 99;
  const testing_support::DebugTextCapture debugText;
  EXPECT_FALSE(store->Save(record));
  EXPECT_EQ(debugText.Texts(),
            std::vector<std::wstring>{L"failure to write config file " + unwritable});
  EXPECT_EQ(store->GetCurrent().movieSizeMax, 99);
  EXPECT_FALSE(FileExists(unwritable));
}

TEST_F(SettingStoreTest, GetCurrentNeverSeesAHalfSavedRecord) {
  CSettingStore* store = CSettingStore::InstanceFor(m_config);
  std::atomic<bool> done{false};
  std::atomic<int> torn{0}, reads{0};
  std::thread reader([&] {
    while (!done) {
      const SettingRecord seen = store->GetCurrent();
      if (seen.GetProductFolder() != seen.GetStorageRoot() + L"\\Plumora" ||
          seen.makingMoviePath != seen.GetRecordingFolder())
        ++torn;
      ++reads;
    }
  });
  for (int i = 0; i < 40; ++i) {
    SettingRecord record = store->GetCurrent();
    record.SetStorageRoot(L"D:\\root" + std::wstring(i % 7 * 40, L'x') + std::to_wstring(i));
    record.makingMoviePath = record.GetRecordingFolder();
    store->Save(record);
  }
  done = true;
  reader.join();
  EXPECT_GT(reads.load(), 0);
  EXPECT_EQ(torn.load(), 0);
}

// A save may be cut short at any moment (the program killed, the power gone): whenever
// that happens, the next start must find the settings of before or of after the save,
// never a mix and never a damaged file. A second process (settings-saver) saves and is
// killed here.
TEST_F(SettingStoreTest, KilledAtRandomMomentsTheFileHoldsTheOldOrTheNewSettings) {
  constexpr int kKills = 100;
  const std::vector<std::wstring> first = SavedValues(CrashTestSettings(false));
  const std::vector<std::wstring> second = SavedValues(CrashTestSettings(true));
  ASSERT_TRUE(CSettingStore::InstanceFor(m_config)->Save(CrashTestSettings(false)));
  // Up to several saves' time: kills land before, inside and after saves.
  testing_support::CRandomMoments moments(20261210, 40000);

  int firstRecords = 0, secondRecords = 0, killedMidSave = 0;
  for (int kill = 0; kill < kKills; ++kill) {
    const std::wstring readyName = testing_support::UniqueName(L"settings-ready");
    const framework::CHandle ready(::CreateEventW(nullptr, TRUE, FALSE, readyName.c_str()));
    ASSERT_TRUE(ready);
    testing_support::ChildProcess saver(testing_support::ProgramFolder() + L"\\settings-saver.exe",
                                        L"\"" + m_config + L"\" " + readyName);
    ASSERT_TRUE(saver.Started());
    const HANDLE waitFor[] = {ready.Get(), saver.Handle()};
    ASSERT_EQ(::WaitForMultipleObjects(2, waitFor, FALSE, 30000), WAIT_OBJECT_0)
        << "the saver ended or hung before its first save";

    moments.WaitForNext();
    ASSERT_TRUE(saver.Kill(9));
    ASSERT_EQ(saver.Wait(30000), 9) << "the saver stopped by itself";

    if (FileExists(m_config + L".tmp")) ++killedMidSave;
    const std::vector<std::wstring> loaded = SavedValues(Reload()->GetCurrent());
    if (loaded == first)
      ++firstRecords;
    else if (loaded == second)
      ++secondRecords;
    else
      FAIL() << "kill " << kill << ": config.ini holds a mix of two saves, or damage";
  }
  std::printf("%d kills: %d left the one record, %d the other; %d killed mid-save\n", kKills,
              firstRecords, secondRecords, killedMidSave);
  EXPECT_EQ(firstRecords + secondRecords, kKills);
  // Evidence that the kills did land inside saves, where a fault would show.
  EXPECT_GT(killedMidSave, kKills / 10);
  // A save after the last kill gets past whatever that kill left behind.
  ASSERT_TRUE(Reload()->Save(CrashTestSettings(true)));
  EXPECT_EQ(SavedValues(Reload()->GetCurrent()), second);
  EXPECT_FALSE(FileExists(m_config + L".tmp"));
}

TEST_F(SettingStoreTest, InstanceIsOneStoreUntilDestroyed) {
  CSettingStore* store = CSettingStore::InstanceFor(m_config);
  EXPECT_EQ(CSettingStore::Instance(), store);
  EXPECT_EQ(CSettingStore::InstanceFor(m_folder.File(L"other.ini")), store);
  EXPECT_EQ(store->ConfigFilePath(), m_config);

  // The file is read once per store: a change on disk shows only in a new store.
  ASSERT_TRUE(WriteFileBytes(m_config, "[usingsetting]\r\nmovieresolution=0\r\n"));
  EXPECT_EQ(store->GetCurrent().movieResolution, 1);
  EXPECT_EQ(Reload()->GetCurrent().movieResolution, 0);
}

TEST(ModulePaths, TheConfigFileLiesBesideTheExecutable) {
  EXPECT_EQ(GetModuleFolder(), testing_support::ProgramFolder() + L"\\");
  EXPECT_EQ(GetConfigFilePath(), testing_support::ProgramFolder() + L"\\config.ini");
}

TEST(SettingRecord, FoldersFollowTheStorageRoot) {
  SettingRecord record;
  EXPECT_EQ(record.GetStorageRoot(), GetDefaultStorageRoot());
  EXPECT_EQ(record.GetProductFolder(), L"");
  record.SetStorageRoot(L"E:\\Plumora");
  EXPECT_EQ(record.GetProductFolder(), L"E:\\Plumora");
  EXPECT_EQ(record.GetPhotoFolder(), L"E:\\Plumora\\照片");
  EXPECT_EQ(record.GetRecordingFolder(), L"E:\\Plumora\\录像");
  // Without any storage folder the photographs go to a bare "\照片".
  record.SetStorageRoot(L"");
  EXPECT_EQ(record.GetPhotoFolder(), L"\\照片");
  EXPECT_EQ(record.GetRecordingFolder(), L"\\录像");
}

}  // namespace
}  // namespace app
