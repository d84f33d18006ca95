#include "camera/Recording.h"

#include <new>

namespace camera {

std::unique_ptr<moviemaker::CAviMovieWriter> g_pMovieWriter;
framework::CCriticalSection g_recordingLock;

void StartRecording(const std::wstring& path) {
  if (g_pMovieWriter) StopRecording();
  // The callback does not look at the writer until the dialog marks the recording as
  // running, after this returns; the lock still makes the hand-over visible to it.
  std::unique_ptr<moviemaker::CAviMovieWriter> writer(
      new (std::nothrow) moviemaker::CAviMovieWriter(path, kRecordingFramesPerSecond));
  framework::CAutoLock lock(g_recordingLock);
  g_pMovieWriter = std::move(writer);
}

std::wstring StopRecording() {
  framework::CAutoLock lock(g_recordingLock);
  std::wstring path;
  if (g_pMovieWriter) {
    path = g_pMovieWriter->GetOutputPath();
    g_pMovieWriter.reset();  // closes the movie
  }
  return path;
}

}  // namespace camera
