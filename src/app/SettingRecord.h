// The user's settings as a plain value: readers get a copy from the store, writers change
// a copy and hand it back to CSettingStore::Save.
#pragma once

#include <cstdint>
#include <string>

namespace app {

struct SettingRecord {
  // The defaults of a missing "config.ini", with the default storage root and as yet no
  // product folder or making-movie folder.
  SettingRecord();

  // Normalises path (see NormaliseStorageRoot), stores it and derives the product folder.
  void SetStorageRoot(const std::wstring& path);
  // Stores path as it stands and derives the product folder: for values read from the file.
  void SetStorageRootAsRead(const std::wstring& path);

  std::wstring GetStorageRoot() const { return storageRoot; }
  std::wstring GetProductFolder() const { return productFolder; }
  // The product folder, a backslash and "照片".
  std::wstring GetPhotoFolder() const;
  // The product folder, a backslash and "录像".
  std::wstring GetRecordingFolder() const;

  // The reference frame size: photographs are scaled to it and movie frames checked against it.
  std::int32_t frameWidth = 640;
  std::int32_t frameHeight = 480;
  // 0 records at 320 x 240, anything else at 640 x 480.
  std::int32_t movieResolution = 1;
  std::wstring storageRoot;
  std::wstring productFolder;
  std::int32_t movieSizeMax = 16;
  std::int32_t shotsOfTimedShot = 60;
  std::int32_t minutesOfTimedShot = 60;
  // 0 names output files by date in one folder; anything else builds a folder tree.
  std::int32_t autoCreatingFolder = 0;
  std::int32_t makingTimeOneFrame = 1;
  std::wstring makingMoviePath;
  std::int32_t makingMovieResolution = 1;
  std::int32_t language = -1;
};

}  // namespace app
