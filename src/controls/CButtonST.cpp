#include "controls/CButtonST.h"

#include <commctrl.h>
#include <gdiplus.h>

#include "app/ModulePaths.h"
#include "controls/ButtonGeometry.h"

namespace controls {

namespace {

constexpr UINT_PTR kToolId = 1;
constexpr DWORD kButtonTypeMask = 0x1F;

Box ToBox(const RECT& rect) {
  return {rect.left, rect.top, rect.right, rect.bottom};
}

RECT ToRect(const Box& box) {
  return {box.left, box.top, box.right, box.bottom};
}

void DrawLine(HDC dc, int colourIndex, POINT from, POINT via, POINT to) {
  HPEN pen = ::CreatePen(PS_SOLID, 1, ::GetSysColor(colourIndex));
  HGDIOBJ previous = ::SelectObject(dc, pen);
  ::MoveToEx(dc, from.x, from.y, nullptr);
  ::LineTo(dc, via.x, via.y);
  ::LineTo(dc, to.x, to.y);
  ::SelectObject(dc, previous);
  ::DeleteObject(pen);
}

void FrameWithColour(HDC dc, const RECT& rect, COLORREF colour) {
  HBRUSH brush = ::CreateSolidBrush(colour);
  ::FrameRect(dc, &rect, brush);
  ::DeleteObject(brush);
}

}  // namespace

CButtonST::CButtonST() {
  ResetColours();
  const Gdiplus::GdiplusStartupInput input;
  Gdiplus::GdiplusStartup(&m_gdiplusToken, &input, nullptr);
}

CButtonST::~CButtonST() {
  if (m_toolTip != nullptr) ::DestroyWindow(m_toolTip);
  Unsubclass();
  if (m_gdiplusToken != 0) Gdiplus::GdiplusShutdown(m_gdiplusToken);
}

void CButtonST::ResetColours() {
  for (ColourPair& pair : m_colours)
    pair = {::GetSysColor(COLOR_BTNFACE), ::GetSysColor(COLOR_BTNTEXT)};
}

void CButtonST::BrightenActiveColour() {
  const COLORREF colour = m_colours[kPressed].background;
  const Rgb brighter =
      controls::BrightenActiveColour({GetRValue(colour), GetGValue(colour), GetBValue(colour)});
  m_colours[kPressed].background = RGB(brighter.red, brighter.green, brighter.blue);
  if (m_hWnd != nullptr) Invalidate();
}

void CButtonST::CreateToolTip() {
  if (m_toolTip != nullptr || m_hWnd == nullptr) return;
  m_toolTip =
      ::CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, 0, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, m_hWnd, nullptr, ::GetModuleHandleW(nullptr), nullptr);
  if (m_toolTip == nullptr) return;
  ::SendMessageW(m_toolTip, TTM_ACTIVATE, FALSE, 0);
  ::SendMessageW(m_toolTip, TTM_SETMAXTIPWIDTH, 0, 400);
}

void CButtonST::SetHoverTip(const wchar_t* text) {
  if (text == nullptr) return;
  CreateToolTip();
  if (m_toolTip == nullptr) return;
  TOOLINFOW tool{};
  tool.cbSize = sizeof(tool);
  tool.hwnd = m_hWnd;
  tool.uId = kToolId;
  tool.lpszText = const_cast<wchar_t*>(text);
  if (::SendMessageW(m_toolTip, TTM_GETTOOLCOUNT, 0, 0) == 0) {
    tool.rect = GetClientRect();
    ::SendMessageW(m_toolTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  }
  ::SendMessageW(m_toolTip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
  ::SendMessageW(m_toolTip, TTM_ACTIVATE, TRUE, 0);
}

std::wstring CButtonST::GetHoverTip() const {
  if (m_toolTip == nullptr) return {};
  wchar_t text[1024] = L"";
  TOOLINFOW tool{};
  tool.cbSize = sizeof(tool);
  tool.hwnd = m_hWnd;
  tool.uId = kToolId;
  tool.lpszText = text;
  ::SendMessageW(m_toolTip, TTM_GETTEXTW, ARRAYSIZE(text), reinterpret_cast<LPARAM>(&tool));
  return text;
}

bool CButtonST::PreTranslateMessage(MSG& message) {
  CreateToolTip();
  if (m_toolTip != nullptr)
    ::SendMessageW(m_toolTip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&message));
  // A quick second click is a click, not a double click.
  if (message.message == WM_LBUTTONDBLCLK) message.message = WM_LBUTTONDOWN;
  return false;
}

void CButtonST::PreSubclassWindow() {
  if ((GetStyle() & kButtonTypeMask) == BS_DEFPUSHBUTTON) m_isDefault = true;
  ModifyStyle(kButtonTypeMask, BS_OWNERDRAW, SWP_FRAMECHANGED);
}

bool CButtonST::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (message) {
    case WM_SYSCOLORCHANGE:
      result = Default(message, wParam, lParam);
      ResetColours();
      Invalidate();
      return true;
    case WM_GETDLGCODE:
      result = Default(message, wParam, lParam) |
               (m_isDefault ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
      return true;
    case BM_SETSTYLE: {
      const DWORD type = static_cast<DWORD>(wParam) & kButtonTypeMask;
      if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON) m_isDefault = type == BS_DEFPUSHBUTTON;
      result =
          Default(message, (wParam & ~static_cast<WPARAM>(kButtonTypeMask)) | BS_OWNERDRAW, lParam);
      return true;
    }
    default:
      return false;
  }
}

bool CButtonST::OnReflectedMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (message) {
    case WM_DRAWITEM:
      DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      result = TRUE;
      return true;
    case WM_COMMAND:
      // The click still reaches the parent.
      if (HIWORD(wParam) == BN_CLICKED) SetFocus();
      return false;
    case WM_CTLCOLORBTN:
      result = reinterpret_cast<LRESULT>(::GetStockObject(NULL_BRUSH));
      return true;
    default:
      return false;
  }
}

void CButtonST::DrawItem(const DRAWITEMSTRUCT& item) {
  HDC dc = item.hDC;
  m_pressed = (item.itemState & ODS_SELECTED) != 0;
  m_focused = (item.itemState & ODS_FOCUS) != 0;
  m_disabled = (item.itemState & ODS_DISABLED) != 0;
  const int savedDc = ::SaveDC(dc);
  ::SetBkMode(dc, TRANSPARENT);

  RECT face = item.rcItem;
  DrawFaceBackground(dc, face);
  DrawFaceBorder(dc, face);

  const Box itemBox = ToBox(item.rcItem);
  const std::wstring caption = GetWindowText();
  if (!caption.empty() && m_captionBelowImage) {
    // The caption in the button's own font, not the device context's default.
    if (auto font = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)); font != nullptr)
      ::SelectObject(dc, font);
    DrawFaceCaption(dc, caption, item.rcItem, ToRect(CaptionBox(itemBox)), m_pressed, m_disabled);
  }
  if (!m_imageFile.empty()) DrawImage(dc, ToRect(ImageArea(itemBox, m_captionBelowImage)));

  if (m_focused) {
    RECT focus = face;
    ::InflateRect(&focus, -3, -3);
    ::DrawFocusRect(dc, &focus);
  }
  ::RestoreDC(dc, savedDc);
}

void CButtonST::DrawImage(HDC dc, const RECT& area) const {
  // Read on every paint, so that a picture replaced on disk shows at once.
  const std::wstring path = app::GetModuleFolder() + L"Image\\" + m_imageFile;
  Gdiplus::Image image(path.c_str());
  if (image.GetLastStatus() != Gdiplus::Ok) return;
  const Box place = FitImage(ToBox(area), static_cast<int>(image.GetWidth()),
                             static_cast<int>(image.GetHeight()));
  if (place.IsEmpty()) return;
  Gdiplus::Graphics graphics(dc);
  graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
  graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
  graphics.DrawImage(&image, Gdiplus::Rect(place.left, place.top, place.Width(), place.Height()));
}

void CButtonST::DrawFaceBackground(HDC dc, RECT& rect) {
  if (m_focused || m_isDefault) {
    ::FrameRect(dc, &rect, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    ::InflateRect(&rect, -1, -1);
  }
  const ColourState state = m_pressed ? kPressed : m_focused ? kFocused : kNormal;
  HBRUSH brush = ::CreateSolidBrush(m_colours[state].background);
  ::FillRect(dc, &rect, brush);
  ::DeleteObject(brush);
}

void CButtonST::DrawFaceBorder(HDC dc, const RECT& rect) {
  if (m_pressed) {
    FrameWithColour(dc, rect, ::GetSysColor(COLOR_BTNSHADOW));
    return;
  }
  const LONG l = rect.left, t = rect.top, r = rect.right, b = rect.bottom;
  DrawLine(dc, COLOR_BTNHIGHLIGHT, {l, b - 1}, {l, t}, {r, t});
  DrawLine(dc, COLOR_3DLIGHT, {l + 1, b - 1}, {l + 1, t + 1}, {r, t + 1});
  DrawLine(dc, COLOR_3DDKSHADOW, {l, b - 1}, {r - 1, b - 1}, {r - 1, t - 1});
  DrawLine(dc, COLOR_BTNSHADOW, {l + 1, b - 2}, {r - 2, b - 2}, {r - 2, t});
}

void CButtonST::DrawFaceCaption(HDC dc, const std::wstring& caption, const RECT&, RECT captionRect,
                                bool pressed, bool disabled) {
  if (pressed) ::OffsetRect(&captionRect, 1, 1);
  RECT measured = captionRect;
  ::DrawTextW(dc, caption.c_str(), -1, &measured, DT_CALCRECT | DT_WORDBREAK);
  RECT centred = ToRect(
      CentreIn(ToBox(captionRect), measured.right - measured.left, measured.bottom - measured.top));
  const UINT format = DT_WORDBREAK | DT_CENTER;
  if (disabled) {
    RECT embossed = centred;
    ::OffsetRect(&embossed, 1, 1);
    ::SetTextColor(dc, ::GetSysColor(COLOR_BTNHIGHLIGHT));
    ::DrawTextW(dc, caption.c_str(), -1, &embossed, format);
    ::SetTextColor(dc, ::GetSysColor(COLOR_BTNSHADOW));
    ::DrawTextW(dc, caption.c_str(), -1, &centred, format);
    return;
  }
  const ColourState state = pressed ? kPressed : m_focused ? kFocused : kNormal;
  ::SetTextColor(dc, m_colours[state].text);
  ::DrawTextW(dc, caption.c_str(), -1, &centred, format);
}

}  // namespace controls
