#include "vcam/DeviceList.h"

#include <oleauto.h>

using Microsoft::WRL::ComPtr;

namespace vcam {

namespace {

std::wstring ReadProperty(IPropertyBag* bag, const wchar_t* name) {
  VARIANT value;
  ::VariantInit(&value);
  std::wstring text;
  if (SUCCEEDED(bag->Read(name, &value, nullptr)) && value.vt == VT_BSTR)
    text.assign(value.bstrVal, ::SysStringLen(value.bstrVal));
  ::VariantClear(&value);
  return text;
}

}  // namespace

std::vector<VideoInputDevice> ListVideoInputDevices() {
  std::vector<VideoInputDevice> devices;
  ComPtr<ICreateDevEnum> enumerator;
  if (FAILED(::CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(&enumerator))))
    return devices;
  ComPtr<IEnumMoniker> monikers;
  // S_FALSE: the category is empty.
  if (enumerator->CreateClassEnumerator(CLSID_VideoInputDeviceCategory, &monikers, 0) != S_OK)
    return devices;
  ComPtr<IMoniker> moniker;
  while (monikers->Next(1, &moniker, nullptr) == S_OK) {
    ComPtr<IPropertyBag> bag;
    if (SUCCEEDED(moniker->BindToStorage(nullptr, nullptr, IID_PPV_ARGS(&bag))))
      devices.push_back(
          {ReadProperty(bag.Get(), L"FriendlyName"), ReadProperty(bag.Get(), L"CLSID"), moniker});
    moniker.Reset();
  }
  return devices;
}

ComPtr<IBaseFilter> OpenVideoInputDevice(const std::wstring& friendlyName) {
  for (const VideoInputDevice& device : ListVideoInputDevices()) {
    if (device.friendlyName != friendlyName) continue;
    ComPtr<IBaseFilter> filter;
    if (SUCCEEDED(device.moniker->BindToObject(nullptr, nullptr, IID_PPV_ARGS(&filter))))
      return filter;
  }
  return nullptr;
}

}  // namespace vcam
