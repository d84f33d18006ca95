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

// CPU seconds of one WriteFile per frame of the same size, for frames frames.
double PlainWriteCpu(const std::wstring& path, unsigned long frames) {
  std::vector<BYTE> frame(kFrameBytes, 0x5A);
  const double start = CpuSeconds();
  {
    const framework::CHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr,
                                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    for (unsigned long i = 0; i < frames; ++i) {
      DWORD written = 0;
      ::WriteFile(file.Get(), frame.data(), kFrameBytes, &written, nullptr);
    }
  }
  const double cpu = CpuSeconds() - start;
  ::DeleteFileW(path.c_str());
  return cpu;
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

  // Previewing alone, then recording, for the same time.
  unsigned long seen = camera::g_frameGrabberCB.FramesSeen();
  double cpu = CpuSeconds();
  Pump(dialog, seconds);
  const unsigned long previewFrames = camera::g_frameGrabberCB.FramesSeen() - seen;
  const double previewCpu = CpuSeconds() - cpu;

  seen = camera::g_frameGrabberCB.FramesSeen();
  cpu = CpuSeconds();
  testing_support::PressDialogButton(dialog, IDC_CAMERA_RECORD);
  Pump(dialog, seconds);
  std::wstring movie;
  studio.EndRecording(movie);
  const unsigned long recordFrames = camera::g_frameGrabberCB.FramesSeen() - seen;
  const double recordCpu = CpuSeconds() - cpu;
  const moviemaker::MovieOnDisk recorded = moviemaker::ReadMovie(movie);
  const unsigned long kept = static_cast<unsigned long>(recorded.samples.size());
  ::DeleteFileW(movie.c_str());
  studio.DestroyWindow();

  const double plainCpu = PlainWriteCpu(folder + L"plumora-studio-bench.raw", kept);
  const double perFrameMs = kept > 0 ? (recordCpu - previewCpu) * 1000 / kept : 0;
  const double plainPerFrameMs = kept > 0 ? plainCpu * 1000 / kept : 0;
  std::printf("photo button to photo file: median %.0f ms (min %.0f, max %.0f, 5 photos)\n",
              photoSeconds[2] * 1000, photoSeconds.front() * 1000, photoSeconds.back() * 1000);
  std::printf(
      "over %.0f s: camera frames %lu while previewing, %lu while recording, %lu in the "
      "movie: %.1f%% kept\n",
      seconds, previewFrames, recordFrames, kept,
      recordFrames > 0 ? 100.0 * kept / recordFrames : 0.0);
  std::printf(
      "process CPU: %.2f s previewing, %.2f s recording; per recorded frame %.3f ms "
      "more than previewing\n",
      previewCpu, recordCpu, perFrameMs);
  std::printf(
      "WriteFile of the same bytes: %.3f ms CPU per frame; ratio recording / WriteFile: "
      "%.2f\n",
      plainPerFrameMs, plainPerFrameMs > 0 ? perFrameMs / plainPerFrameMs : 0.0);
  app::CSettingStore::DestroyInstance();
  ::DeleteFileW(config.c_str());
  return 0;
}
