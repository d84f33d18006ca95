// The grabber callbacks of the camera studio. Frames arrive here on DirectShow's
// streaming threads, as 24-bit bottom-up RGB: the preview (or capture) stream's frames
// become photographs on request and movie frames while the camera dialog records; every
// still picture of a camera's still pin becomes a photograph.
#pragma once

#include <atomic>
#include <cstdint>

#include "framework/dshow/DirectShow.h"

namespace camera {

class CPreviwCameraDlg;

// Two process-wide objects, never allocated or deleted: their reference count is fixed
// (AddRef answers 2, Release 1).
class CSampleGrabberCB : public ISampleGrabberCB {
 public:
  explicit CSampleGrabberCB(bool isStill) : m_isStill(isStill) {}

  STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  // Never called: both grabbers are in buffer-callback mode.
  STDMETHODIMP SampleCB(double, IMediaSample*) override { return S_OK; }
  STDMETHODIMP BufferCB(double sampleTime, BYTE* pixels, long length) override;

  // The size of the frames this grabber delivers, set while the graph is stopped.
  std::int32_t m_frameWidth = 640;
  std::int32_t m_frameHeight = 480;
  // The dialog whose flags the frame callback reads and to which it posts.
  CPreviwCameraDlg* m_pDialog = nullptr;
  // The largest frame size the camera offers.
  std::int32_t m_maxCapWidth = 1600;
  std::int32_t m_maxCapHeight = 1200;
  const bool m_isStill;

  // Frames this grabber delivered since the process started (benchmarks, diagnostics).
  unsigned long FramesSeen() const { return m_framesSeen.load(); }
  // What appending recording frames has cost the streaming thread so far: frames, time
  // (performance counter) and the thread's CPU time, both in 100 ns units.
  struct RecordingCost {
    unsigned long frames = 0;
    long long elapsed100ns = 0;
    long long cpu100ns = 0;
  };
  RecordingCost RecordingCostSoFar() const;

 private:
  // Saves the frame as the next photograph of the photographs folder.
  void TakePhoto(const BYTE* pixels, long length);
  // Appends the frame to the running recording.
  void RecordFrame(const BYTE* pixels, long length);
  // Whether length holds a whole frame of this grabber's size (rows without padding).
  bool HoldsWholeFrame(long length) const;

  std::atomic<unsigned long> m_framesSeen{0};
  // Written under the recording lock.
  RecordingCost m_recordingCost;
};

// On the preview or capture stream.
extern CSampleGrabberCB g_frameGrabberCB;
// On the still pin.
extern CSampleGrabberCB g_stillGrabberCB;

// Sent to the camera dialog.
constexpr UINT WM_PHOTO_SERVED = WM_USER + 1;
constexpr UINT WM_RECORDING_FAILED = WM_USER + 3;

}  // namespace camera
