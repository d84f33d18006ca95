#include "vcam/FramePacer.h"

namespace vcam {

std::int64_t CFramePacer::NextDue(std::int64_t now) {
  if (!m_started || now - m_due > kMostFramesBehind * m_interval) {
    m_started = true;
    m_due = now;
  }
  return m_due;
}

}  // namespace vcam
