// COM for the calling thread for the life of the object, uninitialised only when this
// object's initialisation succeeded (also when the thread had COM already: S_FALSE).
#pragma once

#include <objbase.h>

namespace framework {

class CComScope {
 public:
  explicit CComScope(DWORD model = COINIT_APARTMENTTHREADED)
      : m_result(::CoInitializeEx(nullptr, model)) {}
  CComScope(const CComScope&) = delete;
  CComScope& operator=(const CComScope&) = delete;
  ~CComScope() {
    if (SUCCEEDED(m_result)) ::CoUninitialize();
  }

 private:
  HRESULT m_result;
};

}  // namespace framework
