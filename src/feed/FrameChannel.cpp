#include "feed/FrameChannel.h"

#include <utility>

#include "app/Log.h"
#include "feed/FrameLayout.h"

namespace feed {

namespace {
// The channel's records are filed under the player, which owns the frame path.
constexpr char kLogModule[] = "CMyVideoPlayer";
}  // namespace

CFrameChannel::CFrameChannel(std::wstring objectName) : m_objectName(std::move(objectName)) {}

bool CFrameChannel::Write(const BYTE* pixels, int width, int height) {
  if (pixels == nullptr) return false;

  const FramePlan plan = PlanFrame(width, height);
  switch (plan.fit) {
    case FrameFit::Fits:
      break;
    case FrameFit::TooLarge:
      LOG_ERROR(kLogModule, L"存储图像的空间太小，不能传输图像");
      return false;
    case FrameFit::OutOfRange:
      LOG_ERROR(kLogModule, L"Frame size out of range width=%d height=%d", width, height);
      return false;
  }

  if (!m_view && !Open()) return false;
  StoreFrame(m_view.Bytes(), pixels, width, height, plan);
  return true;
}

bool CFrameChannel::Open() {
  m_mapping.Reset(::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                       static_cast<DWORD>(kFrameBlockBytes), m_objectName.c_str()));
  if (!m_mapping) {
    const int error = static_cast<int>(::GetLastError());
    LOG_ERROR(kLogModule, L"Could not create file mapping object error code=%d", error);
    return false;
  }
  m_view.Reset(::MapViewOfFile(m_mapping.Get(), FILE_MAP_ALL_ACCESS, 0, 0, kFrameBlockBytes));
  if (!m_view) {
    const int error = static_cast<int>(::GetLastError());
    LOG_ERROR(kLogModule, L"Could not map view of file error code=%d", error);
    // Forget the object: it may be a smaller one that another program made; the next
    // frame opens or creates it anew.
    m_mapping.Reset();
    return false;
  }
  return true;
}

namespace {
// Process-wide: lives from load to exit, when its destructor closes the handle.
CFrameChannel g_frameChannel{kFrameChannelName};
}  // namespace

bool WriteFrame(const BYTE* pixels, int width, int height) {
  return g_frameChannel.Write(pixels, width, height);
}

}  // namespace feed
