#include "app/UpdaterLibrary.h"

#include <string>

namespace app {

namespace {

// The updater's interface: C calling convention, 8-bit strings in code page 936.
using UpdateSoftwareFunction = bool(__cdecl*)(const char* productKey, const char* productName,
                                              const char* executableName);
using ReleaseUpdaterFunction = void(__cdecl*)();

template <class Function>
Function Export(HMODULE library, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(library, name)));
}

std::string ExecutableFileNameCp936() {
  wchar_t path[MAX_PATH * 4] = L"";
  const DWORD length = ::GetModuleFileNameW(nullptr, path, ARRAYSIZE(path));
  std::wstring name(path, length);
  const size_t slash = name.find_last_of(L"\\/");
  if (slash != std::wstring::npos) name.erase(0, slash + 1);
  const int size = ::WideCharToMultiByte(936, 0, name.c_str(), -1, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return "Plumora.exe";
  std::string text(static_cast<size_t>(size), '\0');
  ::WideCharToMultiByte(936, 0, name.c_str(), -1, text.data(), size, nullptr, nullptr);
  text.resize(static_cast<size_t>(size - 1));
  return text;
}

}  // namespace

bool CUpdaterLibrary::UpdateTakesOver() {
  if (m_library == nullptr) m_library = ::LoadLibraryA("Kestrowin.dll");
  if (m_library == nullptr) return false;
  const auto update = Export<UpdateSoftwareFunction>(m_library, "UpdateSoftware");
  if (update == nullptr) return false;
  const std::string executable = ExecutableFileNameCp936();
  if (!update("zxquillmeshsoft", "quillmesh", executable.c_str())) return false;
  Release();
  return true;
}

void CUpdaterLibrary::Release() {
  if (m_library == nullptr) return;
  if (const auto release = Export<ReleaseUpdaterFunction>(m_library, "ReleaseUpdater")) release();
  ::FreeLibrary(m_library);
  m_library = nullptr;
}

}  // namespace app
