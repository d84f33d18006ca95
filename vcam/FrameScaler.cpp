#include "vcam/FrameScaler.h"

#include <cstdint>
#include <cstring>
#include <utility>

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
  // Each source row is blended across once into a row of 16-bit sums (in 256ths), then
  // the two rows around each output row are blended down: half the multiplications of
  // blending four pixels for every output pixel, and rows shared by neighbouring output
  // rows (when enlarging) are blended across only once.
  const std::size_t sums = static_cast<std::size_t>(placement.width) * 3;
  m_upper.resize(sums);
  m_lower.resize(sums);
  std::uint32_t upperRow = UINT32_MAX, lowerRow = UINT32_MAX;
  for (std::uint32_t y = 0; y < placement.height; ++y) {
    const Taps& row = m_rows[y];
    if (row.first != upperRow) {
      if (row.first == lowerRow) {
        m_upper.swap(m_lower);
        std::swap(upperRow, lowerRow);
      } else {
        BlendAcross(PictureRowFromTop(picture, row.first), m_upper.data());
        upperRow = row.first;
      }
    }
    std::uint8_t* out = canvas.RowFromTop(placement.y + y) + leftBytes;
    const std::uint16_t* upper = m_upper.data();
    if (row.weight == 0) {
      for (std::size_t i = 0; i < sums; ++i)
        out[i] = static_cast<std::uint8_t>((upper[i] + 128) >> 8);
      continue;
    }
    if (row.second != lowerRow) {
      BlendAcross(PictureRowFromTop(picture, row.second), m_lower.data());
      lowerRow = row.second;
    }
    const std::uint16_t* lower = m_lower.data();
    const std::uint32_t lowerWeight = row.weight, upperWeight = 256 - row.weight;
    for (std::size_t i = 0; i < sums; ++i)
      out[i] = static_cast<std::uint8_t>(
          (upper[i] * upperWeight + lower[i] * lowerWeight + 32768) >> 16);
  }
}

void CFrameScaler::BlendAcross(const std::uint8_t* source, std::uint16_t* sums) const {
  for (const Taps& column : m_columns) {
    const std::uint32_t right = column.weight, left = 256 - right;
    const std::uint8_t* a = source + column.first;
    const std::uint8_t* b = source + column.second;
    sums[0] = static_cast<std::uint16_t>(a[0] * left + b[0] * right);
    sums[1] = static_cast<std::uint16_t>(a[1] * left + b[1] * right);
    sums[2] = static_cast<std::uint16_t>(a[2] * left + b[2] * right);
    sums += 3;
  }
}

}  // namespace vcam
