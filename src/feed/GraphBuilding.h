// Small steps of building a filter graph by hand.
#pragma once

#include <windows.h>

#include <dshow.h>
#include <wrl/client.h>

namespace feed {

// The filter's first pin of this direction that is not connected. E_FAIL when there is
// none, E_POINTER without a place for the result.
HRESULT FindUnconnectedPin(IBaseFilter* filter, PIN_DIRECTION direction, IPin** pin);

// Connects the input pin to the first filter of the graph, in the graph's order, whose
// first unconnected output offers a media type of `majorType` and that the graph can
// connect to it (converters may be inserted). S_OK at the first success, E_FAIL when no
// filter's output takes it.
//
// Outputs of another kind are not offered at all: asked to take video to a sound
// renderer, the graph manager tries every decoder it knows and connects renderers
// already in the graph on the way.
HRESULT ConnectToAnyOutput(IGraphBuilder* graph, IPin* input, const GUID& majorType);

// Whether the pin lists a media type of this major type.
bool OffersMajorType(IPin* pin, const GUID& majorType);

// Whether any pin of the filter is connected.
bool IsAnyPinConnected(IBaseFilter* filter);

// Whether the filter's first input pin is connected.
bool IsInputConnected(IBaseFilter* filter);

}  // namespace feed
