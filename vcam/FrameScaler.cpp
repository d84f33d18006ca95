#include "vcam/FrameScaler.h"

#include <cstring>

namespace vcam {

namespace {

// The source position, in 256ths of a pixel, under the centre of output pixel `index`
// when `source` pixels spread over `target` ones.
std::vector<std::uint32_t> Positions(std::uint32_t source, std::uint32_t target) {
  std::vector<std::uint32_t> positions(target);
  for (std::uint32_t i = 0; i < target; ++i) {
    const std::int64_t centre = (static_cast<std::int64_t>(2 * i + 1) * source * 256) /
                                    (2 * static_cast<std::int64_t>(target)) -
                                128;
    positions[i] = static_cast<std::uint32_t>(centre < 0 ? 0 : centre);
  }
  return positions;
}

}  // namespace

void CFrameScaler::PlanTaps(const ChannelPicture& picture, const Placement& placement) {
  if (picture.width == m_pictureWidth && picture.height == m_pictureHeight &&
      placement.width == m_placement.width && placement.height == m_placement.height &&
      m_columns.size() == placement.width)
    return;
  const auto taps = [](std::uint32_t position, std::uint32_t count) {
    Taps tap{position >> 8, position >> 8, position & 255};
    if (tap.first >= count - 1) {
      tap.first = tap.second = count - 1;
      tap.weight = 0;
    } else {
      tap.second = tap.first + 1;
    }
    return tap;
  };
  m_columns.clear();
  for (std::uint32_t position : Positions(picture.width, placement.width)) {
    Taps tap = taps(position, picture.width);
    tap.first *= 3;
    tap.second *= 3;
    m_columns.push_back(tap);
  }
  m_rows.clear();
  for (std::uint32_t position : Positions(picture.height, placement.height))
    m_rows.push_back(taps(position, picture.height));
  m_pictureWidth = picture.width;
  m_pictureHeight = picture.height;
  m_placement = placement;
}

void CFrameScaler::Draw(const ChannelPicture& picture, const RgbCanvas& canvas) {
  const Placement placement = FitInside(picture.width, picture.height, canvas.width, canvas.height);
  const std::size_t rowBytes = static_cast<std::size_t>(canvas.width) * 3;
  const std::size_t leftBytes = static_cast<std::size_t>(placement.x) * 3;
  const std::size_t pictureBytes = static_cast<std::size_t>(placement.width) * 3;
  const std::size_t rightBytes = rowBytes - leftBytes - pictureBytes;

  for (std::uint32_t y = 0; y < canvas.height; ++y) {
    std::uint8_t* out = canvas.RowFromTop(y);
    if (y < placement.y || y >= placement.y + placement.height) {
      std::memset(out, 0, rowBytes);
      continue;
    }
    std::memset(out, 0, leftBytes);
    std::memset(out + leftBytes + pictureBytes, 0, rightBytes);
  }
  if (placement.width == 0) return;

  if (placement.width == picture.width && placement.height == picture.height) {
    for (std::uint32_t y = 0; y < placement.height; ++y)
      std::memcpy(canvas.RowFromTop(placement.y + y) + leftBytes, PictureRowFromTop(picture, y),
                  pictureBytes);
    return;
  }

  PlanTaps(picture, placement);
  const Taps* columns = m_columns.data();
  for (std::uint32_t y = 0; y < placement.height; ++y) {
    const Taps& row = m_rows[y];
    const std::uint8_t* upper = PictureRowFromTop(picture, row.first);
    const std::uint8_t* lower = PictureRowFromTop(picture, row.second);
    std::uint8_t* out = canvas.RowFromTop(placement.y + y) + leftBytes;
    const std::uint32_t lowerWeight = row.weight, upperWeight = 256 - row.weight;
    if (lowerWeight == 0) {
      for (std::uint32_t x = 0; x < placement.width; ++x, out += 3) {
        const Taps& column = columns[x];
        const std::uint32_t right = column.weight, left = 256 - right;
        const std::uint8_t* a = upper + column.first;
        const std::uint8_t* b = upper + column.second;
        for (int c = 0; c < 3; ++c)
          out[c] = static_cast<std::uint8_t>((a[c] * left + b[c] * right + 128) >> 8);
      }
      continue;
    }
    for (std::uint32_t x = 0; x < placement.width; ++x, out += 3) {
      const Taps& column = columns[x];
      const std::uint32_t right = column.weight, left = 256 - right;
      const std::uint8_t* a = upper + column.first;
      const std::uint8_t* b = upper + column.second;
      const std::uint8_t* c0 = lower + column.first;
      const std::uint8_t* d = lower + column.second;
      for (int c = 0; c < 3; ++c) {
        const std::uint32_t top = a[c] * left + b[c] * right;
        const std::uint32_t bottom = c0[c] * left + d[c] * right;
        out[c] =
            static_cast<std::uint8_t>((top * upperWeight + bottom * lowerWeight + 32768) >> 16);
      }
    }
  }
}

}  // namespace vcam
