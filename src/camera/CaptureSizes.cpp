#include "camera/CaptureSizes.h"

namespace camera {

std::optional<FrameSize> LargestOfferedSize(const std::vector<FrameSize>& offers) {
  std::optional<FrameSize> best;
  FrameSize bestSoFar;  // 0 x 0 until the first offer
  for (const FrameSize offer : offers) {
    if (offer.width >= bestSoFar.width && offer.height >= bestSoFar.height) {
      bestSoFar = offer;
      best = offer;
    }
  }
  return best;
}

FrameSize StreamTargetSize(FrameSize requested, FrameSize largest) {
  if (largest.width < requested.width || largest.height < requested.height) return largest;
  return requested;
}

FrameSize PhotoTargetSize(FrameSize reference, FrameSize largest, FrameSize frame) {
  if (reference.width <= largest.width && reference.height <= largest.height) return reference;
  if (frame.width <= 0) return {largest.width, 0};
  // Both steps rounded to single precision: 288 / 352 * 352 must come out as 288, not as
  // the 287.999... that wider intermediate precision (x87) would truncate to 287.
  volatile float proportion = static_cast<float>(frame.height) / static_cast<float>(frame.width);
  volatile float height = proportion * static_cast<float>(largest.width);
  return {largest.width, static_cast<std::int32_t>(height)};
}

}  // namespace camera
