// Device contexts that clean up after themselves: the paint context of a WM_PAINT, and an
// off-screen canvas of a given size to draw into before one copy to the screen.
#pragma once

#include <windows.h>

namespace framework {

// BeginPaint on construction, EndPaint on destruction.
class CPaintDC {
 public:
  explicit CPaintDC(HWND window) : m_window(window), m_dc(::BeginPaint(window, &m_paint)) {}
  CPaintDC(const CPaintDC&) = delete;
  CPaintDC& operator=(const CPaintDC&) = delete;
  ~CPaintDC() { ::EndPaint(m_window, &m_paint); }

  HDC Get() const { return m_dc; }
  const PAINTSTRUCT& Paint() const { return m_paint; }

 private:
  HWND m_window;
  PAINTSTRUCT m_paint{};
  HDC m_dc;
};

// A memory context compatible with another, holding a bitmap of width x height.
class CMemoryCanvas {
 public:
  CMemoryCanvas(HDC compatibleWith, int width, int height)
      : m_dc(::CreateCompatibleDC(compatibleWith)),
        m_bitmap(::CreateCompatibleBitmap(compatibleWith, width, height)) {
    if (m_dc != nullptr && m_bitmap != nullptr) m_previous = ::SelectObject(m_dc, m_bitmap);
  }
  CMemoryCanvas(const CMemoryCanvas&) = delete;
  CMemoryCanvas& operator=(const CMemoryCanvas&) = delete;
  ~CMemoryCanvas() {
    if (m_previous != nullptr) ::SelectObject(m_dc, m_previous);
    if (m_bitmap != nullptr) ::DeleteObject(m_bitmap);
    if (m_dc != nullptr) ::DeleteDC(m_dc);
  }

  bool Ready() const { return m_previous != nullptr; }
  HDC Get() const { return m_dc; }

 private:
  HDC m_dc;
  HBITMAP m_bitmap;
  HGDIOBJ m_previous = nullptr;
};

}  // namespace framework
