#include "testing/TempFolder.h"

#include <windows.h>

#include <atomic>

namespace testing_support {

namespace {

void RemoveTree(const std::wstring& folder) {
  WIN32_FIND_DATAW found;
  HANDLE search = ::FindFirstFileW((folder + L"\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring path = folder + L"\\" + name;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        RemoveTree(path);
      else
        ::DeleteFileW(path.c_str());
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
  }
  ::RemoveDirectoryW(folder.c_str());
}

}  // namespace

std::wstring UniqueName(const std::wstring& purpose) {
  static std::atomic<unsigned> counter{0};
  return L"Plumora." + purpose + L"." + std::to_wstring(::GetCurrentProcessId()) + L"." +
         std::to_wstring(++counter);
}

TempFolder::TempFolder(const std::wstring& purpose) {
  wchar_t temp[MAX_PATH + 1];
  const DWORD length = ::GetTempPathW(MAX_PATH + 1, temp);
  m_path = std::wstring(temp, length) + UniqueName(purpose);
  // Process ids come round again (under Wine at every new session): what a test program
  // that was killed left under the same name goes first.
  RemoveTree(m_path);
  ::CreateDirectoryW(m_path.c_str(), nullptr);
}

TempFolder::~TempFolder() {
  RemoveTree(m_path);
}

}  // namespace testing_support
