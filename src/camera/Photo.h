// Photographs of the camera studio: a 24-bit bottom-up RGB frame saved as a JPEG file of
// quality 100 through GDI+, stretched to the photograph size when that differs.
#pragma once

#include <windows.h>

#include <gdiplus.h>

#include <memory>
#include <string>

namespace camera {

class CSampleGrabberCB;

// Saves the frame that grabber delivered as a photograph of the settings' frame size (or
// smaller, for a camera that cannot deliver that much). True when the file was written.
bool SavePhoto(const CSampleGrabberCB& grabber, const BYTE* pixels, long length,
               const std::wstring& path);

// Writes the width x height frame (bottom row first, rows without padding) upright as a
// targetWidth x targetHeight JPEG file. 0 on success, E_FAIL otherwise.
HRESULT EncodeFrameToJpeg(const BYTE* pixels, int width, int height, const std::wstring& path,
                          int targetWidth, int targetHeight);

// Saves the bitmap as a JPEG file of quality 100, replacing one of that name. 0, or
// E_FAIL (with a warning box naming GDI+'s status when the file could not be written).
HRESULT SaveBitmapAsJpeg(Gdiplus::Bitmap& bitmap, const std::wstring& path);

// The index of GDI+'s JPEG encoder in its list of image encoders, with its class, or -1.
int FindJpegEncoder(CLSID& encoder);

// A copy of source stretched to exactly width x height (high-quality bicubic: averaged
// over the covered pixels when shrinking), or null. The copy has the source's pixel format,
// or 32-bit ARGB for a palette picture or one of more or fewer bits than 24 or 32.
std::unique_ptr<Gdiplus::Bitmap> ScaleBitmap(Gdiplus::Bitmap& source, int width, int height);

// What a GDI+ status means, as the warning boxes say it.
std::wstring GdiplusStatusText(Gdiplus::Status status);

// GDI+ started for the life of the object.
class CGdiplusSession {
 public:
  CGdiplusSession();
  CGdiplusSession(const CGdiplusSession&) = delete;
  CGdiplusSession& operator=(const CGdiplusSession&) = delete;
  ~CGdiplusSession();
  bool Started() const { return m_token != 0; }

 private:
  ULONG_PTR m_token = 0;
};

}  // namespace camera
