#include "moviemaker/AviReadBack.h"

namespace moviemaker {

MovieOnDisk ReadMovie(const std::wstring& path) {
  MovieOnDisk movie;
  ::AVIFileInit();
  PAVIFILE file = nullptr;
  if (SUCCEEDED(::AVIFileOpenW(&file, path.c_str(), OF_READ | OF_SHARE_DENY_WRITE, nullptr))) {
    PAVISTREAM stream = nullptr;
    if (SUCCEEDED(::AVIFileGetStream(file, &stream, streamtypeVIDEO, 0))) {
      movie.opened = true;
      ::AVIStreamInfoW(stream, &movie.info, sizeof movie.info);
      ::AVIStreamReadFormat(stream, 0, nullptr, &movie.formatSize);
      if (movie.formatSize >= static_cast<LONG>(sizeof movie.format)) {
        LONG size = sizeof movie.format;
        ::AVIStreamReadFormat(stream, 0, &movie.format, &size);
      }
      const LONG length = ::AVIStreamLength(stream);
      for (LONG sample = 0; sample < length; ++sample) {
        LONG bytes = 0;
        ::AVIStreamRead(stream, sample, 1, nullptr, 0, &bytes, nullptr);
        std::vector<BYTE> data(static_cast<size_t>(bytes));
        ::AVIStreamRead(stream, sample, 1, data.data(), bytes, nullptr, nullptr);
        movie.samples.push_back(std::move(data));
        movie.keyFrames.push_back(AVIStreamIsKeyFrame(stream, sample));
      }
      ::AVIStreamRelease(stream);
    }
    ::AVIFileRelease(file);
  }
  ::AVIFileExit();
  return movie;
}

}  // namespace moviemaker
