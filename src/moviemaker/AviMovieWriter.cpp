#include "moviemaker/AviMovieWriter.h"

#include <algorithm>
#include <cstdlib>

#include "app/SettingStore.h"
#include "feed/ErrorMessageText.h"

namespace moviemaker {

namespace {

// The longest text m_lastError and the output path may hold, as in a MAX_PATH buffer.
constexpr size_t kLongestText = MAX_PATH - 1;
// A frame buffer beyond this is no movie frame but a size gone wrong.
constexpr LONGLONG kLargestFrameBuffer = 1LL << 30;

LONGLONG RowBytes(int width, int bitsPerPixel) {
  return static_cast<LONGLONG>(width) * bitsPerPixel / 8;
}

}  // namespace

CAviMovieWriter::CAviMovieWriter(const std::wstring& outputPath, DWORD framesPerSecond)
    : m_outputPath(outputPath),
      m_lastError(L"Method Succeeded"),
      m_bitmapEntries{&CAviMovieWriter::RefuseBitmap, &CAviMovieWriter::OpenWithBitmap,
                      &CAviMovieWriter::WriteBitmap},
      m_frameEntries{&CAviMovieWriter::RefuseFrame, &CAviMovieWriter::OpenWithFrame,
                     &CAviMovieWriter::WriteRows},
      m_framesPerSecond(framesPerSecond) {}

CAviMovieWriter::~CAviMovieWriter() {
  CloseMovie();
}

HRESULT CAviMovieWriter::AppendFrame(int width, int height, const BYTE* pixels) {
  if (SettleCheckConsumes()) return S_OK;
  return (this->*m_frameEntries[m_state])(width, height, pixels, 24);
}

HRESULT CAviMovieWriter::AppendBitmap(HBITMAP bitmap) {
  return (this->*m_bitmapEntries[m_state])(bitmap);
}

bool CAviMovieWriter::SettleCheckConsumes() {
  if (m_settleCalls >= 3) return false;
  const app::SettingRecord settings = app::CSettingStore::Instance()->GetCurrent();
  const bool small = settings.movieResolution == 0;
  const int expectedWidth = small ? 320 : 640;
  const int expectedHeight = small ? 240 : 480;
  if (settings.frameWidth == expectedWidth && settings.frameHeight == expectedHeight) {
    m_settleCalls = 3;
    return false;
  }
  ++m_settleCalls;
  return true;
}

void CAviMovieWriter::CloseMovie() {
  m_state = Released;
  // The compressed stream wraps the raw one; both go before the file, which is complete on
  // disk once the last of them is released.
  m_memoryDC.reset();
  m_compressedStream.reset();
  m_rawStream.reset();
  m_aviFile.reset();
  m_heap.Reset();
}

HRESULT CAviMovieWriter::RefuseFrame(int, int, const BYTE*, int) {
  return E_FAIL;
}

HRESULT CAviMovieWriter::OpenWithFrame(int width, int height, const BYTE* pixels,
                                       int bitsPerPixel) {
  if (pixels == nullptr || FAILED(CreateMovie(width, height, bitsPerPixel))) {
    if (pixels == nullptr) SetLastErrorText(L"No Pixels in the Video Frame");
    CloseMovie();
    return E_FAIL;
  }
  m_state = Writing;
  return WriteRows(width, height, pixels, bitsPerPixel);
}

HRESULT CAviMovieWriter::WriteRows(int width, int height, const BYTE* pixels, int bitsPerPixel) {
  // The buffer holds one frame of the first frame's format; anything else would overrun it.
  if (pixels == nullptr || width != m_frameWidth || height != m_frameHeight ||
      bitsPerPixel != m_bitsPerPixel) {
    SetLastErrorText(L"Video Frame Differs from the First Frame of the Movie");
    return E_FAIL;
  }
  const LONG size = static_cast<LONG>(RowBytes(width, bitsPerPixel) * height);
  // Written straight from the caller's rows, as the write is done when it returns: a copy
  // into the frame buffer first would add a tenth or more to the time of a frame.
  return WriteSample(pixels, size);
}

HRESULT CAviMovieWriter::RefuseBitmap(HBITMAP) {
  return E_FAIL;
}

HRESULT CAviMovieWriter::OpenWithBitmap(HBITMAP bitmap) {
  BITMAP header{};
  ::GetObjectW(bitmap, sizeof header, &header);
  if (FAILED(CreateMovie(header.bmWidth, header.bmHeight, header.bmBitsPixel))) {
    CloseMovie();
    return E_FAIL;
  }
  m_state = Writing;
  return WriteBitmap(bitmap);
}

HRESULT CAviMovieWriter::WriteBitmap(HBITMAP bitmap) {
  struct {
    BITMAPINFOHEADER header;
    RGBQUAD colours[1];
  } info{};
  info.header.biSize = sizeof info.header;
  info.header.biBitCount = 0;
  ::GetDIBits(m_memoryDC.get(), bitmap, 0, 0, nullptr, reinterpret_cast<BITMAPINFO*>(&info),
              DIB_RGB_COLORS);
  // GetDIBits fills rows padded to four bytes: the whole of them must fit the buffer.
  const LONGLONG stride = (RowBytes(info.header.biWidth, info.header.biBitCount) + 3) / 4 * 4;
  if (info.header.biWidth != m_frameWidth || std::abs(info.header.biHeight) != m_frameHeight ||
      info.header.biBitCount != m_bitsPerPixel || stride * m_frameHeight > m_frameBufferSize) {
    SetLastErrorText(L"Video Frame Differs from the First Frame of the Movie");
    return E_FAIL;
  }
  info.header.biCompression = BI_RGB;
  ::GetDIBits(m_memoryDC.get(), bitmap, 0, static_cast<UINT>(m_frameHeight), m_heap.Buffer(),
              reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
  return WriteSample(m_heap.Buffer(), static_cast<LONG>(info.header.biSizeImage));
}

HRESULT CAviMovieWriter::CreateMovie(int width, int height, int bitsPerPixel) {
  if (m_rawStream) return S_OK;
  if (width <= 0 || height <= 0) return Fail(L"Invalid Video Frame Size");
  // The stream format carries no colour table: only depths without a palette.
  if (bitsPerPixel != 16 && bitsPerPixel != 24 && bitsPerPixel != 32)
    return Fail(L"Unsupported Video Frame Format");
  if (m_outputPath.size() > kLongestText) return Fail(L"Output Path Is Too Long");

  const int screenWidth = ::GetSystemMetrics(SM_CXSCREEN);
  const int screenHeight = ::GetSystemMetrics(SM_CYSCREEN);
  const LONGLONG bufferSize =
      static_cast<LONGLONG>(std::max(width, screenWidth)) * std::max(height, screenHeight) * 4;
  if (bufferSize > kLargestFrameBuffer) return Fail(L"Invalid Video Frame Size");
  m_frameWidth = width;
  m_frameHeight = height;
  m_bitsPerPixel = bitsPerPixel;
  m_frameBufferSize = bufferSize;
  const LONG frameBytes = static_cast<LONG>(RowBytes(width, bitsPerPixel) * height);

  m_memoryDC.reset(::CreateCompatibleDC(nullptr));
  if (!m_memoryDC) return Fail(L"Unable to Create Compatible DC");
  if (!m_heap.CreateHeap(static_cast<SIZE_T>(bufferSize))) return Fail(L"Unable to Create Heap");
  if (!m_heap.AllocateBuffer(static_cast<SIZE_T>(bufferSize)))
    return Fail(L"Unable to Allocate Memory on Heap");

  const HRESULT opened = CAviOutputFile::Create(m_outputPath, m_aviFile);
  if (FAILED(opened)) {
    SetLastErrorText(feed::ErrorMessageText(opened));
    return E_FAIL;
  }

  m_streamInfo = AVISTREAMINFOW{};
  m_streamInfo.fccType = streamtypeVIDEO;
  m_streamInfo.fccHandler = comptypeDIB;
  m_streamInfo.dwScale = 1;
  m_streamInfo.dwRate = m_framesPerSecond;
  m_streamInfo.dwSuggestedBufferSize = static_cast<DWORD>(bufferSize);
  m_streamInfo.dwQuality = static_cast<DWORD>(-1);
  ::SetRect(&m_streamInfo.rcFrame, 0, 0, width, height);
  wcscpy(m_streamInfo.szName, L"Video Stream");
  if (FAILED(CAviOutputFile::CreateStream(m_aviFile, m_streamInfo, m_rawStream)))
    return Fail(L"Unable to Create Video Stream in the Movie File");

  m_compressOptions = AVICOMPRESSOPTIONS{};
  m_compressOptions.fccType = streamtypeVIDEO;
  m_compressOptions.fccHandler = m_streamInfo.fccHandler;
  m_compressOptions.dwKeyFrameEvery = 1;
  m_compressOptions.dwFlags = AVICOMPRESSF_KEYFRAMES | AVICOMPRESSF_DATARATE;
  if (FAILED(MakeCompressedStream(m_compressedStream, m_rawStream, m_compressOptions)))
    return Fail(L"Unable to Create Compressed Stream: Check your CODEC options");

  BITMAPINFOHEADER format{};
  format.biSize = sizeof format;
  format.biWidth = width;
  format.biHeight = height;
  format.biPlanes = 1;
  format.biBitCount = static_cast<WORD>(bitsPerPixel);
  format.biCompression = BI_RGB;
  format.biSizeImage = static_cast<DWORD>(frameBytes);
  if (FAILED(m_compressedStream->SetFormat(0, &format, sizeof format)))
    return Fail(L"Unable to Set Video Stream Format");
  return S_OK;
}

HRESULT CAviMovieWriter::WriteSample(const BYTE* data, LONG size) {
  const HRESULT written = m_compressedStream->Write(m_nextSample++, 1, data, size, 0);
  if (FAILED(written)) {
    SetLastErrorText(L"Unable to Write Video Stream to the output Movie File");
    CloseMovie();
    return E_FAIL;
  }
  return S_OK;
}

HRESULT CAviMovieWriter::Fail(const wchar_t* text) {
  SetLastErrorText(text);
  return E_FAIL;
}

void CAviMovieWriter::SetLastErrorText(const std::wstring& text) {
  m_lastError = text.substr(0, kLongestText);
}

}  // namespace moviemaker
