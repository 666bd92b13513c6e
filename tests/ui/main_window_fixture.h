#pragma once
// A main window test's surroundings: language folders of its own (the
// program folder's language.lng and language/, the user's language.lng), the current directory restored afterwards
// (GO changes it), and every modal window answered.

#include <QString>
#include <gtest/gtest.h>

#include <string>

#include "platform/directory.h"
#include "tests/support/language_folders.h"
#include "tests/support/temp_folder.h"
#include "tests/ui/modal_watcher.h"

namespace zelk::testing {

inline QString qt(const std::string& text) { return QString::fromStdString(text); }

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(platform::setCurrentDirectory(work_.path()));
  }

  void TearDown() override {
    platform::setCurrentDirectory(savedDirectory_);
    EXPECT_TRUE(modals_.unexpected().isEmpty()) << modals_.unexpected().join(" | ").toStdString();
  }

  std::string savedDirectory_ = platform::currentDirectory();
  LanguageFolders languages_;
  const TempFolder& programFolder_ = languages_.program();
  TempFolder work_;  // the current directory while the test runs
  ModalWatcher modals_;
};

}  // namespace zelk::testing
