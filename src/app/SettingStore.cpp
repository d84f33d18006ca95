#include "app/SettingStore.h"

#include <atomic>
#include <mutex>
#include <utility>

#include "app/ModulePaths.h"
#include "app/ProfileFile.h"
#include "framework/DebugText.h"

namespace app {

std::wstring g_strCameraName;

namespace {

constexpr wchar_t kSection[] = L"usingsetting";
// A folder value that stands for the folder the program works out itself.
constexpr wchar_t kDefaultFolder[] = L"default";

std::atomic<CSettingStore*> g_settingStore{nullptr};
// Only creation and destruction take it; Instance() after the first call does not.
std::mutex g_settingStoreCreation;

}  // namespace

CSettingStore* CSettingStore::Instance() {
  if (CSettingStore* store = g_settingStore.load()) return store;
  return InstanceFor(GetConfigFilePath());
}

CSettingStore* CSettingStore::InstanceFor(const std::wstring& configFilePath) {
  const std::lock_guard<std::mutex> hold(g_settingStoreCreation);
  if (CSettingStore* store = g_settingStore.load()) return store;
  auto* store = new CSettingStore(configFilePath);
  store->Load();
  g_settingStore.store(store);
  return store;
}

void CSettingStore::DestroyInstance() {
  const std::lock_guard<std::mutex> hold(g_settingStoreCreation);
  delete g_settingStore.exchange(nullptr);
}

CSettingStore::CSettingStore(std::wstring configFilePath)
    : m_configFilePath(std::move(configFilePath)) {}

void CSettingStore::Load() {
  const CProfileSection file(m_configFilePath, kSection);
  SettingRecord& record = m_current;

  g_strCameraName = file.ReadText(L"name", L"Virtual Camera");
  record.shotsOfTimedShot = file.ReadNumber(L"shotsoftimedshot", 60);
  record.minutesOfTimedShot = file.ReadNumber(L"minutesoftimedshot", 60);

  const std::wstring storageRoot = file.ReadText(L"resourcespath", kDefaultFolder);
  record.SetStorageRootAsRead(storageRoot == kDefaultFolder ? GetDefaultStorageRoot()
                                                            : storageRoot);
  const std::wstring makingMoviePath = file.ReadText(L"makingmoviepath", kDefaultFolder);
  record.makingMoviePath =
      makingMoviePath == kDefaultFolder ? record.GetRecordingFolder() : makingMoviePath;

  record.makingTimeOneFrame = file.ReadNumber(L"makingtimeoneframe", 1);
  record.makingMovieResolution = file.ReadNumber(L"makingmovieresolution", 1);
  record.autoCreatingFolder = file.ReadNumber(L"autocreatingfolder", 0);
  record.movieResolution = file.ReadNumber(L"movieresolution", 1);
  record.movieSizeMax = file.ReadNumber(L"moviesizemax", 16);
  record.language = file.ReadNumber(L"language", -1);
}

SettingRecord CSettingStore::GetCurrent() const {
  const framework::CAutoLock hold(m_lock);
  return m_current;
}

bool CSettingStore::Save(const SettingRecord& record) {
  const bool written = WriteToFile(record);
  if (!written) framework::WriteDebugText(L"failure to write config file " + m_configFilePath);

  const framework::CAutoLock hold(m_lock);
  m_current = record;
  return written;
}

bool CSettingStore::WriteToFile(const SettingRecord& record) const {
  // All keys change together or none does (see BeginProfileReplacement).
  const std::wstring copy = BeginProfileReplacement(m_configFilePath);
  if (copy.empty()) return false;
  const CProfileSection file(copy, kSection);
  const std::wstring storageRoot =
      record.storageRoot == GetDefaultStorageRoot() ? kDefaultFolder : record.storageRoot;

  bool written = file.PrepareFor({storageRoot, record.makingMoviePath});
  written = written && file.WriteNumber(L"shotsoftimedshot", record.shotsOfTimedShot);
  written = written && file.WriteNumber(L"minutesoftimedshot", record.minutesOfTimedShot);
  written = written && file.WriteText(L"resourcespath", storageRoot);
  // Written as resolved: "default" is never written back, so the first save fixes the folder.
  written = written && file.WriteText(L"makingmoviepath", record.makingMoviePath);
  written = written && file.WriteNumber(L"makingtimeoneframe", record.makingTimeOneFrame);
  written = written && file.WriteNumber(L"makingmovieresolution", record.makingMovieResolution);
  written = written && file.WriteNumber(L"autocreatingfolder", record.autoCreatingFolder);
  written = written && file.WriteNumber(L"movieresolution", record.movieResolution);
  written = written && file.WriteNumber(L"moviesizemax", record.movieSizeMax);
  written = written && file.WriteNumber(L"language", record.language);
  if (!written) {
    AbandonProfileReplacement(copy);
    return false;
  }
  return CompleteProfileReplacement(copy, m_configFilePath);
}

}  // namespace app
