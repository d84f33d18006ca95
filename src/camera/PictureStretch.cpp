#include "camera/PictureStretch.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace camera {
namespace {

// Weights are fixed point: whole pixels times weights add up in 32 bits.
constexpr int kWeightBits = 14;
constexpr std::int32_t kOne = 1 << kWeightBits;
// The most taps one axis's filter may have in all. Shrinking 4000 pixels to 1 takes 8001;
// only a stretch no picture asks for (a million pixels to one) comes near this.
constexpr long long kMostTaps = 1LL << 24;
// The most bytes of the picture between the two passes (new width, old height).
constexpr long long kMostBetweenBytes = 1LL << 28;

// Keys' cubic with a = -0.5 (Catmull-Rom): exact on straight ramps, sharp, little ringing.
double Cubic(double x) {
  x = std::fabs(x);
  if (x < 1) return (1.5 * x - 2.5) * x * x + 1;
  if (x < 2) return ((-0.5 * x + 2.5) * x - 4) * x + 2;
  return 0;
}

// An index beyond 0 .. size - 1 mirrored back into it: -1 is 0, -2 is 1, size is size - 1.
int Mirrored(long long index, int size) {
  const long long period = 2LL * size;
  index %= period;
  if (index < 0) index += period;
  return static_cast<int>(index < size ? index : period - 1 - index);
}

// For each new pixel along one axis, the old pixels it is made of and their weights.
struct AxisFilter {
  int taps = 0;  // per new pixel
  std::vector<int> sources;
  std::vector<std::int32_t> weights;  // add up to kOne for each new pixel
};

bool MakeAxisFilter(int from, int to, AxisFilter& filter) {
  const double scale = static_cast<double>(from) / to;
  // Shrinking widens the filter to cover every old pixel under a new one.
  const double reach = std::max(1.0, scale);
  const double support = 2.0 * reach;
  // Old pixels whose centres lie less than support away: never more than this many.
  const long long taps = static_cast<long long>(std::ceil(2 * support));
  if (taps * to > kMostTaps) return false;
  filter.taps = static_cast<int>(taps);
  filter.sources.resize(static_cast<std::size_t>(taps * to));
  filter.weights.resize(filter.sources.size());
  std::vector<double> raw(static_cast<std::size_t>(taps));
  for (int i = 0; i < to; ++i) {
    // Pixel k covers k .. k + 1, so its centre is at k + 0.5, in old and new pixels alike.
    const double centre = (i + 0.5) * scale;
    const auto first = static_cast<long long>(std::floor(centre - support - 0.5)) + 1;
    double sum = 0;
    for (int t = 0; t < filter.taps; ++t) {
      raw[t] = Cubic((static_cast<double>(first + t) + 0.5 - centre) / reach);
      sum += raw[t];
    }
    const std::size_t at = static_cast<std::size_t>(i) * filter.taps;
    std::int32_t total = 0;
    int heaviest = 0;
    for (int t = 0; t < filter.taps; ++t) {
      const auto weight = static_cast<std::int32_t>(std::lround(raw[t] / sum * kOne));
      filter.weights[at + t] = weight;
      filter.sources[at + t] = Mirrored(first + t, from);
      total += weight;
      if (raw[t] > raw[heaviest]) heaviest = t;
    }
    // Rounding must not tint a flat colour: the weights add up to exactly one.
    filter.weights[at + heaviest] += kOne - total;
  }
  return true;
}

std::uint8_t ToByte(std::int32_t sum) {
  const std::int32_t value = (sum + kOne / 2) >> kWeightBits;
  return static_cast<std::uint8_t>(std::clamp<std::int32_t>(value, 0, 255));
}

// Rows along x: each new pixel from the old pixels the filter names.
template <int kBytes>
void StretchAcross(const PixelsView& from, const PixelsTarget& to, const AxisFilter& filter) {
  for (int y = 0; y < to.height; ++y) {
    const std::uint8_t* row = from.pixels + from.stride * y;
    std::uint8_t* out = to.pixels + to.stride * y;
    const int* sources = filter.sources.data();
    const std::int32_t* weights = filter.weights.data();
    for (int x = 0; x < to.width; ++x) {
      std::int32_t sum[kBytes] = {};
      for (int t = 0; t < filter.taps; ++t) {
        const std::uint8_t* pixel = row + static_cast<std::ptrdiff_t>(*sources++) * kBytes;
        const std::int32_t weight = *weights++;
        for (int b = 0; b < kBytes; ++b) sum[b] += pixel[b] * weight;
      }
      for (int b = 0; b < kBytes; ++b) *out++ = ToByte(sum[b]);
    }
  }
}

// Columns along y, a whole row at a time, which the compiler turns into vector code.
void StretchDown(const PixelsView& from, const PixelsTarget& to, std::size_t rowBytes,
                 const AxisFilter& filter) {
  std::vector<std::int32_t> sums(rowBytes);
  for (int y = 0; y < to.height; ++y) {
    std::fill(sums.begin(), sums.end(), 0);
    const std::size_t at = static_cast<std::size_t>(y) * filter.taps;
    for (int t = 0; t < filter.taps; ++t) {
      const std::int32_t weight = filter.weights[at + t];
      if (weight == 0) continue;
      const std::uint8_t* row = from.pixels + from.stride * filter.sources[at + t];
      for (std::size_t b = 0; b < rowBytes; ++b) sums[b] += row[b] * weight;
    }
    std::uint8_t* out = to.pixels + to.stride * y;
    for (std::size_t b = 0; b < rowBytes; ++b) out[b] = ToByte(sums[b]);
  }
}

template <int kBytes>
void Stretch(const PixelsView& source, const PixelsTarget& target, const AxisFilter& across,
             const AxisFilter& down) {
  // Either axis may go first, through a picture stretched along that axis only. Along x
  // costs about four times as much per tap as along y (no vector code), so the cheaper
  // order is the one that stretches fewer rows along x. The picture between must fit.
  const double acrossFirstCost = 4.0 * source.height * target.width * across.taps +
                                 1.0 * target.height * target.width * down.taps;
  const double downFirstCost = 1.0 * target.height * source.width * down.taps +
                               4.0 * target.height * target.width * across.taps;
  const long long acrossFirstBytes = static_cast<long long>(target.width) * source.height * kBytes;
  if (acrossFirstBytes <= kMostBetweenBytes && acrossFirstCost <= downFirstCost) {
    const std::size_t rowBytes = static_cast<std::size_t>(target.width) * kBytes;
    std::vector<std::uint8_t> between(rowBytes * static_cast<std::size_t>(source.height));
    const auto stride = static_cast<std::ptrdiff_t>(rowBytes);
    StretchAcross<kBytes>(source, {between.data(), target.width, source.height, stride}, across);
    StretchDown({between.data(), target.width, source.height, stride}, target, rowBytes, down);
  } else {
    const std::size_t rowBytes = static_cast<std::size_t>(source.width) * kBytes;
    std::vector<std::uint8_t> between(rowBytes * static_cast<std::size_t>(target.height));
    const auto stride = static_cast<std::ptrdiff_t>(rowBytes);
    StretchDown(source, {between.data(), source.width, target.height, stride}, rowBytes, down);
    StretchAcross<kBytes>({between.data(), source.width, target.height, stride}, target, across);
  }
}

// Straight alpha is stretched premultiplied: a transparent pixel's colour, which nobody
// sees, must not bleed into its visible neighbours.
std::vector<std::uint8_t> Premultiplied(const PixelsView& source) {
  const std::size_t rowBytes = static_cast<std::size_t>(source.width) * 4;
  std::vector<std::uint8_t> copy(rowBytes * static_cast<std::size_t>(source.height));
  for (int y = 0; y < source.height; ++y) {
    const std::uint8_t* from = source.pixels + source.stride * y;
    std::uint8_t* to = copy.data() + rowBytes * y;
    for (std::size_t x = 0; x < rowBytes; x += 4) {
      const unsigned alpha = from[x + 3];
      for (int c = 0; c < 3; ++c)
        to[x + c] = static_cast<std::uint8_t>((from[x + c] * alpha + 127) / 255);
      to[x + 3] = static_cast<std::uint8_t>(alpha);
    }
  }
  return copy;
}

// Filters overshoot at hard edges; premultiplied colour can never exceed its alpha.
void KeepColourWithinAlpha(const PixelsTarget& target, bool straighten) {
  for (int y = 0; y < target.height; ++y) {
    std::uint8_t* row = target.pixels + target.stride * y;
    for (int x = 0; x < target.width; ++x) {
      std::uint8_t* pixel = row + static_cast<std::ptrdiff_t>(x) * 4;
      const unsigned alpha = pixel[3];
      for (int c = 0; c < 3; ++c) {
        const unsigned colour = std::min<unsigned>(pixel[c], alpha);
        pixel[c] = static_cast<std::uint8_t>(!straighten  ? colour
                                             : alpha == 0 ? 0
                                                          : (colour * 255 + alpha / 2) / alpha);
      }
    }
  }
}

}  // namespace

std::size_t BytesPerPixel(PixelLayout layout) {
  return layout == PixelLayout::Bgr ? 3 : 4;
}

bool StretchPixels(const PixelsView& source, const PixelsTarget& target, PixelLayout layout) {
  if (source.pixels == nullptr || target.pixels == nullptr || source.width <= 0 ||
      source.height <= 0 || target.width <= 0 || target.height <= 0)
    return false;
  const auto bytes = static_cast<long long>(BytesPerPixel(layout));
  if (std::min(static_cast<long long>(target.width) * source.height,
               static_cast<long long>(source.width) * target.height) *
          bytes >
      kMostBetweenBytes)
    return false;
  AxisFilter across, down;
  if (!MakeAxisFilter(source.width, target.width, across) ||
      !MakeAxisFilter(source.height, target.height, down))
    return false;
  switch (layout) {
    case PixelLayout::Bgr:
      Stretch<3>(source, target, across, down);
      break;
    case PixelLayout::Bgrx:
      Stretch<4>(source, target, across, down);
      break;
    case PixelLayout::BgraPremultiplied:
      Stretch<4>(source, target, across, down);
      KeepColourWithinAlpha(target, false);
      break;
    case PixelLayout::BgraStraight: {
      const std::vector<std::uint8_t> premultiplied = Premultiplied(source);
      const PixelsView view{premultiplied.data(), source.width, source.height,
                            static_cast<std::ptrdiff_t>(source.width) * 4};
      Stretch<4>(view, target, across, down);
      KeepColourWithinAlpha(target, true);
      break;
    }
  }
  return true;
}

}  // namespace camera
