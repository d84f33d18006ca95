#include "app/SettingRecord.h"

#include "app/ModulePaths.h"
#include "app/StorageRoot.h"

namespace app {

SettingRecord::SettingRecord() : storageRoot(GetDefaultStorageRoot()) {}

void SettingRecord::SetStorageRoot(const std::wstring& path) {
  SetStorageRootAsRead(NormaliseStorageRoot(path));
}

void SettingRecord::SetStorageRootAsRead(const std::wstring& path) {
  storageRoot = path;
  productFolder = ProductFolderFor(storageRoot);
}

std::wstring SettingRecord::GetPhotoFolder() const {
  return productFolder + L"\\照片";
}

std::wstring SettingRecord::GetRecordingFolder() const {
  return productFolder + L"\\录像";
}

}  // namespace app
