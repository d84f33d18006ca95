// For tests: a test camera in a filter graph as a client builds one. The camera opened by
// name through the system device enumerator, and branches of an RGB24 sample grabber and
// a null renderer connected by the capture graph builder for one pin category each.
#pragma once

#include <windows.h>

#include <wrl/client.h>

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <vector>

#include "framework/dshow/DirectShow.h"
#include "vcam/testing/testcamera/CameraSettings.h"

namespace testcamera {

struct GrabbedFrame {
  std::vector<std::uint8_t> bytes;
  double arrivedSeconds = 0;  // by the performance counter
};

// A sample grabber taking RGB24 video and a null renderer behind it, collecting what
// passes. The frames' bytes are kept for the last few only.
class CGrabberBranch {
 public:
  static constexpr std::size_t kKeptFrames = 6;

  // Adds both filters to the graph; Ready() tells whether that worked.
  explicit CGrabberBranch(IGraphBuilder* graph);
  // Stops the graph first: the grabber must not call back into a collector that is gone.
  ~CGrabberBranch();
  CGrabberBranch(const CGrabberBranch&) = delete;
  CGrabberBranch& operator=(const CGrabberBranch&) = delete;

  bool Ready() const { return m_renderer != nullptr; }
  IBaseFilter* Grabber() const { return m_grabberFilter.Get(); }
  IBaseFilter* Renderer() const { return m_renderer.Get(); }
  // The size the grabber's input connected with; 0 x 0 while unconnected.
  FrameSize ConnectedSize() const;

  std::size_t FrameCount() const;
  bool WaitForFrames(std::size_t count, unsigned timeoutMs) const;
  // The first frame that came, and the last kKeptFrames (or fewer), oldest first.
  GrabbedFrame FirstFrame() const;
  std::vector<GrabbedFrame> KeptFrames() const;

 private:
  class CCollector;

  Microsoft::WRL::ComPtr<IMediaControl> m_control;
  Microsoft::WRL::ComPtr<CCollector> m_collector;
  Microsoft::WRL::ComPtr<IBaseFilter> m_grabberFilter;
  Microsoft::WRL::ComPtr<ISampleGrabber> m_grabber;
  Microsoft::WRL::ComPtr<IBaseFilter> m_renderer;
};

class CCameraGraph {
 public:
  // Camera 1 or 2, as listed by the device enumerator, in a new graph; Ready() tells
  // whether that worked.
  explicit CCameraGraph(int camera);
  ~CCameraGraph();
  CCameraGraph(const CCameraGraph&) = delete;
  CCameraGraph& operator=(const CCameraGraph&) = delete;

  bool Ready() const { return m_camera != nullptr; }
  IGraphBuilder* Graph() const { return m_graph.Get(); }
  IBaseFilter* Camera() const { return m_camera.Get(); }
  ICaptureGraphBuilder2* Builder() const { return m_builder.Get(); }

  // The camera's output pin of the category, as the capture graph builder finds it; null
  // when there is none.
  Microsoft::WRL::ComPtr<IPin> PinOf(const GUID& category) const;
  // IAMStreamConfig as the capture graph builder finds it for the category, or null.
  Microsoft::WRL::ComPtr<IAMStreamConfig> StreamConfigOf(const GUID& category) const;
  // RenderStream(category, video, camera, the branch's grabber, the branch's renderer).
  HRESULT Render(const GUID& category, const CGrabberBranch& branch);

  HRESULT Run();
  HRESULT Stop();

 private:
  Microsoft::WRL::ComPtr<IGraphBuilder> m_graph;
  Microsoft::WRL::ComPtr<IMediaControl> m_control;
  Microsoft::WRL::ComPtr<ICaptureGraphBuilder2> m_builder;
  Microsoft::WRL::ComPtr<IBaseFilter> m_camera;
};

// The size a FORMAT_VideoInfo type describes; 0 x 0 for any other type.
FrameSize VideoSizeOf(const AM_MEDIA_TYPE& type);

// The size of a pin's current format (IAMStreamConfig::GetFormat); 0 x 0 when it fails.
FrameSize CurrentFormat(IAMStreamConfig* config);
// IAMStreamConfig::SetFormat as the camera studio calls it: the pin's own GetFormat type
// with biWidth, biHeight, biBitCount, biSizeImage (width x height x bits / 8) and
// lSampleSize rewritten.
HRESULT SetFormatAsAClient(IAMStreamConfig* config, FrameSize size, WORD bitCount = 24);

}  // namespace testcamera
