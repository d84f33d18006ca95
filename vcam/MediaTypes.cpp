#include "vcam/MediaTypes.h"

#include <cstdlib>

namespace vcam {

namespace {

struct PixelFormatInfo {
  PixelFormat pixels;
  const GUID* subtype;
  DWORD compression;
};

const PixelFormatInfo kPixelFormats[] = {
    {PixelFormat::Rgb24, &MEDIASUBTYPE_RGB24, BI_RGB},
    {PixelFormat::Rgb32, &MEDIASUBTYPE_RGB32, BI_RGB},
    {PixelFormat::Yuy2, &MEDIASUBTYPE_YUY2, MAKEFOURCC('Y', 'U', 'Y', '2')},
    {PixelFormat::I420, &kMediaSubtypeI420, MAKEFOURCC('I', '4', '2', '0')},
};

const PixelFormatInfo& InfoOf(PixelFormat pixels) {
  for (const PixelFormatInfo& info : kPixelFormats)
    if (info.pixels == pixels) return info;
  return kPixelFormats[0];
}

// Bits a second at the frame interval, capped to what the fields hold.
template <typename T>
T BitRate(std::size_t frameBytes, std::int64_t frameInterval) {
  const std::int64_t bits = static_cast<std::int64_t>(frameBytes) * 8 * kUnitsPerSecond /
                            (frameInterval > 0 ? frameInterval : kDefaultFrameInterval);
  return static_cast<T>(bits < 0x7FFFFFFF ? bits : 0x7FFFFFFF);
}

}  // namespace

dshow::CMediaType MakeMediaType(const VideoFormat& format, std::int64_t frameInterval) {
  const PixelFormatInfo& info = InfoOf(format.pixels);
  const std::size_t bytes = FrameBytes(NaturalLayout(format));
  dshow::CMediaType type;
  auto* video = reinterpret_cast<VIDEOINFOHEADER*>(type.AllocateFormat(sizeof(VIDEOINFOHEADER)));
  if (video == nullptr) return type;
  AM_MEDIA_TYPE& mt = type.Get();
  mt.majortype = MEDIATYPE_Video;
  mt.subtype = *info.subtype;
  mt.bFixedSizeSamples = TRUE;
  mt.bTemporalCompression = FALSE;
  mt.lSampleSize = static_cast<ULONG>(bytes);
  mt.formattype = FORMAT_VideoInfo;
  video->AvgTimePerFrame = frameInterval;
  video->dwBitRate = BitRate<DWORD>(bytes, frameInterval);
  BITMAPINFOHEADER& header = video->bmiHeader;
  header.biSize = sizeof(BITMAPINFOHEADER);
  header.biWidth = static_cast<LONG>(format.width);
  header.biHeight = static_cast<LONG>(format.height);
  header.biPlanes = 1;
  header.biBitCount = static_cast<WORD>(BitsPerPixel(format.pixels));
  header.biCompression = info.compression;
  header.biSizeImage = static_cast<DWORD>(bytes);
  return type;
}

bool DescribeMediaType(const AM_MEDIA_TYPE& type, TypeDescription& description) {
  if (type.majortype != MEDIATYPE_Video || type.formattype != FORMAT_VideoInfo ||
      type.pbFormat == nullptr || type.cbFormat < sizeof(VIDEOINFOHEADER))
    return false;
  const PixelFormatInfo* info = nullptr;
  for (const PixelFormatInfo& candidate : kPixelFormats)
    if (type.subtype == *candidate.subtype) info = &candidate;
  if (info == nullptr) return false;

  const auto& video = *reinterpret_cast<const VIDEOINFOHEADER*>(type.pbFormat);
  const BITMAPINFOHEADER& header = video.bmiHeader;
  const bool rgb = info->pixels == PixelFormat::Rgb24 || info->pixels == PixelFormat::Rgb32;
  // Beyond 16 bits neither the channel nor any camera format has pictures.
  if (header.biBitCount != BitsPerPixel(info->pixels) ||
      header.biCompression != info->compression || header.biWidth <= 0 || header.biWidth > 0xFFFF ||
      header.biHeight == 0 || std::abs(static_cast<long>(header.biHeight)) > 0xFFFF)
    return false;

  OutputLayout& layout = description.layout;
  layout.pixels = info->pixels;
  layout.stride = NaturalStride(info->pixels, static_cast<std::uint32_t>(header.biWidth));
  layout.width = static_cast<std::uint32_t>(header.biWidth);
  layout.height = static_cast<std::uint32_t>(std::abs(static_cast<long>(header.biHeight)));
  layout.bottomUp = rgb && header.biHeight > 0;
  const RECT& target = video.rcTarget;
  if (!::IsRectEmpty(&target)) {
    // Only a picture at the buffer's top left corner, as wide as the buffer or narrower.
    if (target.left != 0 || target.top != 0 || target.right > header.biWidth ||
        static_cast<std::uint32_t>(target.bottom) != layout.height)
      return false;
    layout.width = static_cast<std::uint32_t>(target.right);
  }
  const std::size_t bytes = FrameBytes(layout);
  if (bytes == 0 || (header.biSizeImage != 0 && header.biSizeImage < bytes)) return false;
  description.frameInterval = video.AvgTimePerFrame;
  return true;
}

bool IsDeliverable(const AM_MEDIA_TYPE& type) {
  TypeDescription description;
  return DescribeMediaType(type, description) &&
         IsOfferedSize(description.layout.width, description.layout.height) &&
         description.layout.stride ==
             NaturalStride(description.layout.pixels, description.layout.width) &&
         IsServedFrameInterval(description.frameInterval);
}

void FillStreamCaps(const VideoFormat& format, VIDEO_STREAM_CONFIG_CAPS& caps) {
  caps = VIDEO_STREAM_CONFIG_CAPS{};
  const SIZE size{static_cast<LONG>(format.width), static_cast<LONG>(format.height)};
  const std::size_t bytes = FrameBytes(NaturalLayout(format));
  caps.guid = FORMAT_VideoInfo;
  caps.VideoStandard = AnalogVideo_None;
  caps.InputSize = size;
  caps.MinCroppingSize = size;
  caps.MaxCroppingSize = size;
  caps.CropGranularityX = caps.CropGranularityY = 1;
  caps.CropAlignX = caps.CropAlignY = 1;
  caps.MinOutputSize = size;
  caps.MaxOutputSize = size;
  // One size per entry; a granularity of 1 rather than 0 keeps clients that step from
  // the smallest to the largest size from looping forever.
  caps.OutputGranularityX = caps.OutputGranularityY = 1;
  caps.MinFrameInterval = kShortestFrameInterval;
  caps.MaxFrameInterval = kLongestFrameInterval;
  caps.MinBitsPerSecond = BitRate<LONG>(bytes, kLongestFrameInterval);
  caps.MaxBitsPerSecond = BitRate<LONG>(bytes, kShortestFrameInterval);
}

}  // namespace vcam
