#include "vcam/testing/testcamera/TestCameraFilter.h"

#include <new>

#include "vcam/ServerLife.h"
#include "vcam/testing/testcamera/PinFormats.h"
#include "vcam/testing/testcamera/TestCameraIds.h"

namespace testcamera {

namespace {

constexpr LONG kStillCaps = VideoControlFlag_Trigger | VideoControlFlag_ExternalTriggerEnable;

}  // namespace

HRESULT CTestCameraFilter::Create(int camera, REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (IdentityOf(camera) == nullptr) return E_INVALIDARG;
  auto* filter = new (std::nothrow) CTestCameraFilter(camera, ReadCameraSettings(camera));
  if (filter == nullptr) return E_OUTOFMEMORY;
  const HRESULT result = filter->QueryInterface(iid, object);
  filter->Release();
  return result;
}

CTestCameraFilter::CTestCameraFilter(int camera, const CameraSettings& settings)
    : CBaseFilter(IdentityOf(camera)->classId) {
  const REFERENCE_TIME frameInterval = kUnitsPerSecond / settings.framesPerSecond;
  PinSetup capture;
  capture.camera = camera;
  capture.sizes = settings.sizes;
  capture.frameInterval = frameInterval;
  capture.delivers = settings.delivers;
  m_pins.push_back(std::make_unique<CTestCameraPin>(*this, L"Capture", capture));
  if (settings.previewPin) {
    PinSetup preview = capture;
    preview.category = PIN_CATEGORY_PREVIEW;
    if (settings.previewPinUnusable) preview.subtype = kUnusableSubtype;
    m_pins.push_back(std::make_unique<CTestCameraPin>(*this, L"Preview", preview));
  }
  if (settings.stillPin) {
    PinSetup still = capture;
    still.kind = StreamKind::Stills;
    still.category = PIN_CATEGORY_STILL;
    still.sizes = settings.stillSizes;
    still.frameInterval = static_cast<REFERENCE_TIME>(settings.stillEveryMs) * 10000;
    m_pins.push_back(std::make_unique<CTestCameraPin>(*this, L"Still", still));
    m_stillPin = m_pins.back().get();
  }
  vcam::ObjectCreated();
}

CTestCameraFilter::~CTestCameraFilter() {
  // The pins' threads end before the pins go.
  m_pins.clear();
  vcam::ObjectDestroyed();
}

dshow::CBasePin* CTestCameraFilter::PinAt(int index) {
  return index >= 0 && index < PinCount() ? m_pins[static_cast<std::size_t>(index)].get() : nullptr;
}

HRESULT CTestCameraFilter::QueryFilterInterface(REFIID iid, void** object) {
  if (iid == IID_IAMFilterMiscFlags) {
    *object = static_cast<IAMFilterMiscFlags*>(this);
  } else if (iid == IID_IAMVideoControl && m_stillPin != nullptr) {
    *object = static_cast<IAMVideoControl*>(this);
  } else {
    return CBaseFilter::QueryFilterInterface(iid, object);
  }
  AddRef();
  return S_OK;
}

void CTestCameraFilter::EveryPin(void (CTestCameraPin::*action)()) {
  for (const std::unique_ptr<CTestCameraPin>& pin : m_pins) (pin.get()->*action)();
}

STDMETHODIMP CTestCameraFilter::Stop() {
  EveryPin(&CTestCameraPin::StopStreaming);
  return CBaseFilter::Stop();
}

STDMETHODIMP CTestCameraFilter::Pause() {
  const HRESULT result = CBaseFilter::Pause();
  EveryPin(&CTestCameraPin::StateChanged);
  return result;
}

STDMETHODIMP CTestCameraFilter::Run(REFERENCE_TIME start) {
  const HRESULT result = CBaseFilter::Run(start);
  EveryPin(&CTestCameraPin::StateChanged);
  return result;
}

STDMETHODIMP CTestCameraFilter::GetState(DWORD timeoutMs, FILTER_STATE* state) {
  const HRESULT result = CBaseFilter::GetState(timeoutMs, state);
  if (SUCCEEDED(result) && *state == State_Paused) return VFW_S_CANT_CUE;
  return result;
}

// ---- IAMVideoControl

CTestCameraPin* CTestCameraFilter::OwnPin(IPin* pin) {
  for (const std::unique_ptr<CTestCameraPin>& own : m_pins)
    if (static_cast<IPin*>(own.get()) == pin) return own.get();
  return nullptr;
}

STDMETHODIMP CTestCameraFilter::GetCaps(IPin* pin, LONG* flags) {
  if (pin == nullptr || flags == nullptr) return E_POINTER;
  CTestCameraPin* own = OwnPin(pin);
  if (own == nullptr) return E_INVALIDARG;
  *flags = own == m_stillPin ? kStillCaps : 0;
  return S_OK;
}

STDMETHODIMP CTestCameraFilter::SetMode(IPin* pin, LONG mode) {
  if (pin == nullptr) return E_POINTER;
  CTestCameraPin* own = OwnPin(pin);
  if (own == nullptr) return E_INVALIDARG;
  if (own != m_stillPin) return mode == 0 ? S_OK : E_INVALIDARG;
  if ((mode & ~kStillCaps) != 0) return E_INVALIDARG;
  framework::CAutoLock lock(StateLock());
  // The trigger is an act, not a mode to keep.
  m_stillMode = mode & ~VideoControlFlag_Trigger;
  if ((mode & VideoControlFlag_Trigger) != 0 && State() == State_Running) own->Trigger();
  return S_OK;
}

STDMETHODIMP CTestCameraFilter::GetMode(IPin* pin, LONG* mode) {
  if (pin == nullptr || mode == nullptr) return E_POINTER;
  CTestCameraPin* own = OwnPin(pin);
  if (own == nullptr) return E_INVALIDARG;
  framework::CAutoLock lock(StateLock());
  *mode = own == m_stillPin ? m_stillMode : 0;
  return S_OK;
}

}  // namespace testcamera
