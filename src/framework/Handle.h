// Owners of kernel handles, registry keys and mapped views: each closes what it holds when it goes.
#pragma once

#include <windows.h>

#include <utility>

namespace framework {

// A kernel handle closed with CloseHandle. Empty is null (file mappings, mutexes,
// events and processes never use INVALID_HANDLE_VALUE for failure).
class CHandle {
 public:
  CHandle() = default;
  explicit CHandle(HANDLE handle) : m_handle(handle) {}
  CHandle(const CHandle&) = delete;
  CHandle& operator=(const CHandle&) = delete;
  CHandle(CHandle&& other) noexcept : m_handle(std::exchange(other.m_handle, nullptr)) {}
  CHandle& operator=(CHandle&& other) noexcept {
    if (this != &other) Reset(std::exchange(other.m_handle, nullptr));
    return *this;
  }
  ~CHandle() { Reset(); }

  HANDLE Get() const { return m_handle; }
  explicit operator bool() const { return m_handle != nullptr; }

  void Reset(HANDLE handle = nullptr) {
    if (m_handle != nullptr) ::CloseHandle(m_handle);
    m_handle = handle;
  }

 private:
  HANDLE m_handle = nullptr;
};

// An open registry key, closed with RegCloseKey.
class CRegistryKey {
 public:
  CRegistryKey() = default;
  CRegistryKey(const CRegistryKey&) = delete;
  CRegistryKey& operator=(const CRegistryKey&) = delete;
  ~CRegistryKey() {
    if (m_key != nullptr) ::RegCloseKey(m_key);
  }

  // Where RegOpenKeyEx and RegCreateKeyEx put the key; only while empty.
  HKEY* Receive() { return &m_key; }
  HKEY Get() const { return m_key; }

 private:
  HKEY m_key = nullptr;
};

// A view of a file mapping, unmapped with UnmapViewOfFile.
class CMappedView {
 public:
  CMappedView() = default;
  explicit CMappedView(void* address) : m_address(address) {}
  CMappedView(const CMappedView&) = delete;
  CMappedView& operator=(const CMappedView&) = delete;
  CMappedView(CMappedView&& other) noexcept : m_address(std::exchange(other.m_address, nullptr)) {}
  CMappedView& operator=(CMappedView&& other) noexcept {
    if (this != &other) Reset(std::exchange(other.m_address, nullptr));
    return *this;
  }
  ~CMappedView() { Reset(); }

  BYTE* Bytes() const { return static_cast<BYTE*>(m_address); }
  explicit operator bool() const { return m_address != nullptr; }

  void Reset(void* address = nullptr) {
    if (m_address != nullptr) ::UnmapViewOfFile(m_address);
    m_address = address;
  }

 private:
  void* m_address = nullptr;
};

}  // namespace framework
