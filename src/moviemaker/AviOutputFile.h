// The AVI files CAviMovieWriter writes: one video stream of AVI 1.0 (RIFF "AVI ", an "idx1"
// index), offered with the operations of AVIFile that the writer uses: create a file, create
// its stream, make a compressed stream over it, set the format, write samples, release.
//
// A layer of our own rather than AVIFile itself because AVIFile as Wine provides it writes
// through an 8 KiB buffer: more than a hundred system calls for each 640 x 480 frame, which
// halves the speed of a recording. Here a frame is one write. The files are the ones
// AVIFile makes, and AVIFile reads them.
#pragma once

#include <windows.h>

#include <vfw.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/Handle.h"

namespace moviemaker {

class CAviVideoStream;

// Sizes are 32-bit in AVI 1.0, and many readers take offsets as signed.
inline constexpr LONGLONG kLargestAviFileBytes = 0x7FFFFFFF;

class CAviOutputFile {
 public:
  // Creates the file at path, replacing an existing one (AVIFileOpenW with OF_CREATE |
  // OF_WRITE). A failure code comes from the system (HRESULT_FROM_WIN32). Frames that would
  // take the file past largestBytes are refused.
  static HRESULT Create(const std::wstring& path, std::shared_ptr<CAviOutputFile>& file,
                        LONGLONG largestBytes = kLargestAviFileBytes);

  CAviOutputFile(const CAviOutputFile&) = delete;
  CAviOutputFile& operator=(const CAviOutputFile&) = delete;
  // Completes the file on disk: headers with the final counts, then the index.
  ~CAviOutputFile();

  // The file's one video stream, described by info (AVIFileCreateStreamW).
  static HRESULT CreateStream(const std::shared_ptr<CAviOutputFile>& file,
                              const AVISTREAMINFOW& info, std::shared_ptr<CAviVideoStream>& stream);

 private:
  friend class CAviVideoStream;
  CAviOutputFile(framework::CHandle file, LONGLONG largestBytes);

  HRESULT SetFormat(const void* format, LONG size);
  HRESULT AppendSample(LONG position, const void* data, LONG size, DWORD flags);
  // The headers as they stand: RIFF, "hdrl" and the start of the "movi" list.
  std::vector<BYTE> Headers() const;
  bool WriteAt(LONGLONG offset, const void* data, DWORD size);
  void Complete();

  framework::CHandle m_file;
  const LONGLONG m_largestBytes;
  bool m_hasStream = false;
  AVISTREAMINFOW m_info{};
  std::vector<BYTE> m_format;
  // Where the samples begin (0 until the headers are written) and where the file ends.
  LONGLONG m_samplesStart = 0;
  LONGLONG m_end = 0;
  // Where the file pointer stands.
  LONGLONG m_position = 0;
  std::vector<AVIINDEXENTRY> m_index;
  DWORD m_largestSample = 0;
};

// A video stream of a CAviOutputFile, raw or "compressed": uncompressed frames need no
// compressor, so a compressed stream only marks its frames as key frames as its options
// ask. It keeps its file alive: the file is complete once the last stream and the file
// itself are released.
class CAviVideoStream {
 public:
  CAviVideoStream(std::shared_ptr<CAviOutputFile> file, DWORD keyFrameEvery);

  // The frame format, before the first sample (AVIStreamSetFormat).
  HRESULT SetFormat(LONG position, const void* format, LONG size);
  // Writes one sample at position, which must be the next one (AVIStreamWrite).
  HRESULT Write(LONG position, LONG samples, const void* data, LONG size, DWORD flags);

 private:
  friend HRESULT MakeCompressedStream(std::shared_ptr<CAviVideoStream>& compressed,
                                      const std::shared_ptr<CAviVideoStream>& source,
                                      const AVICOMPRESSOPTIONS& options);

  std::shared_ptr<CAviOutputFile> m_file;
  // Every how many samples one is marked a key frame; 0 keeps the flags of each write.
  DWORD m_keyFrameEvery;
};

// A compressed stream over source (AVIMakeCompressedStream). Only uncompressed video
// ("DIB ", or no handler) is available; anything else fails with AVIERR_NOCOMPRESSOR.
HRESULT MakeCompressedStream(std::shared_ptr<CAviVideoStream>& compressed,
                             const std::shared_ptr<CAviVideoStream>& source,
                             const AVICOMPRESSOPTIONS& options);

}  // namespace moviemaker
