// Assembles the player's graphs: the source route (file source, grabber, decoders found
// by the graph manager, our colour converter, the windowless renderer and the sound) and
// the whole-file route (the graph manager renders the file, the grabber and the converter
// already in the graph). Nothing here runs a graph.
#pragma once

#include <string>

#include "framework/dshow/DirectShow.h"

namespace feed {

// The whole-file route built, but the video did not pass through the grabber.
inline constexpr HRESULT E_GRABBER_NOT_GRABBED = static_cast<HRESULT>(0x8FFFFFFF);

// The interfaces the player keeps of one graph; empty ones where the graph got no further.
struct GraphParts {
  Microsoft::WRL::ComPtr<IGraphBuilder> graph;
  Microsoft::WRL::ComPtr<IMediaControl> control;
  Microsoft::WRL::ComPtr<IMediaEventEx> events;
  Microsoft::WRL::ComPtr<IMediaSeeking> seeking;
  Microsoft::WRL::ComPtr<IVMRWindowlessControl> windowless;
  Microsoft::WRL::ComPtr<IBasicAudio> audio;
  Microsoft::WRL::ComPtr<ISampleGrabber> grabber;
};

// What to build.
struct GraphRecipe {
  std::wstring path;
  HWND videoWindow = nullptr;    // the renderer draws here
  bool renderWholeFile = false;  // the whole-file route instead of the source route
  bool feedCamera = false;       // with the grabber that feeds the frame channel
};

// Builds one graph by the recipe's route. S_OK, or the failing step's code with `parts`
// holding what was built so far, for the caller to inspect or release.
HRESULT AssembleGraph(const GraphRecipe& recipe, GraphParts& parts);

}  // namespace feed
