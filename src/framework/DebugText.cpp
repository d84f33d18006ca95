#include "framework/DebugText.h"

#include <windows.h>

#include <atomic>

namespace framework {

namespace {

void WriteToDebugger(const std::wstring& text) {
  ::OutputDebugStringW(text.c_str());
}

std::atomic<DebugTextHandler> g_debugTextHandler{&WriteToDebugger};

}  // namespace

void WriteDebugText(const std::wstring& text) {
  g_debugTextHandler.load()(text);
}

DebugTextHandler SetDebugTextHandler(DebugTextHandler handler) {
  return g_debugTextHandler.exchange(handler != nullptr ? handler : &WriteToDebugger);
}

}  // namespace framework
