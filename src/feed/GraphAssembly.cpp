#include "feed/GraphAssembly.h"

#include "app/Log.h"
#include "feed/CMyVideoSampleGrabberCB.h"
#include "feed/ColourConverterFilter.h"
#include "feed/GraphBuilding.h"
#include "feed/MediaPathRules.h"

using Microsoft::WRL::ComPtr;

namespace feed {

namespace {

constexpr char kLogModule[] = "CMyVideoPlayer";

class CGraphAssembler {
 public:
  explicit CGraphAssembler(GraphParts& parts) : m_parts(parts) {}

  HRESULT Assemble(const GraphRecipe& recipe) {
    HRESULT result = CreateGraph();
    if (FAILED(result)) return result;

    ComPtr<IBaseFilter> grabberFilter;
    if (recipe.feedCamera) {
      if (FAILED(result = CreateGrabber())) return result;
      if (FAILED(result = m_parts.grabber.As(&grabberFilter))) return result;
    }
    if (FAILED(result = AddWindowlessRenderer(recipe.videoWindow))) return result;

    return recipe.renderWholeFile
               ? BuildRenderFileGraph(grabberFilter.Get(), recipe.feedCamera, recipe.path.c_str())
               : BuildSourceGraph(recipe.path.c_str(), grabberFilter.Get(), true,
                                  recipe.feedCamera);
  }

 private:
  HRESULT CreateGraph() {
    HRESULT result = ::CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER,
                                        IID_PPV_ARGS(&m_parts.graph));
    if (FAILED(result)) return result;
    if (FAILED(result = m_parts.graph.As(&m_parts.control))) return result;
    if (FAILED(result = m_parts.graph.As(&m_parts.events))) return result;
    if (FAILED(result = m_parts.graph.As(&m_parts.seeking))) return result;
    return m_parts.graph.As(&m_parts.audio);
  }

  HRESULT CreateGrabber() {
    HRESULT result = ::CoCreateInstance(CLSID_SampleGrabber, nullptr, CLSCTX_INPROC_SERVER,
                                        IID_PPV_ARGS(&m_parts.grabber));
    if (FAILED(result)) {
      LOG_ERROR(kLogModule, L"Fail to create SampleGrabber, maybe qedit.dll is not registered?");
      return result;
    }
    // Any 24-bit RGB video: the format type stays open.
    AM_MEDIA_TYPE type{};
    type.majortype = MEDIATYPE_Video;
    type.subtype = MEDIASUBTYPE_RGB24;
    if (FAILED(result = m_parts.grabber->SetMediaType(&type))) {
      LOG_ERROR(kLogModule, L"Fail to set media type!");
      return result;
    }
    if (FAILED(result = m_parts.grabber->SetBufferSamples(FALSE))) return result;
    if (FAILED(result = m_parts.grabber->SetOneShot(FALSE))) return result;
    return m_parts.grabber->SetCallback(&g_videoGrabberCallback, 1);
  }

  HRESULT AddWindowlessRenderer(HWND videoWindow) {
    ComPtr<IBaseFilter> renderer;
    HRESULT result =
        ::CoCreateInstance(CLSID_VideoMixingRenderer, nullptr,
                           CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER, IID_PPV_ARGS(&renderer));
    if (FAILED(result)) return result;
    if (FAILED(result = m_parts.graph->AddFilter(renderer.Get(), L"Video Mixing Renderer")))
      return result;

    ComPtr<IVMRFilterConfig> config;
    if (FAILED(result = renderer.As(&config))) return result;
    if (FAILED(result = config->SetRenderingMode(VMRMode_Windowless))) return result;

    if (FAILED(result = renderer.As(&m_parts.windowless))) return result;
    if (FAILED(result = m_parts.windowless->SetVideoClippingWindow(videoWindow))) return result;
    // Some renderers do not implement the border colour; the default border is black anyway.
    result = m_parts.windowless->SetBorderColor(RGB(0, 0, 0));
    return result == E_NOTIMPL ? S_OK : result;
  }

  HRESULT AddColourConverter(ComPtr<IBaseFilter>& converter) {
    converter = CColourConverterFilter::Create();
    return m_parts.graph->AddFilter(converter.Get(), L"Colour Converter");
  }

  void RemoveIfUnused(IBaseFilter* filter) {
    if (filter != nullptr && !IsAnyPinConnected(filter)) m_parts.graph->RemoveFilter(filter);
  }

  HRESULT BuildSourceGraph(const wchar_t* path, IBaseFilter* grabber, bool withAudio,
                           bool useGrabber) {
    if (IsWindowsMediaPath(path)) return E_FAIL;
    IGraphBuilder* const graph = m_parts.graph.Get();

    ComPtr<IFileSourceFilter> fileSource;
    HRESULT result = ::CoCreateInstance(CLSID_AsyncReader, nullptr, CLSCTX_INPROC_SERVER,
                                        IID_PPV_ARGS(&fileSource));
    if (FAILED(result)) return result;
    if (FAILED(result = fileSource->Load(path, nullptr))) return result;
    ComPtr<IBaseFilter> source;
    if (FAILED(result = fileSource.As(&source))) return result;
    if (FAILED(result = graph->AddFilter(source.Get(), L"File Source"))) return result;

    ComPtr<IPin> sourceOutput;
    if (FAILED(result = FindUnconnectedPin(source.Get(), PINDIR_OUTPUT, &sourceOutput)))
      return result;
    ComPtr<IPin> toRender = sourceOutput;
    if (useGrabber) {
      if (FAILED(result = graph->AddFilter(grabber, L"Grabber"))) return result;
      ComPtr<IPin> grabberInput;
      if (FAILED(result = FindUnconnectedPin(grabber, PINDIR_INPUT, &grabberInput))) return result;
      // The graph manager inserts the splitter and decoder that lead to 24-bit RGB.
      if (FAILED(result = graph->Connect(sourceOutput.Get(), grabberInput.Get()))) return result;
      if (FAILED(result =
                     FindUnconnectedPin(grabber, PINDIR_OUTPUT, toRender.ReleaseAndGetAddressOf())))
        return result;
    }

    ComPtr<IBaseFilter> audioRenderer;
    if (withAudio && SUCCEEDED(::CoCreateInstance(CLSID_DSoundRender, nullptr, CLSCTX_INPROC_SERVER,
                                                  IID_PPV_ARGS(&audioRenderer)))) {
      if (FAILED(result = graph->AddFilter(audioRenderer.Get(), L"Audio Renderer"))) return result;
      ComPtr<IPin> audioInput;
      if (FAILED(result = FindUnconnectedPin(audioRenderer.Get(), PINDIR_INPUT, &audioInput)))
        return result;
      ConnectToAnyOutput(graph, audioInput.Get(), MEDIATYPE_Audio);
    }
    // Without a sound device there is no audio renderer, and the video plays alone.

    ComPtr<IFilterGraph2> graph2;
    if (FAILED(result = m_parts.graph.As(&graph2))) return result;
    ComPtr<IBaseFilter> converter;
    if (FAILED(result = AddColourConverter(converter))) return result;
    result = graph2->RenderEx(toRender.Get(), AM_RENDEREX_RENDERTOEXISTINGRENDERERS, nullptr);
    RemoveIfUnused(converter.Get());

    // A file without sound leaves the audio renderer unconnected.
    if (audioRenderer != nullptr && !IsInputConnected(audioRenderer.Get()))
      graph->RemoveFilter(audioRenderer.Get());
    return result;
  }

  HRESULT BuildRenderFileGraph(IBaseFilter* grabber, bool useGrabber, const wchar_t* path) {
    // The graph manager picks the source itself and tries the filters already in the graph
    // first, the last added first: the grabber goes in after the converter so that the
    // video reaches the grabber before anything else, and the converter after it.
    ComPtr<IBaseFilter> converter;
    HRESULT result = AddColourConverter(converter);
    if (FAILED(result)) return result;
    if (useGrabber && FAILED(result = m_parts.graph->AddFilter(grabber, L"Grabber"))) return result;

    result = m_parts.graph->RenderFile(path, nullptr);
    RemoveIfUnused(converter.Get());
    if (SUCCEEDED(result) && useGrabber && !IsInputConnected(grabber)) {
      m_parts.graph->RemoveFilter(grabber);
      LOG_ERROR("vmrutil", L"grabber is not grabbed");
      return E_GRABBER_NOT_GRABBED;
    }
    return result;
  }

  GraphParts& m_parts;
};

}  // namespace

HRESULT AssembleGraph(const GraphRecipe& recipe, GraphParts& parts) {
  return CGraphAssembler(parts).Assemble(recipe);
}

}  // namespace feed
