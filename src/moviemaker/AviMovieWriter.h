// CAviMovieWriter turns a sequence of uncompressed frames into one AVI file through the
// AVIFile operations (see AviOutputFile.h): one video stream of device-independent bitmaps
// at a fixed frame rate.
// The file is created at the first frame, whose size and depth fix the movie's format.
//
// The writer is a small state machine: for each kind of frame (pixel rows, GDI bitmaps)
// it holds a table of three entries indexed by its state, so that one call opens the movie
// on the first frame, writes on later frames and fails harmlessly once it is closed.
// One writer is used by one thread at a time.
#pragma once

#include <windows.h>

#include <vfw.h>

#include <memory>
#include <string>

#include "moviemaker/AviOutputFile.h"
#include "moviemaker/AviResources.h"

namespace moviemaker {

class CAviMovieWriter {
 public:
  // Creates nothing on disk yet.
  CAviMovieWriter(const std::wstring& outputPath, DWORD framesPerSecond);
  CAviMovieWriter(const CAviMovieWriter&) = delete;
  CAviMovieWriter& operator=(const CAviMovieWriter&) = delete;
  // Closes the movie: the file on disk is complete.
  ~CAviMovieWriter();

  // Appends one frame of height bottom-up rows of width 24-bit pixels (blue, green, red),
  // without row padding. S_OK, also for the first three calls of a writer while the
  // configured recording size differs from the reference size (they write nothing);
  // E_FAIL on any failure, with GetLastErrorText() telling why.
  HRESULT AppendFrame(int width, int height, const BYTE* pixels);
  // Writes every frame from the first: the first three are no longer held back while the
  // configured recording size differs from the reference size. That wait suits a camera
  // warming up, not a movie made of pictures, whose every frame is wanted.
  void DisableSettleCheck() { m_settleCalls = 3; }

  // Appends one frame taken from a GDI bitmap, in the bitmap's own depth.
  HRESULT AppendBitmap(HBITMAP bitmap);

  // Releases everything the movie holds; later frame calls fail. Safe in any state and
  // more than once.
  void CloseMovie();

  // The text of the last failure, "Method Succeeded" while there was none.
  const wchar_t* GetLastErrorText() const { return m_lastError.c_str(); }
  const wchar_t* GetOutputPath() const { return m_outputPath.c_str(); }

 private:
  enum State { Released = 0, AwaitingFirstFrame = 1, Writing = 2, StateCount };
  using FrameEntry = HRESULT (CAviMovieWriter::*)(int width, int height, const BYTE* pixels,
                                                  int bitsPerPixel);
  using BitmapEntry = HRESULT (CAviMovieWriter::*)(HBITMAP bitmap);

  // Whether this call is one of the first three that write nothing.
  bool SettleCheckConsumes();

  HRESULT RefuseFrame(int width, int height, const BYTE* pixels, int bitsPerPixel);
  HRESULT OpenWithFrame(int width, int height, const BYTE* pixels, int bitsPerPixel);
  HRESULT WriteRows(int width, int height, const BYTE* pixels, int bitsPerPixel);
  HRESULT RefuseBitmap(HBITMAP bitmap);
  HRESULT OpenWithBitmap(HBITMAP bitmap);
  HRESULT WriteBitmap(HBITMAP bitmap);

  HRESULT CreateMovie(int width, int height, int bitsPerPixel);
  // Writes size bytes of data as the next sample.
  HRESULT WriteSample(const BYTE* data, LONG size);
  HRESULT Fail(const wchar_t* text);
  void SetLastErrorText(const std::wstring& text);

  CMemoryDC m_memoryDC;
  CFrameHeap m_heap;  // holds the frame buffer
  LONG m_nextSample = 0;
  std::shared_ptr<CAviOutputFile> m_aviFile;
  std::shared_ptr<CAviVideoStream> m_rawStream;
  std::shared_ptr<CAviVideoStream> m_compressedStream;
  AVISTREAMINFOW m_streamInfo{};
  AVICOMPRESSOPTIONS m_compressOptions{};
  std::wstring m_outputPath;
  std::wstring m_lastError;
  State m_state = AwaitingFirstFrame;
  BitmapEntry m_bitmapEntries[StateCount];
  FrameEntry m_frameEntries[StateCount];
  DWORD m_framesPerSecond;
  int m_settleCalls = 0;
  // The format the first frame fixed, and the size of the frame buffer.
  int m_frameWidth = 0;
  int m_frameHeight = 0;
  int m_bitsPerPixel = 0;
  LONGLONG m_frameBufferSize = 0;
};

}  // namespace moviemaker
