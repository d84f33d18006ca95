// For tests: warning boxes and debugger output caught instead of shown, to be read back.
// A capture holds from its construction to its destruction; captures do not nest.
#pragma once

#include <string>
#include <vector>

namespace testing_support {

class WarningBoxCapture {
 public:
  WarningBoxCapture();
  WarningBoxCapture(const WarningBoxCapture&) = delete;
  WarningBoxCapture& operator=(const WarningBoxCapture&) = delete;
  ~WarningBoxCapture();

  // The texts of the boxes shown since the capture began, in order.
  std::vector<std::wstring> Texts() const;
};

class DebugTextCapture {
 public:
  DebugTextCapture();
  DebugTextCapture(const DebugTextCapture&) = delete;
  DebugTextCapture& operator=(const DebugTextCapture&) = delete;
  ~DebugTextCapture();

  // The texts written since the capture began, in order.
  std::vector<std::wstring> Texts() const;
};

}  // namespace testing_support
