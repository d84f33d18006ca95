#include "testing/NoticeCapture.h"

#include <mutex>

#include "framework/DebugText.h"
#include "framework/WarningBox.h"

namespace testing_support {

namespace {

// Boxes may come from several threads at once.
struct CaughtTexts {
  std::mutex lock;
  std::vector<std::wstring> texts;

  void Add(const std::wstring& text) {
    const std::lock_guard<std::mutex> hold(lock);
    texts.push_back(text);
  }
  std::vector<std::wstring> Copy() {
    const std::lock_guard<std::mutex> hold(lock);
    return texts;
  }
  void Clear() {
    const std::lock_guard<std::mutex> hold(lock);
    texts.clear();
  }
};

CaughtTexts g_boxes;
CaughtTexts g_debugTexts;

}  // namespace

WarningBoxCapture::WarningBoxCapture() {
  g_boxes.Clear();
  framework::SetWarningBoxHandler([](const std::wstring& text) { g_boxes.Add(text); });
}

WarningBoxCapture::~WarningBoxCapture() {
  framework::SetWarningBoxHandler(nullptr);
}

std::vector<std::wstring> WarningBoxCapture::Texts() const {
  return g_boxes.Copy();
}

DebugTextCapture::DebugTextCapture() {
  g_debugTexts.Clear();
  framework::SetDebugTextHandler([](const std::wstring& text) { g_debugTexts.Add(text); });
}

DebugTextCapture::~DebugTextCapture() {
  framework::SetDebugTextHandler(nullptr);
}

std::vector<std::wstring> DebugTextCapture::Texts() const {
  return g_debugTexts.Copy();
}

}  // namespace testing_support
