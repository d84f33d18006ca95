// The camera studio: lists the system's cameras, shows the chosen one live, takes
// photographs, records AVI movies, offers a finished recording to the virtual camera's
// playlist and opens the storage folder. Frames become files in the grabber callback
// (SampleGrabberCB.h), which reads this dialog's flags and posts back to it.
#pragma once

#include <atomic>
#include <string>

#include "camera/CaptureVideo.h"
#include "framework/Controls.h"
#include "framework/Dialog.h"

namespace camera {

class CPreviwCameraDlg : public framework::CDialogEx {
 public:
  explicit CPreviwCameraDlg(framework::CWnd* parent = nullptr);
  // Ends a running recording (the movie is complete on disk) and stops the camera.
  ~CPreviwCameraDlg() override;

  // Starts the camera at position index of the list; whether it now runs.
  bool OpenCamera(int index);
  // Stops the recording and resets the buttons; path is the closed movie's, or empty.
  void EndRecording(std::wstring& path);
  // Asks, while recording, whether to end; true when the dialog is being ended.
  bool ConfirmClose();

  bool IsCameraOpen() const { return m_cameraOpen; }
  bool IsRecording() const { return m_recording.load() != 0; }
  bool IsPhotoRequested() const { return m_photoRequested.load() != 0; }
  // The engine, for tests that look at the graph.
  const CCaptureVideo& Capture() const { return m_capture; }

 protected:
  void DoDataExchange(framework::CDataExchange& exchange) override;
  BOOL OnInitDialog() override;
  // Enter and Escape: while recording they ask as the close box does, so that neither
  // ends a recording unasked nor leaves the movie unfinished.
  void OnOK() override;
  void OnCancel() override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  friend class CSampleGrabberCB;

  void FillCameraCombo(const std::vector<std::wstring>& names);
  void OnCameraChanged();
  void OnPhoto();
  void OnRecord();
  void OnOpenFolder();
  void OnSettings();
  void OnExit() { ConfirmClose(); }
  LRESULT OnClose(WPARAM, LPARAM);
  LRESULT OnDestroy(WPARAM, LPARAM);
  // Ends a running recording and stops the camera; the callback lets go of the dialog.
  void StopCamera();
  LRESULT OnPaint(WPARAM, LPARAM);
  LRESULT OnQueryDragIcon(WPARAM, LPARAM);
  LRESULT OnPhotoServed(WPARAM, LPARAM);
  LRESULT OnRecordingFailed(WPARAM, LPARAM);
  // Enables the photograph, record and settings buttons together.
  void EnableButtons(bool photo, bool record, bool settings);
  // Offers a finished movie to the main window's playlist.
  void OfferToPlaylist(const std::wstring& path);

  HICON m_hIcon;
  framework::CComboBox m_comboCamera;
  CCaptureVideo m_capture;
  framework::CButton m_btnRecord;
  framework::CButton m_btnSettings;
  framework::CButton m_btnSnapshot;
  // Written here, read (and the request taken) by the frame callback.
  std::atomic<long> m_recording{0};
  std::atomic<long> m_photoRequested{0};
  bool m_cameraOpen = false;
  framework::CWnd* m_owner;
};

}  // namespace camera
