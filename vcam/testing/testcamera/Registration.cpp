#include "vcam/testing/testcamera/Registration.h"

#include <dshow.h>
#include <wrl/client.h>

#include "framework/ComScope.h"
#include "framework/Handle.h"
#include "vcam/testing/testcamera/TestCameraIds.h"

using Microsoft::WRL::ComPtr;

namespace testcamera {

namespace {

using framework::CRegistryKey;

LSTATUS SetString(HKEY key, const wchar_t* name, const std::wstring& value) {
  return ::RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

std::wstring ClassKeyPath(const CameraIdentity& camera) {
  return std::wstring(L"CLSID\\") + camera.classIdText;
}

// HKEY_CLASSES_ROOT\ this: the device's entry, named by its FriendlyName.
std::wstring InstanceKeyPath(const CameraIdentity& camera) {
  return std::wstring(L"CLSID\\{860BB310-5D01-11d0-BD3B-00A0C911CE86}\\Instance\\") +
         camera.friendlyName;
}

HRESULT RegisterComClass(const CameraIdentity& camera, const std::wstring& modulePath) {
  CRegistryKey classKey, serverKey;
  LSTATUS status = ::RegCreateKeyExW(HKEY_CLASSES_ROOT, ClassKeyPath(camera).c_str(), 0, nullptr, 0,
                                     KEY_WRITE, nullptr, classKey.Receive(), nullptr);
  if (status == ERROR_SUCCESS) status = SetString(classKey.Get(), nullptr, camera.friendlyName);
  if (status == ERROR_SUCCESS)
    status = ::RegCreateKeyExW(classKey.Get(), L"InprocServer32", 0, nullptr, 0, KEY_WRITE, nullptr,
                               serverKey.Receive(), nullptr);
  if (status == ERROR_SUCCESS) status = SetString(serverKey.Get(), nullptr, modulePath);
  if (status == ERROR_SUCCESS) status = SetString(serverKey.Get(), L"ThreadingModel", L"Both");
  return HRESULT_FROM_WIN32(status);
}

HRESULT RegisterDevice(IFilterMapper2* mapper, const CameraIdentity& camera) {
  const REGPINTYPES type = {&MEDIATYPE_Video, &MEDIASUBTYPE_RGB24};
  REGFILTERPINS2 pin{};
  pin.dwFlags = REG_PINFLAG_B_OUTPUT;
  pin.cInstances = 1;
  pin.nMediaTypes = 1;
  pin.lpMediaType = &type;
  pin.clsPinCategory = &PIN_CATEGORY_CAPTURE;
  REGFILTER2 filter{};
  filter.dwVersion = 2;
  // Capture devices are opened by name, never picked to render a file.
  filter.dwMerit = MERIT_DO_NOT_USE;
  filter.cPins2 = 1;
  filter.rgPins2 = &pin;
  return mapper->RegisterFilter(camera.classId, camera.friendlyName, nullptr,
                                &CLSID_VideoInputDeviceCategory, camera.friendlyName, &filter);
}

// Deleting succeeded, or there was nothing to delete.
bool IsGone(LSTATUS status) {
  return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND ||
         status == ERROR_PATH_NOT_FOUND;
}

}  // namespace

HRESULT RegisterTestCameras(const std::wstring& modulePath) {
  const framework::CComScope com;
  ComPtr<IFilterMapper2> mapper;
  HRESULT result =
      ::CoCreateInstance(CLSID_FilterMapper2, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&mapper));
  for (const CameraIdentity& camera : kCameras) {
    if (SUCCEEDED(result)) result = RegisterComClass(camera, modulePath);
    if (SUCCEEDED(result)) result = RegisterDevice(mapper.Get(), camera);
  }
  if (FAILED(result)) UnregisterTestCameras();
  return result;
}

HRESULT UnregisterTestCameras() {
  const framework::CComScope com;
  ComPtr<IFilterMapper2> mapper;
  ::CoCreateInstance(CLSID_FilterMapper2, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&mapper));
  HRESULT result = S_OK;
  for (const CameraIdentity& camera : kCameras) {
    // The mapper's own answer says little (a device that was never there may count as an
    // error); what it leaves behind is deleted below either way.
    if (mapper != nullptr)
      mapper->UnregisterFilter(&CLSID_VideoInputDeviceCategory, camera.friendlyName,
                               camera.classId);
    const LSTATUS device = ::RegDeleteTreeW(HKEY_CLASSES_ROOT, InstanceKeyPath(camera).c_str());
    const LSTATUS server = ::RegDeleteTreeW(HKEY_CLASSES_ROOT, ClassKeyPath(camera).c_str());
    if (SUCCEEDED(result) && !IsGone(device)) result = HRESULT_FROM_WIN32(device);
    if (SUCCEEDED(result) && !IsGone(server)) result = HRESULT_FROM_WIN32(server);
  }
  return result;
}

}  // namespace testcamera
