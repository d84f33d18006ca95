// The movie maker's whole job on a folder of pictures: every *.jpg of the folder, in name
// order, decoded, stretched to 640 x 480 and written at one frame per second, as Make
// video writes it. Prints the seconds it took; tools/bench.sh sets ffmpeg doing the same
// job on the same files beside it.
// Usage: movie_maker_bench FOLDER OUTPUT.avi
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "camera/Photo.h"
#include "moviemaker/MovieFrames.h"

namespace {

double NowSeconds() {
  LARGE_INTEGER frequency, now;
  ::QueryPerformanceFrequency(&frequency);
  ::QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

std::vector<std::wstring> PicturesIn(const std::wstring& folder) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW found;
  HANDLE search = ::FindFirstFileW((folder + L"\\*.jpg").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do names.push_back(found.cFileName);
  while (::FindNextFileW(search, &found));
  ::FindClose(search);
  std::sort(names.begin(), names.end());
  for (std::wstring& name : names) name = folder + L"\\" + name;
  return names;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) {
    std::fwprintf(stderr, L"usage: movie_maker_bench FOLDER OUTPUT.avi\n");
    return 2;
  }
  const std::vector<std::wstring> pictures = PicturesIn(argv[1]);
  if (pictures.empty()) {
    std::fwprintf(stderr, L"no *.jpg in %ls\n", argv[1]);
    return 1;
  }
  const camera::CGdiplusSession gdiplus;
  const double start = NowSeconds();
  const moviemaker::MovieOutcome outcome = moviemaker::WriteMovie(argv[2], pictures, 640, 480, 1);
  const double seconds = NowSeconds() - start;
  if (!outcome.written) {
    std::fwprintf(stderr, L"no movie: %ls\n", outcome.error.c_str());
    return 1;
  }
  std::printf("plumora: %zu pictures, %zu left out, %.3f s\n", pictures.size(),
              outcome.leftOut.size(), seconds);

  // Where the time goes: each step alone over the same pictures, one at a time on this
  // thread (the movie maker reads several pictures at once).
  double decode = 0, scale = 0, rows = 0;
  for (const std::wstring& path : pictures) {
    double t = NowSeconds();
    Gdiplus::Bitmap picture(path.c_str());
    Gdiplus::Color probe;
    picture.GetPixel(0, 0, &probe);  // decoded by now
    decode += NowSeconds() - t;
    t = NowSeconds();
    std::unique_ptr<Gdiplus::Bitmap> scaled = camera::ScaleBitmap(picture, 640, 480);
    scale += NowSeconds() - t;
    t = NowSeconds();
    moviemaker::FrameRows frame;
    if (scaled) moviemaker::PictureToRows(*scaled, frame);
    rows += NowSeconds() - t;
  }
  std::printf("steps on one thread: decode %.3f s, scale %.3f s, to rows %.3f s\n", decode, scale,
              rows);
  return 0;
}
