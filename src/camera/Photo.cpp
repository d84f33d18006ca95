#include "camera/Photo.h"

#include <cstring>
#include <vector>

#include "app/SettingStore.h"
#include "camera/CaptureSizes.h"
#include "camera/PictureStretch.h"
#include "camera/SampleGrabberCB.h"
#include "framework/LockedBits.h"
#include "framework/SystemMessage.h"
#include "framework/WarningBox.h"

namespace camera {

CGdiplusSession::CGdiplusSession() {
  Gdiplus::GdiplusStartupInput input;  // version 1, no debug callback, background thread
  if (Gdiplus::GdiplusStartup(&m_token, &input, nullptr) != Gdiplus::Ok) m_token = 0;
}

CGdiplusSession::~CGdiplusSession() {
  if (m_token != 0) Gdiplus::GdiplusShutdown(m_token);
}

bool SavePhoto(const CSampleGrabberCB& grabber, const BYTE* pixels, long length,
               const std::wstring& path) {
  if (pixels == nullptr || length <= 0) return false;
  const app::SettingRecord settings = app::CSettingStore::Instance()->GetCurrent();
  const FrameSize target = PhotoTargetSize({settings.frameWidth, settings.frameHeight},
                                           {grabber.m_maxCapWidth, grabber.m_maxCapHeight},
                                           {grabber.m_frameWidth, grabber.m_frameHeight});
  return EncodeFrameToJpeg(pixels, grabber.m_frameWidth, grabber.m_frameHeight, path, target.width,
                           target.height) == 0;
}

HRESULT EncodeFrameToJpeg(const BYTE* pixels, int width, int height, const std::wstring& path,
                          int targetWidth, int targetHeight) {
  if (pixels == nullptr || width <= 0 || height <= 0 || targetWidth <= 0 || targetHeight <= 0)
    return E_FAIL;
  const CGdiplusSession gdiplus;
  if (!gdiplus.Started()) return E_FAIL;
  HRESULT result = E_FAIL;
  {
    Gdiplus::Bitmap bitmap(width, height, PixelFormat24bppRGB);
    if (bitmap.GetLastStatus() != Gdiplus::Ok) return E_FAIL;

    // Locking with the caller's buffer copies the frame in at unlock. The negative
    // stride starting at the buffer's last row turns the bottom-up frame upright.
    const Gdiplus::Rect whole(0, 0, width, height);
    Gdiplus::BitmapData frame{};
    frame.Width = static_cast<UINT>(width);
    frame.Height = static_cast<UINT>(height);
    frame.Stride = -3 * width;
    frame.PixelFormat = PixelFormat24bppRGB;
    frame.Scan0 = const_cast<BYTE*>(pixels) + static_cast<size_t>(height - 1) * width * 3;
    if (bitmap.LockBits(&whole, Gdiplus::ImageLockModeWrite | Gdiplus::ImageLockModeUserInputBuf,
                        PixelFormat24bppRGB, &frame) != Gdiplus::Ok)
      return E_FAIL;
    bitmap.UnlockBits(&frame);

    if (targetWidth == width && targetHeight == height) {
      result = SaveBitmapAsJpeg(bitmap, path);
    } else if (std::unique_ptr<Gdiplus::Bitmap> scaled =
                   ScaleBitmap(bitmap, targetWidth, targetHeight)) {
      result = SaveBitmapAsJpeg(*scaled, path);
    }
  }  // the bitmaps go before GDI+ shuts down
  return result == 0 ? 0 : E_FAIL;
}

int FindJpegEncoder(CLSID& encoder) {
  UINT count = 0, size = 0;
  if (Gdiplus::GetImageEncodersSize(&count, &size) != Gdiplus::Ok || size == 0) return -1;
  std::vector<BYTE> buffer(size);
  auto* encoders = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
  if (Gdiplus::GetImageEncoders(count, size, encoders) != Gdiplus::Ok) return -1;
  for (UINT index = 0; index < count; ++index) {
    if (encoders[index].MimeType != nullptr &&
        std::wcscmp(encoders[index].MimeType, L"image/jpeg") == 0) {
      encoder = encoders[index].Clsid;
      return static_cast<int>(index);
    }
  }
  return -1;
}

HRESULT SaveBitmapAsJpeg(Gdiplus::Bitmap& bitmap, const std::wstring& path) {
  CLSID encoder{};
  if (FindJpegEncoder(encoder) < 0) return E_FAIL;
  ULONG quality = 100;
  Gdiplus::EncoderParameters parameters{};
  parameters.Count = 1;
  parameters.Parameter[0].Guid = Gdiplus::EncoderQuality;
  parameters.Parameter[0].Type = Gdiplus::EncoderParameterValueTypeLong;
  parameters.Parameter[0].NumberOfValues = 1;
  parameters.Parameter[0].Value = &quality;
  const Gdiplus::Status status = bitmap.Save(path.c_str(), &encoder, &parameters);
  if (status == Gdiplus::Ok) return 0;
  framework::ShowWarningBox(GdiplusStatusText(status));
  return E_FAIL;
}

namespace {

// The format a stretch works in for a picture's own format, and how its bytes lie.
struct StretchFormat {
  Gdiplus::PixelFormat format;
  PixelLayout layout;
};

StretchFormat StretchFormatFor(Gdiplus::PixelFormat format) {
  switch (format) {
    case PixelFormat24bppRGB:
      return {PixelFormat24bppRGB, PixelLayout::Bgr};
    case PixelFormat32bppRGB:
      return {PixelFormat32bppRGB, PixelLayout::Bgrx};
    case PixelFormat32bppPARGB:
      return {PixelFormat32bppPARGB, PixelLayout::BgraPremultiplied};
    default:
      // Palette pictures (a GIF, say), 16-bit and 48- or 64-bit ones: 32-bit with alpha,
      // which holds every colour and transparency they can have.
      return {PixelFormat32bppARGB, PixelLayout::BgraStraight};
  }
}

}  // namespace

std::unique_ptr<Gdiplus::Bitmap> ScaleBitmap(Gdiplus::Bitmap& source, int width, int height) {
  // Our own filter rather than DrawImage: Wine's GDI+ draws every interpolation mode as
  // plain bilinear sampling, which leaves a shrunk picture jagged, and does it a pixel at a
  // time, at half the speed.
  if (width <= 0 || height <= 0) return nullptr;
  const StretchFormat stretch = StretchFormatFor(source.GetPixelFormat());
  auto scaled = std::make_unique<Gdiplus::Bitmap>(width, height, stretch.format);
  if (scaled->GetLastStatus() != Gdiplus::Ok) return nullptr;
  {
    const framework::CLockedBits from(source, Gdiplus::ImageLockModeRead, stretch.format);
    const framework::CLockedBits to(*scaled, Gdiplus::ImageLockModeWrite, stretch.format);
    if (!from.Locked() || !to.Locked() ||
        !StretchPixels({from.Row(0), from.Width(), from.Height(), from.Stride()},
                       {to.Row(0), to.Width(), to.Height(), to.Stride()}, stretch.layout))
      return nullptr;
  }
  return scaled;
}

std::wstring GdiplusStatusText(Gdiplus::Status status) {
  static const wchar_t* const kTexts[] = {
      L"Ok: Indicates that the method call was successful.",
      L"GenericError: Indicates that there was an error on the method call, which is "
      L"identified as something other than those defined by the other elements of this "
      L"enumeration.",
      L"InvalidParameter: Indicates that one of the arguments passed to the method was not "
      L"valid.",
      L"OutOfMemory: Indicates that the operating system is out of memory and could not "
      L"allocate memory to process the method call.",
      L"ObjectBusy: Indicates that one of the arguments specified in the API call is already "
      L"in use in another thread.",
      L"InsufficientBuffer: Indicates that a buffer specified as an argument in the API call "
      L"is not large enough to hold the data to be received.",
      L"NotImplemented: Indicates that the method is not implemented.",
      nullptr,  // Win32Error: the system's text for the thread's last error
      L"WrongState: Indicates that the object is in an invalid state to satisfy the API "
      L"call. For example, calling Pen::GetColor from a pen that is not a single, solid "
      L"color results in a WrongState status.",
      L"Aborted: Indicates that the method was aborted.",
      L"FileNotFound: Indicates that the specified image file or metafile cannot be found.",
      L"ValueOverflow: Indicates that the method performed an arithmetic operation that "
      L"produced a numeric overflow.",
      L"AccessDenied: Indicates that a write operation is not allowed on the specified file.",
      L"UnknownImageFormat: Indicates that the specified image file format is not known.",
      L"FontFamilyNotFound: Indicates that the specified font family cannot be found. Either "
      L"the font family name is incorrect or the font family is not installed.",
      L"FontStyleNotFound: Indicates that the specified style is not available for the "
      L"specified font family.",
      L"NotTrueTypeFont: Indicates that the font retrieved from an HDC or LOGFONT is not a "
      L"TrueType font and cannot be used with GDI+.",
      L"UnsupportedGdiplusVersion: Indicates that the version of GDI+ that is installed on "
      L"the system is incompatible with the version with which the application was "
      L"compiled.",
      L"GdiplusNotInitialized: Indicates that the GDI+ API is not in an initialized state. "
      L"To function, all GDI+ objects require that GDI+ be in an initialized state. "
      L"Initialize GDI+ by calling GdiplusStartup.",
      L"PropertyNotFound: Indicates that the specified property does not exist in the image.",
      L"PropertyNotSupported: Indicates that the specified property is not supported by the "
      L"format of the image and, therefore, cannot be set.",
  };
  const auto index = static_cast<unsigned>(status);
  if (index >= ARRAYSIZE(kTexts))
    return L"Invalid status: Indicates an unknown status was returned.";
  if (kTexts[index] == nullptr) return framework::SystemMessageText(::GetLastError());
  return kTexts[index];
}

}  // namespace camera
