// The saves the kill check makes Plumora do, as a user makes them, and what they leave on
// disk: the settings dialog's storage location switched between two folders and confirmed
// with 确定 (config.ini rewritten), and the first row moved down and up again with 下移 and
// 上移 (chapters.dat rewritten each time). Every finished save is checked against what the
// same save wrote before, and what a start shows against the files on disk.
#pragma once

#include <optional>
#include <string>

#include "devtools/PlumoraRemote.h"
#include "devtools/SaveOutcomes.h"
#include "devtools/SavedFiles.h"

namespace devtools {

// The actions, in this order over and over.
enum class Action { Settings, Move, MoveBack };
inline constexpr Action kActions[] = {Action::Settings, Action::Move, Action::MoveBack};
const char* ActionName(Action action);

// The save under way: the file it rewrites, as it was before and as the save writes it
// (unknown until the same save has finished once).
struct SaveUnderWay {
  enum class File { None, Playlist, Settings } file = File::None;
  FileState before;
  std::optional<FileState> after;
};

class CSavingUser {
 public:
  // The storage locations go beside Plumora's folder; the files are read as they are now.
  explicit CSavingUser(const CSavedFiles& files);

  // Makes the two storage folders. False (Fault() says why) when it could not.
  bool CreateStorageFolders(const std::wstring& parent);

  // Checks what a new start shows: the rows of chapters.dat on disk, and in the settings
  // dialog the storage location of config.ini on disk. Selects the first row for the moves.
  bool CheckStart(CPlumoraRemote& remote);

  // One action. False when Plumora did not do it, with Fault() set when it did it wrongly.
  // underWay says what the action rewrites while it runs, and is reset once it finished.
  bool Do(Action action, CPlumoraRemote& remote, SaveUnderWay& underWay);

  // The files on disk after a kill, judged as before or after the save under way.
  void TakeFilesOnDisk(const FileState& playlist, const FileState& settings);
  const FileState& Playlist() const { return m_playlist; }
  const FileState& Settings() const { return m_settings; }

  int FinishedSaves() const { return m_finishedSaves; }
  const std::string& Fault() const { return m_fault; }

 private:
  bool Move(CPlumoraRemote& remote, SaveUnderWay& underWay);
  bool SaveSettings(CPlumoraRemote& remote, SaveUnderWay& underWay);
  // Fails for a settings dialog that shows another storage location than before for the
  // same config.ini.
  bool ShownOtherRoot(const std::wstring& shown);
  bool Fail(const std::string& what) {
    m_fault = what;
    return false;
  }

  const CSavedFiles& m_files;
  CSaveOutcomes m_outcomes;
  std::wstring m_roots[2];
  std::string m_fault;
  int m_finishedSaves = 0;

  // What is on disk now.
  FileState m_playlist, m_settings;
  // 0: the rows in their installed order; 1: the first two swapped.
  int m_order = 0;
  // The storage location the settings on disk were saved with; empty before any save.
  std::wstring m_root;
  // The row the moves move: 0, then 1 after 下移, then 0 after 上移.
  int m_selectedRow = 0;
};

}  // namespace devtools
