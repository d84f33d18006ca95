#include "devtools/SavingUser.h"

#include <vector>

#include "framework/CodePage.h"
#include "resources/resource.h"

namespace devtools {

namespace {

std::string Utf8(const std::wstring& text) {
  std::string bytes;
  framework::ToCodePage(CP_UTF8, text, bytes);
  return bytes;
}

}  // namespace

const char* ActionName(Action action) {
  switch (action) {
    case Action::Settings:
      return "a settings save";
    case Action::Move:
      return "a move with 下移";
    case Action::MoveBack:
      return "a move with 上移";
  }
  return "";
}

CSavingUser::CSavingUser(const CSavedFiles& files)
    : m_files(files), m_playlist(files.Playlist()), m_settings(files.Settings()) {}

bool CSavingUser::CreateStorageFolders(const std::wstring& parent) {
  // One with Chinese characters: the settings file must then hold them in UTF-16.
  m_roots[0] = parent + L"\\存储 一";
  m_roots[1] = parent + L"\\storage two";
  for (const std::wstring& root : m_roots)
    if (!::CreateDirectoryW(root.c_str(), nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS)
      return Fail("could not create the storage folder " + Utf8(root));
  return true;
}

bool CSavingUser::CheckStart(CPlumoraRemote& remote) {
  std::vector<std::wstring> rows;
  if (!remote.ReadRows(rows)) return Fail("the playlist's rows could not be read");
  if (rows.size() < 2) return Fail("the playlist shows fewer than two rows");
  if (!m_outcomes.MatchRows(m_playlist, rows))
    return Fail("the playlist shows other rows than chapters.dat on disk lists");

  std::wstring shown;
  const HWND settings = remote.OpenSettings(shown);
  if (settings == nullptr || !remote.CloseSettings(settings, false))
    return Fail("the settings dialog did not open and close");
  if (!m_outcomes.MatchShownRoot(m_settings, shown)) return ShownOtherRoot(shown);
  m_selectedRow = 0;
  if (!remote.SelectRow(m_selectedRow)) return Fail("the first row could not be selected");
  return true;
}

bool CSavingUser::ShownOtherRoot(const std::wstring& shown) {
  return Fail("the settings dialog shows the storage location \"" + Utf8(shown) +
              "\", where it showed \"" + Utf8(m_outcomes.ShownRootFor(m_settings)) +
              "\" for the config.ini on disk (" + std::to_string(m_settings.bytes.size()) +
              " bytes)");
}

bool CSavingUser::Do(Action action, CPlumoraRemote& remote, SaveUnderWay& underWay) {
  return action == Action::Settings ? SaveSettings(remote, underWay) : Move(remote, underWay);
}

bool CSavingUser::Move(CPlumoraRemote& remote, SaveUnderWay& underWay) {
  const int newOrder = 1 - m_order;
  underWay = {SaveUnderWay::File::Playlist, m_playlist, m_outcomes.PlaylistOfOrder(newOrder)};
  if (!remote.Press(m_selectedRow == 0 ? IDC_DOWN : IDC_UP)) return false;
  m_selectedRow = 1 - m_selectedRow;
  m_order = newOrder;
  m_playlist = m_files.Playlist();
  ++m_finishedSaves;
  if (!m_outcomes.RecordPlaylist(newOrder, m_playlist))
    return Fail("a finished move wrote another chapters.dat than the same move before");
  if (!m_outcomes.KnowsRowsFor(m_playlist)) {
    std::vector<std::wstring> rows;
    if (!remote.ReadRows(rows)) return Fail("the playlist's rows could not be read");
    m_outcomes.MatchRows(m_playlist, rows);
  }
  underWay = {};
  return true;
}

bool CSavingUser::SaveSettings(CPlumoraRemote& remote, SaveUnderWay& underWay) {
  const std::wstring root = m_root == m_roots[0] ? m_roots[1] : m_roots[0];
  underWay = {SaveUnderWay::File::Settings, m_settings, m_outcomes.SettingsOfRoot(root)};
  std::wstring shown;
  const HWND dialog = remote.OpenSettings(shown);
  if (dialog == nullptr) return false;
  if (!m_outcomes.MatchShownRoot(m_settings, shown)) return ShownOtherRoot(shown);
  if (!remote.EnterStorageRoot(dialog, root) || !remote.CloseSettings(dialog, true)) return false;
  m_root = root;
  m_settings = m_files.Settings();
  ++m_finishedSaves;
  if (!m_outcomes.RecordSettings(root, m_settings))
    return Fail("a finished settings save wrote another config.ini than the same save before");
  underWay = {};
  return true;
}

void CSavingUser::TakeFilesOnDisk(const FileState& playlist, const FileState& settings) {
  m_playlist = playlist;
  m_settings = settings;
  m_order = m_outcomes.OrderOf(playlist);
  m_root = m_outcomes.RootOf(settings);
}

}  // namespace devtools
