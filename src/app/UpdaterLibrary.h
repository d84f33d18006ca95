// The maker's updater, "Kestrowin.dll", when it is installed: asked once at start whether
// an update takes over (then the program ends at once), and released at shutdown.
#pragma once

#include <windows.h>

namespace app {

class CUpdaterLibrary {
 public:
  CUpdaterLibrary() = default;
  CUpdaterLibrary(const CUpdaterLibrary&) = delete;
  CUpdaterLibrary& operator=(const CUpdaterLibrary&) = delete;
  ~CUpdaterLibrary() { Release(); }

  // Loads the library and asks UpdateSoftware. True when an update takes over and the
  // program must end; the library is then released already. False otherwise (no library,
  // no export, or no update); a loaded library stays loaded.
  bool UpdateTakesOver();

  // Calls ReleaseUpdater when the library exports it, then unloads the library.
  void Release();

  bool IsLoaded() const { return m_library != nullptr; }

 private:
  HMODULE m_library = nullptr;
};

}  // namespace app
