// Writes a moving test picture into the frame channel, as the player does with video.
//
//   channel-writer [--seconds N] [--size WIDTHxHEIGHT] [--fps F]
//
// The picture is drawn with GDI into a bottom-up 24-bit DIB, the layout of the player's
// RGB24 samples, and each frame is handed to WriteFrame.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "feed/FrameChannel.h"

namespace {

struct Options {
  double seconds = 5;
  int width = 640;
  int height = 480;
  double fps = 30;
};

bool ParseOptions(int argc, wchar_t** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::wstring arg = argv[i];
    if (i + 1 >= argc) return false;
    const wchar_t* value = argv[++i];
    if (arg == L"--seconds")
      options.seconds = std::wcstod(value, nullptr);
    else if (arg == L"--fps")
      options.fps = std::wcstod(value, nullptr);
    else if (arg == L"--size") {
      if (std::swscanf(value, L"%dx%d", &options.width, &options.height) != 2) return false;
    } else
      return false;
  }
  return options.seconds > 0 && options.fps > 0 && options.width > 0 && options.height > 0;
}

// A GDI memory canvas over a bottom-up RGB24 DIB section.
class Canvas {
 public:
  Canvas(int width, int height) : m_width(width), m_height(height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;  // positive: bottom row first, as video samples
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    m_dc = ::CreateCompatibleDC(nullptr);
    m_bitmap = ::CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, &m_bits, nullptr, 0);
    if (m_bitmap != nullptr) m_previous = ::SelectObject(m_dc, m_bitmap);
    m_font = ::CreateFontW(-height / 10, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                           OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                           DEFAULT_PITCH, L"Tahoma");
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;
  ~Canvas() {
    if (m_previous != nullptr) ::SelectObject(m_dc, m_previous);
    if (m_font != nullptr) ::DeleteObject(m_font);
    if (m_bitmap != nullptr) ::DeleteObject(m_bitmap);
    if (m_dc != nullptr) ::DeleteDC(m_dc);
  }

  bool Ready() const { return m_bits != nullptr; }
  const BYTE* Pixels() const { return static_cast<const BYTE*>(m_bits); }

  // Colour bars sliding sideways, a ball bouncing and the frame number.
  void Draw(unsigned frame) {
    static const COLORREF kBars[] = {RGB(192, 192, 192), RGB(192, 192, 0), RGB(0, 192, 192),
                                     RGB(0, 192, 0),     RGB(192, 0, 192), RGB(192, 0, 0),
                                     RGB(0, 0, 192)};
    const int barCount = static_cast<int>(sizeof kBars / sizeof kBars[0]);
    const int barWidth = (m_width + barCount - 1) / barCount;
    const int shift = static_cast<int>(frame * 4) % m_width;
    for (int i = -1; i < barCount; ++i) {
      const RECT bar{i * barWidth + shift % barWidth, 0, (i + 1) * barWidth + shift % barWidth,
                     m_height};
      Fill(bar, kBars[(i + barCount + shift / barWidth) % barCount]);
    }

    const int radius = m_height / 8;
    const int x = Bounce(static_cast<int>(frame * 7), m_width - 2 * radius);
    const int y = Bounce(static_cast<int>(frame * 5), m_height - 2 * radius);
    HGDIOBJ oldBrush = ::SelectObject(m_dc, ::GetStockObject(WHITE_BRUSH));
    HGDIOBJ oldPen = ::SelectObject(m_dc, ::GetStockObject(BLACK_PEN));
    ::Ellipse(m_dc, x, y, x + 2 * radius, y + 2 * radius);
    ::SelectObject(m_dc, oldPen);
    ::SelectObject(m_dc, oldBrush);

    wchar_t caption[64];
    std::swprintf(caption, 64, L"Plumora  frame %u", frame);
    HGDIOBJ oldFont = ::SelectObject(m_dc, m_font);
    ::SetBkMode(m_dc, OPAQUE);
    ::SetBkColor(m_dc, RGB(0, 0, 0));
    ::SetTextColor(m_dc, RGB(255, 255, 255));
    RECT band{0, m_height * 4 / 5, m_width, m_height};
    Fill(band, RGB(0, 0, 0));
    ::DrawTextW(m_dc, caption, -1, &band, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    ::SelectObject(m_dc, oldFont);
    ::GdiFlush();
  }

 private:
  static int Bounce(int travelled, int span) {
    if (span <= 0) return 0;
    const int phase = travelled % (2 * span);
    return phase < span ? phase : 2 * span - phase;
  }

  void Fill(const RECT& rect, COLORREF colour) {
    HBRUSH brush = ::CreateSolidBrush(colour);
    ::FillRect(m_dc, &rect, brush);
    ::DeleteObject(brush);
  }

  int m_width;
  int m_height;
  HDC m_dc = nullptr;
  HBITMAP m_bitmap = nullptr;
  HGDIOBJ m_previous = nullptr;
  HFONT m_font = nullptr;
  void* m_bits = nullptr;
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
  Options options;
  if (!ParseOptions(argc, argv, options)) {
    std::fprintf(stderr, "usage: channel-writer [--seconds N] [--size WIDTHxHEIGHT] [--fps F]\n");
    return 4;
  }
  Canvas canvas(options.width, options.height);
  if (!canvas.Ready()) {
    std::fprintf(stderr, "could not make a %dx%d picture\n", options.width, options.height);
    return 1;
  }

  const unsigned total = static_cast<unsigned>(options.seconds * options.fps);
  const double frameMs = 1000.0 / options.fps;
  const ULONGLONG start = ::GetTickCount64();
  unsigned written = 0;
  for (unsigned frame = 0; frame < total; ++frame) {
    canvas.Draw(frame);
    if (feed::WriteFrame(canvas.Pixels(), options.width, options.height)) ++written;
    const ULONGLONG due = start + static_cast<ULONGLONG>((frame + 1) * frameMs);
    const ULONGLONG now = ::GetTickCount64();
    if (due > now) ::Sleep(static_cast<DWORD>(due - now));
  }
  std::printf("wrote %u of %u frames of %dx%d\n", written, total, options.width, options.height);
  return written == total ? 0 : 1;
}
