#include "vcam/testing/testcamera/PinFormats.h"

#include <cstdlib>

#include "vcam/testing/testcamera/TestPicture.h"

namespace testcamera {

namespace {

DWORD CompressionOf(const GUID& subtype) {
  // A FOURCC subtype carries its code in its first field.
  return subtype == MEDIASUBTYPE_RGB24 ? BI_RGB : subtype.Data1;
}

LONG BitRate(FrameSize size, REFERENCE_TIME frameInterval) {
  if (frameInterval <= 0) return 0;
  const long long bits = static_cast<long long>(FrameBytes(size.width, size.height)) * 8 *
                         kUnitsPerSecond / frameInterval;
  return static_cast<LONG>(bits < 0x7FFFFFFF ? bits : 0x7FFFFFFF);
}

}  // namespace

dshow::CMediaType MakeVideoType(const GUID& subtype, FrameSize size, REFERENCE_TIME frameInterval) {
  dshow::CMediaType type;
  auto* video = reinterpret_cast<VIDEOINFOHEADER*>(type.AllocateFormat(sizeof(VIDEOINFOHEADER)));
  if (video == nullptr) return type;
  const std::size_t bytes = FrameBytes(size.width, size.height);
  AM_MEDIA_TYPE& mt = type.Get();
  mt.majortype = MEDIATYPE_Video;
  mt.subtype = subtype;
  mt.bFixedSizeSamples = TRUE;
  mt.bTemporalCompression = FALSE;
  mt.lSampleSize = static_cast<ULONG>(bytes);
  mt.formattype = FORMAT_VideoInfo;
  video->AvgTimePerFrame = frameInterval;
  video->dwBitRate = static_cast<DWORD>(BitRate(size, frameInterval));
  BITMAPINFOHEADER& header = video->bmiHeader;
  header.biSize = sizeof(BITMAPINFOHEADER);
  header.biWidth = static_cast<LONG>(size.width);
  header.biHeight = static_cast<LONG>(size.height);
  header.biPlanes = 1;
  header.biBitCount = 24;
  header.biCompression = CompressionOf(subtype);
  header.biSizeImage = static_cast<DWORD>(bytes);
  return type;
}

std::optional<FrameSize> DescribeVideoType(const AM_MEDIA_TYPE& type, const GUID& subtype) {
  if (type.majortype != MEDIATYPE_Video || type.subtype != subtype ||
      type.formattype != FORMAT_VideoInfo || type.pbFormat == nullptr ||
      type.cbFormat < sizeof(VIDEOINFOHEADER))
    return std::nullopt;
  const auto& video = *reinterpret_cast<const VIDEOINFOHEADER*>(type.pbFormat);
  const BITMAPINFOHEADER& header = video.bmiHeader;
  if (header.biBitCount != 24 || header.biCompression != CompressionOf(subtype) ||
      header.biWidth <= 0 || header.biWidth > static_cast<LONG>(kMaxSide) || header.biHeight == 0 ||
      std::labs(header.biHeight) > static_cast<long>(kMaxSide))
    return std::nullopt;
  const FrameSize size{static_cast<std::uint32_t>(header.biWidth),
                       static_cast<std::uint32_t>(std::labs(header.biHeight))};
  // A renderer's wider buffer (a target narrower than biWidth) is not a layout we draw.
  const RECT& target = video.rcTarget;
  if (!::IsRectEmpty(&target) &&
      (target.left != 0 || target.top != 0 || target.right != header.biWidth ||
       static_cast<std::uint32_t>(target.bottom) != size.height))
    return std::nullopt;
  return size;
}

void FillStreamCaps(FrameSize size, REFERENCE_TIME frameInterval, VIDEO_STREAM_CONFIG_CAPS& caps) {
  caps = VIDEO_STREAM_CONFIG_CAPS{};
  const SIZE side{static_cast<LONG>(size.width), static_cast<LONG>(size.height)};
  caps.guid = FORMAT_VideoInfo;
  caps.VideoStandard = AnalogVideo_None;
  caps.InputSize = side;
  caps.MinCroppingSize = side;
  caps.MaxCroppingSize = side;
  caps.CropGranularityX = caps.CropGranularityY = 1;
  caps.CropAlignX = caps.CropAlignY = 1;
  caps.MinOutputSize = side;
  caps.MaxOutputSize = side;
  // A granularity of 1, not 0: clients that step from the smallest to the largest size
  // would loop forever on 0.
  caps.OutputGranularityX = caps.OutputGranularityY = 1;
  caps.MinFrameInterval = caps.MaxFrameInterval = frameInterval;
  caps.MinBitsPerSecond = caps.MaxBitsPerSecond = BitRate(size, frameInterval);
}

}  // namespace testcamera
