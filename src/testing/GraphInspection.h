// For tests: what a DirectShow graph holds and how its filters are connected.
#pragma once

#include <windows.h>

#include <dshow.h>
#include <wrl/client.h>

#include <string>
#include <vector>

namespace testing_support {

struct GraphFilter {
  std::wstring name;
  CLSID classId{};
  Microsoft::WRL::ComPtr<IBaseFilter> filter;
};

std::vector<GraphFilter> FiltersOf(IGraphBuilder* graph);

// The filter whose input pin is fed by this filter's output (the first connected one);
// null when nothing is connected downstream.
Microsoft::WRL::ComPtr<IBaseFilter> Downstream(IBaseFilter* filter);
// The filter feeding this filter's first connected input; null when none.
Microsoft::WRL::ComPtr<IBaseFilter> Upstream(IBaseFilter* filter);
std::wstring FilterName(IBaseFilter* filter);
// The media subtype on this filter's first connected input; GUID_NULL when none.
GUID InputSubtype(IBaseFilter* filter);

// The file that the graph's file source reads; empty when it has none.
std::wstring SourceFileOf(IGraphBuilder* graph);

// "name -> name (subtype)" lines, for failure messages.
std::string DescribeGraph(IGraphBuilder* graph);

}  // namespace testing_support
