#include "moviemaker/AviOutputFile.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "framework/CodePage.h"

namespace moviemaker {

namespace {

constexpr DWORD kSampleChunkId = MAKEAVICKID(cktypeDIBbits, 0);  // "00db"

// Appends little-endian values and RIFF chunk frames to a byte block.
class CRiffBlock {
 public:
  void Put32(DWORD value) {
    for (int i = 0; i < 4; ++i) m_bytes.push_back(static_cast<BYTE>(value >> (8 * i)));
  }
  void Put16(WORD value) {
    m_bytes.push_back(static_cast<BYTE>(value));
    m_bytes.push_back(static_cast<BYTE>(value >> 8));
  }
  void PutBytes(const void* data, size_t size) {
    const BYTE* bytes = static_cast<const BYTE*>(data);
    m_bytes.insert(m_bytes.end(), bytes, bytes + size);
  }
  // A chunk (or LIST) header whose size is filled in by EndChunk.
  size_t BeginChunk(FOURCC id) {
    Put32(id);
    Put32(0);
    return m_bytes.size();
  }
  // The size excludes the pad byte that keeps the next chunk on an even offset.
  void EndChunk(size_t start) {
    SetAt(start - 4, static_cast<DWORD>(m_bytes.size() - start));
    if ((m_bytes.size() - start) % 2 != 0) m_bytes.push_back(0);
  }
  void SetAt(size_t offset, DWORD value) {
    for (int i = 0; i < 4; ++i) m_bytes[offset + i] = static_cast<BYTE>(value >> (8 * i));
  }
  size_t Size() const { return m_bytes.size(); }
  std::vector<BYTE> Take() { return std::move(m_bytes); }

 private:
  std::vector<BYTE> m_bytes;
};

}  // namespace

HRESULT CAviOutputFile::Create(const std::wstring& path, std::shared_ptr<CAviOutputFile>& file,
                               LONGLONG largestBytes) {
  const HANDLE handle = ::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                      CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return HRESULT_FROM_WIN32(::GetLastError());
  file.reset(new CAviOutputFile(framework::CHandle(handle), largestBytes));
  return S_OK;
}

CAviOutputFile::CAviOutputFile(framework::CHandle file, LONGLONG largestBytes)
    : m_file(std::move(file)), m_largestBytes(largestBytes) {
  // A recording of some minutes at 12 frames per second without growing the index.
  m_index.reserve(4096);
}

CAviOutputFile::~CAviOutputFile() {
  Complete();
}

HRESULT CAviOutputFile::CreateStream(const std::shared_ptr<CAviOutputFile>& file,
                                     const AVISTREAMINFOW& info,
                                     std::shared_ptr<CAviVideoStream>& stream) {
  if (!file || file->m_hasStream || info.fccType != streamtypeVIDEO) return AVIERR_UNSUPPORTED;
  file->m_hasStream = true;
  file->m_info = info;
  stream = std::make_shared<CAviVideoStream>(file, 0);
  return S_OK;
}

HRESULT CAviOutputFile::SetFormat(const void* format, LONG size) {
  if (!m_hasStream || m_samplesStart != 0 || format == nullptr || size <= 0)
    return AVIERR_BADFORMAT;
  const BYTE* bytes = static_cast<const BYTE*>(format);
  m_format.assign(bytes, bytes + size);
  return S_OK;
}

HRESULT CAviOutputFile::AppendSample(LONG position, const void* data, LONG size, DWORD flags) {
  if (!m_hasStream || m_format.empty() || size < 0 || (size > 0 && data == nullptr) ||
      position != static_cast<LONG>(m_index.size()))
    return AVIERR_BADPARAM;
  if (m_samplesStart == 0) {
    // The headers go first, with counts that Complete sets right.
    const std::vector<BYTE> headers = Headers();
    if (!WriteAt(0, headers.data(), static_cast<DWORD>(headers.size())))
      return HRESULT_FROM_WIN32(::GetLastError());
    m_samplesStart = m_end = static_cast<LONGLONG>(headers.size());
  }
  const DWORD padded = static_cast<DWORD>(size) + (size % 2);
  // Room for this sample, the index with its entry, and nothing beyond the largest size.
  const LONGLONG indexBytes = 8 + 16 * static_cast<LONGLONG>(m_index.size() + 1);
  if (m_end + 8 + padded + indexBytes > m_largestBytes) return AVIERR_FILEWRITE;

  const DWORD header[2] = {kSampleChunkId, static_cast<DWORD>(size)};
  const BYTE padding = 0;
  if (!WriteAt(m_end, header, sizeof header) ||
      !WriteAt(m_end + sizeof header, data, static_cast<DWORD>(size)) ||
      (size % 2 != 0 && !WriteAt(m_end + sizeof header + size, &padding, 1))) {
    const HRESULT failure = HRESULT_FROM_WIN32(::GetLastError());
    // Nothing half written stays behind the last whole sample.
    LARGE_INTEGER end;
    end.QuadPart = m_end;
    if (::SetFilePointerEx(m_file.Get(), end, nullptr, FILE_BEGIN)) {
      m_position = m_end;
      ::SetEndOfFile(m_file.Get());
    }
    return FAILED(failure) ? failure : AVIERR_FILEWRITE;
  }
  // Offsets count from the "movi" list type, four bytes before the first sample.
  const DWORD offset = static_cast<DWORD>(m_end - (m_samplesStart - 4));
  m_index.push_back(AVIINDEXENTRY{kSampleChunkId, flags, offset, static_cast<DWORD>(size)});
  m_end += sizeof header + padded;
  m_largestSample = std::max(m_largestSample, static_cast<DWORD>(size));
  return S_OK;
}

std::vector<BYTE> CAviOutputFile::Headers() const {
  const DWORD samples = static_cast<DWORD>(m_index.size());
  const DWORD bufferSize = std::max(m_info.dwSuggestedBufferSize, m_largestSample);
  const DWORD rate = m_info.dwRate, scale = m_info.dwScale;
  CRiffBlock block;
  const size_t riff = block.BeginChunk(FOURCC_RIFF);
  block.Put32(formtypeAVI);

  const size_t headerList = block.BeginChunk(FOURCC_LIST);
  block.Put32(listtypeAVIHEADER);
  const size_t mainHeader = block.BeginChunk(ckidAVIMAINHDR);
  block.Put32(rate == 0 ? 0 : static_cast<DWORD>(1000000ULL * scale / rate));  // µs per frame
  block.Put32(scale == 0 ? 0
                         : static_cast<DWORD>(std::min<ULONGLONG>(
                               0xFFFFFFFFULL, 1ULL * m_largestSample * rate / scale)));
  block.Put32(0);              // padding granularity
  block.Put32(AVIF_HASINDEX);  // flags
  block.Put32(samples);        // total frames
  block.Put32(0);              // initial frames
  block.Put32(m_hasStream ? 1 : 0);
  block.Put32(bufferSize);
  block.Put32(static_cast<DWORD>(m_info.rcFrame.right - m_info.rcFrame.left));
  block.Put32(static_cast<DWORD>(m_info.rcFrame.bottom - m_info.rcFrame.top));
  for (int i = 0; i < 4; ++i) block.Put32(0);
  block.EndChunk(mainHeader);

  if (m_hasStream) {
    const size_t streamList = block.BeginChunk(FOURCC_LIST);
    block.Put32(listtypeSTREAMHEADER);
    const size_t streamHeader = block.BeginChunk(ckidSTREAMHEADER);
    block.Put32(m_info.fccType);
    block.Put32(m_info.fccHandler);
    block.Put32(m_info.dwFlags);
    block.Put16(m_info.wPriority);
    block.Put16(m_info.wLanguage);
    block.Put32(m_info.dwInitialFrames);
    block.Put32(scale);
    block.Put32(rate);
    block.Put32(m_info.dwStart);
    block.Put32(samples);  // length
    block.Put32(bufferSize);
    block.Put32(m_info.dwQuality);
    block.Put32(m_info.dwSampleSize);
    // The frame rectangle is stored in 16-bit fields.
    block.Put16(static_cast<WORD>(m_info.rcFrame.left));
    block.Put16(static_cast<WORD>(m_info.rcFrame.top));
    block.Put16(static_cast<WORD>(m_info.rcFrame.right));
    block.Put16(static_cast<WORD>(m_info.rcFrame.bottom));
    block.EndChunk(streamHeader);

    const size_t format = block.BeginChunk(ckidSTREAMFORMAT);
    block.PutBytes(m_format.data(), m_format.size());
    block.EndChunk(format);

    const std::wstring name(m_info.szName, wcsnlen(m_info.szName, 64));
    std::string narrowName;
    if (!name.empty() && framework::ToCodePage(CP_ACP, name, narrowName)) {
      const size_t nameChunk = block.BeginChunk(ckidSTREAMNAME);
      block.PutBytes(narrowName.c_str(), narrowName.size() + 1);
      block.EndChunk(nameChunk);
    }
    block.EndChunk(streamList);
  }
  block.EndChunk(headerList);

  // The "movi" list: its size covers the samples written so far.
  block.Put32(FOURCC_LIST);
  const LONGLONG samplesBytes = m_samplesStart == 0 ? 0 : m_end - m_samplesStart;
  block.Put32(static_cast<DWORD>(4 + samplesBytes));
  block.Put32(listtypeAVIMOVIE);
  // The RIFF size: everything after its header, up to the end of the index.
  const LONGLONG fileEnd =
      static_cast<LONGLONG>(block.Size()) + samplesBytes + 8 + 16 * static_cast<LONGLONG>(samples);
  block.SetAt(riff - 4, static_cast<DWORD>(fileEnd - 8));
  return block.Take();
}

bool CAviOutputFile::WriteAt(LONGLONG offset, const void* data, DWORD size) {
  // Samples follow one another: a write at an explicit offset costs Wine a round trip to its
  // server, so the file pointer moves only when the place changes.
  if (offset != m_position) {
    LARGE_INTEGER to;
    to.QuadPart = offset;
    if (!::SetFilePointerEx(m_file.Get(), to, nullptr, FILE_BEGIN)) return false;
    m_position = offset;
  }
  DWORD written = 0;
  const bool whole =
      size == 0 || (::WriteFile(m_file.Get(), data, size, &written, nullptr) && written == size);
  m_position += written;
  return whole;
}

void CAviOutputFile::Complete() {
  if (m_samplesStart == 0) m_samplesStart = m_end = static_cast<LONGLONG>(Headers().size());
  const DWORD indexSize = static_cast<DWORD>(m_index.size() * sizeof(AVIINDEXENTRY));
  const DWORD indexHeader[2] = {ckidAVINEWINDEX, indexSize};
  WriteAt(m_end, indexHeader, sizeof indexHeader);
  WriteAt(m_end + sizeof indexHeader, m_index.data(), indexSize);
  const std::vector<BYTE> headers = Headers();
  WriteAt(0, headers.data(), static_cast<DWORD>(headers.size()));
}

CAviVideoStream::CAviVideoStream(std::shared_ptr<CAviOutputFile> file, DWORD keyFrameEvery)
    : m_file(std::move(file)), m_keyFrameEvery(keyFrameEvery) {}

HRESULT CAviVideoStream::SetFormat(LONG position, const void* format, LONG size) {
  if (position != 0) return AVIERR_BADPARAM;
  return m_file->SetFormat(format, size);
}

HRESULT CAviVideoStream::Write(LONG position, LONG samples, const void* data, LONG size,
                               DWORD flags) {
  if (samples != 1) return AVIERR_BADPARAM;
  if (m_keyFrameEvery != 0 && position % static_cast<LONG>(m_keyFrameEvery) == 0)
    flags |= AVIIF_KEYFRAME;
  return m_file->AppendSample(position, data, size, flags);
}

HRESULT MakeCompressedStream(std::shared_ptr<CAviVideoStream>& compressed,
                             const std::shared_ptr<CAviVideoStream>& source,
                             const AVICOMPRESSOPTIONS& options) {
  if (!source || options.fccType != streamtypeVIDEO ||
      (options.fccHandler != comptypeDIB && options.fccHandler != 0))
    return AVIERR_NOCOMPRESSOR;
  const DWORD keyFrameEvery =
      (options.dwFlags & AVICOMPRESSF_KEYFRAMES) && options.dwKeyFrameEvery > 0
          ? options.dwKeyFrameEvery
          : 1;
  compressed = std::make_shared<CAviVideoStream>(source->m_file, keyFrameEvery);
  return S_OK;
}

}  // namespace moviemaker
