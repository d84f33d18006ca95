// The system's file-open dialog in its new (Vista) style, with the classic dialog as the
// fallback where the new one is not available.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace framework {

struct FileFilter {
  std::wstring description;  // shown in the dialog's type list
  std::wstring patterns;     // "*.avi;*.mov", as the dialog takes them
};

struct FileOpenOptions {
  HWND owner = nullptr;
  std::vector<FileFilter> filters;  // the first is selected
  std::wstring initialFolder;       // empty: the dialog's own choice
  bool multipleSelection = false;
};

// Shows the dialog; the chosen files' full paths in the order the dialog gives them.
// Empty when the user cancelled or the dialog could not be shown.
std::vector<std::wstring> ShowFileOpenDialog(const FileOpenOptions& options);

}  // namespace framework
