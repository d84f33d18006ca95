// The image button with the desktop's visual styles: background and border come from the
// theme's push button when the window's theme helper reports a themed application, and
// from the classic drawing otherwise.
#pragma once

#include "controls/CButtonST.h"
#include "controls/CThemeHelperST.h"

namespace controls {

class CXPStyleButtonST : public CButtonST {
 public:
  CXPStyleButtonST() = default;
  ~CXPStyleButtonST() override = default;

  // The window's helper, which outlives the button; null draws the classic face.
  void AttachThemeHelper(const CThemeHelperST* theme) { m_pTheme = theme; }

 protected:
  void DrawFaceBackground(HDC dc, RECT& rect) override;
  void DrawFaceBorder(HDC dc, const RECT& rect) override;

 private:
  bool Themed() const { return m_pTheme != nullptr && m_pTheme->IsAppThemed(); }

  const CThemeHelperST* m_pTheme = nullptr;
};

}  // namespace controls
