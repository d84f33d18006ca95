// Plays one media file at a time with DirectShow: the video is drawn into a window the
// owner gives (windowless Video Mixing Renderer), the sound goes to the audio renderer,
// and, when the player feeds the camera, every decoded frame passes as 24-bit RGB
// through a sample grabber into the frame channel.
//
// The owner drives it from its user-interface thread and drains the graph's events when
// WM_PLAYER_EVENT reaches the video window's parent. Graphs are built on a thread of
// their own (see CGraphBuildJob): a file whose opening never ends is given up after the
// build deadline instead of freezing the owner.
#pragma once

#include <memory>
#include <string>

#include "framework/dshow/DirectShow.h"

#include "feed/GraphAssembly.h"
#include "framework/Wnd.h"

namespace feed {

class CGraphBuildJob;

// Posted to the parent of the video window when graph events are waiting (lParam 0).
inline constexpr UINT WM_PLAYER_EVENT = WM_USER + 5;
// Posted to the parent of the video window when a start begun by StartPlayToCamera has
// its graph (or failed to build one); wParam is the start's ticket for
// FinishPlayToCamera.
inline constexpr UINT WM_PLAYER_BUILT = WM_APP + 5;

// Opening the file did not end within the build deadline; the build was left behind.
inline constexpr HRESULT E_GRAPH_BUILD_TIMEOUT = HRESULT_FROM_WIN32(ERROR_TIMEOUT);
// How long a graph may take to build before it is given up.
inline constexpr DWORD kDefaultBuildDeadlineMs = 10000;

// Holds the graph; never created as a window.
class CMyVideoPlayer : public framework::CWnd {
 public:
  CMyVideoPlayer();
  ~CMyVideoPlayer() override;

  // Plays a file into the camera: the source route first, the whole-file route when
  // that fails at any step. S_OK or the failing step's code (E_GRAPH_BUILD_TIMEOUT when
  // the build took longer than the deadline). Returns when the graph runs.
  HRESULT PlayToCamera(const wchar_t* path, HWND videoWindow);
  // Builds one graph by the chosen route, with or without the grabber, and runs it.
  HRESULT PlayInWindow(const wchar_t* path, HWND videoWindow, bool renderWholeFile,
                       bool feedCamera);

  // PlayToCamera without waiting: releases the graph and starts building the new one.
  // S_OK when the build is under way; WM_PLAYER_BUILT then reaches the video window's
  // parent, whose handler calls FinishPlayToCamera. The owner gives up a build that
  // takes longer than BuildDeadline() with AbandonBuild.
  HRESULT StartPlayToCamera(const wchar_t* path, HWND videoWindow);
  // For WM_PLAYER_BUILT: false when the ticket is not the pending start's (a start given
  // up or replaced since); else `result` is the start's result, as PlayToCamera gives it.
  bool FinishPlayToCamera(WPARAM ticket, HRESULT& result);
  bool IsBuilding() const { return m_build != nullptr; }
  // Leaves a pending build behind: its graph is released whenever its build ends.
  void AbandonBuild();
  DWORD BuildDeadline() const { return m_buildDeadlineMs; }
  void SetBuildDeadline(DWORD ms) { m_buildDeadlineMs = ms; }

  // Leaves a pending build behind, stops the graph and releases it; nothing happens
  // without either.
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
  // Plays the running graph again from its start, after its end; false when it cannot
  // seek (the caller then builds the graph anew).
  bool Rewind();

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
  HRESULT BuildAndRun(const GraphRecipe& recipe, bool fallBack);
  // Takes the graph of an ended build and, when it built, runs it in the video window.
  HRESULT AdoptAndRun(CGraphBuildJob& job);
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
  std::shared_ptr<CGraphBuildJob> m_build;  // the pending start, when there is one
  WPARAM m_lastTicket = 0;
  DWORD m_buildDeadlineMs = kDefaultBuildDeadlineMs;
};

}  // namespace feed
