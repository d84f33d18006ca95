// Lets a test in the same process hold a test camera's preview and capture frames: while
// held, the pins send nothing and number nothing, so that a test knows exactly which frames
// were sent between two moments.
#pragma once

namespace testcamera {

// Holds (or releases) camera 1's or 2's frames. Returns once no frame of that camera is
// on its way downstream any more. False for another camera number.
bool HoldCameraFrames(int camera, bool hold);

// A frame's passage: while the object lives no hold can take effect, and Open() tells
// whether the frame may go at all.
class CDeliveryPassage {
 public:
  explicit CDeliveryPassage(int camera);
  CDeliveryPassage(const CDeliveryPassage&) = delete;
  CDeliveryPassage& operator=(const CDeliveryPassage&) = delete;
  ~CDeliveryPassage();
  bool Open() const { return m_open; }

 private:
  int m_index;
  bool m_open;
};

}  // namespace testcamera
