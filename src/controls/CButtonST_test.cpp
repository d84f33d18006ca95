// The image button drawn and clicked for real: its faces painted into a bitmap by its own
// drawing code, its clicks, default look and tooltip through the real dialog manager.
#include "controls/CXPStyleButtonST.h"

#include <gtest/gtest.h>

#include <gdiplus.h>
#include <vssym32.h>

#include <functional>
#include <vector>

#include "app/ModulePaths.h"
#include "controls/ButtonGeometry.h"
#include "framework/DataExchange.h"
#include "framework/MessageMap.h"
#include "testing/DialogDriver.h"

namespace controls {
namespace {

constexpr UINT kDialog = 9001;
constexpr int kFirst = 101, kSecond = 102, kThird = 103;

class ButtonDialog : public framework::CDialogEx {
 public:
  ButtonDialog() : CDialogEx(kDialog) {}
  CXPStyleButtonST first, second, third;
  std::vector<int> clicks;

 protected:
  void DoDataExchange(framework::CDataExchange& exchange) override {
    framework::DDX_Control(exchange, kFirst, first);
    framework::DDX_Control(exchange, kSecond, second);
    framework::DDX_Control(exchange, kThird, third);
  }
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
      clicks.push_back(LOWORD(wParam));
      result = 0;
      return true;
    }
    return CDialogEx::OnMessage(message, wParam, lParam, result);
  }
};

// A 32-bit top-down bitmap that a button face is drawn into.
class Canvas {
 public:
  Canvas(int width, int height) : m_width(width), m_height(height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    m_dc = ::CreateCompatibleDC(nullptr);
    m_bitmap = ::CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&m_pixels),
                                  nullptr, 0);
    m_old = ::SelectObject(m_dc, m_bitmap);
  }
  ~Canvas() {
    ::SelectObject(m_dc, m_old);
    ::DeleteObject(m_bitmap);
    ::DeleteDC(m_dc);
  }
  HDC Dc() const { return m_dc; }
  COLORREF At(int x, int y) const {
    const DWORD pixel = m_pixels[y * m_width + x];
    return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
  }
  // The smallest rectangle holding every pixel for which test answers true.
  RECT Bounds(const std::function<bool(COLORREF)>& test) const {
    RECT box{m_width, m_height, -1, -1};
    for (int y = 0; y < m_height; ++y)
      for (int x = 0; x < m_width; ++x)
        if (test(At(x, y))) {
          box.left = std::min<LONG>(box.left, x);
          box.top = std::min<LONG>(box.top, y);
          box.right = std::max<LONG>(box.right, x + 1);
          box.bottom = std::max<LONG>(box.bottom, y + 1);
        }
    return box;
  }
  int Count(COLORREF colour) const {
    int count = 0;
    for (int y = 0; y < m_height; ++y)
      for (int x = 0; x < m_width; ++x) count += At(x, y) == colour;
    return count;
  }

 private:
  int m_width, m_height;
  HDC m_dc;
  HBITMAP m_bitmap;
  HGDIOBJ m_old;
  DWORD* m_pixels = nullptr;
};

bool IsRed(COLORREF c) {
  return GetRValue(c) > 200 && GetGValue(c) < 60 && GetBValue(c) < 60;
}

// A picture of one colour in the "Image" folder, written for the test.
class TestPicture {
 public:
  TestPicture(const std::wstring& name, int width, int height)
      : m_path(app::GetModuleFolder() + L"Image\\" + name) {
    const Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartup(&token, &input, nullptr);
    {
      Gdiplus::Bitmap bitmap(width, height, PixelFormat32bppARGB);
      Gdiplus::Graphics graphics(&bitmap);
      graphics.Clear(Gdiplus::Color(255, 255, 0, 0));
      CLSID png{};
      ::CLSIDFromString(L"{557CF406-1A04-11D3-9A73-0000F81EF32E}", &png);
      m_saved = bitmap.Save(m_path.c_str(), &png, nullptr) == Gdiplus::Ok;
    }
    Gdiplus::GdiplusShutdown(token);
  }
  ~TestPicture() { ::DeleteFileW(m_path.c_str()); }
  bool Saved() const { return m_saved; }

 private:
  std::wstring m_path;
  bool m_saved = false;
};

class ButtonTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_dialog.Create(nullptr));
    m_dialog.ShowWindow(SW_SHOW);
    Pump(100);
  }
  void Pump(unsigned ms) { testing_support::PumpDialogFor(m_dialog.GetSafeHwnd(), ms); }

  // Draws button as the owner-draw request with these state flags asks, in a face of
  // width x height.
  void Draw(CButtonST& button, Canvas& canvas, int width, int height, UINT state) {
    DRAWITEMSTRUCT item{};
    item.CtlType = ODT_BUTTON;
    item.CtlID = static_cast<UINT>(button.GetDlgCtrlID());
    item.itemAction = ODA_DRAWENTIRE;
    item.itemState = state;
    item.hwndItem = button.GetSafeHwnd();
    item.hDC = canvas.Dc();
    item.rcItem = {0, 0, width, height};
    button.DrawItem(item);
  }

  ButtonDialog m_dialog;
  CThemeHelperST m_theme;
};

TEST_F(ButtonTest, AttachingMakesTheButtonOwnerDrawnAndRemembersTheDefault) {
  EXPECT_EQ(m_dialog.first.GetStyle() & 0x1F, static_cast<DWORD>(BS_OWNERDRAW));
  EXPECT_EQ(m_dialog.second.GetStyle() & 0x1F, static_cast<DWORD>(BS_OWNERDRAW));
  EXPECT_TRUE(m_dialog.first.IsDefault());
  EXPECT_FALSE(m_dialog.second.IsDefault());
  EXPECT_EQ(m_dialog.first.SendMessage(WM_GETDLGCODE) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON),
            static_cast<LRESULT>(DLGC_DEFPUSHBUTTON));
  EXPECT_EQ(
      m_dialog.second.SendMessage(WM_GETDLGCODE) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON),
      static_cast<LRESULT>(DLGC_UNDEFPUSHBUTTON));
}

TEST_F(ButtonTest, TabMovesTheDefaultLookWithTheFocus) {
  m_dialog.first.SetFocus();
  Pump(50);
  HWND dialog = m_dialog.GetSafeHwnd();
  ::PostMessageW(m_dialog.first.GetSafeHwnd(), WM_KEYDOWN, VK_TAB, 0);
  ::PostMessageW(m_dialog.first.GetSafeHwnd(), WM_KEYUP, VK_TAB, 0);
  Pump(100);
  ASSERT_EQ(::GetFocus(), m_dialog.second.GetSafeHwnd());
  EXPECT_TRUE(m_dialog.second.IsDefault());
  EXPECT_FALSE(m_dialog.first.IsDefault());
  EXPECT_EQ(m_dialog.second.GetStyle() & 0x1F, static_cast<DWORD>(BS_OWNERDRAW));
  // Drawn with the default look: a black frame round the face.
  Canvas canvas(60, 40);
  Draw(m_dialog.second, canvas, 60, 40, 0);
  EXPECT_EQ(canvas.At(0, 0), RGB(0, 0, 0));
  EXPECT_EQ(canvas.At(59, 39), RGB(0, 0, 0));
  Canvas plain(60, 40);
  Draw(m_dialog.first, plain, 60, 40, 0);
  EXPECT_NE(plain.At(0, 20), RGB(0, 0, 0));
  (void)dialog;
}

TEST_F(ButtonTest, ADoubleClickCountsAsTwoClicksAndAClickTakesTheFocus) {
  HWND button = m_dialog.second.GetSafeHwnd();
  const LPARAM at = MAKELPARAM(10, 10);
  for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP})
    ::PostMessageW(button, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, at);
  Pump(200);
  EXPECT_EQ(m_dialog.clicks, (std::vector<int>{kSecond, kSecond}));
  EXPECT_EQ(::GetFocus(), button);
}

TEST_F(ButtonTest, APictureWithoutCaptionFillsTheFaceInsideAMarginKeepingItsShape) {
  const TestPicture picture(L"button-test-red.png", 32, 32);
  ASSERT_TRUE(picture.Saved());
  CButtonST& button = m_dialog.third;
  button.SetImageFile(L"button-test-red.png");
  button.SetCaptionBelowImage(false);
  Canvas canvas(62, 32);  // 60 x 30 inside the margin
  Draw(button, canvas, 62, 32, 0);
  const RECT red = canvas.Bounds(IsRed);
  EXPECT_NEAR(red.left, 16, 1);
  EXPECT_NEAR(red.right, 46, 1);
  EXPECT_NEAR(red.top, 1, 1);
  EXPECT_NEAR(red.bottom, 31, 1);
  EXPECT_TRUE(IsRed(canvas.At(31, 16)));
  EXPECT_FALSE(IsRed(canvas.At(8, 16)));
  // No caption is drawn: nothing in the text colour outside the border.
  EXPECT_EQ(canvas.Bounds([](COLORREF c) { return c == ::GetSysColor(COLOR_BTNTEXT); }).right, -1);
}

TEST_F(ButtonTest, WithTheCaptionBelowThePictureTakesTheUpperPartAndTheTextTheLower) {
  const TestPicture picture(L"button-test-red.png", 32, 32);
  ASSERT_TRUE(picture.Saved());
  CButtonST& button = m_dialog.second;  // "添加"
  button.SetImageFile(L"button-test-red.png");
  Canvas canvas(90, 70);
  Draw(button, canvas, 90, 70, 0);
  const RECT red = canvas.Bounds(IsRed);
  // The picture area is the upper 5/7 (50 px): 48 x 48 centred in 88 x 48.
  EXPECT_NEAR(red.top, 1, 1);
  EXPECT_NEAR(red.bottom, 49, 1);
  EXPECT_NEAR(red.left, 21, 1);
  EXPECT_NEAR(red.right, 69, 1);
  // The caption's ink, smoothed edges included, inside the face's border.
  RECT text{90, 70, -1, -1};
  for (int y = 50; y < 67; ++y)
    for (int x = 3; x < 87; ++x) {
      const COLORREF c = canvas.At(x, y);
      if (IsRed(c) || GetRValue(c) + GetGValue(c) + GetBValue(c) > 3 * 160) continue;
      text = {std::min<LONG>(text.left, x), std::min<LONG>(text.top, y),
              std::max<LONG>(text.right, x + 1), std::max<LONG>(text.bottom, y + 1)};
    }
  ASSERT_GT(text.right, 0) << "no caption drawn";
  // Centred across, give or take the glyphs' own side bearings.
  EXPECT_NEAR((text.left + text.right) / 2, 45, 2) << text.left << ".." << text.right;
}

TEST_F(ButtonTest, PressingBrightensTheFaceAndMovesTheCaptionButNotThePicture) {
  const TestPicture picture(L"button-test-red.png", 32, 32);
  ASSERT_TRUE(picture.Saved());
  CButtonST& button = m_dialog.second;
  button.SetImageFile(L"button-test-red.png");
  button.BrightenActiveColour();
  const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
  const Rgb brighter =
      controls::BrightenActiveColour({GetRValue(face), GetGValue(face), GetBValue(face)});
  EXPECT_EQ(button.BackgroundColour(CButtonST::kPressed),
            RGB(brighter.red, brighter.green, brighter.blue));
  EXPECT_EQ(button.BackgroundColour(CButtonST::kNormal), face);

  Canvas up(90, 70), down(90, 70);
  Draw(button, up, 90, 70, 0);
  Draw(button, down, 90, 70, ODS_SELECTED);
  EXPECT_EQ(down.At(5, 60), RGB(brighter.red, brighter.green, brighter.blue));
  EXPECT_EQ(up.At(5, 60), face);
  // The pressed face is framed in the shadow colour, not raised.
  EXPECT_EQ(down.At(0, 30), ::GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(up.At(0, 30), ::GetSysColor(COLOR_BTNHIGHLIGHT));

  const auto isText = [](COLORREF c) { return c == ::GetSysColor(COLOR_BTNTEXT); };
  const RECT textUp = up.Bounds(isText), textDown = down.Bounds(isText);
  EXPECT_EQ(textDown.left - textUp.left, 1);
  EXPECT_EQ(textDown.top - textUp.top, 1);
  const RECT redUp = up.Bounds(IsRed), redDown = down.Bounds(IsRed);
  EXPECT_EQ(redUp.left, redDown.left);
  EXPECT_EQ(redUp.top, redDown.top);

  // A system colour change forgets the brightening.
  button.SendMessage(WM_SYSCOLORCHANGE);
  EXPECT_EQ(button.BackgroundColour(CButtonST::kPressed), face);
}

TEST_F(ButtonTest, ADisabledCaptionIsEmbossedAndThePictureStaysTheSame) {
  const TestPicture picture(L"button-test-red.png", 32, 32);
  ASSERT_TRUE(picture.Saved());
  CButtonST& button = m_dialog.second;
  button.SetImageFile(L"button-test-red.png");
  Canvas enabled(90, 70), disabled(90, 70);
  Draw(button, enabled, 90, 70, 0);
  Draw(button, disabled, 90, 70, ODS_DISABLED);
  const RECT shadow =
      disabled.Bounds([](COLORREF c) { return c == ::GetSysColor(COLOR_BTNSHADOW); });
  const RECT highlight =
      disabled.Bounds([](COLORREF c) { return c == ::GetSysColor(COLOR_BTNHIGHLIGHT); });
  const RECT text = enabled.Bounds([](COLORREF c) { return c == ::GetSysColor(COLOR_BTNTEXT); });
  // The shadow text lies where the normal text lies; the highlight one pixel lower right
  // (the face's raised edge is in the same colours, so compare inside the face only).
  EXPECT_GT(shadow.right, 0);
  EXPECT_GT(highlight.right, 0);
  EXPECT_EQ(disabled.Count(::GetSysColor(COLOR_BTNTEXT)), 0);
  EXPECT_TRUE(IsRed(disabled.At(45, 25)));
  EXPECT_EQ(enabled.Bounds(IsRed).left, disabled.Bounds(IsRed).left);
  EXPECT_GE(text.top, 5 * 70 / 9 + 1);
}

TEST_F(ButtonTest, AMissingPictureLeavesTheFacePlain) {
  CButtonST& button = m_dialog.third;
  button.SetImageFile(L"no-such-picture.png");
  button.SetCaptionBelowImage(false);
  Canvas canvas(40, 30);
  Draw(button, canvas, 40, 30, 0);
  EXPECT_EQ(canvas.At(20, 15), ::GetSysColor(COLOR_BTNFACE));
}

TEST_F(ButtonTest, TheTooltipCarriesTheHoverTextAndANullTextChangesNothing) {
  CButtonST& button = m_dialog.second;
  button.SetHoverTip(L"添加");
  EXPECT_EQ(button.GetHoverTip(), L"添加");
  ASSERT_NE(button.GetToolTipWindow(), nullptr);
  EXPECT_EQ(::SendMessageW(button.GetToolTipWindow(), TTM_GETMAXTIPWIDTH, 0, 0), 400);
  EXPECT_EQ(::SendMessageW(button.GetToolTipWindow(), TTM_GETTOOLCOUNT, 0, 0), 1);
  button.SetHoverTip(L"播放");
  EXPECT_EQ(button.GetHoverTip(), L"播放");
  EXPECT_EQ(::SendMessageW(button.GetToolTipWindow(), TTM_GETTOOLCOUNT, 0, 0), 1);
  button.SetHoverTip(nullptr);
  EXPECT_EQ(button.GetHoverTip(), L"播放");
}

TEST_F(ButtonTest, TheStyledButtonDrawsTheThemesPushButtonOrTheClassicFace) {
  CXPStyleButtonST& button = m_dialog.third;
  button.AttachThemeHelper(&m_theme);
  button.SetCaptionBelowImage(false);
  HWND window = button.GetSafeHwnd();
  HTHEME theme = m_theme.IsAppThemed() ? m_theme.OpenThemeData(window, L"BUTTON") : nullptr;
  struct Case {
    UINT drawState;
    int themeState;
  };
  for (const Case& c : {Case{0, PBS_NORMAL}, Case{ODS_SELECTED, PBS_PRESSED},
                        Case{ODS_DISABLED | ODS_SELECTED, PBS_DISABLED}}) {
    Canvas canvas(40, 30);
    Draw(button, canvas, 40, 30, c.drawState);
    if (theme != nullptr) {
      // The theme's own push button in the state the flags call for.
      Canvas expected(40, 30);
      const RECT face{0, 0, 40, 30};
      ASSERT_HRESULT_SUCCEEDED(m_theme.DrawThemeBackground(theme, expected.Dc(), BP_PUSHBUTTON,
                                                           c.themeState, &face, nullptr));
      for (POINT p : {POINT{20, 15}, POINT{1, 15}, POINT{20, 1}, POINT{38, 15}, POINT{20, 28}})
        EXPECT_EQ(canvas.At(p.x, p.y), expected.At(p.x, p.y))
            << c.themeState << " at " << p.x << "," << p.y;
    } else {
      // Classic: raised edge (or the shadow frame when pressed) round the face colour.
      const bool pressed = (c.drawState & ODS_SELECTED) != 0;
      EXPECT_EQ(canvas.At(0, 10), ::GetSysColor(pressed ? COLOR_BTNSHADOW : COLOR_BTNHIGHLIGHT));
      EXPECT_EQ(canvas.At(20, 15), ::GetSysColor(COLOR_BTNFACE));
    }
  }
  if (theme != nullptr) m_theme.CloseThemeData(theme);
}

TEST_F(ButtonTest, WithoutAThemeHelperTheStyledButtonDrawsTheClassicFace) {
  Canvas canvas(40, 30);
  m_dialog.third.SetCaptionBelowImage(false);
  Draw(m_dialog.third, canvas, 40, 30, 0);
  EXPECT_EQ(canvas.At(0, 10), ::GetSysColor(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(canvas.At(39, 10), ::GetSysColor(COLOR_3DDKSHADOW));
  EXPECT_EQ(canvas.At(38, 10), ::GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(canvas.At(20, 15), ::GetSysColor(COLOR_BTNFACE));
}

}  // namespace
}  // namespace controls
