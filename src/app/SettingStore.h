// The configuration store: the user's settings in "config.ini" beside the executable,
// section "usingsetting", handed out as copies of a SettingRecord.
#pragma once

#include <string>

#include "app/SettingRecord.h"
#include "framework/Lock.h"

namespace app {

// The camera name configured in "config.ini" (key "name"): empty until the store loads.
extern std::wstring g_strCameraName;

class CSettingStore {
 public:
  // The process's store, created and loaded from GetConfigFilePath() on the first call.
  // The first call must come from the user-interface thread before other threads run.
  static CSettingStore* Instance();
  // The same, except that a store created by this call reads and writes configFilePath.
  // For tools and tests that must not touch the file beside the executable.
  static CSettingStore* InstanceFor(const std::wstring& configFilePath);
  // Deletes the store; the next Instance() loads the file anew.
  static void DestroyInstance();

  CSettingStore(const CSettingStore&) = delete;
  CSettingStore& operator=(const CSettingStore&) = delete;

  // A copy of the current record; safe from any thread.
  SettingRecord GetCurrent() const;

  // Writes record to the file, then makes it the current record (also when writing
  // failed: the settings then hold for the rest of the run). True when every key was
  // written; a failure is also written to the debugger output.
  bool Save(const SettingRecord& record);

  const std::wstring& ConfigFilePath() const { return m_configFilePath; }

 private:
  explicit CSettingStore(std::wstring configFilePath);
  void Load();
  // Writes every key of record into the file at once; false when the file is unchanged.
  bool WriteToFile(const SettingRecord& record) const;

  const std::wstring m_configFilePath;
  mutable framework::CCriticalSection m_lock;
  SettingRecord m_current;
};

}  // namespace app
