// Owners of what an AVI movie holds while it is written besides its file: a memory device
// context and a private heap with the frame buffer in it.
#pragma once

#include <windows.h>

#include <memory>
#include <utility>

namespace moviemaker {

struct DeleteMemoryDC {
  void operator()(HDC dc) const { ::DeleteDC(dc); }
};

using CMemoryDC = std::unique_ptr<std::remove_pointer_t<HDC>, DeleteMemoryDC>;

// A private heap without serialisation and one zero-filled buffer allocated from it.
class CFrameHeap {
 public:
  CFrameHeap() = default;
  CFrameHeap(const CFrameHeap&) = delete;
  CFrameHeap& operator=(const CFrameHeap&) = delete;
  ~CFrameHeap() { Reset(); }

  // A growable heap whose initial size is size; false when the system refuses.
  bool CreateHeap(SIZE_T size) {
    Reset();
    m_heap = ::HeapCreate(HEAP_NO_SERIALIZE, size, 0);
    return m_heap != nullptr;
  }
  bool AllocateBuffer(SIZE_T size) {
    m_buffer = static_cast<BYTE*>(::HeapAlloc(m_heap, HEAP_ZERO_MEMORY | HEAP_NO_SERIALIZE, size));
    return m_buffer != nullptr;
  }
  BYTE* Buffer() const { return m_buffer; }

  // Frees the buffer, then destroys the heap.
  void Reset() {
    if (m_buffer != nullptr)
      ::HeapFree(m_heap, HEAP_NO_SERIALIZE, std::exchange(m_buffer, nullptr));
    if (m_heap != nullptr) ::HeapDestroy(std::exchange(m_heap, nullptr));
  }

 private:
  HANDLE m_heap = nullptr;
  BYTE* m_buffer = nullptr;
};

}  // namespace moviemaker
