// The images-to-movie window's movie half: making a movie of the strip's pictures, the
// list of movies made, their looping preview and their way into the camera's playlist.
#include <iterator>

#include "app/PlaylistTarget.h"
#include "framework/MessageBoxes.h"
#include "framework/WarningBox.h"
#include "mainwindow/PlaybackRules.h"
#include "moviemaker/CImagesToMovieDlg.h"
#include "moviemaker/CMakeMovieSettingDlg.h"
#include "moviemaker/MovieFrames.h"
#include "moviemaker/MovieNaming.h"
#include "resources/resource.h"

namespace moviemaker {
namespace {

bool IsFile(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// The pictures left out of a movie, one file name a line, at most a screenful.
std::wstring LeftOutText(const std::vector<std::wstring>& leftOut) {
  constexpr size_t kNamesShown = 15;
  std::wstring text = L"以下图片无法读取，没有放入视频：";
  for (size_t i = 0; i < leftOut.size() && i < kNamesShown; ++i)
    text += L"\n" + mainwindow::FileNameOf(leftOut[i]);
  if (leftOut.size() > kNamesShown)
    text += L"\n……（共 " + std::to_wstring(leftOut.size()) + L" 张）";
  return text;
}

// Shows the wait cursor while it lives.
class CWaitCursor {
 public:
  CWaitCursor() : m_previous(::SetCursor(::LoadCursorW(nullptr, IDC_WAIT))) {}
  CWaitCursor(const CWaitCursor&) = delete;
  CWaitCursor& operator=(const CWaitCursor&) = delete;
  ~CWaitCursor() { ::SetCursor(m_previous); }

 private:
  HCURSOR m_previous;
};

}  // namespace

void CImagesToMovieDlg::OnMakeVideo() {
  CMakeMovieSettingDlg settings(this);
  if (settings.DoModal() != IDOK) return;
  const std::wstring path = MoviePath(settings.m_strFolder, settings.m_strName);
  const bool small = settings.m_resolution == 0;
  if (IsFile(path) && !framework::AskQuestion(L"视频文件已经存在，是否覆盖？\n" + path)) return;

  bool made;
  {
    CWaitCursor wait;
    made = MakeMovie(path, small ? 320 : 640, small ? 240 : 480, settings.m_secondsPerImage);
  }
  if (!m_leftOut.empty()) framework::ShowMessageBox(LeftOutText(m_leftOut), MB_OK | MB_ICONWARNING);
  if (!made) {
    framework::ShowWarningBox(L"制作视频失败：" + m_lastError);
    return;
  }
  AddMadeMovie(path);
  PreviewMovie(path);
}

bool CImagesToMovieDlg::MakeMovie(const std::wstring& path, int width, int height,
                                  int secondsPerImage) {
  m_leftOut.clear();
  m_lastError.clear();
  if (m_images.paths.empty()) return false;
  // The preview may be playing this very file, made before under the same name.
  m_previewPlayer.ReleaseGraph();
  MovieOutcome outcome = WriteMovie(path, m_images.paths, width, height, secondsPerImage);
  m_leftOut = std::move(outcome.leftOut);
  m_lastError = std::move(outcome.error);
  return outcome.written;
}

void CImagesToMovieDlg::AddMadeMovie(const std::wstring& path) {
  const auto [entry, added] = m_madeMovies.emplace(path, 0);
  const int position = static_cast<int>(std::distance(m_madeMovies.begin(), entry));
  if (added) m_movieCombo.InsertString(position, mainwindow::FileNameOf(path));
  // The new movie is the one chosen: it is the one the preview shows.
  m_movieCombo.SetCurSel(position);
  EnableControl(IDC_MOVIE_DELETE, true);
  EnableControl(IDC_MOVIE_SEND_ONE, entry->second == 0);
  EnableControl(IDC_MOVIE_SEND_ALL, m_madeMovies.size() > 1);
}

void CImagesToMovieDlg::RemoveMadeMovie(const std::wstring& path) {
  const auto entry = m_madeMovies.find(path);
  if (entry == m_madeMovies.end()) return;
  const int position = static_cast<int>(std::distance(m_madeMovies.begin(), entry));
  m_madeMovies.erase(entry);
  m_movieCombo.SendMessage(CB_DELETESTRING, static_cast<WPARAM>(position));
  m_movieCombo.SetCurSel(-1);
}

std::wstring CImagesToMovieDlg::SelectedMoviePath() const {
  const int position = m_movieCombo.GetCurSel();
  if (position < 0 || position >= static_cast<int>(m_madeMovies.size())) return {};
  return std::next(m_madeMovies.begin(), position)->first;
}

bool CImagesToMovieDlg::PreviewMovie(const std::wstring& path) {
  HWND area = GetDlgItem(IDC_MOVIE_PREVIEW);
  HRESULT result = m_previewPlayer.PlayInWindow(path.c_str(), area, true, false);
  if (FAILED(result)) {
    m_previewPlayer.ReleaseGraph();
    result = m_previewPlayer.PlayInWindow(path.c_str(), area, false, false);
  }
  ::SetWindowTextW(area, FAILED(result) ? L"播放视频失败" : L"");
  return result == S_OK;
}

LRESULT CImagesToMovieDlg::OnPlayerEvent(WPARAM, LPARAM) {
  if (!m_previewPlayer.HasGraph()) return 0;
  long code;
  LONG_PTR first, second;
  bool complete = false;
  while (SUCCEEDED(m_previewPlayer.NextEvent(code, first, second)))
    if (code == EC_COMPLETE) complete = true;
  // The preview loops: from the start again, or built anew where seeking fails.
  if (complete && !m_previewPlayer.Rewind()) OnMovieSelected();
  return 0;
}

void CImagesToMovieDlg::OnMovieSelected() {
  const std::wstring path = SelectedMoviePath();
  if (!path.empty()) PreviewMovie(path);
  const auto entry = m_madeMovies.find(path);
  if (entry != m_madeMovies.end()) EnableControl(IDC_MOVIE_SEND_ONE, entry->second == 0);
}

void CImagesToMovieDlg::HandOverToPlaylist(const std::wstring& path) {
  if (app::IPlaylistTarget* playlist = app::FindPlaylistTarget(m_owner))
    playlist->AddFileToPlaylist(path, true);
}

void CImagesToMovieDlg::OnSendOne() {
  const std::wstring path = SelectedMoviePath();
  if (path.empty()) return;
  HandOverToPlaylist(path);
  m_madeMovies[path] = 1;
  EnableControl(IDC_MOVIE_SEND_ONE, false);
}

void CImagesToMovieDlg::SendAllMovies() {
  for (auto& [path, sent] : m_madeMovies) {
    if (sent != 0) continue;
    HandOverToPlaylist(path);
    sent = 1;
  }
  // The chosen movie has gone too: sending it again would list it twice.
  if (!SelectedMoviePath().empty()) EnableControl(IDC_MOVIE_SEND_ONE, false);
}

void CImagesToMovieDlg::OnDeleteMovie() {
  const std::wstring path = SelectedMoviePath();
  if (path.empty()) return;
  if (!framework::AskQuestion(L"您是否删除该视频？")) return;
  // The file cannot go while the preview holds it open.
  m_previewPlayer.ReleaseGraph();
  if (::DeleteFileW(path.c_str()))
    RemoveMadeMovie(path);
  else
    framework::ShowMessageBox(L"删除视频失败");
  UpdateMovieButtons();
  Invalidate(true);
}

void CImagesToMovieDlg::UpdateMovieButtons() {
  const size_t movies = m_madeMovies.size();
  EnableControl(IDC_MOVIE_SEND_ALL, movies > 1);
  EnableControl(IDC_MOVIE_SEND_ONE, movies > 0);
  EnableControl(IDC_MOVIE_DELETE, movies > 0);
}

bool CImagesToMovieDlg::HasUnsentMovies() const {
  for (const auto& [path, sent] : m_madeMovies)
    if (sent == 0) return true;
  return false;
}

LRESULT CImagesToMovieDlg::OnEraseBackground(WPARAM wParam, LPARAM) {
  // The running video is not erased: it would flicker. (The context is the paint's own,
  // so nothing that the paint draws may be left out here.)
  if (!m_previewPlayer.HasGraph()) return 0;
  RECT preview{};
  ::GetWindowRect(GetDlgItem(IDC_MOVIE_PREVIEW), &preview);
  ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&preview), 2);
  ::ExcludeClipRect(reinterpret_cast<HDC>(wParam), preview.left, preview.top, preview.right,
                    preview.bottom);
  return 0;
}

LRESULT CImagesToMovieDlg::OnClose(WPARAM, LPARAM) {
  if (HasUnsentMovies() && framework::AskQuestion(L"还有未Vexa的视频，是否需要Vexa？"))
    SendAllMovies();
  EndDialog(IDCANCEL);
  return 0;
}

LRESULT CImagesToMovieDlg::OnDestroy(WPARAM, LPARAM) {
  // The renderer's window goes before the preview area it lives in.
  m_previewPlayer.ReleaseGraph();
  return 0;
}

}  // namespace moviemaker
