#include "vcam/testing/CameraDevices.h"

#include <cstdio>

#include "vcam/CameraIds.h"

using Microsoft::WRL::ComPtr;

namespace vcam::testing_support {

std::wstring CameraDllPath() {
  wchar_t path[MAX_PATH];
  const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path, length);
  folder = folder.substr(0, folder.find_last_of(L'\\'));
  return folder +
         (sizeof(void*) == 8 ? L"\\PlumoraVirtualCamera64.dll" : L"\\PlumoraVirtualCamera32.dll");
}

int RunRegsvr32(const std::wstring& dll, bool unregister, bool otherBitness) {
  // System32 is the folder of the program's own bitness (for a 32-bit program on 64-bit
  // Windows, the file system redirects it to SysWOW64); Sysnative is the 64-bit one as a
  // 32-bit program sees it.
  wchar_t windows[MAX_PATH];
  const UINT length = ::GetWindowsDirectoryW(windows, MAX_PATH);
  const wchar_t* folder = !otherBitness        ? L"\\System32"
                          : sizeof(void*) == 8 ? L"\\SysWOW64"
                                               : L"\\Sysnative";
  const std::wstring program = std::wstring(windows, length) + folder + L"\\regsvr32.exe";
  std::wstring commandLine =
      L"\"" + program + L"\" /s " + (unregister ? L"/u " : L"") + L"\"" + dll + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  // -1 stands for three different failures; each says which on the error output, so that
  // a rare one can be told apart from the test's log.
  if (!::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &info)) {
    std::fwprintf(stderr, L"regsvr32 did not start: CreateProcess error %lu\n", ::GetLastError());
    return -1;
  }
  ::CloseHandle(info.hThread);
  DWORD exitCode = static_cast<DWORD>(-1);
  const DWORD waited = ::WaitForSingleObject(info.hProcess, 30000);
  if (waited != WAIT_OBJECT_0)
    std::fwprintf(stderr, L"regsvr32 did not end within 30 s (wait result %lu)\n", waited);
  else if (!::GetExitCodeProcess(info.hProcess, &exitCode))
    std::fwprintf(stderr, L"regsvr32's exit code unknown: error %lu\n", ::GetLastError());
  ::CloseHandle(info.hProcess);
  return static_cast<int>(exitCode);
}

bool HasTwoRegistryViews() {
  if (sizeof(void*) == 8) return true;
  BOOL wow64 = FALSE;
  return ::IsWow64Process(::GetCurrentProcess(), &wow64) && wow64;
}

std::wstring OtherViewFriendlyName() {
  const REGSAM otherView = sizeof(void*) == 8 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;
  HKEY key = nullptr;
  const std::wstring path = std::wstring(L"Software\\Classes\\") + kInstanceKeyPath;
  if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ | otherView, &key) !=
      ERROR_SUCCESS)
    return {};
  wchar_t name[256];
  DWORD bytes = sizeof name;
  const LSTATUS status =
      ::RegGetValueW(key, nullptr, L"FriendlyName", RRF_RT_REG_SZ, nullptr, name, &bytes);
  ::RegCloseKey(key);
  return status == ERROR_SUCCESS ? name : L"";
}

CCameraRegistration::CCameraRegistration() : m_exitCode(RunRegsvr32(CameraDllPath(), false)) {}

CCameraRegistration::~CCameraRegistration() {
  RunRegsvr32(CameraDllPath(), true);
}

bool SetCameraFriendlyName(const std::wstring& name) {
  return ::RegSetKeyValueW(HKEY_CLASSES_ROOT, kInstanceKeyPath, L"FriendlyName", REG_SZ,
                           name.c_str(), static_cast<DWORD>((name.size() + 1) * sizeof(wchar_t))) ==
         ERROR_SUCCESS;
}

std::wstring CameraFriendlyName() {
  wchar_t name[256];
  DWORD bytes = sizeof name;
  if (::RegGetValueW(HKEY_CLASSES_ROOT, kInstanceKeyPath, L"FriendlyName", RRF_RT_REG_SZ, nullptr,
                     name, &bytes) != ERROR_SUCCESS)
    return {};
  return name;
}

}  // namespace vcam::testing_support
