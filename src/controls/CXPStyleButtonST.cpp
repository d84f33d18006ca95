#include "controls/CXPStyleButtonST.h"

#include <vssym32.h>

namespace controls {

void CXPStyleButtonST::DrawFaceBackground(HDC dc, RECT& rect) {
  if (Themed()) {
    if (HTHEME theme = m_pTheme->OpenThemeData(m_hWnd, L"BUTTON"); theme != nullptr) {
      // Later states win: disabled over pressed over defaulted.
      int state = PBS_NORMAL;
      if (IsDefault()) state = PBS_DEFAULTED;
      if (m_pressed) state = PBS_PRESSED;
      if (m_disabled) state = PBS_DISABLED;
      m_pTheme->DrawThemeParentBackground(m_hWnd, dc, &rect);
      m_pTheme->DrawThemeBackground(theme, dc, BP_PUSHBUTTON, state, &rect, nullptr);
      m_pTheme->CloseThemeData(theme);
      return;
    }
  }
  CButtonST::DrawFaceBackground(dc, rect);
}

void CXPStyleButtonST::DrawFaceBorder(HDC dc, const RECT& rect) {
  if (Themed()) return;
  CButtonST::DrawFaceBorder(dc, rect);
}

}  // namespace controls
