// The sample grabber's callback that feeds the camera: every decoded frame of the graph
// that plays into the camera goes through BufferCB into the frame channel.
#pragma once

#include "framework/dshow/DirectShow.h"

#include <atomic>

namespace feed {

// One object for the whole process, never destroyed before exit: its reference count is
// fixed (AddRef answers 2, Release 1).
class CMyVideoSampleGrabberCB : public ISampleGrabberCB {
 public:
  STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }

  STDMETHODIMP SampleCB(double sampleTime, IMediaSample* sample) override;
  STDMETHODIMP BufferCB(double sampleTime, BYTE* buffer, long length) override;

  // The frame size handed to the frame channel: the video's native size, set on the
  // user-interface thread before the graph runs, read on the streaming thread.
  int m_width = 0;
  int m_height = 0;

  // Samples seen since the process started (for tests and diagnostics).
  unsigned long SamplesSeen() const { return m_samplesSeen; }

 private:
  std::atomic<unsigned long> m_samplesSeen{0};
};

extern CMyVideoSampleGrabberCB g_videoGrabberCallback;

}  // namespace feed
