// Two settings records that differ in every key the store writes: what the settings crash
// test and its saver process (settings-saver) save in turn.
#pragma once

#include <string>
#include <vector>

#include "app/SettingRecord.h"

namespace app {

inline SettingRecord CrashTestSettings(bool second) {
  SettingRecord record;
  record.SetStorageRoot(second ? L"D:\\素材库乙" : L"C:\\Media A");
  record.makingMoviePath = record.GetRecordingFolder();
  record.movieResolution = second ? 0 : 1;
  record.movieSizeMax = second ? 32 : 3;
  record.shotsOfTimedShot = second ? 120 : 5;
  record.minutesOfTimedShot = second ? 30 : 7;
  record.autoCreatingFolder = second ? 1 : 0;
  record.makingTimeOneFrame = second ? 4 : 2;
  record.makingMovieResolution = second ? 0 : 1;
  record.language = second ? 2 : 1;
  return record;
}

// Every value the store writes, as text, for comparing two records as a whole.
inline std::vector<std::wstring> SavedValues(const SettingRecord& record) {
  return {record.GetStorageRoot(),
          record.makingMoviePath,
          std::to_wstring(record.movieResolution),
          std::to_wstring(record.movieSizeMax),
          std::to_wstring(record.shotsOfTimedShot),
          std::to_wstring(record.minutesOfTimedShot),
          std::to_wstring(record.autoCreatingFolder),
          std::to_wstring(record.makingTimeOneFrame),
          std::to_wstring(record.makingMovieResolution),
          std::to_wstring(record.language)};
}

}  // namespace app
