// The camera's formats as DirectShow media types and stream capabilities, and the
// reading of types that clients and renderers propose.
#pragma once

#include <windows.h>

#include <dshow.h>

#include <cstdint>

#include "framework/dshow/MediaType.h"
#include "vcam/VideoFormats.h"

namespace vcam {

// FOURCC 'I420': MinGW's headers name YUY2 and IYUV but not I420, which WebRTC-based
// clients look for.
inline constexpr GUID kMediaSubtypeI420 = {
    0x30323449, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

// A complete FORMAT_VideoInfo type, bottom-up for RGB as DirectShow expects by default.
dshow::CMediaType MakeMediaType(const VideoFormat& format, std::int64_t frameInterval);

struct TypeDescription {
  OutputLayout layout;
  std::int64_t frameInterval = 0;  // 0 when the type does not say
};

// What a type describes: the picture's size (rcTarget's when it is set, as renderers do
// when they widen the buffer), the stride that biWidth gives and the row order. False
// for anything but uncompressed video in one of the camera's pixel formats.
bool DescribeMediaType(const AM_MEDIA_TYPE& type, TypeDescription& description);

// Whether the camera can connect with the type as it stands: an offered format and
// size, the natural stride and a frame rate it serves.
bool IsDeliverable(const AM_MEDIA_TYPE& type);

void FillStreamCaps(const VideoFormat& format, VIDEO_STREAM_CONFIG_CAPS& caps);

}  // namespace vcam
