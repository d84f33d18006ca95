// The writer's side of the frame channel: every decoded frame goes into the named shared
// block that the virtual camera reads. One-way, no handshake, no lock (see FrameLayout.h).
#pragma once

#include <windows.h>

#include <string>

#include "framework/Handle.h"

namespace feed {

// A writer of one named block. The mapping is created (or opened, when a reader made it
// first) on the first frame and kept, with its view, until the channel goes: mapping a
// view per frame costs more than the frame's copy (every page faults in anew).
class CFrameChannel {
 public:
  explicit CFrameChannel(std::wstring objectName);

  // Stores a frame: header first, then width * height * 3 bytes of pixels. False when
  // nothing was written; failures are logged, a null pixel pointer silently.
  bool Write(const BYTE* pixels, int width, int height);

  bool HasMapping() const { return static_cast<bool>(m_mapping); }

 private:
  // Creates or opens the mapping and maps all of it; on failure logs and holds nothing.
  bool Open();

  std::wstring m_objectName;
  framework::CHandle m_mapping;
  framework::CMappedView m_view;
};

// Writes a frame into "MyFileMappingObject" through the process-wide channel. Called only
// from the streaming thread of the one graph that feeds the camera. The handle stays
// open until the process ends.
bool WriteFrame(const BYTE* pixels, int width, int height);

}  // namespace feed
