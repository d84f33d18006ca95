#include "app/ModulePaths.h"

#include <windows.h>

#include <shlobj.h>

#include <memory>

#include "framework/ExecutableFolder.h"
#include "framework/WarningBox.h"

namespace app {

namespace {

struct ItemIdListFree {
  void operator()(ITEMIDLIST* list) const { ::CoTaskMemFree(list); }
};
using CItemIdList = std::unique_ptr<ITEMIDLIST, ItemIdListFree>;

std::wstring LongPathOf(const std::wstring& path) {
  const DWORD needed = ::GetLongPathNameW(path.c_str(), nullptr, 0);
  if (needed == 0) return path;
  std::wstring longPath(needed, L'\0');
  const DWORD length = ::GetLongPathNameW(path.c_str(), longPath.data(), needed);
  if (length == 0 || length >= needed) return path;
  longPath.resize(length);
  return longPath;
}

}  // namespace

std::wstring GetModuleFolder() {
  std::wstring folder;
  if (framework::QueryExecutableFolder(folder)) return folder;
  wchar_t text[96];
  swprintf(text, 96, L"Fail to get ostrivane path error code = %d",
           static_cast<int>(::GetLastError()));
  framework::ShowWarningBox(text);
  return {};
}

std::wstring GetConfigFilePath() {
  return GetModuleFolder() + L"config.ini";
}

std::wstring GetShellFolderPath(int csidl) {
  ITEMIDLIST* rawList = nullptr;
  if (FAILED(::SHGetSpecialFolderLocation(nullptr, csidl, &rawList)) || rawList == nullptr)
    return {};
  const CItemIdList list(rawList);
  wchar_t path[MAX_PATH] = {};
  if (!::SHGetPathFromIDListW(list.get(), path)) return {};
  return LongPathOf(path);
}

std::wstring GetDefaultStorageRoot() {
  std::wstring root = GetShellFolderPath(CSIDL_MYVIDEO);
  if (root.empty()) root = GetShellFolderPath(CSIDL_PERSONAL);
  return root;
}

}  // namespace app
