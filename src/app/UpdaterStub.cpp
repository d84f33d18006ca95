// A stand-in for the maker's updater library, "Kestrowin.dll", for the start-up tests. It
// writes every call it receives into "updater-calls.txt" beside itself. Built three
// times: UPDATE_TAKES_OVER 1 or 0, and without exports (STUB_WITHOUT_EXPORTS).
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

HMODULE g_self = nullptr;

void Record(const std::string& line) {
  wchar_t path[MAX_PATH] = L"";
  const DWORD length = ::GetModuleFileNameW(g_self, path, MAX_PATH);
  std::wstring file(path, length);
  file = file.substr(0, file.find_last_of(L'\\') + 1) + L"updater-calls.txt";
  if (FILE* out = _wfopen(file.c_str(), L"ab")) {
    std::fprintf(out, "%s\n", line.c_str());
    std::fclose(out);
  }
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved) {
  if (reason == DLL_PROCESS_ATTACH) {
    g_self = module;
    Record("loaded");
  }
  // Unloaded by FreeLibrary (reserved null), or left loaded until the process ended.
  if (reason == DLL_PROCESS_DETACH) Record(reserved == nullptr ? "unloaded" : "process ended");
  return TRUE;
}

#ifndef STUB_WITHOUT_EXPORTS
extern "C" __declspec(dllexport) bool __cdecl UpdateSoftware(const char* key, const char* name,
                                                             const char* executable) {
  Record(std::string("UpdateSoftware ") + key + " " + name + " " + executable);
  return UPDATE_TAKES_OVER != 0;
}

extern "C" __declspec(dllexport) void __cdecl ReleaseUpdater() {
  Record("ReleaseUpdater");
}
#endif
