// For tests: a client of the camera as chat programs build one. The camera opened by
// name through the system device enumerator, a sample grabber taking one media subtype
// and a null renderer, connected by the capture graph builder's capture category.
#pragma once

#include <windows.h>

#include <wrl/client.h>

#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "framework/dshow/DirectShow.h"
#include "vcam/VideoFormats.h"

namespace vcam::testing_support {

struct GrabbedFrame {
  std::vector<std::uint8_t> bytes;
  REFERENCE_TIME start = 0, stop = 0;
  bool timed = false;
  double arrivedSeconds = 0;  // by the performance counter
};

class CCaptureGraph {
 public:
  // Builds the graph without connecting it; Ready() tells whether that worked.
  explicit CCaptureGraph(const std::wstring& cameraName = L"Virtual Camera");
  ~CCaptureGraph();
  CCaptureGraph(const CCaptureGraph&) = delete;
  CCaptureGraph& operator=(const CCaptureGraph&) = delete;

  bool Ready() const { return m_camera != nullptr && m_grabber != nullptr; }
  IBaseFilter* Camera() const { return m_camera.Get(); }
  IBaseFilter* Renderer() const { return m_renderer.Get(); }
  IPin* CameraPin() const { return m_pin.Get(); }
  Microsoft::WRL::ComPtr<IAMStreamConfig> StreamConfig() const;
  IMediaControl* Control() const { return m_control.Get(); }

  // Chooses the camera's format (IAMStreamConfig::SetFormat with its offered type of that
  // format and size) and connects camera -> grabber -> null renderer.
  HRESULT Connect(const VideoFormat& format);
  // The type the camera's pin connected with.
  VideoFormat ConnectedFormat() const { return m_connected; }
  OutputLayout ConnectedLayout() const;

  // Connects the grabber to the renderer anew. Wine's grabber keeps its output at the old
  // format when its input is reconnected at another, and then passes no samples on.
  HRESULT ReconnectGrabberOutput();

  HRESULT Run();
  HRESULT Stop();

  // Keeps the last `count` frames' bytes (the times of all are kept).
  void KeepFrames(std::size_t count);
  bool WaitForFrames(std::size_t count, unsigned timeoutMs) const;
  std::size_t FrameCount() const;
  std::vector<GrabbedFrame> KeptFrames() const;
  std::vector<GrabbedFrame> FrameTimes() const;  // without bytes
  // A copy of the latest frame that arrived after this call.
  GrabbedFrame NextFrame(unsigned timeoutMs = 5000) const;

 private:
  class CCallback;

  Microsoft::WRL::ComPtr<IGraphBuilder> m_graph;
  Microsoft::WRL::ComPtr<IMediaControl> m_control;
  Microsoft::WRL::ComPtr<IBaseFilter> m_camera;
  Microsoft::WRL::ComPtr<IPin> m_pin;
  Microsoft::WRL::ComPtr<IBaseFilter> m_grabberFilter;
  Microsoft::WRL::ComPtr<ISampleGrabber> m_grabber;
  Microsoft::WRL::ComPtr<IBaseFilter> m_renderer;
  std::shared_ptr<CCallback> m_callback;
  VideoFormat m_connected{};
};

// The media subtype of a pixel format.
GUID SubtypeOf(PixelFormat pixels);

// Whether a frame of the layout shows the placeholder card: the card's background at the
// corners and its light title text in the title's place.
bool ShowsCard(const OutputLayout& layout, const std::vector<std::uint8_t>& frame);

// A pixel of an RGB24 or RGB32 frame as blue, green, red (row 0 the top).
struct Pixel {
  int blue, green, red;
};
Pixel PixelAt(const OutputLayout& layout, const std::vector<std::uint8_t>& frame, std::uint32_t x,
              std::uint32_t y);

}  // namespace vcam::testing_support
