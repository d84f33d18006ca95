#include "app/Lumaret.h"

#include <windows.h>

#include <commctrl.h>

#include <memory>

#include "app/Log.h"
#include "app/SettingStore.h"
#include "app/SingleInstance.h"
#include "camera/OutputFileNaming.h"
#include "mainwindow/CLumaretDlg.h"

namespace app {

namespace {
constexpr char kLogModule[] = "Lumaret";
}  // namespace

BOOL CLumaretApp::InitInstance() {
  // Links are SysLink controls, which need their class as well as the classic set.
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_LINK_CLASS};
  ::InitCommonControlsEx(&controls);
  // Restart after a crash or an update, without recovery.
  ::RegisterApplicationRestart(nullptr, 0);

  const std::wstring baseName = ExecutableBaseName();
  if (!EnsureSingleInstance(baseName)) {
    BringRunningCopyForward(baseName);
    m_exitCode = 1;
    return FALSE;
  }

  if (m_updater.UpdateTakesOver()) {
    m_exitCode = 2;
    return FALSE;
  }

  applog::ConfigureLogging(L"log4quillmesh.properties");
  LOG_INFO(kLogModule, L"begin to quillmesh");

  // The playlist store keeps nothing between calls: there is no instance to create.
  auto window = std::make_unique<mainwindow::CLumaretDlg>();
  m_pMainWnd = window.get();
  window->DoModal();

  // Teardown, in order: the updater, the stores, then the window and its player.
  m_updater.Release();
  CSettingStore::DestroyInstance();
  camera::ForgetOutputFolders();
  m_pMainWnd = nullptr;
  window.reset();
  return FALSE;
}

}  // namespace app
