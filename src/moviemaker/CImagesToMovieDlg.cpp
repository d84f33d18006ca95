// The images-to-movie window: construction, the image strip and its buttons. The movie
// half is in ImagesToMovieMaking.cpp.
#include "moviemaker/CImagesToMovieDlg.h"

#include <shellapi.h>
#include <windowsx.h>

#include <optional>
#include <utility>

#include "framework/DataExchange.h"
#include "framework/FileDialog.h"
#include "framework/Gdi.h"
#include "framework/MessageBoxes.h"
#include "framework/MessageMap.h"
#include "framework/WarningBox.h"
#include "mainwindow/PlaybackRules.h"
#include "moviemaker/MovieNaming.h"
#include "resources/resource.h"

namespace moviemaker {
namespace {

// The preview area's size in pixels, whatever the dialog units come to.
constexpr int kPreviewWidth = 320;
constexpr int kPreviewHeight = 240;

// The colour of the selected cell's band.
constexpr COLORREF kSelectionColour = RGB(129, 138, 254);

std::optional<ScrollEvent> ScrollEventOf(int code) {
  switch (code) {
    case SB_LINEUP:
      return ScrollEvent::LineUp;
    case SB_LINEDOWN:
      return ScrollEvent::LineDown;
    case SB_PAGEUP:
      return ScrollEvent::PageUp;
    case SB_PAGEDOWN:
      return ScrollEvent::PageDown;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK:
      return ScrollEvent::Track;
    default:
      return std::nullopt;
  }
}

}  // namespace

CImagesToMovieDlg::CImagesToMovieDlg(framework::CWnd* parent)
    : CDialogEx(IDD_IMAGES_TO_MOVIE, parent), m_owner(parent) {}

CImagesToMovieDlg::~CImagesToMovieDlg() {
  m_previewPlayer.ReleaseGraph();
}

void CImagesToMovieDlg::DoDataExchange(framework::CDataExchange& exchange) {
  using framework::DDX_Control;
  DDX_Control(exchange, IDC_IMAGE_SCROLL, m_scrollBar);
  DDX_Control(exchange, IDC_MOVIE_LIST, m_movieCombo);
  DDX_Control(exchange, IDC_IMAGE_ADD, m_addButton);
  DDX_Control(exchange, IDC_IMAGE_DELETE, m_deleteButton);
  DDX_Control(exchange, IDC_IMAGE_CLEAR, m_clearButton);
  DDX_Control(exchange, IDC_IMAGE_UP, m_upButton);
  DDX_Control(exchange, IDC_IMAGE_DOWN, m_downButton);
  DDX_Control(exchange, IDC_MOVIE_MAKE, m_makeButton);
}

BOOL CImagesToMovieDlg::OnInitDialog() {
  CDialogEx::OnInitDialog();
  HICON icon = ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME));
  SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
  for (int id : {IDC_IMAGE_CLEAR, IDC_MOVIE_MAKE, IDC_IMAGE_DELETE, IDC_IMAGE_UP, IDC_IMAGE_DOWN,
                 IDC_MOVIE_SEND_ALL, IDC_MOVIE_SEND_ONE, IDC_MOVIE_DELETE})
    EnableControl(id, false);
  ::SetWindowPos(GetDlgItem(IDC_MOVIE_PREVIEW), nullptr, 0, 0, kPreviewWidth, kPreviewHeight,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  SetupImageButtons();
  ResetScrollRange();
  return TRUE;
}

void CImagesToMovieDlg::SetupImageButtons() {
  const std::pair<controls::CXPStyleButtonST*, const wchar_t*> looks[] = {
      {&m_addButton, L"addMovie.png"}, {&m_deleteButton, L"Delete.png"},
      {&m_clearButton, L"Clear.png"},  {&m_upButton, L"up.png"},
      {&m_downButton, L"down.png"},    {&m_makeButton, L"imgToVideo.png"},
  };
  for (const auto& [button, image] : looks) {
    button->AttachThemeHelper(&m_themeHelper);
    button->SetImageFile(image);
    button->BrightenActiveColour();
    button->SetHoverTip(button->GetWindowText().c_str());
    button->SetCaptionBelowImage(true);
  }
}

void CImagesToMovieDlg::EnableControl(int id, bool enable) const {
  ::EnableWindow(GetDlgItem(id), enable ? TRUE : FALSE);
}

bool CImagesToMovieDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  // Work done before the default handling, which then goes on.
  if (message == WM_ERASEBKGND) {
    OnEraseBackground(wParam, lParam);
    return CDialogEx::OnMessage(message, wParam, lParam, result);
  }
  if (message == WM_DESTROY) {
    OnDestroy(wParam, lParam);
    return CDialogEx::OnMessage(message, wParam, lParam, result);
  }
  using Map = framework::MessageMap<CImagesToMovieDlg>;
  static const Map::Entry kEntries[] = {
      Map::Message<&CImagesToMovieDlg::OnSize>(WM_SIZE),
      Map::Message<&CImagesToMovieDlg::OnPaint>(WM_PAINT),
      Map::Message<&CImagesToMovieDlg::OnPrintClient>(WM_PRINTCLIENT),
      Map::Message<&CImagesToMovieDlg::OnVScroll>(WM_VSCROLL),
      Map::Message<&CImagesToMovieDlg::OnLButtonDblClk>(WM_LBUTTONDBLCLK),
      Map::Message<&CImagesToMovieDlg::OnLButtonDown>(WM_LBUTTONDOWN),
      Map::Message<&CImagesToMovieDlg::OnMouseWheel>(WM_MOUSEWHEEL),
      Map::Command<&CImagesToMovieDlg::OnMakeVideo>(IDC_MOVIE_MAKE),
      Map::Command<&CImagesToMovieDlg::OnDeleteMovie>(IDC_MOVIE_DELETE),
      Map::Command<&CImagesToMovieDlg::OnAdd>(IDC_IMAGE_ADD),
      Map::Command<&CImagesToMovieDlg::OnDeleteImage>(IDC_IMAGE_DELETE),
      Map::Command<&CImagesToMovieDlg::OnClear>(IDC_IMAGE_CLEAR),
      Map::Command<&CImagesToMovieDlg::OnUp>(IDC_IMAGE_UP),
      Map::Command<&CImagesToMovieDlg::OnDown>(IDC_IMAGE_DOWN),
      Map::Command<&CImagesToMovieDlg::OnSendOne>(IDC_MOVIE_SEND_ONE),
      Map::Command<&CImagesToMovieDlg::SendAllMovies>(IDC_MOVIE_SEND_ALL),
      Map::Command<&CImagesToMovieDlg::OnNothing>(IDC_MOVIE_SAVE_AS),
      Map::Command<&CImagesToMovieDlg::OnNothing>(IDC_MOVIE_RENAME),
      Map::Command<&CImagesToMovieDlg::OnMovieSelected>(IDC_MOVIE_LIST, CBN_SELCHANGE),
      Map::Message<&CImagesToMovieDlg::OnPlayerEvent>(feed::WM_PLAYER_EVENT),
      Map::Message<&CImagesToMovieDlg::OnClose>(WM_CLOSE),
  };
  return Map::Dispatch(kEntries, *this, message, wParam, lParam, result) ||
         CDialogEx::OnMessage(message, wParam, lParam, result);
}

// ---- the strip

RECT CImagesToMovieDlg::GetStripRect() const {
  RECT frame{};
  ::GetWindowRect(GetDlgItem(IDC_IMAGE_STRIP_FRAME), &frame);
  ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&frame), 2);
  ::InflateRect(&frame, -kStripInset, -kStripInset);
  return frame;
}

LRESULT CImagesToMovieDlg::OnPaint(WPARAM, LPARAM) {
  framework::CPaintDC paint(m_hWnd);
  PaintStrip(paint.Get());
  return 0;
}

LRESULT CImagesToMovieDlg::OnPrintClient(WPARAM wParam, LPARAM) {
  // Pictures of the window (PrintWindow) show the strip as the screen does.
  PaintStrip(reinterpret_cast<HDC>(wParam));
  return 0;
}

void CImagesToMovieDlg::PaintStrip(HDC target) {
  const RECT strip = GetStripRect();
  const int width = strip.right - strip.left, height = strip.bottom - strip.top;
  if (width <= 0 || height <= 0) return;
  // Drawn off screen and copied in one go, so that scrolling does not flicker.
  framework::CMemoryCanvas canvas(target, width, height);
  if (!canvas.Ready()) return;
  const RECT whole{0, 0, width, height};
  HBRUSH background = ::CreateSolidBrush(::GetBkColor(target));
  ::FillRect(canvas.Get(), &whole, background);
  ::DeleteObject(background);

  m_thumbRects.clear();
  const SCROLLINFO scroll = m_scrollBar.GetScrollInfo();
  const StripView view = ViewAt(height, scroll.nPos);
  m_firstVisible = view.firstVisible;
  int top = view.firstTop;
  for (int row = 0; row < view.rows; ++row) {
    const int index = view.firstVisible + row;
    if (ImagePathAt(index).empty()) continue;
    DrawCell(canvas.Get(), index, top, width);
    top += kCellHeight;
  }
  ::BitBlt(target, strip.left, strip.top, width, height, canvas.Get(), 0, 0, SRCCOPY);
}

void CImagesToMovieDlg::DrawCell(HDC dc, int index, int top, int stripWidth) {
  if (index == m_images.selected) {
    const Box band = SelectionBand(stripWidth, top);
    const RECT rect{band.left, band.top, band.right, band.bottom};
    HBRUSH brush = ::CreateSolidBrush(kSelectionColour);
    ::FillRect(dc, &rect, brush);
    ::DeleteObject(brush);
  }
  const std::wstring path = ImagePathAt(index);
  const CThumbnailCache::Thumbnail& thumbnail = m_thumbnails.Get(path, stripWidth);
  if (thumbnail.picture) {
    const Box& fitted = thumbnail.fitted;
    Gdiplus::Graphics graphics(dc);
    graphics.DrawImage(thumbnail.picture.get(), fitted.left, top + fitted.top, fitted.Width(),
                       fitted.Height());
    m_thumbRects[index] = {fitted.left, top + fitted.top, fitted.right, top + fitted.bottom};
    return;
  }
  // A file that is no picture GDI+ can read: a plain cell that says so and can still be
  // selected, so that the user can take it out.
  const Box band = SelectionBand(stripWidth, top);
  RECT rect{band.left + 2, band.top + 2, band.right - 2, band.bottom - 2};
  ::FrameRect(dc, &rect, static_cast<HBRUSH>(::GetStockObject(GRAY_BRUSH)));
  HGDIOBJ previousFont = ::SelectObject(dc, reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)));
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, ::GetSysColor(COLOR_GRAYTEXT));
  const std::wstring text = L"无法读取\n" + mainwindow::FileNameOf(path);
  ::InflateRect(&rect, -4, -4);
  ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect,
              DT_CENTER | DT_WORDBREAK | DT_END_ELLIPSIS | DT_NOPREFIX);
  ::SelectObject(dc, previousFont);
  m_thumbRects[index] = {band.left, band.top, band.right, band.bottom};
}

void CImagesToMovieDlg::InvalidateStrip() {
  const RECT strip = GetStripRect();
  ::InvalidateRect(m_hWnd, &strip, TRUE);
}

LRESULT CImagesToMovieDlg::OnSize(WPARAM type, LPARAM) {
  // The bar stays beside the strip that it scrolls; only the range starts anew.
  if (type != SIZE_MINIMIZED && m_scrollBar.GetSafeHwnd() != nullptr) ResetScrollRange();
  return 0;
}

void CImagesToMovieDlg::ShowScrollBar(int maximum) {
  const RECT strip = GetStripRect();
  m_scrollBar.ShowWindow(ScrollBarVisible(maximum, strip.bottom - strip.top) ? SW_SHOW : SW_HIDE);
}

void CImagesToMovieDlg::ResetScrollRange() {
  SetScrollRangeAt(0);
}

void CImagesToMovieDlg::UpdateScrollRange() {
  const SCROLLINFO old = m_scrollBar.GetScrollInfo();
  SetScrollRangeAt(
      PositionAfterListChange(old.nPos, old.nMax, ScrollMaximum(m_images.paths.size())));
}

void CImagesToMovieDlg::SetScrollRangeAt(int position) {
  const RECT strip = GetStripRect();
  SCROLLINFO info{};
  info.cbSize = sizeof info;
  info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  info.nMax = ScrollMaximum(m_images.paths.size());
  info.nPage = static_cast<UINT>(strip.bottom - strip.top);
  info.nPos = position;
  m_scrollBar.SetScrollInfo(info);
  ShowScrollBar(info.nMax);
}

void CImagesToMovieDlg::ScrollTo(int position) {
  m_scrollBar.SetScrollPos(position, true);
  InvalidateStrip();
}

LRESULT CImagesToMovieDlg::OnVScroll(WPARAM wParam, LPARAM) {
  const std::optional<ScrollEvent> event = ScrollEventOf(LOWORD(wParam));
  if (!event) return 0;
  const SCROLLINFO info = m_scrollBar.GetScrollInfo();
  // The tracking position from the bar itself: the message's 16 bits end at 65535.
  const std::optional<int> target = ScrollTarget(*event, info.nPos, static_cast<int>(info.nPage),
                                                 info.nTrackPos, info.nMin, info.nMax);
  if (target) ScrollTo(*target);
  return 0;
}

LRESULT CImagesToMovieDlg::OnMouseWheel(WPARAM wParam, LPARAM) {
  const SCROLLINFO info = m_scrollBar.GetScrollInfo();
  const std::optional<int> target =
      WheelTarget(GET_WHEEL_DELTA_WPARAM(wParam), info.nPos, info.nMin, info.nMax);
  if (target) ScrollTo(*target);
  return 0;
}

int CImagesToMovieDlg::HitTestClientPoint(LPARAM point) const {
  const RECT strip = GetStripRect();
  const POINT client{GET_X_LPARAM(point), GET_Y_LPARAM(point)};
  // Cells scrolled half out of view reach beyond the strip; only what shows counts.
  if (!::PtInRect(&strip, client)) return -1;
  return HitTestThumbnail(m_thumbRects, client.x - strip.left, client.y - strip.top);
}

LRESULT CImagesToMovieDlg::OnLButtonDown(WPARAM, LPARAM lParam) {
  ::SetFocus(m_hWnd);
  m_images.selected = HitTestClientPoint(lParam);
  InvalidateStrip();
  EnableSelectionButtons();
  return 0;
}

LRESULT CImagesToMovieDlg::OnLButtonDblClk(WPARAM, LPARAM lParam) {
  const int index = HitTestClientPoint(lParam);
  if (index < 0) return 0;
  const std::wstring path = ImagePathAt(index);
  const auto result = reinterpret_cast<INT_PTR>(
      ::ShellExecuteW(nullptr, L"open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
  if (result <= 32) framework::ShowWarningBox(L"Can\u2019t ShellExecute\n");
  return 0;
}

void CImagesToMovieDlg::EnableSelectionButtons() {
  const bool selected = m_images.selected >= 0;
  for (int id : {IDC_IMAGE_DELETE, IDC_IMAGE_UP, IDC_IMAGE_DOWN}) EnableControl(id, selected);
}

void CImagesToMovieDlg::EnableListButtons() {
  const bool any = !m_images.paths.empty();
  EnableControl(IDC_IMAGE_CLEAR, any);
  EnableControl(IDC_MOVIE_MAKE, any);
}

void CImagesToMovieDlg::AddImages(const std::vector<std::wstring>& paths) {
  for (const std::wstring& path : paths) {
    if (path.empty()) continue;
    m_images.paths.push_back(path);
  }
  InvalidateStrip();
  UpdateScrollRange();
  EnableListButtons();
}

void CImagesToMovieDlg::OnAdd() {
  framework::FileOpenOptions options;
  options.owner = m_hWnd;
  options.multipleSelection = true;
  options.filters = {{L"Image Files (*.jpg, *.jpeg, *.png, *.bmp, *.gif)", kPicturePatterns},
                     {L"All Files (*.*)", L"*.*"}};
  const std::vector<std::wstring> paths = framework::ShowFileOpenDialog(options);
  if (paths.empty()) return;
  // A picture replaced on disk under the same name shows anew.
  m_thumbnails.Clear();
  AddImages(paths);
}

void CImagesToMovieDlg::OnDeleteImage() {
  if (m_images.selected < 0) {
    framework::ShowMessageBox(L"请选择需要删除的图片，用鼠标单击就可以了");
    return;
  }
  m_images.RemoveSelected();
  InvalidateStrip();
  UpdateScrollRange();
  EnableListButtons();
  EnableSelectionButtons();
}

void CImagesToMovieDlg::OnClear() {
  m_images.Clear();
  m_thumbnails.Clear();
  InvalidateStrip();
  UpdateScrollRange();
  EnableListButtons();
  EnableSelectionButtons();
}

void CImagesToMovieDlg::OnUp() {
  if (!m_images.MoveSelectedUp()) return;
  InvalidateStrip();
  UpdateScrollRange();
}

void CImagesToMovieDlg::OnDown() {
  if (!m_images.MoveSelectedDown()) return;
  InvalidateStrip();
  UpdateScrollRange();
}

}  // namespace moviemaker
