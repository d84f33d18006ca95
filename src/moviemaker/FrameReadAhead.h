// Pictures read into movie frames by helper threads ahead of the thread that writes them:
// decoding and stretching a picture take far longer than writing its frames, and each
// picture can be read on a processor of its own. Frames are handed out in list order.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "moviemaker/MovieFrames.h"

namespace moviemaker {

class CFrameReadAhead {
 public:
  // GDI+ must be started by the caller and stay so while this object lives.
  CFrameReadAhead(const std::vector<std::wstring>& pictures, int width, int height);
  CFrameReadAhead(const CFrameReadAhead&) = delete;
  CFrameReadAhead& operator=(const CFrameReadAhead&) = delete;
  // Stops the helpers, which finish the picture they are reading.
  ~CFrameReadAhead();

  // The frame of the next picture in the list (LoadImageRows), waiting for it if need be;
  // false when that picture cannot be read. Called once for each picture, in order.
  bool TakeNext(FrameRows& rows);

 private:
  struct Slot {
    bool done = false;
    bool read = false;
    FrameRows rows;
  };

  void ReadPictures();

  const std::vector<std::wstring> m_pictures;
  const int m_width;
  const int m_height;
  std::mutex m_mutex;
  std::condition_variable m_changed;
  std::vector<Slot> m_slots;
  std::size_t m_nextToRead = 0;
  std::size_t m_nextToTake = 0;
  std::size_t m_mostAhead = 0;
  bool m_stopping = false;
  std::vector<std::thread> m_helpers;
};

}  // namespace moviemaker
