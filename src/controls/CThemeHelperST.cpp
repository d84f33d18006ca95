#include "controls/CThemeHelperST.h"

namespace controls {

namespace {
// GetProcAddress hands out one generic type; each caller knows the function's own.
template <class Function>
Function As(FARPROC address) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(address));
}
}  // namespace

CThemeHelperST::CThemeHelperST() : m_library(::LoadLibraryW(L"UxTheme.dll")) {}

CThemeHelperST::~CThemeHelperST() {
  if (m_library != nullptr) ::FreeLibrary(m_library);
}

FARPROC CThemeHelperST::Function(const char* name) const {
  return m_library != nullptr ? ::GetProcAddress(m_library, name) : nullptr;
}

bool CThemeHelperST::IsAppThemed() const {
  const auto function = As<BOOL(WINAPI*)()>(Function("IsAppThemed"));
  return function != nullptr && function() != FALSE;
}

HTHEME CThemeHelperST::OpenThemeData(HWND window, LPCWSTR classList) const {
  const auto function = As<HTHEME(WINAPI*)(HWND, LPCWSTR)>(Function("OpenThemeData"));
  return function != nullptr ? function(window, classList) : nullptr;
}

HRESULT CThemeHelperST::CloseThemeData(HTHEME theme) const {
  const auto function = As<HRESULT(WINAPI*)(HTHEME)>(Function("CloseThemeData"));
  return function != nullptr ? function(theme) : E_FAIL;
}

HRESULT CThemeHelperST::DrawThemeParentBackground(HWND window, HDC dc, const RECT* rect) const {
  const auto function =
      As<HRESULT(WINAPI*)(HWND, HDC, const RECT*)>(Function("DrawThemeParentBackground"));
  return function != nullptr ? function(window, dc, rect) : E_FAIL;
}

HRESULT CThemeHelperST::DrawThemeBackground(HTHEME theme, HDC dc, int part, int state,
                                            const RECT* rect, const RECT* clip) const {
  const auto function = As<HRESULT(WINAPI*)(HTHEME, HDC, int, int, const RECT*, const RECT*)>(
      Function("DrawThemeBackground"));
  return function != nullptr ? function(theme, dc, part, state, rect, clip) : E_FAIL;
}

}  // namespace controls
