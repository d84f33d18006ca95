#include "framework/FileDialog.h"

#include <shlobj.h>
#include <shobjidl.h>
#include <wrl/client.h>

#include "framework/ComScope.h"
#include "framework/DebugText.h"

using Microsoft::WRL::ComPtr;

namespace framework {

namespace {

struct CoTaskText {
  wchar_t* text = nullptr;
  ~CoTaskText() { ::CoTaskMemFree(text); }
};

bool ShowNewStyle(const FileOpenOptions& options, std::vector<std::wstring>& paths) {
  ComPtr<IFileOpenDialog> dialog;
  if (FAILED(::CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(&dialog))))
    return false;

  FILEOPENDIALOGOPTIONS flags = 0;
  dialog->GetOptions(&flags);
  flags |= FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST | FOS_FILEMUSTEXIST;
  if (options.multipleSelection) flags |= FOS_ALLOWMULTISELECT;
  dialog->SetOptions(flags);

  std::vector<COMDLG_FILTERSPEC> types;
  for (const FileFilter& filter : options.filters)
    types.push_back({filter.description.c_str(), filter.patterns.c_str()});
  if (!types.empty()) {
    dialog->SetFileTypes(static_cast<UINT>(types.size()), types.data());
    dialog->SetFileTypeIndex(1);
  }
  if (!options.initialFolder.empty()) {
    ComPtr<IShellItem> folder;
    if (SUCCEEDED(::SHCreateItemFromParsingName(options.initialFolder.c_str(), nullptr,
                                                IID_PPV_ARGS(&folder))))
      dialog->SetFolder(folder.Get());
  }

  // Cancelled or failed: nothing chosen, but the new dialog did run.
  if (FAILED(dialog->Show(options.owner))) return true;
  ComPtr<IShellItemArray> results;
  if (FAILED(dialog->GetResults(&results))) return true;
  DWORD count = 0;
  results->GetCount(&count);
  for (DWORD i = 0; i < count; ++i) {
    ComPtr<IShellItem> item;
    CoTaskText path;
    if (SUCCEEDED(results->GetItemAt(i, &item)) &&
        SUCCEEDED(item->GetDisplayName(SIGDN_FILESYSPATH, &path.text)) && path.text != nullptr)
      paths.emplace_back(path.text);
  }
  return true;
}

void ShowClassic(const FileOpenOptions& options, std::vector<std::wstring>& paths) {
  std::wstring filter;
  for (const FileFilter& entry : options.filters) {
    filter += entry.description;
    filter += L'\0';
    filter += entry.patterns;
    filter += L'\0';
  }
  filter += L'\0';
  // Room for many selected names.
  std::wstring buffer(32768, L'\0');
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = options.owner;
  dialog.lpstrFilter = filter.c_str();
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = buffer.data();
  dialog.nMaxFile = static_cast<DWORD>(buffer.size());
  dialog.lpstrInitialDir = options.initialFolder.empty() ? nullptr : options.initialFolder.c_str();
  dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST |
                 (options.multipleSelection ? OFN_ALLOWMULTISELECT : 0);
  if (!::GetOpenFileNameW(&dialog)) return;

  // One path, or a folder followed by names, each ending in a NUL.
  const wchar_t* first = buffer.c_str();
  const wchar_t* next = first + wcslen(first) + 1;
  if (*next == L'\0') {
    paths.emplace_back(first);
    return;
  }
  std::wstring folder = first;
  if (!folder.empty() && folder.back() != L'\\') folder += L'\\';
  for (; *next != L'\0'; next += wcslen(next) + 1) paths.push_back(folder + next);
}

}  // namespace

std::vector<std::wstring> ShowFileOpenDialog(const FileOpenOptions& options) {
  const framework::CComScope com;
  std::vector<std::wstring> paths;
  if (!ShowNewStyle(options, paths)) {
    WriteDebugText(L"The new file dialog is not available; showing the classic one.\n");
    ShowClassic(options, paths);
  }
  return paths;
}

}  // namespace framework
