// For tests: waits for something another process or thread does.
#pragma once

#include <functional>

namespace testing_support {

// True as soon as done() holds, false when timeoutMs pass first. done() is asked again
// every 50 ms, on the calling thread.
bool WaitFor(const std::function<bool()>& done, unsigned timeoutMs);

}  // namespace testing_support
