// The camera studio with a 640 x 480 camera at 30 frames per second (our virtual camera,
// fed by channel-pattern-writer): the share of the camera's frames a recording keeps, the
// CPU time a recorded frame costs against the least any writer of the same bytes must do
// (one WriteFile per frame into a plain file), and the time from the photo button to the
// photo file.
// Usage: camera_studio_bench [SECONDS, default 60]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "app/SettingStore.h"
#include "camera/CPreviwCameraDlg.h"
#include "camera/OutputFileNaming.h"
#include "camera/SampleGrabberCB.h"
#include "framework/ComScope.h"
#include "framework/Handle.h"
#include "moviemaker/AviReadBack.h"
#include "resources/resource.h"
#include "testing/DialogDriver.h"
#include "testing/Process.h"
#include "vcam/testing/CameraDevices.h"
#include "vcam/testing/TestChannel.h"

namespace {

constexpr DWORD kFrameBytes = 640 * 480 * 3;

double NowSeconds() {
  LARGE_INTEGER frequency, now;
  ::QueryPerformanceFrequency(&frequency);
  ::QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// User and kernel time of this process so far.
double CpuSeconds() {
  FILETIME created, exited, kernel, user;
  ::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user);
  const auto seconds = [](FILETIME t) {
    return static_cast<double>((static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime) /
           1e7;
  };
  return seconds(kernel) + seconds(user);
}

struct WriteCost {
  double seconds = 0, cpuSeconds = 0;
};

// One WriteFile per frame of the same size into a plain file, for frames frames.
WriteCost PlainWrite(const std::wstring& path, unsigned long frames) {
  std::vector<BYTE> frame(kFrameBytes, 0x5A);
  const double start = NowSeconds(), startCpu = CpuSeconds();
  {
    const framework::CHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr,
                                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    for (unsigned long i = 0; i < frames; ++i) {
      DWORD written = 0;
      ::WriteFile(file.Get(), frame.data(), kFrameBytes, &written, nullptr);
    }
  }
  const WriteCost cost{NowSeconds() - start, CpuSeconds() - startCpu};
  ::DeleteFileW(path.c_str());
  return cost;
}

void Pump(HWND dialog, double seconds) {
  testing_support::PumpDialogFor(dialog, static_cast<unsigned>(seconds * 1000));
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const double seconds = argc > 1 ? std::wcstod(argv[1], nullptr) : 60.0;
  const framework::CComScope com;
  wchar_t temp[MAX_PATH + 1];
  const std::wstring folder(temp, ::GetTempPathW(MAX_PATH + 1, temp));
  const std::wstring root = folder + L"plumora-studio-bench";
  ::CreateDirectoryW(root.c_str(), nullptr);
  const std::wstring config = folder + L"plumora-studio-bench.ini";
  ::WritePrivateProfileStringW(L"usingsetting", L"resourcespath", root.c_str(), config.c_str());
  app::CSettingStore::InstanceFor(config);

  const vcam::testing_support::CCameraRegistration registration;
  if (!registration.Succeeded()) {
    std::printf("the virtual camera could not be registered\n");
    return 1;
  }
  testing_support::ChildProcess writer(
      testing_support::ProgramFolder() + L"\\channel-pattern-writer.exe",
      L"640 480 " + std::to_wstring(static_cast<int>(seconds * 2 + 60)));
  if (!vcam::testing_support::WaitForChannelPicture(640, 480, 10000)) {
    std::printf("the pattern writer did not start\n");
    return 1;
  }

  camera::CPreviwCameraDlg studio;
  if (!studio.Create(nullptr) || !studio.IsCameraOpen()) {
    std::printf("the studio could not open the camera\n");
    return 1;
  }
  studio.ShowWindow(SW_SHOW);
  const HWND dialog = studio.GetSafeHwnd();
  Pump(dialog, 2);

  // Photographs: the button to the file, five times.
  std::vector<double> photoSeconds;
  for (int i = 0; i < 5; ++i) {
    const double start = NowSeconds();
    testing_support::PressDialogButton(dialog, IDC_CAMERA_PHOTO);
    testing_support::PumpDialogUntil(
        dialog, [&] { return ::IsWindowEnabled(::GetDlgItem(dialog, IDC_CAMERA_PHOTO)) != FALSE; },
        10000);
    photoSeconds.push_back(NowSeconds() - start);
  }
  std::sort(photoSeconds.begin(), photoSeconds.end());

  // A recording of the given length; the callback measures what each append costs.
  const unsigned long seen = camera::g_frameGrabberCB.FramesSeen();
  const camera::CSampleGrabberCB::RecordingCost before =
      camera::g_frameGrabberCB.RecordingCostSoFar();
  testing_support::PressDialogButton(dialog, IDC_CAMERA_RECORD);
  Pump(dialog, seconds);
  std::wstring movie;
  studio.EndRecording(movie);
  const unsigned long cameraFrames = camera::g_frameGrabberCB.FramesSeen() - seen;
  camera::CSampleGrabberCB::RecordingCost cost = camera::g_frameGrabberCB.RecordingCostSoFar();
  cost.frames -= before.frames;
  cost.elapsed100ns -= before.elapsed100ns;
  cost.cpu100ns -= before.cpu100ns;
  const moviemaker::MovieOnDisk recorded = moviemaker::ReadMovie(movie);
  const unsigned long kept = static_cast<unsigned long>(recorded.samples.size());
  ::DeleteFileW(movie.c_str());
  studio.DestroyWindow();

  const WriteCost plain = PlainWrite(folder + L"plumora-studio-bench.raw", cost.frames);
  const double frames = cost.frames > 0 ? cost.frames : 1;
  const double appendMs = cost.elapsed100ns / 1e4 / frames,
               appendCpuMs = cost.cpu100ns / 1e4 / frames;
  const double plainMs = plain.seconds * 1000 / frames,
               plainCpuMs = plain.cpuSeconds * 1000 / frames;
  std::printf("photo button to photo file: median %.0f ms (min %.0f, max %.0f, 5 photos)\n",
              photoSeconds[2] * 1000, photoSeconds.front() * 1000, photoSeconds.back() * 1000);
  std::printf(
      "over %.0f s of recording: %lu camera frames, %lu appended, %lu in the movie: "
      "%.1f%% kept\n",
      seconds, cameraFrames, cost.frames, kept,
      cameraFrames > 0 ? 100.0 * kept / cameraFrames : 0.0);
  std::printf("%-34s %12s %12s\n", "per frame of 640x480x24", "time ms", "CPU ms");
  std::printf("%-34s %12.3f %12.3f\n", "append on the streaming thread", appendMs, appendCpuMs);
  std::printf("%-34s %12.3f %12.3f\n", "WriteFile of the same bytes", plainMs, plainCpuMs);
  std::printf("ratio append / WriteFile: time %.2f, CPU %.2f\n",
              plainMs > 0 ? appendMs / plainMs : 0.0,
              plainCpuMs > 0 ? appendCpuMs / plainCpuMs : 0.0);
  app::CSettingStore::DestroyInstance();
  ::DeleteFileW(config.c_str());
  return 0;
}
