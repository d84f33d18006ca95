// The visual-styles library of one window, shared by that window's image buttons. The
// library is loaded at run time, so the program also runs where it is missing; every call
// looks its function up by name and answers "no theme" or E_FAIL without the library.
#pragma once

#include <windows.h>

#include <uxtheme.h>

namespace controls {

class CThemeHelperST {
 public:
  CThemeHelperST();
  CThemeHelperST(const CThemeHelperST&) = delete;
  CThemeHelperST& operator=(const CThemeHelperST&) = delete;
  virtual ~CThemeHelperST();

  bool IsAppThemed() const;
  HTHEME OpenThemeData(HWND window, LPCWSTR classList) const;
  HRESULT CloseThemeData(HTHEME theme) const;
  HRESULT DrawThemeParentBackground(HWND window, HDC dc, const RECT* rect) const;
  HRESULT DrawThemeBackground(HTHEME theme, HDC dc, int part, int state, const RECT* rect,
                              const RECT* clip) const;

 private:
  FARPROC Function(const char* name) const;

  HMODULE m_library = nullptr;
};

}  // namespace controls
