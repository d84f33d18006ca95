#include "vcam/testing/testcamera/DeliveryGate.h"

#include <windows.h>

#include "vcam/testing/testcamera/TestCameraIds.h"

namespace testcamera {
namespace {

struct Gate {
  SRWLOCK lock = SRWLOCK_INIT;
  CONDITION_VARIABLE passed = CONDITION_VARIABLE_INIT;
  // Both guarded by lock.
  bool held = false;
  int onTheirWay = 0;
};
Gate g_gates[kCameraCount];

int IndexOf(int camera) {
  return IdentityOf(camera) != nullptr ? camera - 1 : -1;
}

}  // namespace

bool HoldCameraFrames(int camera, bool hold) {
  const int index = IndexOf(camera);
  if (index < 0) return false;
  Gate& gate = g_gates[index];
  ::AcquireSRWLockExclusive(&gate.lock);
  gate.held = hold;
  const ULONGLONG deadline = ::GetTickCount64() + kHoldWaitMs;
  bool settled = true;
  while (hold && gate.onTheirWay > 0) {
    const ULONGLONG now = ::GetTickCount64();
    if (now >= deadline) {
      settled = false;
      break;
    }
    ::SleepConditionVariableSRW(&gate.passed, &gate.lock, static_cast<DWORD>(deadline - now), 0);
  }
  ::ReleaseSRWLockExclusive(&gate.lock);
  return settled;
}

CDeliveryPassage::CDeliveryPassage(int camera) : m_index(IndexOf(camera)) {
  if (m_index < 0) return;
  Gate& gate = g_gates[m_index];
  ::AcquireSRWLockExclusive(&gate.lock);
  m_open = !gate.held;
  if (m_open) ++gate.onTheirWay;
  ::ReleaseSRWLockExclusive(&gate.lock);
  if (!m_open) m_index = -1;
}

CDeliveryPassage::~CDeliveryPassage() {
  if (m_index < 0) return;
  Gate& gate = g_gates[m_index];
  ::AcquireSRWLockExclusive(&gate.lock);
  --gate.onTheirWay;
  ::ReleaseSRWLockExclusive(&gate.lock);
  ::WakeAllConditionVariable(&gate.passed);
}

}  // namespace testcamera
