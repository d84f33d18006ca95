#include "testing/VideoWindow.h"

#include <algorithm>

namespace testing_support {

namespace {
constexpr wchar_t kClassName[] = L"PlumoraTestVideoParent";
constexpr UINT kPlayerEvent = WM_USER + 5;
}  // namespace

LRESULT CALLBACK VideoWindow::ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<VideoWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  if (message == kPlayerEvent && self != nullptr) {
    ++self->playerEventMessages;
    if (self->onPlayerEvent) self->onPlayerEvent();
    return 0;
  }
  if (message >= WM_APP && self != nullptr && self->onOtherMessage) {
    self->onOtherMessage(message, wParam);
    return 0;
  }
  return ::DefWindowProcW(window, message, wParam, lParam);
}

VideoWindow::VideoWindow() {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = ParentProc;
  windowClass.hInstance = ::GetModuleHandleW(nullptr);
  windowClass.lpszClassName = kClassName;
  windowClass.hbrBackground = static_cast<HBRUSH>(::GetStockObject(GRAY_BRUSH));
  ::RegisterClassW(&windowClass);  // fails harmlessly when already registered

  m_parent =
      ::CreateWindowExW(0, kClassName, L"Plumora test", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0,
                        400, 300, nullptr, nullptr, windowClass.hInstance, nullptr);
  ::SetWindowLongPtrW(m_parent, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  m_video = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_BLACKRECT, 10, 10, 320,
                              240, m_parent, nullptr, windowClass.hInstance, nullptr);
  ::ShowWindow(m_parent, SW_SHOWNOACTIVATE);
  ::UpdateWindow(m_parent);
}

VideoWindow::~VideoWindow() {
  if (m_parent != nullptr) ::DestroyWindow(m_parent);
}

bool VideoWindow::PumpUntil(const std::function<bool()>& done, unsigned timeoutMs) {
  const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
  while (!done()) {
    const ULONGLONG now = ::GetTickCount64();
    if (now >= deadline) return done();
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE,
                                static_cast<DWORD>(std::min<ULONGLONG>(deadline - now, 10)),
                                QS_ALLINPUT);
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
  }
  return true;
}

void VideoWindow::PumpFor(unsigned ms) {
  PumpUntil([] { return false; }, ms);
}

}  // namespace testing_support
