#include "camera/OutputFileNaming.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>
#include <set>

#include "app/SettingStore.h"
#include "camera/OutputNames.h"
#include "framework/SystemMessage.h"
#include "framework/WarningBox.h"

namespace camera {

namespace {

SYSTEMTIME SystemLocalDate() {
  SYSTEMTIME now{};
  ::GetLocalTime(&now);
  return now;
}

std::atomic<LocalDateSource> g_localDateSource{&SystemLocalDate};

// Photographs are named on two streaming threads and recordings on the window thread:
// one name at a time, so that a name is taken before the next one is worked out.
std::mutex g_namingLock;
// Names handed out in this run whose files may not exist yet. A name leaves the set once
// its file is on disk, where the disk check takes over.
std::set<std::wstring> g_namesHandedOut;

std::mutex g_outputFoldersLock;
bool g_outputFoldersEnsured = false;

bool IsFolder(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool Exists(const std::wstring& path) {
  return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Whether path is free to hand out; called under g_namingLock.
bool IsFree(const std::wstring& path) {
  return g_namesHandedOut.count(path) == 0 && !Exists(path);
}

void HandOut(const std::wstring& path) {
  for (auto it = g_namesHandedOut.begin(); it != g_namesHandedOut.end();)
    it = Exists(*it) ? g_namesHandedOut.erase(it) : std::next(it);
  g_namesHandedOut.insert(path);
}

// Calls visit with the name of every entry of folder but "." and ".."; false when the
// folder cannot be searched.
template <typename Visit>
bool ForEachEntry(const std::wstring& folder, Visit visit) {
  WIN32_FIND_DATAW found;
  const HANDLE search = ::FindFirstFileW((folder + L"\\*.*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  do {
    const std::wstring_view name = found.cFileName;
    if (name != L"." && name != L"..") visit(name, found.dwFileAttributes);
  } while (::FindNextFileW(search, &found));
  ::FindClose(search);
  return true;
}

// The dated file name in folder that sorts last, or empty.
std::wstring FindLatestOutputFile(const std::wstring& folder) {
  std::wstring latest;
  ForEachEntry(folder, [&](std::wstring_view name, DWORD attributes) {
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return;
    std::wstring date;
    std::int32_t counter = 0;
    if (ParseOutputFileName(name, date, counter) && name > latest) latest = name;
  });
  return latest;
}

bool MakeDatedFileName(const std::wstring& folder, OutputKind kind, std::wstring& path) {
  std::optional<DatedSlot> slot = NextDatedSlot(FindLatestOutputFile(folder), TodayStamp());
  // The latest name by text is not always the highest counter (10000 sorts before 9999,
  // foreign names like a_1.jpg sort after ours): go on to the first free counter.
  while (slot && !IsFree(folder + L"\\" + DatedFileName(kind, *slot))) {
    if (slot->counter == INT32_MAX) return false;
    ++slot->counter;
  }
  if (!slot) return false;
  path = folder + L"\\" + DatedFileName(kind, *slot);
  return true;
}

// The largest number among the entries of folder (files and folders), counting only names
// that start with prefix when one is given; -1 when none counts or the folder is missing.
std::int32_t MaxNumberInFolder(const std::wstring& folder, std::wstring_view prefix) {
  std::int32_t best = -1;
  ForEachEntry(folder, [&](std::wstring_view name, DWORD) {
    const std::optional<std::int32_t> number = TreeNumberOf(name, prefix);
    if (number && *number > best) best = *number;
  });
  return best;
}

bool MakeFolderTreeFileName(const std::wstring& folder, OutputKind kind, std::wstring& path) {
  if (!EnsureDirectory(folder)) return false;
  const std::wstring dateFolder = folder + L"\\" + TodayStamp();
  if (!EnsureDirectory(dateFolder)) return false;

  const std::int32_t largestGroup = std::max(MaxNumberInFolder(dateFolder, L""), 0);
  const std::int32_t largestNumber =
      MaxNumberInFolder(dateFolder + L"\\" + ZeroPad(3, largestGroup), TreePrefix(kind));
  std::optional<TreeSlot> slot = NextTreeSlot(largestGroup, largestNumber);
  const auto pathOf = [&](const TreeSlot& s) {
    return dateFolder + L"\\" + TreeGroupName(s) + L"\\" + TreeFileName(kind, s);
  };
  while (slot && !IsFree(pathOf(*slot))) slot = FollowingTreeSlot(*slot);
  if (!slot) return false;

  if (!EnsureDirectory(dateFolder + L"\\" + TreeGroupName(*slot))) return false;
  path = pathOf(*slot);
  return true;
}

bool MakeOutputFileName(std::wstring& path, const std::wstring& folder, OutputKind kind) {
  if (folder.empty()) return false;
  const app::SettingRecord settings = app::CSettingStore::Instance()->GetCurrent();
  const std::lock_guard<std::mutex> hold(g_namingLock);
  std::wstring name;
  const bool made = settings.autoCreatingFolder == 0 ? MakeDatedFileName(folder, kind, name)
                                                     : MakeFolderTreeFileName(folder, kind, name);
  if (!made) return false;
  HandOut(name);
  path = name;
  return true;
}

}  // namespace

bool MakePhotoFileName(std::wstring& path, const std::wstring& folder) {
  return MakeOutputFileName(path, folder, OutputKind::Photograph);
}

bool MakeMovieFileName(std::wstring& path, const std::wstring& folder) {
  return MakeOutputFileName(path, folder, OutputKind::Recording);
}

void EnsureOutputFolders() {
  const std::lock_guard<std::mutex> hold(g_outputFoldersLock);
  if (g_outputFoldersEnsured) return;
  g_outputFoldersEnsured = true;
  const app::SettingRecord settings = app::CSettingStore::Instance()->GetCurrent();
  EnsureDirectory(settings.GetProductFolder());
  EnsureDirectory(settings.GetPhotoFolder());
  EnsureDirectory(settings.GetRecordingFolder());
}

bool EnsureDirectory(const std::wstring& path) {
  if (IsFolder(path)) return true;
  if (::CreateDirectoryW(path.c_str(), nullptr)) return true;
  const DWORD error = ::GetLastError();
  // Made by another thread a moment ago.
  if (IsFolder(path)) return true;
  framework::ShowWarningBox(path + framework::SystemMessageText(error));
  return false;
}

std::wstring TodayStamp() {
  const SYSTEMTIME today = g_localDateSource.load()();
  return DateStamp(today.wYear, today.wMonth, today.wDay);
}

void SetLocalDateSourceForTesting(LocalDateSource source) {
  g_localDateSource.store(source != nullptr ? source : &SystemLocalDate);
}

void ForgetOutputFolders() {
  const std::lock_guard<std::mutex> hold(g_outputFoldersLock);
  g_outputFoldersEnsured = false;
}

void ResetOutputFoldersForTesting() {
  ForgetOutputFolders();
}

}  // namespace camera
