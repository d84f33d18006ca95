// Plays one media file at a time with DirectShow: the video is drawn into a window the
// owner gives (windowless Video Mixing Renderer), the sound goes to the audio renderer,
// and, when the player feeds the camera, every decoded frame passes as 24-bit RGB
// through a sample grabber into the frame channel.
//
// The owner drives it from its user-interface thread and drains the graph's events when
// WM_PLAYER_EVENT reaches the video window's parent.
#pragma once

#include "framework/dshow/DirectShow.h"

#include "framework/Wnd.h"

namespace feed {

// Posted to the parent of the video window when graph events are waiting (lParam 0).
inline constexpr UINT WM_PLAYER_EVENT = WM_USER + 5;

// The whole-file route built, but the video did not pass through the grabber.
inline constexpr HRESULT E_GRABBER_NOT_GRABBED = static_cast<HRESULT>(0x8FFFFFFF);

// Holds the graph; never created as a window.
class CMyVideoPlayer : public framework::CWnd {
 public:
  CMyVideoPlayer();
  ~CMyVideoPlayer() override;

  // Plays a file into the camera: the source route first, the whole-file route when
  // that fails at any step. S_OK or the failing step's code.
  HRESULT PlayToCamera(const wchar_t* path, HWND videoWindow);
  // Builds one graph by the chosen route, with or without the grabber, and runs it.
  HRESULT PlayInWindow(const wchar_t* path, HWND videoWindow, bool renderWholeFile,
                       bool feedCamera);

  // Stops the graph and releases it; nothing happens without one.
  void ReleaseGraph();
  bool HasGraph() const { return m_graph != nullptr; }
  bool HasWindowlessControl() const { return m_windowless != nullptr; }

  HRESULT Run();
  HRESULT Pause();
  HRESULT Stop();
  // Takes one waiting event without waiting; a failure code when none is waiting.
  HRESULT NextEvent(long& code, LONG_PTR& param1, LONG_PTR& param2);

  // Positions in 100-nanosecond units.
  bool GetDuration(LONGLONG& duration);
  bool GetCurrentPosition(LONGLONG& position);
  bool SetPosition(LONGLONG position);

  // Volume in hundredths of a decibel, -10000 (silence) to 0.
  bool Mute();
  bool SetVolume(long volume);
  bool GetVolume(long& volume);

  // Stretches the video over the whole client area of the video window.
  HRESULT FitVideoToWindow();
  // Repaints the video window from the renderer (answers WM_PAINT of that window).
  void PaintVideo(HWND window);
  HRESULT DisplayModeChanged();

  // The graph, for inspection; null without one.
  IGraphBuilder* Graph() const { return m_graph.Get(); }

 private:
  HRESULT CreateGraph();
  HRESULT CreateGrabber();
  HRESULT AddWindowlessRenderer();
  HRESULT BuildSourceGraph(const wchar_t* path, IBaseFilter* grabber, bool withAudio,
                           bool useGrabber);
  HRESULT BuildRenderFileGraph(IBaseFilter* grabber, bool useGrabber, const wchar_t* path);
  HRESULT AddColourConverter(Microsoft::WRL::ComPtr<IBaseFilter>& converter);
  void RemoveIfUnused(IBaseFilter* filter);
  void ReadNativeSize();

  HWND m_videoWindow = nullptr;
  Microsoft::WRL::ComPtr<IGraphBuilder> m_graph;
  Microsoft::WRL::ComPtr<IMediaControl> m_control;
  Microsoft::WRL::ComPtr<IMediaEventEx> m_events;
  Microsoft::WRL::ComPtr<IMediaSeeking> m_seeking;
  Microsoft::WRL::ComPtr<IVMRWindowlessControl> m_windowless;
  Microsoft::WRL::ComPtr<IBasicAudio> m_audio;
  Microsoft::WRL::ComPtr<ISampleGrabber> m_grabber;
  RECT m_destRect{};
  bool m_comInitialised = false;
};

}  // namespace feed
