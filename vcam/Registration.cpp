#include "vcam/Registration.h"

#include <dshow.h>
#include <wrl/client.h>

#include <optional>

#include "framework/ComScope.h"
#include "framework/Handle.h"
#include "vcam/CameraIds.h"
#include "vcam/MediaTypes.h"

using Microsoft::WRL::ComPtr;

namespace vcam {

namespace {

using framework::CRegistryKey;

LSTATUS SetString(HKEY key, const wchar_t* name, const std::wstring& value) {
  return ::RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

std::wstring ClassKeyPath() {
  return std::wstring(L"CLSID\\") + kClassIdText;
}

HRESULT RegisterComClass(const std::wstring& modulePath) {
  CRegistryKey classKey, serverKey;
  LSTATUS status = ::RegCreateKeyExW(HKEY_CLASSES_ROOT, ClassKeyPath().c_str(), 0, nullptr, 0,
                                     KEY_WRITE, nullptr, classKey.Receive(), nullptr);
  if (status == ERROR_SUCCESS) status = SetString(classKey.Get(), nullptr, kDefaultFriendlyName);
  if (status == ERROR_SUCCESS)
    status = ::RegCreateKeyExW(classKey.Get(), L"InprocServer32", 0, nullptr, 0, KEY_WRITE, nullptr,
                               serverKey.Receive(), nullptr);
  if (status == ERROR_SUCCESS) status = SetString(serverKey.Get(), nullptr, modulePath);
  if (status == ERROR_SUCCESS) status = SetString(serverKey.Get(), L"ThreadingModel", L"Both");
  return HRESULT_FROM_WIN32(status);
}

// The FriendlyName the device has now, if it is registered.
std::optional<std::wstring> CurrentFriendlyName() {
  wchar_t name[256];
  DWORD bytes = sizeof name - sizeof(wchar_t);
  if (::RegGetValueW(HKEY_CLASSES_ROOT, kInstanceKeyPath, L"FriendlyName", RRF_RT_REG_SZ, nullptr,
                     name, &bytes) != ERROR_SUCCESS)
    return std::nullopt;
  name[bytes / sizeof(wchar_t)] = L'\0';
  return std::wstring(name);
}

HRESULT RegisterDevice() {
  ComPtr<IFilterMapper2> mapper;
  HRESULT result =
      ::CoCreateInstance(CLSID_FilterMapper2, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&mapper));
  if (FAILED(result)) return result;

  const REGPINTYPES types[] = {{&MEDIATYPE_Video, &MEDIASUBTYPE_RGB24},
                               {&MEDIATYPE_Video, &MEDIASUBTYPE_RGB32},
                               {&MEDIATYPE_Video, &MEDIASUBTYPE_YUY2},
                               {&MEDIATYPE_Video, &kMediaSubtypeI420}};
  REGFILTERPINS2 pin{};
  pin.dwFlags = REG_PINFLAG_B_OUTPUT;
  pin.cInstances = 1;
  pin.nMediaTypes = sizeof types / sizeof types[0];
  pin.lpMediaType = types;
  pin.clsPinCategory = &PIN_CATEGORY_CAPTURE;
  REGFILTER2 filter{};
  filter.dwVersion = 2;
  // Capture devices are opened by name, never picked to render a file.
  filter.dwMerit = MERIT_DO_NOT_USE;
  filter.cPins2 = 1;
  filter.rgPins2 = &pin;
  return mapper->RegisterFilter(CLSID_PlumoraVirtualCamera, kDefaultFriendlyName, nullptr,
                                &CLSID_VideoInputDeviceCategory, kInstanceName, &filter);
}

HRESULT RestoreFriendlyName(const std::wstring& name) {
  CRegistryKey key;
  LSTATUS status =
      ::RegOpenKeyExW(HKEY_CLASSES_ROOT, kInstanceKeyPath, 0, KEY_SET_VALUE, key.Receive());
  if (status == ERROR_SUCCESS) status = SetString(key.Get(), L"FriendlyName", name);
  return HRESULT_FROM_WIN32(status);
}

// Deleting succeeded, or there was nothing to delete.
bool IsGone(LSTATUS status) {
  return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND ||
         status == ERROR_PATH_NOT_FOUND;
}

}  // namespace

HRESULT RegisterCamera(const std::wstring& modulePath) {
  const framework::CComScope com;
  const std::optional<std::wstring> chosenName = CurrentFriendlyName();
  HRESULT result = RegisterComClass(modulePath);
  if (SUCCEEDED(result)) result = RegisterDevice();
  if (SUCCEEDED(result) && chosenName && *chosenName != kDefaultFriendlyName)
    result = RestoreFriendlyName(*chosenName);
  if (FAILED(result)) UnregisterCamera();
  return result;
}

HRESULT UnregisterCamera() {
  const framework::CComScope com;
  ComPtr<IFilterMapper2> mapper;
  // The mapper's own result says little (some versions call a device that was never
  // there an error); what it leaves behind is deleted below either way.
  if (SUCCEEDED(::CoCreateInstance(CLSID_FilterMapper2, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_PPV_ARGS(&mapper))))
    mapper->UnregisterFilter(&CLSID_VideoInputDeviceCategory, kInstanceName,
                             CLSID_PlumoraVirtualCamera);
  const LSTATUS device = ::RegDeleteTreeW(HKEY_CLASSES_ROOT, kInstanceKeyPath);
  const LSTATUS server = ::RegDeleteTreeW(HKEY_CLASSES_ROOT, ClassKeyPath().c_str());
  if (!IsGone(device)) return HRESULT_FROM_WIN32(device);
  return IsGone(server) ? S_OK : HRESULT_FROM_WIN32(server);
}

}  // namespace vcam
