// The test camera DLL's COM server: one class factory for each camera, the entry points
// that regsvr32 and COM call, and the counters tests read.
#include <windows.h>

#include <string>

#include "vcam/ServerLife.h"
#include "vcam/testing/testcamera/Counters.h"
#include "vcam/testing/testcamera/DeliveryGate.h"
#include "vcam/testing/testcamera/Registration.h"
#include "vcam/testing/testcamera/TestCameraExports.h"
#include "vcam/testing/testcamera/TestCameraFilter.h"
#include "vcam/testing/testcamera/TestCameraIds.h"

namespace {

// Static, one for each camera for the life of the DLL: their references are not counted.
class CClassFactory final : public IClassFactory {
 public:
  explicit constexpr CClassFactory(int camera) : m_camera(camera) {}

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
    return testcamera::CTestCameraFilter::Create(m_camera, iid, object);
  }
  STDMETHODIMP LockServer(BOOL lock) override {
    vcam::LockServer(lock != FALSE);
    return S_OK;
  }

 private:
  const int m_camera;
};

CClassFactory g_factories[testcamera::kCameraCount] = {CClassFactory(1), CClassFactory(2)};

std::wstring ModulePath() {
  HMODULE module = nullptr;
  if (!::GetModuleHandleExW(
          GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
          reinterpret_cast<LPCWSTR>(&g_factories), &module))
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
  for (int camera = 1; camera <= testcamera::kCameraCount; ++camera)
    if (classId == testcamera::IdentityOf(camera)->classId)
      return g_factories[camera - 1].QueryInterface(iid, object);
  return CLASS_E_CLASSNOTAVAILABLE;
}

STDAPI DllCanUnloadNow() {
  return vcam::ServerCanUnload() ? S_OK : S_FALSE;
}

STDAPI DllRegisterServer() {
  const std::wstring path = ModulePath();
  if (path.empty()) return HRESULT_FROM_WIN32(::GetLastError());
  return testcamera::RegisterTestCameras(path);
}

STDAPI DllUnregisterServer() {
  return testcamera::UnregisterTestCameras();
}

BOOL WINAPI TestCameraHoldFrames(int camera, BOOL hold) {
  return testcamera::HoldCameraFrames(camera, hold != FALSE) ? TRUE : FALSE;
}

LONG WINAPI TestCameraFramesDelivered(int camera) {
  return testcamera::DeliveredCount(camera, testcamera::StreamKind::Frames);
}

LONG WINAPI TestCameraStillsDelivered(int camera) {
  return testcamera::DeliveredCount(camera, testcamera::StreamKind::Stills);
}

BOOL WINAPI TestCameraLastFormat(int camera, int* width, int* height) {
  std::uint32_t recordedWidth = 0, recordedHeight = 0;
  if (!testcamera::LastRecordedFormat(camera, recordedWidth, recordedHeight)) return FALSE;
  if (width != nullptr) *width = static_cast<int>(recordedWidth);
  if (height != nullptr) *height = static_cast<int>(recordedHeight);
  return TRUE;
}
