#pragma once
// The build installed into a temporary prefix, as `cmake --install BUILD
// --prefix DIR` and a package do, once for every test of a suite.

#include <gtest/gtest.h>

#include <string>

#include "tests/support/temp_folder.h"

namespace zelk::testing {

class InstallTree : public ::testing::Test {
 protected:
  static void SetUpTestSuite();
  static void TearDownTestSuite();
  // `path` below the installed prefix ("bin/zelk-sfv"); "" is the prefix itself.
  static std::string installed(const std::string& path);

 private:
  static TempFolder* prefix_;
};

}  // namespace zelk::testing
