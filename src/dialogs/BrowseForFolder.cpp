#include "dialogs/BrowseForFolder.h"

#include <shlobj.h>

#include "framework/ComScope.h"

namespace dialogs {

namespace {

// An item identifier list from the shell, freed with CoTaskMemFree.
struct CItemIdList {
  PIDLIST_ABSOLUTE items = nullptr;
  ~CItemIdList() { ::CoTaskMemFree(items); }
};

}  // namespace

bool BrowseForFolder(std::wstring& path, HWND owner) {
  // The browser's tree comes from the shell's COM objects.
  const framework::CComScope com;
  wchar_t displayName[MAX_PATH] = L"";
  BROWSEINFOW info{};
  info.hwndOwner = owner;
  info.pszDisplayName = displayName;
  info.lpszTitle = L"所选择路径:   ";
  info.ulFlags = BIF_RETURNONLYFSDIRS;
  CItemIdList chosen;
  chosen.items = ::SHBrowseForFolderW(&info);
  if (chosen.items == nullptr) return false;
  wchar_t folder[MAX_PATH] = L"";
  if (!::SHGetPathFromIDListW(chosen.items, folder)) return false;
  path = folder;
  return true;
}

}  // namespace dialogs
