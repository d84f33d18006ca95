// The camera feed's cost: a file played by CMyVideoPlayer::PlayToCamera (grabber, frame
// channel, windowless renderer, sound) against a minimal feeder that only decodes the
// same file into a Null Renderer in real time. Each runs in a process of its own so that
// the CPU times are the players' own.
//
//   player_bench FILE FRAMES       runs both and prints them side by side
//   player_bench --player FILE     (child) plays into the camera, prints "frames cpu_ms"
//   player_bench --decode FILE     (child) decodes into a Null Renderer, prints "frames cpu_ms"
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "feed/CMyVideoPlayer.h"
#include "feed/CMyVideoSampleGrabberCB.h"
#include "feed/GraphBuilding.h"
#include "framework/dshow/DirectShow.h"
#include "testing/VideoWindow.h"

using Microsoft::WRL::ComPtr;

namespace {

double ProcessCpuMilliseconds() {
  FILETIME created, exited, kernel, user;
  ::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user);
  const auto ticks = [](const FILETIME& time) {
    return (static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
  };
  return static_cast<double>(ticks(kernel) + ticks(user)) / 1e4;
}

int PlayIntoCamera(const wchar_t* path) {
  testing_support::VideoWindow window;
  feed::CMyVideoPlayer player;
  bool ended = false;
  window.onPlayerEvent = [&] {
    long code;
    LONG_PTR param1, param2;
    while (SUCCEEDED(player.NextEvent(code, param1, param2)))
      if (code == EC_COMPLETE) ended = true;
  };
  const double start = ProcessCpuMilliseconds();
  if (FAILED(player.PlayToCamera(path, window.VideoArea()))) return 1;
  window.PumpUntil([&] { return ended; }, 600000);
  player.ReleaseGraph();
  std::printf("%lu %.0f\n", feed::g_videoGrabberCallback.SamplesSeen(),
              ProcessCpuMilliseconds() - start);
  return ended ? 0 : 1;
}

// Counts the samples that reach the Null Renderer through a grabber that only counts.
class CCountingCallback : public ISampleGrabberCB {
 public:
  STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
    if (iid != IID_IUnknown && iid != IID_ISampleGrabberCB) return E_NOINTERFACE;
    *object = this;
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP SampleCB(double, IMediaSample*) override { return S_OK; }
  STDMETHODIMP BufferCB(double, BYTE*, long) override {
    ++samples;
    return S_OK;
  }
  unsigned long samples = 0;
};

int DecodeIntoNullRenderer(const wchar_t* path) {
  ::CoInitialize(nullptr);
  int result = 1;
  {
    const double start = ProcessCpuMilliseconds();
    CCountingCallback counter;
    ComPtr<IGraphBuilder> graph;
    ComPtr<IBaseFilter> grabberFilter, nullRenderer;
    ComPtr<ISampleGrabber> grabber;
    ComPtr<IMediaControl> control;
    ComPtr<IMediaEvent> events;
    long code = 0;
    // Decoded to the same 24-bit RGB as the camera feed's grabber asks for.
    AM_MEDIA_TYPE decoded{};
    decoded.majortype = MEDIATYPE_Video;
    decoded.subtype = MEDIASUBTYPE_RGB24;
    // File source -> (splitter, decoder) -> grabber -> Null Renderer; the sound is left out.
    ComPtr<IFileSourceFilter> file;
    ComPtr<IBaseFilter> source;
    ComPtr<IPin> sourceOut, grabberIn, grabberOut, nullIn;
    if (SUCCEEDED(::CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER,
                                     IID_PPV_ARGS(&graph))) &&
        SUCCEEDED(::CoCreateInstance(CLSID_AsyncReader, nullptr, CLSCTX_INPROC_SERVER,
                                     IID_PPV_ARGS(&file))) &&
        SUCCEEDED(file->Load(path, nullptr)) && SUCCEEDED(file.As(&source)) &&
        SUCCEEDED(graph->AddFilter(source.Get(), L"File Source")) &&
        SUCCEEDED(::CoCreateInstance(CLSID_SampleGrabber, nullptr, CLSCTX_INPROC_SERVER,
                                     IID_PPV_ARGS(&grabber))) &&
        SUCCEEDED(grabber->SetMediaType(&decoded)) &&
        SUCCEEDED(grabber->SetCallback(&counter, 1)) && SUCCEEDED(grabber.As(&grabberFilter)) &&
        SUCCEEDED(graph->AddFilter(grabberFilter.Get(), L"Counter")) &&
        SUCCEEDED(feed::FindUnconnectedPin(source.Get(), PINDIR_OUTPUT, &sourceOut)) &&
        SUCCEEDED(feed::FindUnconnectedPin(grabberFilter.Get(), PINDIR_INPUT, &grabberIn)) &&
        SUCCEEDED(graph->Connect(sourceOut.Get(), grabberIn.Get())) &&
        SUCCEEDED(::CoCreateInstance(CLSID_NullRenderer, nullptr, CLSCTX_INPROC_SERVER,
                                     IID_PPV_ARGS(&nullRenderer))) &&
        SUCCEEDED(graph->AddFilter(nullRenderer.Get(), L"Null Renderer")) &&
        SUCCEEDED(feed::FindUnconnectedPin(grabberFilter.Get(), PINDIR_OUTPUT, &grabberOut)) &&
        SUCCEEDED(feed::FindUnconnectedPin(nullRenderer.Get(), PINDIR_INPUT, &nullIn)) &&
        SUCCEEDED(graph->Connect(grabberOut.Get(), nullIn.Get())) &&
        SUCCEEDED(graph.As(&control)) && SUCCEEDED(graph.As(&events)) &&
        SUCCEEDED(control->Run())) {
      // Until the end of the file, or its length and a little more if the end is not
      // reported (some renderers report it late).
      ComPtr<IMediaSeeking> seeking;
      LONGLONG duration = 0;
      if (SUCCEEDED(graph.As(&seeking))) seeking->GetDuration(&duration);
      const ULONGLONG deadline = ::GetTickCount64() + duration / 10000 + 3000;
      while (::GetTickCount64() < deadline) {
        LONG_PTR param1, param2;
        if (SUCCEEDED(events->GetEvent(&code, &param1, &param2, 100))) {
          events->FreeEventParams(code, param1, param2);
          if (code == EC_COMPLETE) break;
        }
      }
      control->Stop();
      std::printf("%lu %.0f\n", counter.samples, ProcessCpuMilliseconds() - start);
      result = 0;
    }
  }
  ::CoUninitialize();
  return result;
}

struct Figures {
  unsigned long frames = 0;
  double cpuMs = 0;
};

// Runs this program in a mode of its own and reads its one line of figures.
bool RunChild(const wchar_t* mode, const wchar_t* path, Figures& figures) {
  wchar_t self[MAX_PATH];
  ::GetModuleFileNameW(nullptr, self, MAX_PATH);
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  if (!::CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return false;
  ::SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = writeEnd;
  startup.hStdError = ::GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION info{};
  std::wstring commandLine = L"\"" + std::wstring(self) + L"\" " + mode + L" \"" + path + L"\"";
  const bool started = ::CreateProcessW(self, commandLine.data(), nullptr, nullptr, TRUE, 0,
                                        nullptr, nullptr, &startup, &info);
  ::CloseHandle(writeEnd);
  std::string output;
  char buffer[256];
  DWORD read = 0;
  while (started && ::ReadFile(readEnd, buffer, sizeof buffer, &read, nullptr) && read > 0)
    output.append(buffer, read);
  ::CloseHandle(readEnd);
  if (!started) return false;
  ::WaitForSingleObject(info.hProcess, INFINITE);
  ::CloseHandle(info.hProcess);
  ::CloseHandle(info.hThread);
  return std::sscanf(output.c_str(), "%lu %lf", &figures.frames, &figures.cpuMs) == 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc == 3 && std::wcscmp(argv[1], L"--player") == 0) return PlayIntoCamera(argv[2]);
  if (argc == 3 && std::wcscmp(argv[1], L"--decode") == 0) return DecodeIntoNullRenderer(argv[2]);
  if (argc != 3) {
    std::fprintf(stderr, "usage: player_bench FILE FRAMES\n");
    return 4;
  }
  const unsigned long fileFrames = std::wcstoul(argv[2], nullptr, 10);
  Figures player, decoder;
  if (!RunChild(L"--player", argv[1], player) || !RunChild(L"--decode", argv[1], decoder)) {
    std::printf("a run failed\n");
    return 1;
  }
  std::printf("%-28s %12s %14s %12s\n", "", "frames", "share of file", "CPU ms");
  std::printf("%-28s %12lu %13.1f%% %12.0f\n", "PlayToCamera (camera feed)", player.frames,
              100.0 * player.frames / fileFrames, player.cpuMs);
  std::printf("%-28s %12lu %13.1f%% %12.0f\n", "decode into Null Renderer", decoder.frames,
              100.0 * decoder.frames / fileFrames, decoder.cpuMs);
  std::printf("CPU time ratio (camera feed / decode only): %.2f\n", player.cpuMs / decoder.cpuMs);
  return 0;
}
