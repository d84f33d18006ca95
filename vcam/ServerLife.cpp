#include "vcam/ServerLife.h"

#include <atomic>

namespace vcam {

namespace {
std::atomic<long> g_objects{0};
std::atomic<long> g_locks{0};
}  // namespace

void ObjectCreated() {
  ++g_objects;
}

void ObjectDestroyed() {
  --g_objects;
}

void LockServer(bool lock) {
  if (lock)
    ++g_locks;
  else
    --g_locks;
}

bool ServerCanUnload() {
  return g_objects == 0 && g_locks == 0;
}

}  // namespace vcam
