// The main window's playlist: list 1000, its editing buttons, loading and saving.

#include "app/SettingStore.h"
#include "framework/FileDialog.h"
#include "framework/MessageBoxes.h"
#include "mainwindow/CLumaretDlg.h"
#include "resources/resource.h"

namespace mainwindow {

namespace {

constexpr int kEntryImage = 0;
constexpr int kPlayingImage = 1;

const std::vector<framework::FileFilter>& AddDialogFilters() {
  // The texts stand as the users know them, spaces and stray commas included.
  static const std::vector<framework::FileFilter> filters = {
      {L"视频文件 (*.avi; *.flv;*.qt; *.mov; *.mpg; *.mpeg; *.m1v;*.rmvb;*.wav,;*.wmv;)",
       L"*.avi;*.flv; *.qt; *.mov; *.mpg; *.mpeg; *.m1v;*.rmvb;*.wav;*.wmv"},
      {L"音频文件  (*.wav;*.mpa; *.mp2; *.mp3; *.au; *.aif; *.aiff; *.snd)",
       L"*.wav; *.mpa; *.mp2; *.mp3; *.au; *.aif; *.aiff; *.snd"},
      {L"多媒体文件 (*.mid, *.midi, *.rmi)", L"*.mid; *.midi; *.rmi"},
      {L"图像 (*.jpg, *.bmp, *.gif, *.tga)", L"*.jpg; *.bmp; *.gif; *.tga"},
      {L"所有文件 (*.*)", L"*.*;"},
  };
  return filters;
}

HBITMAP LoadListBitmap(int id) {
  return static_cast<HBITMAP>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id),
                                           IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

}  // namespace

void CLumaretDlg::SetUpPlaylistControls() {
  // Row images: the normal one and the playing marker, black meaning transparent.
  if (m_images.Create(32, 32, ILC_COLOR32 | ILC_MASK, 2, 0)) {
    for (int id : {IDB_LIST_ENTRY, IDB_LIST_PLAYING}) {
      HBITMAP bitmap = LoadListBitmap(id);
      m_images.Add(bitmap, RGB(0, 0, 0));
      if (bitmap != nullptr) ::DeleteObject(bitmap);
    }
    m_list.SetImageList(m_images, LVSIL_SMALL);
  }
  // As wide as the list's inside, so that no horizontal scroll bar appears.
  const RECT inside = m_list.GetClientRect();
  m_list.InsertColumn(0, L"视频名称", LVCFMT_LEFT, inside.right - inside.left);
  m_list.SetExtendedStyle(m_list.GetExtendedStyle() | LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);

  m_playlist.clear();
  LoadPlaylist(m_playlist);
  for (const std::wstring& path : m_playlist)
    m_list.InsertItem(m_list.GetItemCount(), FileNameOf(path), kEntryImage);

  if (!m_playlist.empty()) {
    m_clearButton.EnableWindow(true);
    PostMessage(WM_AUTOPLAY);
  } else {
    m_clearButton.EnableWindow(false);
    EnableTransport(false);
    m_paused = false;
    SetStatus(
        L"您还没有添加视频文件，请点击《添加》按钮添加视频文件，如果您没有合适的视频源，可以点击"
        L"《真实摄像头》按钮来录取视频，或者点击《图像转视频》按钮来制作视频");
  }
}

void CLumaretDlg::EnableEntryButtons(bool enable) {
  m_deleteButton.EnableWindow(enable);
  m_upButton.EnableWindow(enable);
  m_downButton.EnableWindow(enable);
}

void CLumaretDlg::EnableTransport(bool enable) {
  m_playPauseButton.EnableWindow(enable);
  m_stopButton.EnableWindow(enable);
}

void CLumaretDlg::SavePlaylistFile() const {
  // A failure has already told the debugger; the list in memory stays as it is.
  SavePlaylist(m_playlist);
}

std::wstring CLumaretDlg::EntryPathAt(int index) const {
  if (index < 0 || index >= static_cast<int>(m_playlist.size())) return {};
  return m_playlist[static_cast<size_t>(index)];
}

void CLumaretDlg::AppendPlaylistEntry(const std::wstring& path) {
  m_playlist.push_back(path);
  m_list.InsertItem(m_list.GetItemCount(), FileNameOf(path), kEntryImage);
}

void CLumaretDlg::AddFileToPlaylist(const std::wstring& path, bool save) {
  AppendPlaylistEntry(path);
  if (save) SavePlaylistFile();
  if (!IsPlayingOrOpening() && !m_paused) PlayEntry(static_cast<int>(m_playlist.size()) - 1);
  if (!m_playlist.empty()) m_clearButton.EnableWindow(true);
}

void CLumaretDlg::OnAdd() {
  framework::FileOpenOptions options;
  options.owner = m_hWnd;
  options.filters = AddDialogFilters();
  options.initialFolder = app::CSettingStore::Instance()->GetCurrent().GetRecordingFolder();
  options.multipleSelection = true;
  bool appended = false;
  for (const std::wstring& path : framework::ShowFileOpenDialog(options)) {
    if (path.empty()) continue;
    AppendPlaylistEntry(path);
    appended = true;
    // The first file that starts makes a graph; the rest of the selection only joins.
    if (!IsPlayingOrOpening() && !m_paused) PlayEntry(static_cast<int>(m_playlist.size()) - 1);
    if (!m_playlist.empty()) m_clearButton.EnableWindow(true);
  }
  if (appended) SavePlaylistFile();
}

void CLumaretDlg::OnDelete() {
  const int row = m_list.GetNextSelected();
  if (row < 0 || row >= static_cast<int>(m_playlist.size())) {
    framework::ShowMessageBox(L"请在上面的列表中选中需要删除的列，才能删除", MB_OK);
    return;
  }
  // The rows move: a walk over them cannot go on.
  const int opening = m_walk.opening;
  CancelCandidateWalk();
  m_playlist.erase(m_playlist.begin() + row);
  m_list.DeleteItem(row);
  if (row == m_currentIndex) {
    // The entry that moved into its place plays (past the end, the first).
    PlayEntry(row);
  } else {
    // The playing entry moved up a row; the index follows it, so that the end of the file
    // goes on with the entry after it.
    if (row < m_currentIndex) --m_currentIndex;
    // An entry being opened is opened again where it now stands (the deleted one's
    // successor when it was the one deleted).
    if (opening >= 0) PlayEntry(opening > row ? opening - 1 : opening);
  }
  SavePlaylistFile();
  if (m_playlist.empty()) {
    m_clearButton.EnableWindow(false);
    EnableTransport(false);
    m_paused = false;
  }
  EnableEntryButtons(false);
}

void CLumaretDlg::OnClear() {
  CancelCandidateWalk();
  m_list.DeleteAllItems();
  m_playlist.clear();
  m_player.ReleaseGraph();
  ShowStopped();
  m_currentIndex = -1;
  SavePlaylistFile();
  m_clearButton.EnableWindow(false);
  EnableTransport(false);
  m_paused = false;
  EnableEntryButtons(false);
}

void CLumaretDlg::OnUp() {
  MoveSelectedEntry(-1);
}

void CLumaretDlg::OnDown() {
  MoveSelectedEntry(+1);
}

void CLumaretDlg::MoveSelectedEntry(int offset) {
  m_list.SetFocus();
  const int row = m_list.GetNextSelected();
  const int target = row + offset;
  if (row < 0 || target < 0 || target >= static_cast<int>(m_playlist.size())) return;
  if (!SwapEntries(row, target)) return;

  // Both rows show their entries again, the marker on the playing one.
  for (int index : {row, target}) {
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = index;
    const std::wstring name = FileNameOf(m_playlist[static_cast<size_t>(index)]);
    item.pszText = const_cast<wchar_t*>(name.c_str());
    item.iImage = index == m_currentIndex ? kPlayingImage : kEntryImage;
    m_list.SendMessage(LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
  }
  m_list.SetItemState(row, 0, LVIS_SELECTED | LVIS_FOCUSED);
  m_list.SetItemState(target, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  m_list.SendMessage(LVM_ENSUREVISIBLE, static_cast<WPARAM>(target), FALSE);
  SavePlaylistFile();
}

bool CLumaretDlg::SwapEntries(int a, int b) {
  const int count = static_cast<int>(m_playlist.size());
  if (a < 0 || b < 0 || a >= count || b >= count) return false;
  std::swap(m_playlist[static_cast<size_t>(a)], m_playlist[static_cast<size_t>(b)]);
  // The current index follows the playing entry, and the walk the entry being opened.
  if (m_currentIndex == a)
    MarkCurrentEntry(b);
  else if (m_currentIndex == b)
    MarkCurrentEntry(a);
  if (m_walk.opening == a)
    m_walk.opening = b;
  else if (m_walk.opening == b)
    m_walk.opening = a;
  return true;
}

void CLumaretDlg::OnPlaylistItemChanged(NMHDR&) {
  // A selected row can be deleted and moved. The buttons are disabled again only by the
  // operations that leave no row selected.
  if (m_list.GetSelectedCount() > 0) EnableEntryButtons(true);
}

void CLumaretDlg::OnPlaylistDoubleClick(NMHDR&) {
  const int row = m_list.GetNextSelected();
  if (row >= 0) PlayEntry(row);
}

void CLumaretDlg::MarkCurrentEntry(int index) {
  const int old = m_currentIndex;
  m_currentIndex = index;
  if (old >= 0) m_list.SetItemImage(old, kEntryImage);
  m_list.SetItemImage(index, kPlayingImage);
}

}  // namespace mainwindow
