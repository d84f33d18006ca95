// The two files Plumora keeps beside itself, as a check that kills it reads them: the
// playlist ("chapters.dat") and the settings ("config.ini"), each with the temporary file
// a save under way leaves behind ("tmpchapters.dat", "config.ini.tmp").
#pragma once

#include <string>

namespace devtools {

// A file's content, or its absence.
struct FileState {
  bool exists = false;
  std::string bytes;

  bool operator==(const FileState& other) const {
    return exists == other.exists && bytes == other.bytes;
  }
  bool operator!=(const FileState& other) const { return !(*this == other); }
  bool operator<(const FileState& other) const {
    return exists != other.exists ? exists < other.exists : bytes < other.bytes;
  }
};

class CSavedFiles {
 public:
  explicit CSavedFiles(std::wstring folder) : m_folder(std::move(folder)) {}

  FileState Playlist() const { return Read(L"chapters.dat"); }
  FileState Settings() const { return Read(L"config.ini"); }
  // The temporary files that saves under way write; one that is there after a kill was
  // left by a save cut short.
  std::wstring PlaylistTemporary() const { return Path(L"tmpchapters.dat"); }
  std::wstring SettingsTemporary() const { return Path(L"config.ini.tmp"); }
  FileState PlaylistLeftOver() const { return Read(L"tmpchapters.dat"); }
  FileState SettingsLeftOver() const { return Read(L"config.ini.tmp"); }

 private:
  std::wstring Path(const wchar_t* name) const { return m_folder + L"\\" + name; }
  FileState Read(const wchar_t* name) const;

  std::wstring m_folder;
};

}  // namespace devtools
