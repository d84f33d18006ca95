// The DLL's COM server: the class factory of the camera filter, and the entry points
// that regsvr32 and COM call.
#include <windows.h>

#include <string>

#include "vcam/CameraIds.h"
#include "vcam/Registration.h"
#include "vcam/ServerLife.h"
#include "vcam/VirtualCameraFilter.h"

namespace {

// One factory for the life of the DLL: static, so its reference count is not counted.
class CClassFactory final : public IClassFactory {
 public:
  STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IClassFactory) {
      *object = static_cast<IClassFactory*>(this);
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }

  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    return vcam::CVirtualCameraFilter::Create(iid, object);
  }
  STDMETHODIMP LockServer(BOOL lock) override {
    vcam::LockServer(lock != FALSE);
    return S_OK;
  }
};

CClassFactory g_factory;

std::wstring ModulePath() {
  HMODULE module = nullptr;
  if (!::GetModuleHandleExW(
          GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
          reinterpret_cast<LPCWSTR>(&g_factory), &module))
    return {};
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = ::GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);  // a long path: try again with more room
  }
}

}  // namespace

STDAPI DllGetClassObject(REFCLSID classId, REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (classId != vcam::CLSID_PlumoraVirtualCamera) return CLASS_E_CLASSNOTAVAILABLE;
  return g_factory.QueryInterface(iid, object);
}

STDAPI DllCanUnloadNow() {
  return vcam::ServerCanUnload() ? S_OK : S_FALSE;
}

STDAPI DllRegisterServer() {
  const std::wstring path = ModulePath();
  if (path.empty()) return HRESULT_FROM_WIN32(::GetLastError());
  return vcam::RegisterCamera(path);
}

STDAPI DllUnregisterServer() {
  return vcam::UnregisterCamera();
}
