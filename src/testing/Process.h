// For tests: runs another program and waits for it.
#pragma once

#include <string>

namespace testing_support {

// The folder of the running test program, where the tools it starts are built too.
std::wstring ProgramFolder();

// Runs "program args" and returns its exit code, or -1 when it could not start or
// did not end within the timeout.
int RunProgram(const std::wstring& program, const std::wstring& arguments,
               unsigned timeoutMs = 30000);

}  // namespace testing_support
