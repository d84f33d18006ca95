// The images-to-movie window and its settings dialog driven as a user drives them: the
// real windows, their buttons pressed, pictures made at test time in the formats GDI+
// writes, movies read back from the disk and sent into the main window's playlist.
#include "moviemaker/CImagesToMovieDlg.h"

#include <set>

#include "camera/StudioTestSupport.h"
#include "moviemaker/CMakeMovieSettingDlg.h"
#include "moviemaker/ImageStrip.h"
#include "moviemaker/MovieFrames.h"
#include "testing/NoticeCapture.h"
#include "testing/TempFolder.h"

namespace moviemaker {
namespace {

using camera::studio_testing::FilesIn;
using camera::studio_testing::FramePicture;
using camera::studio_testing::ItemText;
using camera::studio_testing::Near;
using camera::studio_testing::Picture;
using camera::studio_testing::ShowsQuadrants;
using testing_support::FileExists;
using testing_support::MessageBoxAnswerer;
using testing_support::ModalWatcher;
using testing_support::SeenBox;

// A picture's four quadrants, clockwise from the top left but the last two swapped, as
// ShowsQuadrants reads them: top left, top right, bottom left, bottom right.
struct Quadrants {
  COLORREF topLeft, topRight, bottomLeft, bottomRight;
};
constexpr Quadrants kPictureA{RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), RGB(255, 255, 255)};
constexpr Quadrants kPictureB{RGB(255, 255, 0), RGB(0, 255, 255), RGB(255, 0, 255), RGB(0, 0, 0)};
constexpr Quadrants kPictureC{RGB(255, 128, 0), RGB(128, 0, 255), RGB(128, 128, 128),
                              RGB(0, 128, 0)};

bool EncoderFor(const wchar_t* mimeType, CLSID& encoder) {
  UINT count = 0, bytes = 0;
  Gdiplus::GetImageEncodersSize(&count, &bytes);
  std::vector<BYTE> buffer(bytes);
  auto* encoders = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
  Gdiplus::GetImageEncoders(count, bytes, encoders);
  for (UINT i = 0; i < count; ++i)
    if (wcscmp(encoders[i].MimeType, mimeType) == 0) {
      encoder = encoders[i].Clsid;
      return true;
    }
  return false;
}

// Writes a width x height picture of four coloured quadrants in the format of mimeType.
void WritePicture(const std::wstring& path, int width, int height, const Quadrants& colours,
                  const wchar_t* mimeType = L"image/png") {
  const camera::CGdiplusSession gdiplus;
  Gdiplus::Bitmap bitmap(width, height, PixelFormat24bppRGB);
  Gdiplus::Graphics graphics(&bitmap);
  const int halfWidth = width / 2, halfHeight = height / 2;
  const struct {
    COLORREF colour;
    int x, y, w, h;
  } parts[] = {
      {colours.topLeft, 0, 0, halfWidth, halfHeight},
      {colours.topRight, halfWidth, 0, width - halfWidth, halfHeight},
      {colours.bottomLeft, 0, halfHeight, halfWidth, height - halfHeight},
      {colours.bottomRight, halfWidth, halfHeight, width - halfWidth, height - halfHeight}};
  for (const auto& part : parts) {
    Gdiplus::SolidBrush brush(
        Gdiplus::Color(GetRValue(part.colour), GetGValue(part.colour), GetBValue(part.colour)));
    graphics.FillRectangle(&brush, part.x, part.y, part.w, part.h);
  }
  CLSID encoder;
  ASSERT_TRUE(EncoderFor(mimeType, encoder)) << "no encoder for a picture the test needs";
  ASSERT_EQ(bitmap.Save(path.c_str(), &encoder, nullptr), Gdiplus::Ok);
}

// Whether a colour is within tolerance of another in each channel, saying both when not.
::testing::AssertionResult Looks(COLORREF actual, COLORREF expected, int tolerance = 40) {
  if (Near(actual, expected, tolerance)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << "RGB(" << int(GetRValue(actual)) << "," << int(GetGValue(actual)) << ","
         << int(GetBValue(actual)) << ") where RGB(" << int(GetRValue(expected)) << ","
         << int(GetGValue(expected)) << "," << int(GetBValue(expected)) << ") was expected";
}

::testing::AssertionResult Shows(const Picture& picture, const Quadrants& colours) {
  return ShowsQuadrants(picture, colours.topLeft, colours.topRight, colours.bottomLeft,
                        colours.bottomRight);
}

// The colours of the window's picture of itself (PrintWindow) inside its client rectangle rect.
class PrintedPixels {
 public:
  PrintedPixels(HWND window, const RECT& rect)
      : m_width(rect.right - rect.left), m_height(rect.bottom - rect.top) {
    HDC windowDC = ::GetDC(window);
    HDC memory = ::CreateCompatibleDC(windowDC);
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    format.bmiHeader.biWidth = m_width;
    format.bmiHeader.biHeight = -m_height;  // top row first
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(windowDC, &format, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = ::SelectObject(memory, bitmap);
    // The window's own picture of its client area, children included, moved so that
    // the rectangle's corner lands at the bitmap's origin.
    ::SetViewportOrgEx(memory, -rect.left, -rect.top, nullptr);
    ::PrintWindow(window, memory, PW_CLIENTONLY);
    ::SetViewportOrgEx(memory, 0, 0, nullptr);
    ::GdiFlush();
    const auto* pixels = static_cast<const DWORD*>(bits);
    m_pixels.assign(pixels, pixels + static_cast<size_t>(m_width) * m_height);
    ::SelectObject(memory, previous);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(window, windowDC);
  }
  // The colour at (x, y) of the rectangle, as RGB().
  COLORREF At(int x, int y) const {
    const DWORD pixel = m_pixels[static_cast<size_t>(y) * m_width + x];
    return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
  }

 private:
  int m_width, m_height;
  std::vector<DWORD> m_pixels;
};

class MovieMakerTest : public camera::studio_testing::CameraStudioTest {
 protected:
  void SetUp() override {
    CameraStudioTest::SetUp();
    m_pictures = std::make_unique<testing_support::TempFolder>(L"pictures");
  }
  void TearDown() override {
    if (m_maker && m_maker->GetSafeHwnd() != nullptr) m_maker->DestroyWindow();
    m_maker.reset();
    CameraStudioTest::TearDown();
  }

  // The window on this thread, not modal, owned by the main window when it is open.
  HWND OpenMaker() {
    app::CSettingStore::Instance();
    m_maker = std::make_unique<CImagesToMovieDlg>(m_window.get());
    EXPECT_TRUE(m_maker->Create(m_window ? m_window->GetSafeHwnd() : nullptr));
    m_maker->ShowWindow(SW_SHOW);
    Pump(200);
    return m_maker->GetSafeHwnd();
  }
  HWND Maker() const { return m_maker->GetSafeHwnd(); }
  void Pump(unsigned ms) { testing_support::PumpDialogFor(Maker(), ms); }
  bool PumpUntil(const std::function<bool()>& done, unsigned timeoutMs = 10000) {
    return testing_support::PumpDialogUntil(Maker(), done, timeoutMs);
  }
  // Paints what is waiting to be painted, now.
  void Repaint() {
    ::RedrawWindow(Maker(), nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Pump(50);
  }
  bool Enabled(int id) const { return camera::studio_testing::Enabled(Maker(), id); }
  std::wstring PicturePath(const std::wstring& name) const { return m_pictures->File(name); }
  // A 64 x 48 GIF of kPictureC's quadrants, made by ffmpeg with the test media.
  std::wstring QuadrantsGif() {
    const std::wstring path = PicturePath(L"quadrants.gif");
    EXPECT_TRUE(::CopyFileW((std::wstring(PLUMORA_TEST_MEDIA_DIR) + L"\\quadrants.gif").c_str(),
                            path.c_str(), FALSE));
    return path;
  }
  std::wstring MakePicture(const std::wstring& name, int width, int height,
                           const Quadrants& colours, const wchar_t* mimeType = L"image/png") {
    const std::wstring path = PicturePath(name);
    WritePicture(path, width, height, colours, mimeType);
    return path;
  }

  // A click at a point of the strip (strip coordinates), as the mouse gives it.
  void ClickStrip(int x, int y, UINT message = WM_LBUTTONDOWN) {
    const RECT strip = m_maker->GetStripRect();
    ::SendMessageW(Maker(), message, MK_LBUTTON, MAKELPARAM(strip.left + x, strip.top + y));
  }
  void ClickThumbnail(int index, UINT message = WM_LBUTTONDOWN) {
    const Box box = m_maker->ThumbnailRects().at(index);
    ClickStrip((box.left + box.right) / 2, (box.top + box.bottom) / 2, message);
  }
  SCROLLINFO Scroll() const {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    ::GetScrollInfo(::GetDlgItem(Maker(), IDC_IMAGE_SCROLL), SB_CTL, &info);
    return info;
  }
  int StripHeight() const {
    const RECT strip = m_maker->GetStripRect();
    return strip.bottom - strip.top;
  }

  // Answers the movie settings dialog with name, folder, size and seconds, then OK.
  std::unique_ptr<ModalWatcher> AnswerSettings(const std::wstring& name, const std::wstring& folder,
                                               bool small = true, int seconds = 1) {
    return std::make_unique<ModalWatcher>(::GetCurrentThreadId(), [=](HWND dialog) {
      wchar_t caption[64] = L"";
      ::GetWindowTextW(dialog, caption, ARRAYSIZE(caption));
      if (wcscmp(caption, L"视频参数设置") != 0) return;
      ::SetDlgItemTextW(dialog, IDC_MOVIE_NAME, name.c_str());
      ::SetDlgItemTextW(dialog, IDC_MOVIE_FOLDER, folder.c_str());
      ::SetDlgItemTextW(dialog, IDC_MOVIE_SECONDS, std::to_wstring(seconds).c_str());
      ::SendDlgItemMessageW(dialog, IDC_MOVIE_SIZE_SMALL, BM_SETCHECK,
                            small ? BST_CHECKED : BST_UNCHECKED, 0);
      ::SendDlgItemMessageW(dialog, IDC_MOVIE_SIZE_LARGE, BM_SETCHECK,
                            small ? BST_UNCHECKED : BST_CHECKED, 0);
      testing_support::PressDialogButton(dialog, IDC_MOVIE_SETTINGS_OK);
    });
  }
  // Make video pressed, the settings answered; the path of the movie it makes.
  std::wstring MakeThroughTheButton(const std::wstring& name, int seconds = 1) {
    const auto answer = AnswerSettings(name, m_root->Path(), true, seconds);
    Click(Maker(), IDC_MOVIE_MAKE);
    return m_root->Path() + L"\\" + name + L".avi";
  }
  std::vector<std::wstring> ComboItems() const {
    std::vector<std::wstring> items;
    HWND combo = ::GetDlgItem(Maker(), IDC_MOVIE_LIST);
    for (int i = 0; i < ::SendMessageW(combo, CB_GETCOUNT, 0, 0); ++i) {
      wchar_t text[MAX_PATH] = L"";
      ::SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
      items.push_back(text);
    }
    return items;
  }
  void ChooseMovie(int position) {
    HWND combo = ::GetDlgItem(Maker(), IDC_MOVIE_LIST);
    ::SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(position), 0);
    ::SendMessageW(Maker(), WM_COMMAND, MAKEWPARAM(IDC_MOVIE_LIST, CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(combo));
  }
  std::vector<std::wstring> SavedPlaylist() const {
    std::vector<std::wstring> saved;
    EXPECT_TRUE(mainwindow::LoadPlaylist(saved));
    return saved;
  }

  std::unique_ptr<testing_support::TempFolder> m_pictures;
  std::unique_ptr<CImagesToMovieDlg> m_maker;
};

// ---- the window and its strip

TEST_F(MovieMakerTest, TheMainWindowsButtonOpensItWithOnlyAddAvailable) {
  OpenMainWindow();
  std::wstring caption;
  std::set<int> enabled;
  bool scrollBarShown = true;
  RECT preview{};
  {
    ModalWatcher look(::GetCurrentThreadId(), [&](HWND dialog) {
      wchar_t text[64] = L"";
      ::GetWindowTextW(dialog, text, ARRAYSIZE(text));
      caption = text;
      for (int id : {IDC_IMAGE_ADD, IDC_IMAGE_DELETE, IDC_IMAGE_CLEAR, IDC_IMAGE_UP, IDC_IMAGE_DOWN,
                     IDC_MOVIE_MAKE, IDC_MOVIE_SEND_ALL, IDC_MOVIE_SEND_ONE, IDC_MOVIE_DELETE})
        if (::IsWindowEnabled(::GetDlgItem(dialog, id))) enabled.insert(id);
      scrollBarShown = ::IsWindowVisible(::GetDlgItem(dialog, IDC_IMAGE_SCROLL)) != FALSE;
      ::GetClientRect(::GetDlgItem(dialog, IDC_MOVIE_PREVIEW), &preview);
      ::PostMessageW(dialog, WM_CLOSE, 0, 0);
    });
    Click(m_window->GetSafeHwnd(), IDC_IMAGES_TO_VIDEO);
    EXPECT_EQ(look.Answered(), 1);
  }
  EXPECT_EQ(caption, L"把图像转变成视频工具");
  EXPECT_EQ(enabled, std::set<int>{IDC_IMAGE_ADD});
  EXPECT_FALSE(scrollBarShown);
  EXPECT_EQ(preview.right, 320);
  EXPECT_EQ(preview.bottom, 240);
}

TEST_F(MovieMakerTest, PicturesPickedInTheFileDialogJoinTheStripAndTheScrollBarFollows) {
  OpenMaker();
  const std::vector<std::wstring> picked = {
      MakePicture(L"a.jpg", 640, 480, kPictureA, L"image/jpeg"),
      MakePicture(L"b.png", 300, 600, kPictureB),
      MakePicture(L"c.bmp", 50, 40, kPictureC, L"image/bmp")};
  {
    std::wstring names;
    for (const std::wstring& path : picked) names += testing_support::Quoted(path) + L" ";
    const testing_support::FileDialogAnswerer answer(names);
    Click(Maker(), IDC_IMAGE_ADD);
  }
  // The dialog decides the order.
  const std::vector<std::wstring>& paths = m_maker->ImagePaths();
  EXPECT_EQ(std::set<std::wstring>(paths.begin(), paths.end()),
            std::set<std::wstring>(picked.begin(), picked.end()));
  EXPECT_TRUE(Enabled(IDC_IMAGE_CLEAR));
  EXPECT_TRUE(Enabled(IDC_MOVIE_MAKE));
  EXPECT_FALSE(Enabled(IDC_IMAGE_DELETE));

  // Three cells fit (330 pixels); the bar shows once the pictures are higher than the strip.
  ASSERT_GT(StripHeight(), 330);
  ASSERT_LT(StripHeight(), 550);
  EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(Maker(), IDC_IMAGE_SCROLL)));
  m_maker->AddImages({QuadrantsGif(), MakePicture(L"e.png", 80, 80, kPictureB)});
  EXPECT_TRUE(::IsWindowVisible(::GetDlgItem(Maker(), IDC_IMAGE_SCROLL)));
  const SCROLLINFO scroll = Scroll();
  EXPECT_EQ(scroll.nMin, 0);
  EXPECT_EQ(scroll.nMax, 550);
  EXPECT_EQ(static_cast<int>(scroll.nPage), StripHeight());

  // A cancelled dialog adds nothing.
  {
    ModalWatcher cancel(::GetCurrentThreadId(),
                        [](HWND dialog) { testing_support::PressDialogButton(dialog, IDCANCEL); });
    Click(Maker(), IDC_IMAGE_ADD);
  }
  EXPECT_EQ(m_maker->ImagePaths().size(), 5u);
}

TEST_F(MovieMakerTest, ThumbnailsAndTheSelectionBandAreDrawnWhereTheyBelong) {
  OpenMaker();
  // Wide, tall, a GIF (which GDI+ reads) and a tiny one.
  m_maker->AddImages({MakePicture(L"wide.jpg", 400, 100, kPictureA, L"image/jpeg"),
                      MakePicture(L"tall.png", 100, 400, kPictureB), QuadrantsGif()});
  Repaint();
  const RECT strip = m_maker->GetStripRect();
  const int width = strip.right - strip.left;
  const std::map<int, Box> drawn = m_maker->ThumbnailRects();
  ASSERT_EQ(drawn.size(), 3u);
  COLORREF background = 0;
  EXPECT_EQ(drawn.at(0), FitThumbnail(400, 100, width, 10));
  EXPECT_EQ(drawn.at(1), FitThumbnail(100, 400, width, 120));
  EXPECT_EQ(drawn.at(2), FitThumbnail(64, 48, width, 230));

  {
    const PrintedPixels screen(Maker(), strip);
    // Each picture upright in its rectangle, the strip's background around it.
    for (const auto& [index, box] : drawn) {
      SCOPED_TRACE(testing::Message() << "picture " << index);
      const Quadrants& colours = index == 0 ? kPictureA : index == 1 ? kPictureB : kPictureC;
      const int x1 = box.left + box.Width() / 4, x3 = box.left + 3 * box.Width() / 4;
      const int y1 = box.top + box.Height() / 4, y3 = box.top + 3 * box.Height() / 4;
      EXPECT_TRUE(Looks(screen.At(x1, y1), colours.topLeft));
      EXPECT_TRUE(Looks(screen.At(x3, y1), colours.topRight));
      EXPECT_TRUE(Looks(screen.At(x1, y3), colours.bottomLeft));
      EXPECT_TRUE(Looks(screen.At(x3, y3), colours.bottomRight));
    }
    // Beside the tall picture, inside its band: nothing drawn, the strip's background as
    // above the first cell.
    background = screen.At(2, 2);
    EXPECT_TRUE(Looks(screen.At(2, 170), background, 0));
  }

  // A click on the tall picture selects it: its band is coloured behind it.
  ClickThumbnail(1);
  EXPECT_EQ(m_maker->SelectedImage(), 1);
  for (int id : {IDC_IMAGE_DELETE, IDC_IMAGE_UP, IDC_IMAGE_DOWN}) EXPECT_TRUE(Enabled(id)) << id;
  Repaint();
  {
    const PrintedPixels screen(Maker(), strip);
    EXPECT_TRUE(Looks(screen.At(2, 170), RGB(129, 138, 254), 0));
    EXPECT_TRUE(Looks(screen.At(width - 3, 120), RGB(129, 138, 254), 0));
    EXPECT_TRUE(Looks(screen.At(2, 221), background, 0));  // the gap below the band
    EXPECT_TRUE(Looks(screen.At(2, 12), background, 0));   // above the wide one
  }
  // A click between cells clears the selection.
  ClickStrip(2, 115);
  EXPECT_EQ(m_maker->SelectedImage(), -1);
  for (int id : {IDC_IMAGE_DELETE, IDC_IMAGE_UP, IDC_IMAGE_DOWN}) EXPECT_FALSE(Enabled(id)) << id;
}

TEST_F(MovieMakerTest, TheWheelAndTheScrollBarMoveTheStripByWholeCellsWithinItsRange) {
  OpenMaker();
  std::vector<std::wstring> pictures;
  for (int i = 0; i < 6; ++i)
    pictures.push_back(MakePicture(L"p" + std::to_wstring(i) + L".png", 80, 60, kPictureA));
  m_maker->AddImages(pictures);
  // Growing the list moved the view by what it grew: back to the top first.
  ::SetScrollPos(::GetDlgItem(Maker(), IDC_IMAGE_SCROLL), SB_CTL, 0, TRUE);
  const int lastPosition = 660 - StripHeight() + 1;

  const auto wheel = [&](int delta) {
    ::SendMessageW(Maker(), WM_MOUSEWHEEL, MAKEWPARAM(0, delta), 0);
    return Scroll().nPos;
  };
  const auto scroll = [&](int code) {
    ::SendMessageW(Maker(), WM_VSCROLL, MAKEWPARAM(code, 0),
                   reinterpret_cast<LPARAM>(::GetDlgItem(Maker(), IDC_IMAGE_SCROLL)));
    return Scroll().nPos;
  };
  EXPECT_EQ(wheel(-240), 110);  // one cell, not two
  EXPECT_EQ(wheel(-1), 220);
  EXPECT_EQ(wheel(120), 110);
  EXPECT_EQ(wheel(0), 110);
  EXPECT_EQ(scroll(SB_LINEDOWN), 220);
  EXPECT_EQ(scroll(SB_PAGEDOWN), lastPosition);
  EXPECT_EQ(scroll(SB_LINEDOWN), lastPosition);
  EXPECT_EQ(scroll(SB_ENDSCROLL), lastPosition);
  EXPECT_EQ(scroll(SB_LINEUP), lastPosition - 110);
  EXPECT_EQ(scroll(SB_PAGEUP), 0);
  EXPECT_EQ(scroll(SB_LINEUP), 0);

  // 165 pixels down: the second picture is the first in view, its cell 45 pixels above.
  ::SetScrollPos(::GetDlgItem(Maker(), IDC_IMAGE_SCROLL), SB_CTL, 165, TRUE);
  Repaint();
  EXPECT_EQ(m_maker->FirstVisible(), 1);
  const RECT strip = m_maker->GetStripRect();
  EXPECT_EQ(m_maker->ThumbnailRects().at(1), FitThumbnail(80, 60, strip.right - strip.left, -45));
  EXPECT_EQ(m_maker->ThumbnailRects().count(0), 0u);
}

TEST_F(MovieMakerTest, DeleteClearUpAndDownChangeTheListAsTheirButtonsSay) {
  OpenMaker();
  const std::wstring a = MakePicture(L"a.png", 40, 40, kPictureA);
  const std::wstring b = MakePicture(L"b.png", 40, 40, kPictureB);
  const std::wstring c = MakePicture(L"c.png", 40, 40, kPictureC);
  m_maker->AddImages({a, b, c});
  Repaint();
  {
    MessageBoxAnswerer answerer(IDOK);
    Click(Maker(), IDC_IMAGE_DELETE);
    const std::vector<SeenBox> boxes = answerer.Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, L"请选择需要删除的图片，用鼠标单击就可以了");
  }
  EXPECT_EQ(m_maker->ImagePaths().size(), 3u);

  ClickThumbnail(2);
  Click(Maker(), IDC_IMAGE_DOWN);  // already last
  EXPECT_EQ(m_maker->ImagePaths(), (std::vector<std::wstring>{a, b, c}));
  Click(Maker(), IDC_IMAGE_UP);
  EXPECT_EQ(m_maker->ImagePaths(), (std::vector<std::wstring>{a, c, b}));
  EXPECT_EQ(m_maker->SelectedImage(), 1);
  Click(Maker(), IDC_IMAGE_UP);
  Click(Maker(), IDC_IMAGE_UP);  // already first
  EXPECT_EQ(m_maker->ImagePaths(), (std::vector<std::wstring>{c, a, b}));
  Click(Maker(), IDC_IMAGE_DOWN);
  EXPECT_EQ(m_maker->ImagePaths(), (std::vector<std::wstring>{a, c, b}));

  Click(Maker(), IDC_IMAGE_DELETE);
  EXPECT_EQ(m_maker->ImagePaths(), (std::vector<std::wstring>{a, b}));
  EXPECT_EQ(m_maker->SelectedImage(), -1);
  for (int id : {IDC_IMAGE_DELETE, IDC_IMAGE_UP, IDC_IMAGE_DOWN}) EXPECT_FALSE(Enabled(id)) << id;
  EXPECT_TRUE(Enabled(IDC_MOVIE_MAKE));

  Click(Maker(), IDC_IMAGE_CLEAR);
  EXPECT_TRUE(m_maker->ImagePaths().empty());
  EXPECT_FALSE(Enabled(IDC_IMAGE_CLEAR));
  EXPECT_FALSE(Enabled(IDC_MOVIE_MAKE));
  EXPECT_TRUE(FileExists(a));  // the pictures themselves stay
}

TEST_F(MovieMakerTest, ADoubleClickOpensThePictureWithTheShellAndSaysSoWhenItCannot) {
  // Files of a type of the test's own open with a copy into a folder the test watches.
  const testing_support::TempFolder opened(L"opened");
  const std::wstring copy = opened.File(L"copy.png");
  HKEY type = nullptr;
  ASSERT_EQ(::RegCreateKeyExW(HKEY_CLASSES_ROOT, L".plumoratest", 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &type, nullptr),
            ERROR_SUCCESS);
  const std::wstring progId = L"PlumoraTest.Picture";
  ::RegSetValueExW(type, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(progId.c_str()),
                   static_cast<DWORD>((progId.size() + 1) * sizeof(wchar_t)));
  ::RegCloseKey(type);
  HKEY command = nullptr;
  ASSERT_EQ(::RegCreateKeyExW(HKEY_CLASSES_ROOT, L"PlumoraTest.Picture\\shell\\open\\command", 0,
                              nullptr, 0, KEY_ALL_ACCESS, nullptr, &command, nullptr),
            ERROR_SUCCESS);
  const std::wstring line = L"C:\\windows\\system32\\cmd.exe /c copy \"%1\" \"" + copy + L"\"";
  ::RegSetValueExW(command, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(line.c_str()),
                   static_cast<DWORD>((line.size() + 1) * sizeof(wchar_t)));
  ::RegCloseKey(command);
  struct Unregister {
    ~Unregister() {
      ::RegDeleteTreeW(HKEY_CLASSES_ROOT, L".plumoratest");
      ::RegDeleteTreeW(HKEY_CLASSES_ROOT, L"PlumoraTest.Picture");
    }
  } unregister;

  OpenMaker();
  // GDI+ reads a picture by its content, whatever its name.
  const std::wstring picture = MakePicture(L"photo.plumoratest", 60, 60, kPictureA);
  m_maker->AddImages({picture});
  Repaint();
  ClickStrip(2, 200, WM_LBUTTONDBLCLK);  // below the only cell: nothing opens
  ClickThumbnail(0, WM_LBUTTONDBLCLK);
  EXPECT_TRUE(PumpUntil([&] { return FileExists(copy); }, 20000));
  EXPECT_EQ(testing_support::ReadFileBytes(copy), testing_support::ReadFileBytes(picture));

  ASSERT_TRUE(::DeleteFileW(picture.c_str()));
  const testing_support::WarningBoxCapture warnings;
  ClickThumbnail(0, WM_LBUTTONDBLCLK);
  EXPECT_EQ(warnings.Texts(), std::vector<std::wstring>{L"Can\u2019t ShellExecute\n"});
}

// ---- making movies

struct MovieSize {
  int width, height;
  int configuredRecordingSize;  // the settings' movieresolution
};

class MovieMakerSizeTest : public MovieMakerTest, public testing::WithParamInterface<MovieSize> {};

TEST_P(MovieMakerSizeTest, ThreePicturesOfTwoSecondsGiveAABBCCAAAtOneFramePerSecond) {
  const MovieSize size = GetParam();
  WriteConfig(L"[usingsetting]\r\nresourcespath=" + m_root->Path() + L"\r\nmovieresolution=" +
              std::to_wstring(size.configuredRecordingSize) + L"\r\n");
  OpenMaker();
  // Landscape, portrait, larger and smaller than the movie, in three formats.
  m_maker->AddImages({MakePicture(L"a.jpg", 1280, 720, kPictureA, L"image/jpeg"),
                      MakePicture(L"b.png", 300, 500, kPictureB),
                      QuadrantsGif()});  // a palette picture, 64 x 48
  const std::wstring path = m_root->File(L"three.avi");
  ASSERT_TRUE(m_maker->MakeMovie(path, size.width, size.height, 2));
  EXPECT_TRUE(m_maker->LeftOutOfLastMovie().empty());

  const MovieOnDisk movie = ReadMovie(path);
  ASSERT_TRUE(movie.opened);
  EXPECT_EQ(movie.info.dwRate / movie.info.dwScale, 1u);
  EXPECT_EQ(movie.format.biWidth, size.width);
  EXPECT_EQ(movie.format.biHeight, size.height);
  EXPECT_EQ(movie.format.biBitCount, 24);
  const Quadrants* expected[] = {&kPictureA, &kPictureA, &kPictureB, &kPictureB,
                                 &kPictureC, &kPictureC, &kPictureA, &kPictureA};
  ASSERT_EQ(movie.samples.size(), 8u);
  for (size_t frame = 0; frame < 8; ++frame) {
    SCOPED_TRACE(testing::Message() << "frame " << frame);
    ASSERT_EQ(movie.samples[frame].size(), static_cast<size_t>(size.width) * size.height * 3);
    EXPECT_TRUE(
        Shows(FramePicture(movie.samples[frame], size.width, size.height), *expected[frame]));
  }
}

INSTANTIATE_TEST_SUITE_P(Sizes, MovieMakerSizeTest,
                         testing::Values(MovieSize{320, 240, 1}, MovieSize{640, 480, 1},
                                         // Recording at 320 x 240 holds nothing back here.
                                         MovieSize{640, 480, 0}));

TEST_F(MovieMakerTest, ASmallPictureIsStretchedOverTheWholeFrame) {
  OpenMaker();
  m_maker->AddImages({MakePicture(L"small.bmp", 100, 100, kPictureB, L"image/bmp")});
  const std::wstring path = m_root->File(L"small.avi");
  ASSERT_TRUE(m_maker->MakeMovie(path, 320, 240, 3));
  const MovieOnDisk movie = ReadMovie(path);
  ASSERT_EQ(movie.samples.size(), 6u);
  const camera::studio_testing::Picture frame = FramePicture(movie.samples[0], 320, 240);
  EXPECT_TRUE(Shows(frame, kPictureB));
  // No bars: the corners are the picture's own.
  EXPECT_TRUE(Looks(frame.At(1, 1), kPictureB.topLeft));
  EXPECT_TRUE(Looks(frame.At(318, 1), kPictureB.topRight));
  EXPECT_TRUE(Looks(frame.At(1, 238), kPictureB.bottomLeft));
  EXPECT_TRUE(Looks(frame.At(318, 238), kPictureB.bottomRight));
}

// A picture with transparent parts: they come out white, whether the picture is stretched
// or already has the movie's size, and their hidden colour shows nowhere.
TEST(MovieFrames, TransparentPartsComeOutWhiteStretchedOrNot) {
  const testing_support::TempFolder folder(L"transparent");
  const std::wstring path = folder.File(L"half.png");
  const camera::CGdiplusSession gdiplus;
  {
    Gdiplus::Bitmap bitmap(80, 60, PixelFormat32bppARGB);
    for (int y = 0; y < 60; ++y)
      for (int x = 0; x < 80; ++x)
        bitmap.SetPixel(x, y,
                        x < 40 ? Gdiplus::Color(255, 255, 0, 0)  // opaque red
                               : Gdiplus::Color(0, 0, 255, 0));  // transparent green
    CLSID encoder;
    ASSERT_TRUE(EncoderFor(L"image/png", encoder));
    ASSERT_EQ(bitmap.Save(path.c_str(), &encoder, nullptr), Gdiplus::Ok);
  }
  for (const auto& size : {std::make_pair(80, 60), std::make_pair(320, 240)}) {
    const int width = size.first, height = size.second;
    SCOPED_TRACE(testing::Message() << width << " x " << height);
    FrameRows rows;
    ASSERT_TRUE(LoadImageRows(path, width, height, rows));
    ASSERT_EQ(rows.pixels.size(), static_cast<size_t>(width) * height * 3);
    const camera::studio_testing::Picture frame = FramePicture(rows.pixels, width, height);
    for (int y = 0; y < height; ++y) {
      EXPECT_TRUE(Looks(frame.At(width / 8, y), RGB(255, 0, 0), 0));
      EXPECT_TRUE(Looks(frame.At(width - 1 - width / 8, y), RGB(255, 255, 255), 0));
      for (int x = 0; x < width; ++x) {
        const COLORREF pixel = frame.At(x, y);
        ASSERT_LE(GetGValue(pixel), GetBValue(pixel) + 2) << "green shows at " << x << "," << y;
      }
    }
  }
}

// More pictures than are read ahead at once, unreadable ones among them: the frames keep
// the list's order and the unreadable pictures are named in it.
TEST(MovieFrames, ManyPicturesKeepTheirOrderAndTheUnreadableAreNamed) {
  const testing_support::TempFolder folder(L"many");
  std::vector<std::wstring> pictures;
  std::vector<COLORREF> colours;
  std::vector<std::wstring> unreadable;
  for (int i = 0; i < 14; ++i) {
    const std::wstring path = folder.File(L"p" + std::to_wstring(100 + i) + L".png");
    if (i == 3 || i == 10) {
      testing_support::WriteFileBytes(path, "not a picture");
      unreadable.push_back(path);
    } else {
      const COLORREF colour = RGB(i * 18, 255 - i * 18, (i * 70) % 256);
      WritePicture(path, 40, 30, Quadrants{colour, colour, colour, colour});
      colours.push_back(colour);
    }
    pictures.push_back(path);
  }
  const std::wstring movie = folder.File(L"many.avi");
  MovieOutcome outcome;
  {
    const camera::CGdiplusSession gdiplus;
    outcome = WriteMovie(movie, pictures, 64, 48, 1);
  }
  EXPECT_TRUE(outcome.written) << outcome.error;
  EXPECT_EQ(outcome.leftOut, unreadable);
  const MovieOnDisk written = ReadMovie(movie);
  ASSERT_TRUE(written.opened);
  ASSERT_EQ(written.samples.size(), colours.size() + 1);  // the first once more at the end
  colours.push_back(colours.front());
  for (size_t frame = 0; frame < colours.size(); ++frame)
    EXPECT_TRUE(Looks(FramePicture(written.samples[frame], 64, 48).At(32, 24), colours[frame], 2))
        << "frame " << frame;
}

TEST_F(MovieMakerTest, AFileThatIsNoPictureShowsACannotReadCellAndIsLeftOutWithANotice) {
  OpenMaker();
  const std::wstring text = PicturePath(L"notes.jpg");
  testing_support::WriteFileBytes(text, "not a picture at all");
  const std::wstring targa = PicturePath(L"old.tga");
  testing_support::WriteFileBytes(targa, std::string(600, '\x01'));
  m_maker->AddImages({text, MakePicture(L"b.png", 64, 64, kPictureB), targa});
  Repaint();
  // Every entry has its cell, so that the unreadable ones can be selected and taken out.
  const RECT strip = m_maker->GetStripRect();
  ASSERT_EQ(m_maker->ThumbnailRects().size(), 3u);
  EXPECT_EQ(m_maker->ThumbnailRects().at(0), SelectionBand(strip.right - strip.left, 10));
  ClickThumbnail(2);
  EXPECT_EQ(m_maker->SelectedImage(), 2);

  std::vector<SeenBox> boxes;
  std::wstring path;
  {
    MessageBoxAnswerer answerer(IDOK);
    path = MakeThroughTheButton(L"mixed");
    boxes = answerer.Boxes();
  }
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, L"以下图片无法读取，没有放入视频：\nnotes.jpg\nold.tga");
  const MovieOnDisk movie = ReadMovie(path);
  ASSERT_EQ(movie.samples.size(), 2u);  // b, then b again to close
  EXPECT_TRUE(Shows(FramePicture(movie.samples[1], 320, 240), kPictureB));
  EXPECT_EQ(ComboItems(), std::vector<std::wstring>{L"mixed.avi"});

  // With nothing readable, nothing is made, and the user is told.
  Click(Maker(), IDC_IMAGE_CLEAR);
  m_maker->AddImages({text});
  const testing_support::WarningBoxCapture warnings;
  {
    MessageBoxAnswerer answerer(IDOK);
    MakeThroughTheButton(L"none");
  }
  EXPECT_FALSE(FileExists(m_root->File(L"none.avi")));
  ASSERT_EQ(warnings.Texts().size(), 1u);
  EXPECT_EQ(warnings.Texts()[0].rfind(L"制作视频失败：", 0), 0u) << warnings.Texts()[0];
  EXPECT_EQ(ComboItems(), std::vector<std::wstring>{L"mixed.avi"});
}

TEST_F(MovieMakerTest, MadeMoviesAreListedInOrderTheNewOneChosenAndPreviewed) {
  OpenMaker();
  m_maker->AddImages({MakePicture(L"a.png", 64, 48, kPictureA)});
  const std::wstring b = MakeThroughTheButton(L"b");
  ASSERT_TRUE(FileExists(b));
  EXPECT_EQ(ComboItems(), std::vector<std::wstring>{L"b.avi"});
  EXPECT_TRUE(Enabled(IDC_MOVIE_SEND_ONE));
  EXPECT_TRUE(Enabled(IDC_MOVIE_DELETE));
  EXPECT_FALSE(Enabled(IDC_MOVIE_SEND_ALL));
  EXPECT_TRUE(m_maker->PreviewPlayer().HasGraph());

  const std::wstring a = MakeThroughTheButton(L"a");
  EXPECT_EQ(ComboItems(), (std::vector<std::wstring>{L"a.avi", L"b.avi"}));
  EXPECT_EQ(m_maker->SelectedMoviePath(), a);
  EXPECT_TRUE(Enabled(IDC_MOVIE_SEND_ALL));
  EXPECT_EQ(testing_support::SourceFileOf(m_maker->PreviewPlayer().Graph()), a);

  ChooseMovie(1);
  EXPECT_EQ(m_maker->SelectedMoviePath(), b);
  EXPECT_EQ(testing_support::SourceFileOf(m_maker->PreviewPlayer().Graph()), b);

  // The same name again: the file is made anew after the question, the list keeps one item.
  {
    MessageBoxAnswerer answerer(IDOK);
    MakeThroughTheButton(L"b");
    ASSERT_EQ(answerer.Boxes().size(), 1u);
    EXPECT_EQ(answerer.Boxes()[0].caption, L"询问");
  }
  EXPECT_EQ(ComboItems(), (std::vector<std::wstring>{L"a.avi", L"b.avi"}));
}

TEST_F(MovieMakerTest, ThePreviewStartsAgainAtItsEnd) {
  OpenMaker();
  m_maker->AddImages({MakePicture(L"a.png", 64, 48, kPictureA)});
  MakeThroughTheButton(L"loop");  // two frames: two seconds
  feed::CMyVideoPlayer& player = const_cast<feed::CMyVideoPlayer&>(m_maker->PreviewPlayer());
  ASSERT_TRUE(player.HasGraph());
  // The positions seen, in 100 ns units, for the failure message.
  std::string seen;
  LONGLONG position = 0, last = -1;
  const auto reaches = [&](const std::function<bool(LONGLONG)>& wanted) {
    return PumpUntil([&] {
      if (!player.GetCurrentPosition(position)) position = -1;
      if (position != last && seen.size() < 2000) seen += std::to_string(position) + " ";
      last = position;
      return position >= 0 && wanted(position);
    });
  };
  // Into its second frame; the end comes once that frame is shown, a little after 1 s.
  ASSERT_TRUE(reaches([](LONGLONG at) { return at > 9'000'000; })) << seen;
  // Past the end it starts again from the beginning, still playing.
  EXPECT_TRUE(reaches([](LONGLONG at) { return at < 5'000'000; })) << seen;
  EXPECT_TRUE(player.HasGraph());
}

TEST_F(MovieMakerTest, SentMoviesJoinTheMainWindowsPlaylistAndClosingAsksOnlyForUnsentOnes) {
  OpenMainWindow();
  OpenMaker();
  m_maker->AddImages({MakePicture(L"a.png", 64, 48, kPictureA)});
  const std::wstring first = MakeThroughTheButton(L"first");
  const std::wstring second = MakeThroughTheButton(L"second");

  ChooseMovie(0);
  EXPECT_TRUE(Enabled(IDC_MOVIE_SEND_ONE));
  Click(Maker(), IDC_MOVIE_SEND_ONE);
  EXPECT_FALSE(Enabled(IDC_MOVIE_SEND_ONE));
  EXPECT_EQ(SavedPlaylist(), std::vector<std::wstring>{first});
  EXPECT_EQ(m_window->EntryPathAt(0), first);

  // Send all skips the one sent already.
  Click(Maker(), IDC_MOVIE_SEND_ALL);
  EXPECT_EQ(SavedPlaylist(), (std::vector<std::wstring>{first, second}));
  ChooseMovie(1);
  EXPECT_FALSE(Enabled(IDC_MOVIE_SEND_ONE));

  MessageBoxAnswerer answerer(IDOK);
  ::SendMessageW(Maker(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(answerer.Boxes().empty());
}

TEST_F(MovieMakerTest, ClosingWithAnUnsentMovieOffersToSendIt) {
  OpenMainWindow();
  OpenMaker();
  m_maker->AddImages({MakePicture(L"a.png", 64, 48, kPictureA)});
  const std::wstring movie = MakeThroughTheButton(L"unsent");
  MessageBoxAnswerer answerer(IDOK);
  ::SendMessageW(Maker(), WM_CLOSE, 0, 0);
  const std::vector<SeenBox> boxes = answerer.Boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, L"询问");
  EXPECT_EQ(boxes[0].text, L"还有未Vexa的视频，是否需要Vexa？");
  EXPECT_EQ(SavedPlaylist(), std::vector<std::wstring>{movie});
  // The main window plays it into the camera, as nothing was playing.
  EXPECT_TRUE(testing_support::PumpDialogUntil(
      m_window->GetSafeHwnd(), [&] { return m_window->CurrentIndex() == 0; }, 10000));
}

TEST_F(MovieMakerTest, DeleteThisVideoAsksFirstThenRemovesTheFileAndItsItem) {
  OpenMaker();
  m_maker->AddImages({MakePicture(L"a.png", 64, 48, kPictureA)});
  const std::wstring movie = MakeThroughTheButton(L"doomed");
  {
    MessageBoxAnswerer cancel(IDCANCEL);
    Click(Maker(), IDC_MOVIE_DELETE);
    ASSERT_EQ(cancel.Boxes().size(), 1u);
    EXPECT_EQ(cancel.Boxes()[0].text, L"您是否删除该视频？");
  }
  EXPECT_TRUE(FileExists(movie));
  EXPECT_TRUE(m_maker->PreviewPlayer().HasGraph());
  {
    MessageBoxAnswerer answerer(IDOK);
    Click(Maker(), IDC_MOVIE_DELETE);
  }
  EXPECT_FALSE(FileExists(movie));
  EXPECT_TRUE(ComboItems().empty());
  EXPECT_EQ(m_maker->SelectedMoviePath(), L"");
  for (int id : {IDC_MOVIE_SEND_ALL, IDC_MOVIE_SEND_ONE, IDC_MOVIE_DELETE})
    EXPECT_FALSE(Enabled(id)) << id;
}

// ---- the movie settings dialog

class MovieSettingsTest : public MovieMakerTest {
 protected:
  // The dialog on this thread, not modal, its clock at 12 May 2012 08:30:05.
  HWND OpenSettings() {
    app::CSettingStore::Instance();
    m_settings = std::make_unique<CMakeMovieSettingDlg>();
    m_settings->SetClock([] {
      SYSTEMTIME time{};
      time.wYear = 2012;
      time.wMonth = 5;
      time.wDay = 12;
      time.wHour = 8;
      time.wMinute = 30;
      time.wSecond = 5;
      return time;
    });
    EXPECT_TRUE(m_settings->Create(nullptr));
    return m_settings->GetSafeHwnd();
  }
  void TearDown() override {
    if (m_settings && ::IsWindow(m_settings->GetSafeHwnd())) m_settings->DestroyWindow();
    m_settings.reset();
    MovieMakerTest::TearDown();
  }
  bool Checked(int id) const {
    return ::SendDlgItemMessageW(m_settings->GetSafeHwnd(), id, BM_GETCHECK, 0, 0) == BST_CHECKED;
  }
  // OK pressed; the message boxes it showed.
  std::vector<SeenBox> PressOk() {
    MessageBoxAnswerer answerer(IDOK);
    ::SendMessageW(m_settings->GetSafeHwnd(), WM_COMMAND,
                   MAKEWPARAM(IDC_MOVIE_SETTINGS_OK, BN_CLICKED), 0);
    return answerer.Boxes();
  }
  std::unique_ptr<CMakeMovieSettingDlg> m_settings;
};

TEST_F(MovieSettingsTest, ProposesADatedNameAndTheRememberedFolderSizeAndSeconds) {
  const HWND dialog = OpenSettings();
  wchar_t caption[64] = L"";
  ::GetWindowTextW(dialog, caption, ARRAYSIZE(caption));
  EXPECT_STREQ(caption, L"视频参数设置");
  EXPECT_EQ(ItemText(dialog, IDC_MOVIE_NAME), L"视频_2012-05-12 08-30-05.avi");
  EXPECT_EQ(ItemText(dialog, IDC_MOVIE_FOLDER), RecordingFolder());
  EXPECT_EQ(ItemText(dialog, IDC_MOVIE_SECONDS), L"1");
  EXPECT_FALSE(Checked(IDC_MOVIE_SIZE_SMALL));
  EXPECT_TRUE(Checked(IDC_MOVIE_SIZE_LARGE));
}

TEST_F(MovieSettingsTest, OkSavesOnlyWhatChangedAndNeverTheName) {
  ASSERT_TRUE(camera::studio_testing::FolderExists(m_root->Path()));
  WriteConfig(L"[usingsetting]\r\nresourcespath=" + m_root->Path() + L"\r\nmakingmoviepath=" +
              m_root->Path() + L"\r\nmakingtimeoneframe=2\r\nmakingmovieresolution=0\r\n");
  const std::string before = testing_support::ReadFileBytes(m_config);
  HWND dialog = OpenSettings();
  EXPECT_TRUE(Checked(IDC_MOVIE_SIZE_SMALL));
  EXPECT_EQ(ItemText(dialog, IDC_MOVIE_SECONDS), L"2");
  ::SetDlgItemTextW(dialog, IDC_MOVIE_NAME, L"holiday");
  EXPECT_TRUE(PressOk().empty());
  EXPECT_EQ(m_settings->m_strName, L"holiday");
  EXPECT_EQ(m_settings->m_resolution, 0);
  EXPECT_EQ(m_settings->m_secondsPerImage, 2);
  EXPECT_EQ(testing_support::ReadFileBytes(m_config), before) << "nothing changed, nothing written";

  if (::IsWindow(m_settings->GetSafeHwnd())) m_settings->DestroyWindow();
  dialog = OpenSettings();
  ::SetDlgItemTextW(dialog, IDC_MOVIE_SECONDS, L" 5 ");
  ::SendDlgItemMessageW(dialog, IDC_MOVIE_SIZE_SMALL, BM_SETCHECK, BST_UNCHECKED, 0);
  ::SendDlgItemMessageW(dialog, IDC_MOVIE_SIZE_LARGE, BM_SETCHECK, BST_CHECKED, 0);
  EXPECT_TRUE(PressOk().empty());
  app::CSettingStore::DestroyInstance();
  const app::SettingRecord saved = app::CSettingStore::Instance()->GetCurrent();
  EXPECT_EQ(saved.makingTimeOneFrame, 5);
  EXPECT_EQ(saved.makingMovieResolution, 1);
  EXPECT_EQ(saved.makingMoviePath, m_root->Path());
  EXPECT_EQ(testing_support::ReadFileBytes(m_config).find("holiday"), std::string::npos);
}

TEST_F(MovieSettingsTest, AMissingFolderOrSecondsThatAreNoWholePositiveNumberKeepItOpen) {
  const std::string before = testing_support::ReadFileBytes(m_config);
  const HWND dialog = OpenSettings();
  const struct {
    const wchar_t* folder;
    const wchar_t* seconds;
    const wchar_t* message;
  } cases[] = {
      {L"C:\\no such folder here", L"1", L"视频储存的文件夹不存在，请修改"},
      {nullptr, L"abc", L"请输入一个整数。"},
      {nullptr, L"1.5", L"请输入一个整数。"},
      {nullptr, L"0", L"每张图片的运行时间请输入1到3600之间的整数秒。"},
      {nullptr, L"-3", L"每张图片的运行时间请输入1到3600之间的整数秒。"},
      {nullptr, L"3601", L"每张图片的运行时间请输入1到3600之间的整数秒。"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.message);
    ::SetDlgItemTextW(dialog, IDC_MOVIE_FOLDER,
                      c.folder != nullptr ? c.folder : m_root->Path().c_str());
    ::SetDlgItemTextW(dialog, IDC_MOVIE_SECONDS, c.seconds);
    const std::vector<SeenBox> boxes = PressOk();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, c.message);
    EXPECT_TRUE(::IsWindow(dialog));
    EXPECT_EQ(ItemText(dialog, IDC_MOVIE_SECONDS), c.seconds);  // what the user typed stays
  }
  EXPECT_EQ(testing_support::ReadFileBytes(m_config), before);
}

}  // namespace
}  // namespace moviemaker
