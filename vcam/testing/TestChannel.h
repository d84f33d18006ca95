// For tests: the frame channel's block seen from the test program, which can write any
// header into it (as no real writer would) or watch what another process writes.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "framework/Handle.h"

namespace vcam::testing_support {

// Whether any process holds the block now.
bool ChannelExists();

// Waits until the block holds a picture of this size; false after the timeout.
bool WaitForChannelPicture(std::uint16_t width, std::uint16_t height, unsigned timeoutMs);

class CTestChannel {
 public:
  // Creates the block (or opens it when it exists) and maps all of it.
  CTestChannel();
  bool Ready() const { return static_cast<bool>(m_view); }

  // Only the header, as a torn or foreign write would leave it.
  void WriteHeader(std::uint16_t width, std::uint16_t height);
  // A whole picture of one colour as the player writes it. The width must be a multiple
  // of 4, so that rows need no padding. `mark` changes the first byte, so that pictures
  // of one colour can differ.
  void WriteSolid(std::uint16_t width, std::uint16_t height, std::uint8_t blue, std::uint8_t green,
                  std::uint8_t red, std::uint8_t mark = 0);

 private:
  framework::CHandle m_mapping;
  framework::CMappedView m_view;
};

}  // namespace vcam::testing_support
