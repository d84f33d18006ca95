#include "mainwindow/PlaylistStore.h"

#include <windows.h>

#include <atomic>
#include <string_view>

#include "framework/CodePage.h"
#include "framework/DebugText.h"
#include "framework/ExecutableFolder.h"
#include "framework/Handle.h"
#include "mainwindow/PlaylistLines.h"

namespace mainwindow {

namespace {

constexpr wchar_t kPlaylistName[] = L"chapters.dat";
constexpr wchar_t kTemporaryName[] = L"tmpchapters.dat";
constexpr wchar_t kSamplePath[] = L"video\\示例影音文件(使用时可以删除).avi";

std::atomic<SaveStepHook> g_saveStepHook{nullptr};

void ReachedStep(SaveStep step) {
  if (const SaveStepHook hook = g_saveStepHook.load()) hook(step);
}

void DebugText(const wchar_t* text) {
  framework::WriteDebugText(text);
}

bool ExecutableFolder(std::wstring& folder) {
  if (framework::QueryExecutableFolder(folder)) return true;
  wchar_t text[96];
  swprintf(text, 96, L"Fail to get ostrivane path error code = %d",
           static_cast<int>(::GetLastError()));
  DebugText(text);
  return false;
}

// A file beside the others in folder. The executable's folder ends in a separator, so the
// path then has two in a row; the system takes that as one.
std::wstring FileIn(const std::wstring& folder, const wchar_t* name) {
  return folder + L"\\" + name;
}

framework::CHandle OpenFile(const std::wstring& path, DWORD access, DWORD share, DWORD creation) {
  const HANDLE file =
      ::CreateFileW(path.c_str(), access, share, nullptr, creation, FILE_ATTRIBUTE_NORMAL, nullptr);
  return framework::CHandle(file == INVALID_HANDLE_VALUE ? nullptr : file);
}

bool WriteBytes(const framework::CHandle& file, std::string_view bytes) {
  DWORD written = 0;
  return ::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                     nullptr) &&
         written == bytes.size();
}

// The sample video beside the executable; empty when that folder is unknown.
std::wstring SamplePath() {
  std::wstring folder;
  if (!framework::QueryExecutableFolder(folder)) return {};
  return FileIn(folder, kSamplePath);
}

// The bytes that name entry in the code page the file is read with, or false when no
// form of it can be stored there.
bool EncodeEntry(const std::wstring& entry, std::string& bytes) {
  // Line breaks and NULs would split or cut the line; no path holds them.
  if (entry.empty() || entry.size() > kLongestPathUnits ||
      entry.find_first_of(std::wstring_view(L"\r\n\0", 3)) != std::wstring::npos)
    return false;
  if (framework::ToCodePage(CP_ACP, entry, bytes)) return true;
  // The short form of an existing path names the same file in plain ASCII letters.
  const DWORD needed = ::GetShortPathNameW(entry.c_str(), nullptr, 0);
  if (needed != 0) {
    std::wstring shortPath(needed, L'\0');
    const DWORD length = ::GetShortPathNameW(entry.c_str(), shortPath.data(), needed);
    shortPath.resize(length < needed ? length : 0);
    if (!shortPath.empty() && framework::ToCodePage(CP_ACP, shortPath, bytes)) return true;
  }
  // The sample video still has its own line, which reads back the same in every code page.
  if (entry == SamplePath()) {
    bytes = kSampleLine;
    return true;
  }
  return false;
}

// A path saved in its short form (see EncodeEntry) shows its real name again; other paths,
// and files that are gone, stay as they were written.
std::wstring LongFormOf(const std::wstring& path) {
  if (path.find(L'~') == std::wstring::npos) return path;
  const DWORD needed = ::GetLongPathNameW(path.c_str(), nullptr, 0);
  if (needed == 0) return path;
  std::wstring longPath(needed, L'\0');
  const DWORD length = ::GetLongPathNameW(path.c_str(), longPath.data(), needed);
  if (length == 0 || length >= needed) return path;
  longPath.resize(length);
  return longPath;
}

}  // namespace

bool LoadPlaylist(Playlist& list) {
  list.clear();
  std::wstring folder;
  return ExecutableFolder(folder) && LoadPlaylistFrom(folder, list);
}

bool SavePlaylist(const Playlist& list) {
  std::wstring folder;
  return ExecutableFolder(folder) && SavePlaylistTo(folder, list);
}

bool LoadPlaylistFrom(const std::wstring& folder, Playlist& list) {
  list.clear();
  // Others may read along; a save replaces the file by renaming over it.
  const framework::CHandle file =
      OpenFile(FileIn(folder, kPlaylistName), GENERIC_READ,
               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, OPEN_EXISTING);
  if (!file) {
    DebugText(L"Failure to open lanuage file");
    return false;
  }
  CPlaylistLineReader reader;
  char chunk[64 * 1024];
  for (;;) {
    DWORD read = 0;
    if (!::ReadFile(file.Get(), chunk, sizeof chunk, &read, nullptr)) {
      DebugText(L"failure to read playlist file");
      return false;
    }
    if (read == 0) break;
    reader.Feed(std::string_view(chunk, read));
  }
  reader.Finish();
  if (reader.OverlongLines() > 0) DebugText(L"playlist lines too long to be paths were skipped");

  // The sample line names a file beside the executable; without that folder it names none.
  const std::wstring samplePath = SamplePath();
  for (const std::string& line : reader.Lines()) {
    if (line != kSampleLine)
      list.push_back(LongFormOf(framework::FromCodePage(CP_ACP, line)));
    else if (!samplePath.empty())
      list.push_back(samplePath);
  }
  return true;
}

bool SavePlaylistTo(const std::wstring& folder, const Playlist& list) {
  std::vector<std::string> lines;
  lines.reserve(list.size());
  for (const std::wstring& entry : list) {
    std::string bytes;
    if (EncodeEntry(entry, bytes))
      lines.push_back(std::move(bytes));
    else
      framework::WriteDebugText(L"playlist entry left out of the file: " + entry);
  }
  const std::string content = JoinPlaylistLines(lines);

  const std::wstring temporaryPath = FileIn(folder, kTemporaryName);
  const std::wstring playlistPath = FileIn(folder, kPlaylistName);
  if (!::DeleteFileW(temporaryPath.c_str())) {
    const DWORD error = ::GetLastError();
    if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) {
      DebugText(L"failure to delete old tmp file");
      return false;
    }
  }
  bool written = false;
  {
    const framework::CHandle file = OpenFile(temporaryPath, GENERIC_WRITE, 0, CREATE_ALWAYS);
    if (!file) {
      DebugText(L"Failure to open lanuage file");
      return false;
    }
    ReachedStep(SaveStep::TemporaryCreated);
    const std::string_view bytes = content;
    const size_t half = bytes.size() / 2;
    written = WriteBytes(file, bytes.substr(0, half));
    ReachedStep(SaveStep::HalfWritten);
    written = written && WriteBytes(file, bytes.substr(half));
    ReachedStep(SaveStep::Written);
    // On disk before the rename, so that not even a system crash can leave a short file.
    written = written && ::FlushFileBuffers(file.Get());
  }
  if (!written) {
    DebugText(L"failure to write tmp file");
    ::DeleteFileW(temporaryPath.c_str());
    return false;
  }
  ReachedStep(SaveStep::Closed);
  // One step: readers see the old file or the new one, never none.
  if (!::MoveFileExW(temporaryPath.c_str(), playlistPath.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    DebugText(L"failure to move file");
    ::DeleteFileW(temporaryPath.c_str());
    return false;
  }
  ReachedStep(SaveStep::Replaced);
  return true;
}

void SetSaveStepHookForTesting(SaveStepHook hook) {
  g_saveStepHook.store(hook);
}

}  // namespace mainwindow
