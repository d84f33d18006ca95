#include "camera/SampleGrabberCB.h"

#include "app/SettingStore.h"
#include "camera/CPreviwCameraDlg.h"
#include "camera/OutputFileNaming.h"
#include "camera/Photo.h"
#include "camera/Recording.h"
#include "framework/WarningBox.h"

namespace camera {

CSampleGrabberCB g_frameGrabberCB(false);
CSampleGrabberCB g_stillGrabberCB(true);

STDMETHODIMP CSampleGrabberCB::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  if (iid == IID_ISampleGrabberCB || iid == IID_IUnknown) {
    // The object is static: no reference is counted.
    *object = static_cast<ISampleGrabberCB*>(this);
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

bool CSampleGrabberCB::HoldsWholeFrame(long length) const {
  if (m_frameWidth <= 0 || m_frameHeight <= 0) return false;
  const long long needed = static_cast<long long>(m_frameWidth) * m_frameHeight * 3;
  return length >= needed;
}

void CSampleGrabberCB::TakePhoto(const BYTE* pixels, long length) {
  const std::wstring folder = app::CSettingStore::Instance()->GetCurrent().GetPhotoFolder();
  EnsureOutputFolders();
  std::wstring path;
  // A buffer shorter than the frame size says would be read past its end: no photograph.
  if (MakePhotoFileName(path, folder) && HoldsWholeFrame(length))
    SavePhoto(*this, pixels, length, path);
}

namespace {

long long Now100ns() {
  LARGE_INTEGER frequency, now;
  ::QueryPerformanceFrequency(&frequency);
  ::QueryPerformanceCounter(&now);
  return now.QuadPart / frequency.QuadPart * 10000000 +
         now.QuadPart % frequency.QuadPart * 10000000 / frequency.QuadPart;
}

long long ThreadCpu100ns() {
  FILETIME created, exited, kernel, user;
  if (!::GetThreadTimes(::GetCurrentThread(), &created, &exited, &kernel, &user)) return 0;
  const auto value = [](FILETIME t) {
    return static_cast<long long>((static_cast<ULONGLONG>(t.dwHighDateTime) << 32) |
                                  t.dwLowDateTime);
  };
  return value(kernel) + value(user);
}

}  // namespace

CSampleGrabberCB::RecordingCost CSampleGrabberCB::RecordingCostSoFar() const {
  framework::CAutoLock lock(g_recordingLock);
  return m_recordingCost;
}

void CSampleGrabberCB::RecordFrame(const BYTE* pixels, long length) {
  framework::CAutoLock lock(g_recordingLock);
  if (!g_pMovieWriter || !HoldsWholeFrame(length)) return;
  const long long started = Now100ns(), startedCpu = ThreadCpu100ns();
  const HRESULT appended = g_pMovieWriter->AppendFrame(m_frameWidth, m_frameHeight, pixels);
  ++m_recordingCost.frames;
  m_recordingCost.elapsed100ns += Now100ns() - started;
  m_recordingCost.cpu100ns += ThreadCpu100ns() - startedCpu;
  if (SUCCEEDED(appended)) return;
  // The box holds the lock: the dialog's StopRecording waits until it is closed.
  framework::ShowWarningBox(g_pMovieWriter->GetLastErrorText());
  if (m_pDialog != nullptr) m_pDialog->PostMessage(WM_RECORDING_FAILED);
}

STDMETHODIMP CSampleGrabberCB::BufferCB(double, BYTE* pixels, long length) {
  ++m_framesSeen;
  if (m_isStill) {
    if (pixels != nullptr) TakePhoto(pixels, length);
    return S_OK;
  }
  CPreviwCameraDlg* dialog = m_pDialog;
  if (dialog == nullptr ||
      (dialog->m_recording.load() == 0 && dialog->m_photoRequested.load() == 0))
    return S_OK;
  if (pixels == nullptr) return E_POINTER;
  // Taking the request first means that frames arriving before the dialog has handled
  // the message cannot make a second photograph of the same request.
  long requested = 1;
  if (dialog->m_photoRequested.compare_exchange_strong(requested, 2)) {
    TakePhoto(pixels, length);
    dialog->PostMessage(WM_PHOTO_SERVED);
  }
  if (dialog->m_recording.load() != 0) RecordFrame(pixels, length);
  return S_OK;
}

}  // namespace camera
