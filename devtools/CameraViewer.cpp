// A small DirectShow client of video input devices, as a chat program's camera page: a
// list of the cameras and the picture of the chosen one in a window.
//
//   camera-viewer [--device NAME] [--seconds N]   shows the camera (default "Virtual Camera")
//   camera-viewer [--device NAME] [--seconds N] --reconnect ON OFF
//                                                 shows it for ON seconds, lets it go for OFF
//                                                 seconds, and again, over and over; after
//                                                 each connection prints a line
//                                                 "connection N: frames F"
//   camera-viewer --list                          prints the names clients list, one a line
//
// Exit code 0 when the camera showed every time (or the list was printed), 1 when it could
// not be opened or connected (the reason is printed), 4 on bad usage.
#include <windows.h>

#include <commctrl.h>

#include <atomic>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "framework/dshow/DirectShow.h"
#include "vcam/DeviceList.h"

using Microsoft::WRL::ComPtr;

namespace {

constexpr wchar_t kClassName[] = L"PlumoraCameraViewer";
constexpr int kPickerId = 100;
constexpr UINT_PTR kQuitTimer = 1;
constexpr UINT_PTR kReconnectTimer = 2;
constexpr int kVideoWidth = 640, kVideoHeight = 480, kMargin = 10, kPickerHeight = 24;

// Counts the frames that pass a Sample Grabber, on the streaming thread. Owned by the
// preview, which releases its graph first: the reference count is fixed.
class CFrameCounter : public ISampleGrabberCB {
 public:
  STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
    if (iid == IID_IUnknown || iid == IID_ISampleGrabberCB) {
      *object = static_cast<ISampleGrabberCB*>(this);
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP SampleCB(double, IMediaSample*) override {
    ++m_frames;
    return S_OK;
  }
  STDMETHODIMP BufferCB(double, BYTE*, long) override { return S_OK; }

  long Frames() const { return m_frames.load(); }
  void Reset() { m_frames = 0; }

 private:
  std::atomic<long> m_frames{0};
};

// A camera shown in a video renderer that draws into our window. A Sample Grabber before
// the renderer counts the frames: Wine's renderer has no IQualProp that would.
class CPreview {
 public:
  HRESULT Show(const std::wstring& device, HWND area) {
    Close();
    HRESULT result = ::CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER,
                                        IID_PPV_ARGS(&m_graph));
    if (FAILED(result)) return result;
    const ComPtr<IBaseFilter> camera = vcam::OpenVideoInputDevice(device);
    if (camera == nullptr) return VFW_E_NOT_FOUND;
    ComPtr<ICaptureGraphBuilder2> builder;
    ComPtr<IBaseFilter> grabber, renderer;
    ComPtr<ISampleGrabber> grabbing;
    m_counter.Reset();
    // The classic renderer takes 24-bit RGB as it comes.
    if (FAILED(result = m_graph->AddFilter(camera.Get(), device.c_str())) ||
        FAILED(result = ::CoCreateInstance(CLSID_SampleGrabber, nullptr, CLSCTX_INPROC_SERVER,
                                           IID_PPV_ARGS(&grabber))) ||
        FAILED(result = grabber.As(&grabbing)) ||
        FAILED(result = grabbing->SetCallback(&m_counter, 0)) ||
        FAILED(result = m_graph->AddFilter(grabber.Get(), L"Frame counter")) ||
        FAILED(result = ::CoCreateInstance(CLSID_VideoRenderer, nullptr, CLSCTX_INPROC_SERVER,
                                           IID_PPV_ARGS(&renderer))) ||
        FAILED(result = m_graph->AddFilter(renderer.Get(), L"Video Renderer")) ||
        FAILED(result = ::CoCreateInstance(CLSID_CaptureGraphBuilder2, nullptr,
                                           CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&builder))) ||
        FAILED(result = builder->SetFiltergraph(m_graph.Get())))
      return result;
    ChooseSize(builder.Get(), camera.Get());
    if (FAILED(result = builder->RenderStream(&PIN_CATEGORY_CAPTURE, &MEDIATYPE_Video, camera.Get(),
                                              grabber.Get(), renderer.Get())))
      return result;
    // MinGW's headers give IVideoWindow no __uuidof.
    if (FAILED(result = m_graph->QueryInterface(
                   IID_IVideoWindow, reinterpret_cast<void**>(m_window.ReleaseAndGetAddressOf()))))
      return result;
    RECT client;
    ::GetClientRect(area, &client);
    m_window->put_Owner(reinterpret_cast<OAHWND>(area));
    m_window->put_WindowStyle(WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
    m_window->SetWindowPosition(0, 0, client.right, client.bottom);
    ComPtr<IMediaControl> control;
    if (FAILED(result = m_graph.As(&control))) return result;
    return control->Run();
  }

  void Close() {
    ComPtr<IMediaControl> control;
    if (m_graph != nullptr && SUCCEEDED(m_graph.As(&control))) control->Stop();
    if (m_window != nullptr) {
      m_window->put_Visible(OAFALSE);
      m_window->put_Owner(0);
    }
    m_window.Reset();
    m_graph.Reset();
  }

  // The frames that reached the renderer since the camera was last shown.
  long Frames() const { return m_counter.Frames(); }

  ~CPreview() { Close(); }

 private:
  // 640 x 480 when the camera offers it; otherwise whatever it gives.
  static void ChooseSize(ICaptureGraphBuilder2* builder, IBaseFilter* camera) {
    ComPtr<IAMStreamConfig> config;
    if (FAILED(builder->FindInterface(&PIN_CATEGORY_CAPTURE, &MEDIATYPE_Video, camera,
                                      IID_IAMStreamConfig,
                                      reinterpret_cast<void**>(config.GetAddressOf()))))
      return;
    int count = 0, size = 0;
    if (FAILED(config->GetNumberOfCapabilities(&count, &size)) ||
        size != sizeof(VIDEO_STREAM_CONFIG_CAPS))
      return;
    for (int i = 0; i < count; ++i) {
      AM_MEDIA_TYPE* type = nullptr;
      VIDEO_STREAM_CONFIG_CAPS caps;
      if (config->GetStreamCaps(i, &type, reinterpret_cast<BYTE*>(&caps)) != S_OK) continue;
      const bool wanted =
          type->formattype == FORMAT_VideoInfo && type->subtype == MEDIASUBTYPE_RGB24 &&
          caps.MaxOutputSize.cx == kVideoWidth && caps.MaxOutputSize.cy == kVideoHeight;
      if (wanted) config->SetFormat(type);
      if (type->cbFormat != 0) ::CoTaskMemFree(type->pbFormat);
      if (type->pUnk != nullptr) type->pUnk->Release();
      ::CoTaskMemFree(type);
      if (wanted) return;
    }
  }

  // Before the graph, which calls it until released.
  CFrameCounter m_counter;
  ComPtr<IGraphBuilder> m_graph;
  ComPtr<IVideoWindow> m_window;
};

struct Viewer {
  CPreview preview;
  std::vector<vcam::VideoInputDevice> devices;
  HWND picker = nullptr;
  HWND area = nullptr;
  HRESULT shown = E_FAIL;
  // --reconnect: how long each connection lasts and the pause after it, in milliseconds.
  UINT connectedMs = 0;
  UINT pauseMs = 0;
  bool connected = false;
  int connections = 0;
  int failedConnections = 0;
};

Viewer* g_viewer = nullptr;

void ShowChosen() {
  const LRESULT chosen = ::SendMessageW(g_viewer->picker, CB_GETCURSEL, 0, 0);
  if (chosen < 0 || static_cast<size_t>(chosen) >= g_viewer->devices.size()) return;
  const std::wstring& name = g_viewer->devices[static_cast<size_t>(chosen)].friendlyName;
  g_viewer->shown = g_viewer->preview.Show(name, g_viewer->area);
  if (FAILED(g_viewer->shown))
    std::fprintf(stderr, "could not show \"%ls\": error 0x%08lx\n", name.c_str(),
                 static_cast<unsigned long>(g_viewer->shown));
}

// Ends the connection under way and reports it, or starts the next one.
void Reconnect(HWND window) {
  Viewer& viewer = *g_viewer;
  if (viewer.connected) {
    viewer.preview.Close();
    const long frames = viewer.preview.Frames();
    viewer.connected = false;
    ++viewer.connections;
    if (FAILED(viewer.shown)) {
      ++viewer.failedConnections;
      std::printf("connection %d: failed, error 0x%08lx\n", viewer.connections,
                  static_cast<unsigned long>(viewer.shown));
    } else {
      std::printf("connection %d: frames %ld\n", viewer.connections, frames);
    }
    std::fflush(stdout);
    ::SetTimer(window, kReconnectTimer, viewer.pauseMs, nullptr);
    return;
  }
  ShowChosen();
  viewer.connected = true;
  ::SetTimer(window, kReconnectTimer, viewer.connectedMs, nullptr);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      if (LOWORD(wParam) == kPickerId && HIWORD(wParam) == CBN_SELCHANGE) ShowChosen();
      return 0;
    case WM_TIMER:
      if (wParam == kQuitTimer) ::DestroyWindow(window);
      if (wParam == kReconnectTimer) Reconnect(window);
      return 0;
    case WM_DESTROY:
      g_viewer->preview.Close();
      ::PostQuitMessage(0);
      return 0;
  }
  return ::DefWindowProcW(window, message, wParam, lParam);
}

struct Options {
  std::wstring device = L"Virtual Camera";
  double seconds = 0;
  double connectedSeconds = 0;
  double pauseSeconds = 0;
  bool list = false;
};

bool ParseOptions(int argc, wchar_t** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::wstring arg = argv[i];
    if (arg == L"--list") {
      options.list = true;
    } else if (arg == L"--device" && i + 1 < argc) {
      options.device = argv[++i];
    } else if (arg == L"--seconds" && i + 1 < argc) {
      options.seconds = std::wcstod(argv[++i], nullptr);
    } else if (arg == L"--reconnect" && i + 2 < argc) {
      options.connectedSeconds = std::wcstod(argv[++i], nullptr);
      options.pauseSeconds = std::wcstod(argv[++i], nullptr);
      if (options.connectedSeconds <= 0 || options.pauseSeconds <= 0) return false;
    } else {
      return false;
    }
  }
  return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  Options options;
  if (!ParseOptions(argc, argv, options)) {
    std::fprintf(stderr,
                 "usage: camera-viewer [--device NAME] [--seconds N] [--reconnect ON OFF] | "
                 "--list\n");
    return 4;
  }
  if (FAILED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
  Viewer viewer;
  g_viewer = &viewer;
  viewer.devices = vcam::ListVideoInputDevices();
  if (options.list) {
    for (const vcam::VideoInputDevice& device : viewer.devices)
      std::printf("%ls\n", device.friendlyName.c_str());
    ::CoUninitialize();
    return 0;
  }

  const HINSTANCE instance = ::GetModuleHandleW(nullptr);
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kClassName;
  ::RegisterClassW(&windowClass);

  RECT frame{0, 0, kVideoWidth + 2 * kMargin, kVideoHeight + kPickerHeight + 3 * kMargin};
  ::AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
  const HWND window =
      ::CreateWindowW(kClassName, L"Camera viewer", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                      CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left,
                      frame.bottom - frame.top, nullptr, nullptr, instance, nullptr);
  viewer.picker =
      ::CreateWindowW(L"COMBOBOX", L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWNLIST,
                      kMargin, kMargin, kVideoWidth, 200, window,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(kPickerId)), instance, nullptr);
  ::SendMessageW(viewer.picker, WM_SETFONT,
                 reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT)), TRUE);
  viewer.area = ::CreateWindowW(L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_BLACKRECT, kMargin,
                                kPickerHeight + 2 * kMargin, kVideoWidth, kVideoHeight, window,
                                nullptr, instance, nullptr);
  int chosen = -1;
  for (size_t i = 0; i < viewer.devices.size(); ++i) {
    ::SendMessageW(viewer.picker, CB_ADDSTRING, 0,
                   reinterpret_cast<LPARAM>(viewer.devices[i].friendlyName.c_str()));
    if (viewer.devices[i].friendlyName == options.device) chosen = static_cast<int>(i);
  }
  if (chosen < 0) {
    std::fprintf(stderr, "no video input device is named \"%ls\"\n", options.device.c_str());
    ::DestroyWindow(window);
    ::CoUninitialize();
    return 1;
  }
  ::SendMessageW(viewer.picker, CB_SETCURSEL, static_cast<WPARAM>(chosen), 0);
  ::ShowWindow(window, SW_SHOW);
  if (options.connectedSeconds > 0) {
    viewer.connectedMs = static_cast<UINT>(options.connectedSeconds * 1000);
    viewer.pauseMs = static_cast<UINT>(options.pauseSeconds * 1000);
    Reconnect(window);
  } else {
    ShowChosen();
  }
  if (options.seconds > 0)
    ::SetTimer(window, kQuitTimer, static_cast<UINT>(options.seconds * 1000), nullptr);

  MSG message;
  while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  const bool allShown =
      options.connectedSeconds > 0 ? viewer.failedConnections == 0 : SUCCEEDED(viewer.shown);
  g_viewer = nullptr;
  viewer.devices.clear();
  ::CoUninitialize();
  return allShown ? 0 : 1;
}
