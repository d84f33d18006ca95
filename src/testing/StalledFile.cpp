#include "testing/StalledFile.h"

#include "testing/TempFolder.h"

namespace testing_support {

namespace {
constexpr int kInstances = 4;
}

StalledFile::StalledFile() : m_path(L"\\\\.\\pipe\\" + UniqueName(L"stalled")) {
  for (int i = 0; i < kInstances; ++i) {
    HANDLE pipe =
        ::CreateNamedPipeW(m_path.c_str(), PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE | PIPE_WAIT,
                           kInstances, 4096, 4096, 0, nullptr);
    if (pipe == INVALID_HANDLE_VALUE) break;
    m_instances.push_back(pipe);
  }
}

StalledFile::~StalledFile() {
  Release();
}

void StalledFile::Release() {
  for (HANDLE pipe : m_instances) {
    ::DisconnectNamedPipe(pipe);
    ::CloseHandle(pipe);
  }
  m_instances.clear();
}

}  // namespace testing_support
