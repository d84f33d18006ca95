#include "feed/CMyVideoSampleGrabberCB.h"

#include "app/Log.h"
#include "feed/FrameChannel.h"

namespace feed {

namespace {
// The length of the last sample seen, so that only changes are logged.
long g_lastBufferLength = 0;
}  // namespace

CMyVideoSampleGrabberCB g_videoGrabberCallback;

STDMETHODIMP CMyVideoSampleGrabberCB::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_ISampleGrabberCB) {
    *object = static_cast<ISampleGrabberCB*>(this);
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP CMyVideoSampleGrabberCB::SampleCB(double, IMediaSample*) {
  return S_OK;
}

STDMETHODIMP CMyVideoSampleGrabberCB::BufferCB(double, BYTE* buffer, long length) {
  ++m_samplesSeen;
  const int width = m_width;
  const int height = m_height;
  if (length != g_lastBufferLength) {
    g_lastBufferLength = length;
    LOG_INFO("CMyVideoPlayer", L"grabber sample width = %d,height=%d,buffersize = %d", width,
             height, static_cast<int>(length));
  }
  // A sample shorter than the frame it should hold is dropped rather than read past;
  // the camera keeps showing the previous frame.
  const long long frameBytes = static_cast<long long>(width) * height * 3;
  if (frameBytes <= length) WriteFrame(buffer, width, height);
  return S_OK;
}

}  // namespace feed
