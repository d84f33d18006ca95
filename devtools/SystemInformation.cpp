#include "devtools/SystemInformation.h"

#include <winternl.h>

namespace devtools {

bool QuerySystemInformation(int infoClass, std::vector<unsigned char>& buffer) {
  constexpr NTSTATUS kInfoLengthMismatch = static_cast<NTSTATUS>(0xC0000004L);
  constexpr size_t kLargest = 256u << 20;
  buffer.resize(256 * 1024);
  for (;;) {
    ULONG needed = 0;
    const NTSTATUS status =
        ::NtQuerySystemInformation(static_cast<SYSTEM_INFORMATION_CLASS>(infoClass), buffer.data(),
                                   static_cast<ULONG>(buffer.size()), &needed);
    if (status == 0) return true;
    if (status != kInfoLengthMismatch || buffer.size() >= kLargest) return false;
    buffer.resize(buffer.size() * 2);
  }
}

}  // namespace devtools
