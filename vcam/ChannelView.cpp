#include "vcam/ChannelView.h"

namespace vcam {

bool CChannelView::Open() {
  if (m_view) return true;
  framework::CHandle mapping(::OpenFileMappingW(FILE_MAP_READ, FALSE, m_objectName.c_str()));
  if (!mapping) return false;
  // All of it, whatever size its creator gave it: the size comes from the view itself.
  framework::CMappedView view(::MapViewOfFile(mapping.Get(), FILE_MAP_READ, 0, 0, 0));
  MEMORY_BASIC_INFORMATION region{};
  if (!view || ::VirtualQuery(view.Bytes(), &region, sizeof region) == 0) return false;
  m_mapping = std::move(mapping);
  m_view = std::move(view);
  m_size = region.RegionSize;
  return true;
}

}  // namespace vcam
