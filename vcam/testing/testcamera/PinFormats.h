// The media types of the test camera's pins: uncompressed video of one subtype (RGB24, or
// for an unusable preview pin a FOURCC that no filter converts) at the offered sizes.
#pragma once

#include <windows.h>

#include <dshow.h>

#include <optional>

#include "framework/dshow/MediaType.h"
#include "vcam/testing/testcamera/CameraSettings.h"

namespace testcamera {

// FOURCC 'PTCX': no decoder or converter on any system knows it.
inline constexpr GUID kUnusableSubtype = {
    0x58435450, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

inline constexpr REFERENCE_TIME kUnitsPerSecond = 10000000;

// A complete FORMAT_VideoInfo type: bottom-up, 24 bits a pixel, rows padded to 4 bytes.
dshow::CMediaType MakeVideoType(const GUID& subtype, FrameSize size, REFERENCE_TIME frameInterval);

// The size a type describes when it is video of `subtype` with the layout MakeVideoType
// gives (any frame interval, any row order); nullopt for anything else.
std::optional<FrameSize> DescribeVideoType(const AM_MEDIA_TYPE& type, const GUID& subtype);

// One size a capability entry: the smallest and largest output size are that size.
void FillStreamCaps(FrameSize size, REFERENCE_TIME frameInterval, VIDEO_STREAM_CONFIG_CAPS& caps);

}  // namespace testcamera
