// The camera studio's recording: one AVI movie writer at a time, fed by the frame callback
// on the streaming thread and started and stopped by the camera dialog.
#pragma once

#include <memory>
#include <string>

#include "framework/Lock.h"
#include "moviemaker/AviMovieWriter.h"

namespace camera {

// The recording's frame rate: every camera frame becomes the next movie frame.
constexpr unsigned kRecordingFramesPerSecond = 12;

// The running recording's writer, or empty. Guarded by g_recordingLock while a frame is
// appended and while the writer is closed.
extern std::unique_ptr<moviemaker::CAviMovieWriter> g_pMovieWriter;
extern framework::CCriticalSection g_recordingLock;

// Begins a recording into path (a running one is stopped first, its path dropped). The
// file is created with the first frame.
void StartRecording(const std::wstring& path);
// Closes the recording, which completes the movie on disk; its path, or empty when none
// was running. Waits while the streaming thread appends a frame.
std::wstring StopRecording();

}  // namespace camera
