#include "moviemaker/FrameReadAhead.h"

#include <algorithm>
#include <utility>

#include "framework/ComScope.h"

namespace moviemaker {

CFrameReadAhead::CFrameReadAhead(const std::vector<std::wstring>& pictures, int width, int height)
    : m_pictures(pictures), m_width(width), m_height(height), m_slots(pictures.size()) {
  const unsigned processors = std::max(1u, std::thread::hardware_concurrency());
  const std::size_t helpers = std::min<std::size_t>({processors, 4, pictures.size()});
  // Frames waiting to be written are held in memory (900 KB each at 640 x 480): a few per
  // helper keep every helper busy.
  m_mostAhead = helpers * 2;
  for (std::size_t i = 0; i < helpers; ++i) {
    try {
      m_helpers.emplace_back(&CFrameReadAhead::ReadPictures, this);
    } catch (const std::system_error&) {
      break;  // fewer helpers; with none, TakeNext reads the pictures itself
    }
  }
}

CFrameReadAhead::~CFrameReadAhead() {
  {
    const std::lock_guard<std::mutex> hold(m_mutex);
    m_stopping = true;
  }
  m_changed.notify_all();
  for (std::thread& helper : m_helpers) helper.join();
}

void CFrameReadAhead::ReadPictures() {
  // GDI+ reads some formats through COM components.
  const framework::CComScope com(COINIT_MULTITHREADED);
  for (;;) {
    std::size_t index = 0;
    {
      std::unique_lock<std::mutex> hold(m_mutex);
      m_changed.wait(hold, [this] {
        return m_stopping || m_nextToRead >= m_pictures.size() ||
               m_nextToRead < m_nextToTake + m_mostAhead;
      });
      if (m_stopping || m_nextToRead >= m_pictures.size()) return;
      index = m_nextToRead++;
    }
    FrameRows rows;
    const bool read = LoadImageRows(m_pictures[index], m_width, m_height, rows);
    {
      const std::lock_guard<std::mutex> hold(m_mutex);
      m_slots[index] = Slot{true, read, std::move(rows)};
    }
    m_changed.notify_all();
  }
}

bool CFrameReadAhead::TakeNext(FrameRows& rows) {
  if (m_nextToTake >= m_pictures.size()) return false;
  if (m_helpers.empty()) return LoadImageRows(m_pictures[m_nextToTake++], m_width, m_height, rows);
  std::unique_lock<std::mutex> hold(m_mutex);
  Slot& slot = m_slots[m_nextToTake];
  m_changed.wait(hold, [&slot] { return slot.done; });
  rows = std::move(slot.rows);
  slot.rows = FrameRows{};
  const bool read = slot.read;
  ++m_nextToTake;
  hold.unlock();
  m_changed.notify_all();  // a helper waiting for room may read on
  return read;
}

}  // namespace moviemaker
