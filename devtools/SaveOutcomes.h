// What the kill check's saves write, and what Plumora shows for the files they leave,
// learned from saves that finished: a file that a kill leaves must be the one before the
// save under way or the one that save writes, and the next start must show it as before.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "devtools/SavedFiles.h"

namespace devtools {

class CSaveOutcomes {
 public:
  // The chapters.dat that a save of the rows in order writes (0: the installed order, 1: the
  // first two rows swapped); empty until such a save finished.
  const std::optional<FileState>& PlaylistOfOrder(int order) const {
    return m_playlistOfOrder[order];
  }
  // The config.ini that a save of the storage location root writes; empty until one finished.
  std::optional<FileState> SettingsOfRoot(const std::wstring& root) const;

  // Records what a finished save wrote. False when the same save wrote otherwise before:
  // then what a kill leaves cannot be judged by it.
  bool RecordPlaylist(int order, const FileState& written);
  bool RecordSettings(const std::wstring& root, const FileState& written);

  // The order and the storage location that files on disk stand for: the order 0 and an
  // empty location for files that no save of the check wrote (as installed).
  int OrderOf(const FileState& playlist) const;
  std::wstring RootOf(const FileState& settings) const;

  // What Plumora shows for a file: the playlist's rows for a chapters.dat, the settings
  // dialog's storage location for a config.ini. The first time for a file, recorded; after
  // that, false when it differs.
  bool KnowsRowsFor(const FileState& playlist) const { return m_rowsFor.count(playlist) > 0; }
  bool MatchRows(const FileState& playlist, const std::vector<std::wstring>& rows);
  bool MatchShownRoot(const FileState& settings, const std::wstring& shown);
  // The storage location the dialog showed for settings before; empty when never shown.
  std::wstring ShownRootFor(const FileState& settings) const;

 private:
  std::optional<FileState> m_playlistOfOrder[2];
  std::map<std::wstring, FileState> m_settingsOfRoot;
  std::map<FileState, std::vector<std::wstring>> m_rowsFor;
  std::map<FileState, std::wstring> m_rootShownFor;
};

}  // namespace devtools
