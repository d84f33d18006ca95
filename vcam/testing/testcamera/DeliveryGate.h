// Lets a test in the same process hold a test camera's preview and capture frames: while
// held, the pins send nothing and number nothing, so that a test knows exactly which frames
// were sent between two moments.
#pragma once

namespace testcamera {

// Holds (or releases) camera 1's or 2's frames. Holding returns true once no frame of that
// camera is on its way downstream any more, false when one still is after
// kHoldWaitMs (a paused renderer keeps a frame until it runs or is flushed) or for
// another camera number; the camera is held either way.
bool HoldCameraFrames(int camera, bool hold);
inline constexpr unsigned long kHoldWaitMs = 10000;

// A frame's passage: whether the frame may go at all (Open), and while the object lives,
// a frame on its way that a hold waits for. Streaming threads never wait here: a frame
// stuck downstream must not keep another pin's thread from noticing that it must stop.
// A camera number other than 1 or 2 (a still pin passes 0) is never held.
class CDeliveryPassage {
 public:
  explicit CDeliveryPassage(int camera);
  CDeliveryPassage(const CDeliveryPassage&) = delete;
  CDeliveryPassage& operator=(const CDeliveryPassage&) = delete;
  ~CDeliveryPassage();
  bool Open() const { return m_open; }

 private:
  int m_index;  // the gate this frame counts on, or -1
  bool m_open = true;
};

}  // namespace testcamera
