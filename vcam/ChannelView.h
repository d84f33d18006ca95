// The reading side of the frame channel: the named shared block, opened read-only when
// it exists and kept mapped from then on (the writer finds and reuses an object that a
// reader holds, so a player started later still reaches us).
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "framework/Handle.h"

namespace vcam {

class CChannelView {
 public:
  explicit CChannelView(std::wstring objectName) : m_objectName(std::move(objectName)) {}

  // Opens and maps the block if nobody has created it yet. False while there is none.
  bool Open();
  bool IsOpen() const { return static_cast<bool>(m_view); }
  // The mapped bytes: the whole view, which may be longer than the channel's layout
  // (it ends on a page boundary) but never shorter than what can be read.
  const std::uint8_t* Bytes() const { return m_view.Bytes(); }
  std::size_t Size() const { return m_size; }

 private:
  std::wstring m_objectName;
  framework::CHandle m_mapping;
  framework::CMappedView m_view;
  std::size_t m_size = 0;
};

}  // namespace vcam
