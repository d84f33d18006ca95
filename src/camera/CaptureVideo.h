// The camera studio's engine: a DirectShow capture graph for one video input device, its
// picture shown in a window of the camera dialog and every frame passed through a Sample
// Grabber to the grabber callbacks (SampleGrabberCB.h). A camera with a still pin gets a
// second grabber on that pin, ending in a Null Renderer.
//
// Used on the user-interface thread only. Every failure is a result code; the warning
// boxes say which step failed.
#pragma once

#include <string>
#include <vector>

#include "framework/Wnd.h"
#include "framework/dshow/DirectShow.h"

namespace camera {

class CCaptureVideo : public framework::CWnd {
 public:
  // Takes COM for the calling thread ("CoInitialize Failed!" when it cannot).
  CCaptureVideo();
  // Tears the graph down, then gives COM back.
  ~CCaptureVideo() override;

  // Builds and runs the graph for the device at deviceIndex of EnumerateVideoDevices,
  // its picture in host. 0 when the graph runs; 1 when there is no such device list or
  // the index is negative (nothing built); otherwise the failing step's code.
  HRESULT BuildGraph(int deviceIndex, HWND host, int requestedWidth, int requestedHeight);
  // Stops and releases everything; harmless on an empty engine and twice.
  void TearDownGraph();

  // The FriendlyName of every video input device, in the system's order; their number,
  // or -1 when there is no device list (no video device at all included).
  static int EnumerateVideoDevices(std::vector<std::wstring>& names);
  // Binds the device at position (counting every device, also those without a readable
  // name) into filter; false when there is no device list. filter stays empty when the
  // position is past the end or its device has no readable name.
  static bool BindVideoDevice(int position, Microsoft::WRL::ComPtr<IBaseFilter>& filter);

  // The graph, for tests that look at what was built.
  IGraphBuilder* Graph() const { return m_pGraph.Get(); }

 private:
  HRESULT CreateGraphObjects();
  // Picks the camera's largest size and asks its pin for the request, or for the largest
  // size when the camera cannot reach the request.
  void NegotiateStreamSize(int requestedWidth, int requestedHeight);
  // The same for the still pin, without remembering the largest size.
  void NegotiateStillSize(int requestedWidth, int requestedHeight);
  void AddStillBranch(int requestedWidth, int requestedHeight);
  void AttachPreviewWindow();
  void FitPreviewWindow();

  HRESULT m_comResult;
  HWND m_hwndPreviewHost = nullptr;
  Microsoft::WRL::ComPtr<IGraphBuilder> m_pGraph;
  Microsoft::WRL::ComPtr<ICaptureGraphBuilder2> m_pCaptureBuilder;
  Microsoft::WRL::ComPtr<IBaseFilter> m_pCaptureFilter;
  Microsoft::WRL::ComPtr<IMediaControl> m_pMediaControl;
  Microsoft::WRL::ComPtr<IVideoWindow> m_pVideoWindow;
  Microsoft::WRL::ComPtr<ISampleGrabber> m_pGrabber;
  Microsoft::WRL::ComPtr<IBaseFilter> m_pNullRenderer;
  Microsoft::WRL::ComPtr<ISampleGrabber> m_pStillGrabber;
};

}  // namespace camera
