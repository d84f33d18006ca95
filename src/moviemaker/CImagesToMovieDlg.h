// The images-to-movie window. Its left half is the image strip: a scrolling column of
// thumbnails of the pictures the user collected, with buttons that add, delete, clear and
// reorder them. Its right half makes AVI movies of the pictures (each shown for the chosen
// seconds at one frame per second), lists the movies made while the window is open,
// previews the chosen one in a loop and sends movies to the virtual camera's playlist.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "camera/Photo.h"
#include "controls/CThemeHelperST.h"
#include "controls/CXPStyleButtonST.h"
#include "feed/CMyVideoPlayer.h"
#include "framework/Controls.h"
#include "framework/Dialog.h"
#include "moviemaker/ImageStrip.h"
#include "moviemaker/ThumbnailCache.h"

namespace moviemaker {

class CImagesToMovieDlg : public framework::CDialogEx {
 public:
  explicit CImagesToMovieDlg(framework::CWnd* parent = nullptr);
  ~CImagesToMovieDlg() override;

  // ---- the strip
  // The strip in client coordinates: the frame around it, 10 pixels in on every side.
  RECT GetStripRect() const;
  std::wstring ImagePathAt(int index) const { return m_images.PathAt(index); }
  const std::vector<std::wstring>& ImagePaths() const { return m_images.paths; }
  int SelectedImage() const { return m_images.selected; }
  // Appends pictures as the Add button does with the files it was given.
  void AddImages(const std::vector<std::wstring>& paths);
  // Where each thumbnail was drawn by the last paint, in strip coordinates.
  const std::map<int, Box>& ThumbnailRects() const { return m_thumbRects; }
  int FirstVisible() const { return m_firstVisible; }

  // ---- movies
  // Writes the movie of the strip's pictures; false when nothing could be written. The
  // pictures left out (unreadable) and the reason of a failure are kept for the caller.
  bool MakeMovie(const std::wstring& path, int width, int height, int secondsPerImage);
  const std::vector<std::wstring>& LeftOutOfLastMovie() const { return m_leftOut; }
  const std::wstring& LastMovieError() const { return m_lastError; }
  // Made movies: path and whether it has been sent to the playlist.
  const std::map<std::wstring, int>& MadeMovies() const { return m_madeMovies; }
  // Lists a movie (once) as not yet sent, and chooses it.
  void AddMadeMovie(const std::wstring& path);
  std::wstring SelectedMoviePath() const;
  bool PreviewMovie(const std::wstring& path);
  const feed::CMyVideoPlayer& PreviewPlayer() const { return m_previewPlayer; }

 protected:
  void DoDataExchange(framework::CDataExchange& exchange) override;
  BOOL OnInitDialog() override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  // ---- the strip
  void SetupImageButtons();
  LRESULT OnPaint(WPARAM, LPARAM);
  LRESULT OnPrintClient(WPARAM, LPARAM);
  // Draws the strip into target, a context of the whole client area.
  void PaintStrip(HDC target);
  // Draws image index's cell at top (strip coordinates) into dc.
  void DrawCell(HDC dc, int index, int top, int stripWidth);
  LRESULT OnSize(WPARAM, LPARAM);
  LRESULT OnVScroll(WPARAM, LPARAM);
  LRESULT OnMouseWheel(WPARAM, LPARAM);
  LRESULT OnLButtonDown(WPARAM, LPARAM);
  LRESULT OnLButtonDblClk(WPARAM, LPARAM);
  // The thumbnail under a click in client coordinates, or -1.
  int HitTestClientPoint(LPARAM point) const;
  void ScrollTo(int position);
  void ResetScrollRange();
  void UpdateScrollRange();
  // The range for the images in the list, the page the strip's height, at position.
  void SetScrollRangeAt(int position);
  void ShowScrollBar(int maximum);
  void InvalidateStrip();
  void EnableSelectionButtons();
  void EnableListButtons();
  void OnAdd();
  void OnDeleteImage();
  void OnClear();
  void OnUp();
  void OnDown();
  void OnNothing() {}

  // ---- movies
  void OnMakeVideo();
  void RemoveMadeMovie(const std::wstring& path);
  void OnMovieSelected();
  void HandOverToPlaylist(const std::wstring& path);
  void OnSendOne();
  void SendAllMovies();
  void OnDeleteMovie();
  void UpdateMovieButtons();
  bool HasUnsentMovies() const;
  LRESULT OnPlayerEvent(WPARAM, LPARAM);
  LRESULT OnEraseBackground(WPARAM, LPARAM);
  LRESULT OnClose(WPARAM, LPARAM);
  LRESULT OnDestroy(WPARAM, LPARAM);
  void EnableControl(int id, bool enable) const;

  camera::CGdiplusSession m_gdiplus;  // before everything that draws with GDI+
  framework::CWnd* m_owner;
  framework::CScrollBar m_scrollBar;
  framework::CComboBox m_movieCombo;
  controls::CThemeHelperST m_themeHelper;
  controls::CXPStyleButtonST m_addButton, m_deleteButton, m_clearButton, m_upButton, m_downButton,
      m_makeButton;
  ImageList m_images;
  std::map<int, Box> m_thumbRects;
  int m_firstVisible = 0;
  CThumbnailCache m_thumbnails;

  std::map<std::wstring, int> m_madeMovies;
  std::vector<std::wstring> m_leftOut;
  std::wstring m_lastError;
  feed::CMyVideoPlayer m_previewPlayer;
};

}  // namespace moviemaker
