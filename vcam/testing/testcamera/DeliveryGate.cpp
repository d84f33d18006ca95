#include "vcam/testing/testcamera/DeliveryGate.h"

#include <windows.h>

#include "framework/Lock.h"
#include "vcam/testing/testcamera/TestCameraIds.h"

namespace testcamera {
namespace {

struct Gate {
  framework::CCriticalSection lock;
  bool held = false;  // guarded by lock
};
Gate g_gates[kCameraCount];

int IndexOf(int camera) {
  return IdentityOf(camera) != nullptr ? camera - 1 : -1;
}

}  // namespace

bool HoldCameraFrames(int camera, bool hold) {
  const int index = IndexOf(camera);
  if (index < 0) return false;
  // Taking the lock waits for a frame that is on its way.
  framework::CAutoLock lock(g_gates[index].lock);
  g_gates[index].held = hold;
  return true;
}

CDeliveryPassage::CDeliveryPassage(int camera) : m_index(IndexOf(camera)), m_open(true) {
  if (m_index < 0) return;
  g_gates[m_index].lock.Lock();
  m_open = !g_gates[m_index].held;
}

CDeliveryPassage::~CDeliveryPassage() {
  if (m_index >= 0) g_gates[m_index].lock.Unlock();
}

}  // namespace testcamera
