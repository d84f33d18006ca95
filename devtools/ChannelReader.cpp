// Reads the frame channel from a process of its own, as the virtual camera does.
//
//   channel-reader [--name NAME] --dump FILE
//       Writes the block's header and pixel bytes (4 + width * height * 3 bytes) to FILE.
//   channel-reader [--name NAME] --watch SECONDS [--png FILE] [--record FOLDER]
//       Watches the block, counts the distinct frames it sees, prints their size and
//       saves the last one as a PNG picture; with --record, each frame seen is also
//       written to FOLDER as frame-NNNN.bin (header and pixel bytes).
//
// Exit codes: 0 success, 1 no frame seen, 2 no channel, 3 unreadable header, 4 bad usage,
// 5 the output file could not be written.
#include <windows.h>
// GDI+ needs the Windows types first.
#include <gdiplus.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cwchar>
#include <memory>
#include <string>
#include <vector>

#include "feed/FrameLayout.h"

namespace {

enum ExitCode { kOk = 0, kNoFrame = 1, kNoChannel = 2, kBadHeader = 3, kUsage = 4, kOutput = 5 };

struct Options {
  std::wstring name = feed::kFrameChannelName;
  std::wstring dumpFile;
  std::wstring pngFile;
  std::wstring recordFolder;
  double watchSeconds = 0;
};

bool ParseOptions(int argc, wchar_t** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::wstring arg = argv[i];
    if (i + 1 >= argc) return false;
    const wchar_t* value = argv[++i];
    if (arg == L"--name")
      options.name = value;
    else if (arg == L"--dump")
      options.dumpFile = value;
    else if (arg == L"--png")
      options.pngFile = value;
    else if (arg == L"--record")
      options.recordFolder = value;
    else if (arg == L"--watch")
      options.watchSeconds = std::wcstod(value, nullptr);
    else
      return false;
  }
  return !options.dumpFile.empty() || options.watchSeconds > 0;
}

// A read-only view of the whole named block, opened and closed with this object.
class ChannelView {
 public:
  explicit ChannelView(const std::wstring& name) {
    m_mapping = ::OpenFileMappingW(FILE_MAP_READ, FALSE, name.c_str());
    if (m_mapping != nullptr)
      m_bytes = static_cast<const std::uint8_t*>(
          ::MapViewOfFile(m_mapping, FILE_MAP_READ, 0, 0, feed::kFrameBlockBytes));
  }
  ChannelView(const ChannelView&) = delete;
  ChannelView& operator=(const ChannelView&) = delete;
  ~ChannelView() {
    if (m_bytes != nullptr) ::UnmapViewOfFile(m_bytes);
    if (m_mapping != nullptr) ::CloseHandle(m_mapping);
  }
  const std::uint8_t* Bytes() const { return m_bytes; }

 private:
  HANDLE m_mapping = nullptr;
  const std::uint8_t* m_bytes = nullptr;
};

bool WriteWholeFile(const std::wstring& path, const std::uint8_t* bytes, size_t size) {
  FILE* file = _wfopen(path.c_str(), L"wb");
  if (file == nullptr) return false;
  const bool ok = std::fwrite(bytes, 1, size, file) == size;
  return std::fclose(file) == 0 && ok;
}

std::uint64_t Fingerprint(const std::uint8_t* bytes, size_t size) {
  std::uint64_t hash = 1469598103934665603ull;  // FNV-1a
  for (size_t i = 0; i < size; ++i) hash = (hash ^ bytes[i]) * 1099511628211ull;
  return hash;
}

bool FindEncoder(const wchar_t* mimeType, CLSID& clsid) {
  UINT count = 0, size = 0;
  if (Gdiplus::GetImageEncodersSize(&count, &size) != Gdiplus::Ok || size == 0) return false;
  std::vector<std::uint8_t> buffer(size);
  auto* encoders = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
  if (Gdiplus::GetImageEncoders(count, size, encoders) != Gdiplus::Ok) return false;
  for (UINT i = 0; i < count; ++i) {
    if (std::wcscmp(encoders[i].MimeType, mimeType) == 0) {
      clsid = encoders[i].Clsid;
      return true;
    }
  }
  return false;
}

// Saves an RGB24 frame with padded, bottom-up rows (the usual sample layout) as PNG.
bool SavePng(const std::wstring& path, const feed::FrameView& frame) {
  if (frame.width == 0 || frame.height == 0) return false;
  // The block holds only width * height * 3 bytes; with padded rows the top rows'
  // ends are missing. They stay black.
  std::vector<std::uint8_t> rows(frame.rowStride * frame.height, 0);
  std::copy(frame.pixels, frame.pixels + frame.pixelBytes, rows.begin());

  Gdiplus::GdiplusStartupInput input;
  ULONG_PTR token = 0;
  if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok) return false;
  bool saved = false;
  {
    CLSID png;
    Gdiplus::Bitmap bitmap(frame.width, frame.height, -static_cast<INT>(frame.rowStride),
                           PixelFormat24bppRGB,
                           rows.data() + frame.rowStride * (frame.height - 1u));
    saved =
        FindEncoder(L"image/png", png) && bitmap.Save(path.c_str(), &png, nullptr) == Gdiplus::Ok;
  }
  Gdiplus::GdiplusShutdown(token);
  return saved;
}

int Dump(const Options& options) {
  ChannelView view(options.name);
  if (view.Bytes() == nullptr) {
    std::fwprintf(stderr, L"channel \"%ls\" is not there (error %lu)\n", options.name.c_str(),
                  ::GetLastError());
    return kNoChannel;
  }
  feed::FrameView frame;
  if (!feed::ReadFrame(view.Bytes(), feed::kFrameBlockBytes, frame)) return kBadHeader;
  if (!WriteWholeFile(options.dumpFile, view.Bytes(), feed::kFrameHeaderBytes + frame.pixelBytes))
    return kOutput;
  return kOk;
}

int Watch(const Options& options) {
  const ULONGLONG deadline =
      ::GetTickCount64() + static_cast<ULONGLONG>(options.watchSeconds * 1000);
  // The writer makes the block with its first frame; wait for it.
  std::unique_ptr<ChannelView> view;
  while (true) {
    view = std::make_unique<ChannelView>(options.name);
    if (view->Bytes() != nullptr) break;
    if (::GetTickCount64() >= deadline) {
      std::printf("no frame channel appeared\n");
      return kNoChannel;
    }
    ::Sleep(20);
  }

  // The channel has no lock: a poll during a write sees a torn frame. A frame counts once
  // two polls in a row (a millisecond apart) see the same bytes, which torn reads of a
  // frame being written do not.
  unsigned framesSeen = 0;
  std::uint64_t counted = 0, previousPoll = 0;
  bool havePrevious = false;
  feed::FrameView last;
  std::vector<std::uint8_t> lastBlock;
  while (::GetTickCount64() < deadline) {
    feed::FrameView frame;
    if (feed::ReadFrame(view->Bytes(), feed::kFrameBlockBytes, frame)) {
      const size_t used = feed::kFrameHeaderBytes + frame.pixelBytes;
      const std::uint64_t fingerprint = Fingerprint(view->Bytes(), used);
      const bool settled = havePrevious && fingerprint == previousPoll;
      if (settled && (framesSeen == 0 || fingerprint != counted)) {
        ++framesSeen;
        counted = fingerprint;
        lastBlock.assign(view->Bytes(), view->Bytes() + used);
        if (framesSeen == 1) std::printf("first frame: %ux%u\n", frame.width, frame.height);
        if (!options.recordFolder.empty()) {
          wchar_t name[32];
          std::swprintf(name, 32, L"\\frame-%04u.bin", framesSeen);
          if (!WriteWholeFile(options.recordFolder + name, lastBlock.data(), lastBlock.size()))
            return kOutput;
        }
      }
      previousPoll = fingerprint;
      havePrevious = true;
    }
    ::Sleep(1);
  }
  if (framesSeen == 0) {
    std::printf("frames seen: 0\n");
    return kNoFrame;
  }
  feed::ReadFrame(lastBlock.data(), lastBlock.size(), last);
  std::printf("frames seen: %u\nlast frame: %ux%u, %u pixel bytes\n", framesSeen, last.width,
              last.height, static_cast<unsigned>(last.pixelBytes));
  if (!options.pngFile.empty()) {
    if (!SavePng(options.pngFile, last)) {
      std::printf("could not save the last frame as PNG\n");
      return kOutput;
    }
    std::printf("last frame saved as PNG\n");
  }
  return kOk;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  Options options;
  if (!ParseOptions(argc, argv, options)) {
    std::fprintf(stderr,
                 "usage: channel-reader [--name NAME] --dump FILE\n"
                 "       channel-reader [--name NAME] --watch SECONDS [--png FILE] "
                 "[--record FOLDER]\n");
    return kUsage;
  }
  return options.dumpFile.empty() ? Watch(options) : Dump(options);
}
