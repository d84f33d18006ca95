#include "testing/GraphInspection.h"

#include <sstream>

using Microsoft::WRL::ComPtr;

namespace testing_support {

namespace {

ComPtr<IPin> FirstConnected(IBaseFilter* filter, PIN_DIRECTION wanted, ComPtr<IPin>* peer) {
  ComPtr<IEnumPins> pins;
  if (filter == nullptr || FAILED(filter->EnumPins(&pins))) return nullptr;
  ComPtr<IPin> pin;
  while (pins->Next(1, pin.ReleaseAndGetAddressOf(), nullptr) == S_OK) {
    PIN_DIRECTION direction;
    ComPtr<IPin> other;
    if (SUCCEEDED(pin->QueryDirection(&direction)) && direction == wanted &&
        SUCCEEDED(pin->ConnectedTo(&other)) && other != nullptr) {
      if (peer != nullptr) *peer = other;
      return pin;
    }
  }
  return nullptr;
}

ComPtr<IBaseFilter> OwnerOf(IPin* pin) {
  PIN_INFO info{};
  if (pin == nullptr || FAILED(pin->QueryPinInfo(&info))) return nullptr;
  ComPtr<IBaseFilter> owner;
  owner.Attach(info.pFilter);
  return owner;
}

std::string Narrow(const std::wstring& text) {
  std::string out;
  for (wchar_t c : text) out += c < 128 ? static_cast<char>(c) : '?';
  return out;
}

std::string SubtypeName(const GUID& subtype) {
  if (subtype == MEDIASUBTYPE_RGB24) return "RGB24";
  if (subtype == MEDIASUBTYPE_RGB32) return "RGB32";
  if (subtype == GUID_NULL) return "-";
  wchar_t text[40];
  ::StringFromGUID2(subtype, text, 40);
  return Narrow(text);
}

}  // namespace

std::vector<GraphFilter> FiltersOf(IGraphBuilder* graph) {
  std::vector<GraphFilter> result;
  ComPtr<IEnumFilters> filters;
  if (graph == nullptr || FAILED(graph->EnumFilters(&filters))) return result;
  ComPtr<IBaseFilter> filter;
  while (filters->Next(1, filter.ReleaseAndGetAddressOf(), nullptr) == S_OK) {
    GraphFilter entry;
    entry.name = FilterName(filter.Get());
    filter->GetClassID(&entry.classId);
    entry.filter = filter;
    result.push_back(entry);
  }
  return result;
}

std::wstring SourceFileOf(IGraphBuilder* graph) {
  for (const GraphFilter& entry : FiltersOf(graph)) {
    ComPtr<IFileSourceFilter> source;
    if (FAILED(entry.filter.As(&source))) continue;
    LPOLESTR file = nullptr;
    AM_MEDIA_TYPE type{};
    if (FAILED(source->GetCurFile(&file, &type)) || file == nullptr) continue;
    std::wstring path = file;
    ::CoTaskMemFree(file);
    if (type.pbFormat != nullptr) ::CoTaskMemFree(type.pbFormat);
    if (type.pUnk != nullptr) type.pUnk->Release();
    return path;
  }
  return {};
}

ComPtr<IBaseFilter> Downstream(IBaseFilter* filter) {
  ComPtr<IPin> peer;
  if (FirstConnected(filter, PINDIR_OUTPUT, &peer) == nullptr) return nullptr;
  return OwnerOf(peer.Get());
}

ComPtr<IBaseFilter> Upstream(IBaseFilter* filter) {
  ComPtr<IPin> peer;
  if (FirstConnected(filter, PINDIR_INPUT, &peer) == nullptr) return nullptr;
  return OwnerOf(peer.Get());
}

std::wstring FilterName(IBaseFilter* filter) {
  FILTER_INFO info{};
  if (filter == nullptr || FAILED(filter->QueryFilterInfo(&info))) return L"?";
  if (info.pGraph != nullptr) info.pGraph->Release();
  return info.achName;
}

GUID InputSubtype(IBaseFilter* filter) {
  const ComPtr<IPin> input = FirstConnected(filter, PINDIR_INPUT, nullptr);
  AM_MEDIA_TYPE type{};
  if (input == nullptr || FAILED(input->ConnectionMediaType(&type))) return GUID_NULL;
  const GUID subtype = type.subtype;
  if (type.cbFormat != 0) ::CoTaskMemFree(type.pbFormat);
  if (type.pUnk != nullptr) type.pUnk->Release();
  return subtype;
}

std::string DescribeGraph(IGraphBuilder* graph) {
  std::ostringstream text;
  for (const GraphFilter& entry : FiltersOf(graph)) {
    text << "  " << Narrow(entry.name) << " <- ";
    const ComPtr<IBaseFilter> up = Upstream(entry.filter.Get());
    text << (up != nullptr ? Narrow(FilterName(up.Get())) : std::string("(nothing)")) << " ("
         << SubtypeName(InputSubtype(entry.filter.Get())) << ")\n";
  }
  return text.str();
}

}  // namespace testing_support
