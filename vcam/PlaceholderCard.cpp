#include "vcam/PlaceholderCard.h"

#include <windows.h>

#include <cstring>
#include <utility>

#include "vcam/CardLayout.h"

namespace vcam {

namespace {

// Owners of the GDI objects one drawing needs.
class CMemoryDc {
 public:
  CMemoryDc() : m_dc(::CreateCompatibleDC(nullptr)) {}
  CMemoryDc(const CMemoryDc&) = delete;
  CMemoryDc& operator=(const CMemoryDc&) = delete;
  ~CMemoryDc() {
    if (m_dc != nullptr) ::DeleteDC(m_dc);
  }
  HDC Get() const { return m_dc; }

 private:
  HDC m_dc;
};

class CGdiObject {
 public:
  explicit CGdiObject(HGDIOBJ object) : m_object(object) {}
  CGdiObject(const CGdiObject&) = delete;
  CGdiObject& operator=(const CGdiObject&) = delete;
  ~CGdiObject() {
    if (m_object != nullptr) ::DeleteObject(m_object);
  }
  HGDIOBJ Get() const { return m_object; }

 private:
  HGDIOBJ m_object;
};

// Selects an object into a DC for a scope; the DC gets its previous object back.
class CSelection {
 public:
  CSelection(HDC dc, HGDIOBJ object) : m_dc(dc), m_previous(::SelectObject(dc, object)) {}
  CSelection(const CSelection&) = delete;
  CSelection& operator=(const CSelection&) = delete;
  ~CSelection() {
    if (m_previous != nullptr && m_previous != HGDI_ERROR) ::SelectObject(m_dc, m_previous);
  }

 private:
  HDC m_dc;
  HGDIOBJ m_previous;
};

COLORREF Colour(const CardColour& colour) {
  return RGB(colour.red, colour.green, colour.blue);
}

RECT Rect(const CardBox& box) {
  return {box.left, box.top, box.right, box.bottom};
}

// A face that every Chinese Windows has; elsewhere the GB2312 character set makes the
// font mapper pick one with Chinese glyphs.
HGDIOBJ MakeFont(std::int32_t height, int weight) {
  return ::CreateFontW(-height, 0, 0, 0, weight, FALSE, FALSE, FALSE, GB2312_CHARSET, OUT_TT_PRECIS,
                       CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_SWISS,
                       L"Microsoft YaHei");
}

void DrawCentredLine(HDC dc, const wchar_t* text, const CardBox& box, std::int32_t fontHeight,
                     int weight, const CardColour& colour) {
  const CGdiObject font(MakeFont(fontHeight, weight));
  if (font.Get() == nullptr) return;
  const CSelection selected(dc, font.Get());
  ::SetTextColor(dc, Colour(colour));
  RECT rect = Rect(box);
  ::DrawTextW(dc, text, -1, &rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

}  // namespace

const RgbCanvas& CPlaceholderCard::At(std::uint32_t width, std::uint32_t height) {
  if (m_canvas.pixels == nullptr || m_canvas.width != width || m_canvas.height != height) {
    m_canvas.width = width;
    m_canvas.height = height;
    m_canvas.stride = static_cast<std::size_t>(width) * 3;
    m_canvas.bottomUp = false;
    m_pixels.resize(m_canvas.stride * height);
    m_canvas.pixels = m_pixels.data();
    Draw();
  }
  return m_canvas;
}

void CPlaceholderCard::Draw() {
  for (std::size_t i = 0; i + 2 < m_pixels.size(); i += 3) {
    m_pixels[i] = kCardBackground.blue;
    m_pixels[i + 1] = kCardBackground.green;
    m_pixels[i + 2] = kCardBackground.red;
  }

  const auto width = static_cast<LONG>(m_canvas.width);
  const auto height = static_cast<LONG>(m_canvas.height);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  const CMemoryDc dc;
  void* bits = nullptr;
  const CGdiObject bitmap(
      dc.Get() != nullptr ? ::CreateDIBSection(dc.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0)
                          : nullptr);
  if (bitmap.Get() == nullptr || bits == nullptr) return;

  {
    const CSelection selected(dc.Get(), bitmap.Get());
    const CardLayout card = LayOutCard(m_canvas.width, m_canvas.height);
    const CGdiObject background(::CreateSolidBrush(Colour(kCardBackground)));
    const CGdiObject rule(::CreateSolidBrush(Colour(kCardRuleColour)));
    const RECT whole{0, 0, width, height};
    const RECT ruleRect = Rect(card.rule);
    ::FillRect(dc.Get(), &whole, static_cast<HBRUSH>(background.Get()));
    ::FillRect(dc.Get(), &ruleRect, static_cast<HBRUSH>(rule.Get()));
    ::SetBkMode(dc.Get(), TRANSPARENT);
    DrawCentredLine(dc.Get(), kCardTitle, card.title, card.titleFontHeight, FW_BOLD,
                    kCardTitleColour);
    DrawCentredLine(dc.Get(), kCardSubtitle, card.subtitle, card.subtitleFontHeight, FW_NORMAL,
                    kCardSubtitleColour);
    ::GdiFlush();
  }

  // DIB rows are padded to 4 bytes; the card's are not.
  const std::size_t dibStride = (m_canvas.stride + 3) & ~static_cast<std::size_t>(3);
  const auto* source = static_cast<const std::uint8_t*>(bits);
  for (std::uint32_t y = 0; y < m_canvas.height; ++y)
    std::memcpy(m_pixels.data() + m_canvas.stride * y, source + dibStride * y, m_canvas.stride);
}

}  // namespace vcam
