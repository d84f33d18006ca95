// The image button: an owner-drawn push button that shows a PNG picture from the "Image"
// folder beside the executable, optionally with its caption below, and a tooltip. The
// face is drawn by three overridable steps (background, border, caption), so that a
// derived button can draw background and border with the visual styles.
#pragma once

#include <windows.h>

#include <string>

#include "framework/Controls.h"

namespace controls {

class CButtonST : public framework::CButton {
 public:
  CButtonST();
  ~CButtonST() override;

  // The picture's file name inside the "Image" folder; empty for none. No redraw.
  void SetImageFile(const std::wstring& name) { m_imageFile = name; }
  const std::wstring& GetImageFile() const { return m_imageFile; }
  // Caption under the picture (on) or the picture over the whole face (off). No redraw.
  void SetCaptionBelowImage(bool on) { m_captionBelowImage = on; }
  bool GetCaptionBelowImage() const { return m_captionBelowImage; }
  // Lightens the pressed-state background and redraws.
  void BrightenActiveColour();
  // The tooltip's text; null does nothing.
  void SetHoverTip(const wchar_t* text);
  // The tooltip's current text (empty without a tooltip).
  std::wstring GetHoverTip() const;
  HWND GetToolTipWindow() const { return m_toolTip; }
  bool IsDefault() const { return m_isDefault; }

  enum ColourState { kPressed, kFocused, kNormal };
  COLORREF BackgroundColour(ColourState state) const { return m_colours[state].background; }
  COLORREF TextColour(ColourState state) const { return m_colours[state].text; }

  // Draws the face as the owner-draw request asks.
  void DrawItem(const DRAWITEMSTRUCT& item);

  bool PreTranslateMessage(MSG& message) override;

 protected:
  virtual void DrawFaceBackground(HDC dc, RECT& rect);
  virtual void DrawFaceBorder(HDC dc, const RECT& rect);
  virtual void DrawFaceCaption(HDC dc, const std::wstring& caption, const RECT& itemRect,
                               RECT captionRect, bool pressed, bool disabled);

  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
  bool OnReflectedMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
  void PreSubclassWindow() override;

  // The state of the draw request being served.
  bool m_pressed = false;
  bool m_focused = false;
  bool m_disabled = false;

 private:
  struct ColourPair {
    COLORREF background;
    COLORREF text;
  };

  void ResetColours();
  void CreateToolTip();
  void DrawImage(HDC dc, const RECT& area) const;

  std::wstring m_imageFile;
  bool m_captionBelowImage = true;
  bool m_isDefault = false;
  ColourPair m_colours[3]{};
  HWND m_toolTip = nullptr;
  ULONG_PTR m_gdiplusToken = 0;
};

}  // namespace controls
