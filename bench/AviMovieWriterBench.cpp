// CAviMovieWriter against the least any writer of the same bytes must do: one WriteFile per
// frame into a plain file on the same disk. 600 frames of 640 x 480 (a recording of
// 50 seconds at 12 frames per second); the ratio is the writer's speed over WriteFile's.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/SettingStore.h"
#include "framework/Handle.h"
#include "moviemaker/AviMovieWriter.h"

namespace {

constexpr int kWidth = 640, kHeight = 480, kFrames = 600, kRounds = 5;
constexpr DWORD kFrameBytes = kWidth * kHeight * 3;

double NowSeconds() {
  static const double ticksPerSecond = [] {
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    return static_cast<double>(frequency.QuadPart);
  }();
  LARGE_INTEGER now;
  ::QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) / ticksPerSecond;
}

// Seconds to write every frame as a movie, the file closed and complete; negative on failure.
double WriteMovie(const std::wstring& path, const std::vector<std::vector<BYTE>>& frames) {
  const double start = NowSeconds();
  {
    moviemaker::CAviMovieWriter writer(path, 12);
    for (int i = 0; i < kFrames; ++i)
      if (writer.AppendFrame(kWidth, kHeight, frames[i % frames.size()].data()) != S_OK) {
        std::printf("AppendFrame failed: %ls\n", writer.GetLastErrorText());
        return -1;
      }
  }
  return NowSeconds() - start;
}

// Seconds to write the same bytes with WriteFile, the file closed; negative on failure.
double WritePlain(const std::wstring& path, const std::vector<std::vector<BYTE>>& frames) {
  const double start = NowSeconds();
  {
    const HANDLE raw = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, nullptr);
    if (raw == INVALID_HANDLE_VALUE) return -1;
    const framework::CHandle file(raw);
    for (int i = 0; i < kFrames; ++i) {
      DWORD written = 0;
      if (!::WriteFile(file.Get(), frames[i % frames.size()].data(), kFrameBytes, &written,
                       nullptr) ||
          written != kFrameBytes)
        return -1;
    }
  }
  return NowSeconds() - start;
}

}  // namespace

int main() {
  wchar_t temp[MAX_PATH + 1];
  const std::wstring folder(temp, ::GetTempPathW(MAX_PATH + 1, temp));
  const std::wstring moviePath = folder + L"plumora-bench-movie.avi";
  const std::wstring plainPath = folder + L"plumora-bench-plain.raw";
  // Default settings: every frame is written.
  app::CSettingStore::InstanceFor(folder + L"plumora-bench-no-config.ini");

  std::vector<std::vector<BYTE>> frames(8, std::vector<BYTE>(kFrameBytes));
  for (size_t f = 0; f < frames.size(); ++f)
    for (size_t i = 0; i < kFrameBytes; ++i) frames[f][i] = static_cast<BYTE>(i * 7 + f * 31);

  // Rounds alternate so that both see the same state of the disk and its cache.
  std::vector<double> movie, plain;
  for (int round = 0; round < kRounds; ++round) {
    const double m = WriteMovie(moviePath, frames);
    ::DeleteFileW(moviePath.c_str());
    const double p = WritePlain(plainPath, frames);
    ::DeleteFileW(plainPath.c_str());
    if (m < 0 || p < 0) {
      std::printf("a write failed (movie %.3f s, plain %.3f s)\n", m, p);
      return 1;
    }
    movie.push_back(m);
    plain.push_back(p);
  }
  std::sort(movie.begin(), movie.end());
  std::sort(plain.begin(), plain.end());
  const double movieSeconds = movie[movie.size() / 2], plainSeconds = plain[plain.size() / 2];
  const double megabytes = static_cast<double>(kFrameBytes) * kFrames / (1024 * 1024);
  std::printf("%d frames of %dx%d (%.0f MiB), median of %d rounds\n", kFrames, kWidth, kHeight,
              megabytes, kRounds);
  std::printf("%-16s %10s %10s\n", "", "seconds", "MiB/s");
  std::printf("%-16s %10.3f %10.0f\n", "CAviMovieWriter", movieSeconds, megabytes / movieSeconds);
  std::printf("%-16s %10.3f %10.0f\n", "WriteFile", plainSeconds, megabytes / plainSeconds);
  std::printf("ratio (writer speed / WriteFile speed): %.2f (goal: at least 0.80)\n",
              plainSeconds / movieSeconds);
  app::CSettingStore::DestroyInstance();
  return 0;
}
