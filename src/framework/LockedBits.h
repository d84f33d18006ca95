// The pixels of a GDI+ bitmap in a chosen format, locked for the life of the object: GDI+
// converts from the bitmap's own format on locking and back on unlocking.
#pragma once

#include <windows.h>

#include <gdiplus.h>

#include <cstddef>

namespace framework {

class CLockedBits {
 public:
  // mode: Gdiplus::ImageLockModeRead, ImageLockModeWrite or both.
  CLockedBits(Gdiplus::Bitmap& bitmap, UINT mode, Gdiplus::PixelFormat format) : m_bitmap(bitmap) {
    Gdiplus::Rect whole(0, 0, static_cast<INT>(bitmap.GetWidth()),
                        static_cast<INT>(bitmap.GetHeight()));
    m_locked = bitmap.LockBits(&whole, mode, format, &m_data) == Gdiplus::Ok;
  }
  CLockedBits(const CLockedBits&) = delete;
  CLockedBits& operator=(const CLockedBits&) = delete;
  ~CLockedBits() {
    if (m_locked) m_bitmap.UnlockBits(&m_data);
  }

  bool Locked() const { return m_locked; }
  int Width() const { return static_cast<int>(m_data.Width); }
  int Height() const { return static_cast<int>(m_data.Height); }
  // Bytes from one row to the next; negative when the rows run bottom-up.
  std::ptrdiff_t Stride() const { return m_data.Stride; }
  // Row 0 is the picture's top row.
  BYTE* Row(int y) const {
    return static_cast<BYTE*>(m_data.Scan0) + static_cast<std::ptrdiff_t>(m_data.Stride) * y;
  }

 private:
  Gdiplus::Bitmap& m_bitmap;
  Gdiplus::BitmapData m_data{};
  bool m_locked = false;
};

}  // namespace framework
