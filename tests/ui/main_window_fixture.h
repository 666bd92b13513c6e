#pragma once
// A main window test's surroundings: language folders of its own (the
// program folder's language.lng and language/, the user's language.lng), the current directory restored afterwards
// (GO changes it), and every modal window answered.

#include <QLineEdit>
#include <QString>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/directory.h"
#include "tests/support/language_folders.h"
#include "tests/support/temp_folder.h"
#include "tests/ui/modal_watcher.h"
#include "ui/main_window.h"

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

// A window set on the folder "music" of two files: "123456789" is the CRC-32
// check value's input (cbf43926); "abc" is in the MD5 suite of RFC 1321.
class MusicFolderTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    folder_ = work_.makeFolder("music");
    work_.write("music/a.txt", "123456789");
    work_.write("music/b.txt", "abc");
    window_ = std::make_unique<ui::MainWindow>();
    window_->folderEdit->setText(qt(folder_));
  }

  // Waits for the pass GO started, if any, to end.
  void waitForTheEnd() {
    EXPECT_TRUE(QTest::qWaitFor([this] { return !window_->passRunning(); }, 60000)) << "the pass did not end";
  }

  std::string folder_;
  std::unique_ptr<ui::MainWindow> window_;
};

}  // namespace zelk::testing
