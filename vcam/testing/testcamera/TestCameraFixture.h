// The test cameras' tests start alike: COM for the test's thread, and both cameras
// registered by regsvr32 until the test ends.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "vcam/testing/testcamera/TestCamera.h"

namespace testcamera {

class CTestCameraFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_HRESULT_SUCCEEDED(::CoInitializeEx(nullptr, COINIT_MULTITHREADED));
    m_comStarted = true;
    m_registration = std::make_unique<CTestCameraRegistration>();
    ASSERT_TRUE(m_registration->Succeeded()) << "regsvr32 exit code " << m_registration->ExitCode();
  }
  void TearDown() override {
    m_registration.reset();
    if (m_comStarted) ::CoUninitialize();
  }

 private:
  bool m_comStarted = false;
  std::unique_ptr<CTestCameraRegistration> m_registration;
};

}  // namespace testcamera
