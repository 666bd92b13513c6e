#pragma once
// A main window test's surroundings: a program folder of its own (for
// language.lng and language/), the current directory restored afterwards
// (GO changes it), and every modal window answered.

#include <QString>
#include <gtest/gtest.h>

#include <string>

#include "platform/directory.h"
#include "tests/support/temp_folder.h"
#include "tests/ui/modal_watcher.h"

namespace zelk::testing {

inline QString qt(const std::string& text) { return QString::fromStdString(text); }

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::setProgramFolderForTesting(programFolder_.path());
    ASSERT_TRUE(platform::setCurrentDirectory(work_.path()));
  }

  void TearDown() override {
    platform::setCurrentDirectory(savedDirectory_);
    platform::setProgramFolderForTesting("");
    EXPECT_TRUE(modals_.unexpected().isEmpty()) << modals_.unexpected().join(" | ").toStdString();
  }

  std::string savedDirectory_ = platform::currentDirectory();
  TempFolder programFolder_;
  TempFolder work_;  // the current directory while the test runs
  ModalWatcher modals_;
};

}  // namespace zelk::testing
