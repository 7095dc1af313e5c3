#pragma once
// Checks shared by the tests of settings reading.

#include <gtest/gtest.h>

#include <string>

#include "support/process_run.h"

namespace korvan::e2e {

inline constexpr char kMainClassMissing[] = "Error: Main class was not specified in INI file. \n";

// The launch went past the settings: no message for a missing main class
// (what comes after, the runtime search and the VM, is not looked at here).
inline testing::AssertionResult PassedTheSettings(const ProcessResult& result) {
  if (result.standard_output.find("Main class was not specified") == std::string::npos &&
      result.standard_output.find("korvan:") == std::string::npos) {
    return testing::AssertionSuccess();
  }
  return testing::AssertionFailure() << "standard output: " << result.standard_output;
}

}  // namespace korvan::e2e
