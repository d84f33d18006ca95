#include "devtools/SaveOutcomes.h"

namespace devtools {

namespace {

// Records value under key the first time; after that, whether it is the same.
template <typename Map, typename Key, typename Value>
bool RecordOrMatch(Map& map, const Key& key, const Value& value) {
  const auto [entry, added] = map.emplace(key, value);
  return added || entry->second == value;
}

}  // namespace

std::optional<FileState> CSaveOutcomes::SettingsOfRoot(const std::wstring& root) const {
  const auto found = m_settingsOfRoot.find(root);
  if (found == m_settingsOfRoot.end()) return std::nullopt;
  return found->second;
}

bool CSaveOutcomes::RecordPlaylist(int order, const FileState& written) {
  std::optional<FileState>& known = m_playlistOfOrder[order];
  if (!known) known = written;
  return *known == written;
}

bool CSaveOutcomes::RecordSettings(const std::wstring& root, const FileState& written) {
  return RecordOrMatch(m_settingsOfRoot, root, written);
}

int CSaveOutcomes::OrderOf(const FileState& playlist) const {
  return m_playlistOfOrder[1] && *m_playlistOfOrder[1] == playlist ? 1 : 0;
}

std::wstring CSaveOutcomes::RootOf(const FileState& settings) const {
  for (const auto& [root, written] : m_settingsOfRoot)
    if (written == settings) return root;
  return {};
}

bool CSaveOutcomes::MatchRows(const FileState& playlist, const std::vector<std::wstring>& rows) {
  return RecordOrMatch(m_rowsFor, playlist, rows);
}

bool CSaveOutcomes::MatchShownRoot(const FileState& settings, const std::wstring& shown) {
  return RecordOrMatch(m_rootShownFor, settings, shown);
}

std::wstring CSaveOutcomes::ShownRootFor(const FileState& settings) const {
  const auto found = m_rootShownFor.find(settings);
  return found == m_rootShownFor.end() ? std::wstring() : found->second;
}

}  // namespace devtools
