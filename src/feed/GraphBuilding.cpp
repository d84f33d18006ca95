#include "feed/GraphBuilding.h"

#include "framework/dshow/MediaType.h"

using Microsoft::WRL::ComPtr;

namespace feed {

namespace {

bool IsConnected(IPin* pin) {
  ComPtr<IPin> peer;
  return SUCCEEDED(pin->ConnectedTo(&peer)) && peer != nullptr;
}

}  // namespace

HRESULT FindUnconnectedPin(IBaseFilter* filter, PIN_DIRECTION direction, IPin** pin) {
  if (pin == nullptr) return E_POINTER;
  *pin = nullptr;
  ComPtr<IEnumPins> pins;
  const HRESULT listed = filter->EnumPins(&pins);
  if (FAILED(listed)) return listed;
  ComPtr<IPin> candidate;
  while (pins->Next(1, candidate.ReleaseAndGetAddressOf(), nullptr) == S_OK) {
    PIN_DIRECTION candidateDirection;
    if (SUCCEEDED(candidate->QueryDirection(&candidateDirection)) &&
        candidateDirection == direction && !IsConnected(candidate.Get())) {
      *pin = candidate.Detach();
      return S_OK;
    }
  }
  return E_FAIL;
}

HRESULT ConnectToAnyOutput(IGraphBuilder* graph, IPin* input, const GUID& majorType) {
  ComPtr<IEnumFilters> filters;
  if (FAILED(graph->EnumFilters(&filters))) return E_FAIL;
  ComPtr<IBaseFilter> filter;
  while (filters->Next(1, filter.ReleaseAndGetAddressOf(), nullptr) == S_OK) {
    ComPtr<IPin> output;
    if (FAILED(FindUnconnectedPin(filter.Get(), PINDIR_OUTPUT, &output))) continue;
    if (!OffersMajorType(output.Get(), majorType)) continue;
    if (SUCCEEDED(graph->Connect(output.Get(), input))) return S_OK;
  }
  return E_FAIL;
}

bool OffersMajorType(IPin* pin, const GUID& majorType) {
  ComPtr<IEnumMediaTypes> types;
  if (FAILED(pin->EnumMediaTypes(&types)) || types == nullptr) return false;
  AM_MEDIA_TYPE* type = nullptr;
  bool offered = false;
  while (!offered && types->Next(1, &type, nullptr) == S_OK) {
    offered = type->majortype == majorType;
    dshow::DeleteMediaType(type);
  }
  return offered;
}

bool IsAnyPinConnected(IBaseFilter* filter) {
  ComPtr<IEnumPins> pins;
  if (FAILED(filter->EnumPins(&pins))) return false;
  ComPtr<IPin> pin;
  while (pins->Next(1, pin.ReleaseAndGetAddressOf(), nullptr) == S_OK)
    if (IsConnected(pin.Get())) return true;
  return false;
}

bool IsInputConnected(IBaseFilter* filter) {
  ComPtr<IEnumPins> pins;
  if (FAILED(filter->EnumPins(&pins))) return false;
  ComPtr<IPin> pin;
  while (pins->Next(1, pin.ReleaseAndGetAddressOf(), nullptr) == S_OK) {
    PIN_DIRECTION direction;
    if (SUCCEEDED(pin->QueryDirection(&direction)) && direction == PINDIR_INPUT)
      return IsConnected(pin.Get());
  }
  return false;
}

}  // namespace feed
