// The verify window while its pass runs: on screen before the chooser asks,
// Close reads Cancel, closing cancels first, and the overall progress shows.

#include <QProgressBar>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/ui/verify_window_fixture.h"

namespace zelk::ui::verify_test {
namespace {

// A list whose pass takes long enough to be cancelled: a sparse file of
// 1 GiB after an intact entry.
class RunningVerifyTest : public VerifyWindowTest {
 protected:
  void SetUp() override {
    VerifyWindowTest::SetUp();
    folder_.write("check.txt", kCheckText);
    std::filesystem::resize_file(folder_.write("z.bin", ""), std::uintmax_t{1} << 30);
    folder_.write("files.sfv", listOf({"check.txt cbf43926", "z.bin 00000000", "check.txt cbf43926"}));
  }

  // Shows the window and waits until its pass runs.
  void startPass(VerifyWindow& window) {
    chooseMode(ChecksumMode::Automatic);
    window.show();
    ASSERT_TRUE(QTest::qWaitFor([&window] { return window.passRunning(); }, 20000));
  }
};

TEST_F(RunningVerifyTest, CloseReadsCancelAndCancelKeepsTheLinesAndCountsSoFar) {
  VerifyWindow window;
  QSignalSpy ended(&window, &VerifyWindow::passFinished);
  startPass(window);
  EXPECT_EQ(text(window.closeButton), "Cancel");
  EXPECT_FALSE(window.saveButton->isEnabled());
  EXPECT_TRUE(window.reportView->isReadOnly());
  // The first entry is reported; the worker reads the large file now.
  ASSERT_TRUE(QTest::qWaitFor([&window] { return !window.reportView->document()->isEmpty(); }, 20000));

  window.closeButton->click();
  ASSERT_TRUE(ended.wait(20000));
  EXPECT_EQ(reportOf(window), (std::vector<Line>{{"FILE: check.txt CRC OK.", "green"},
                                                 {" ", "green"},
                                                 {"Files checked: 1", "green"},
                                                 {"Files modified: 0  --> File's delete:0", "green"},
                                                 {"Files CRC OK: 1", "green"},
                                                 {"The pass was cancelled.", "default"}}));
  EXPECT_TRUE(window.isVisible());
  EXPECT_EQ(text(window.closeButton), "&Close");
  EXPECT_TRUE(window.saveButton->isEnabled());
  EXPECT_FALSE(window.reportView->isReadOnly());
}

TEST_F(RunningVerifyTest, EscCancelsThePassAndLeavesTheWindowOpen) {
  VerifyWindow window;
  QSignalSpy ended(&window, &VerifyWindow::passFinished);
  startPass(window);
  QTest::keyClick(window.reportView, Qt::Key_Escape);
  ASSERT_TRUE(ended.wait(20000));
  EXPECT_EQ(reportOf(window).back(), (Line{"The pass was cancelled.", "default"}));
  EXPECT_TRUE(window.isVisible());
  QTest::keyClick(window.reportView, Qt::Key_Escape);
  EXPECT_FALSE(window.isVisible()) << "once the pass has ended, Esc closes the window";
}

TEST_F(RunningVerifyTest, ClosingDuringThePassCancelsItAndClosesOnceItHasEnded) {
  VerifyWindow window;
  QSignalSpy ended(&window, &VerifyWindow::passFinished);
  startPass(window);
  window.close();
  EXPECT_TRUE(window.isVisible()) << "the window waits for its pass";
  ASSERT_TRUE(ended.wait(20000));
  EXPECT_FALSE(window.isVisible());
  EXPECT_EQ(window.result(), QDialog::Rejected);
}

TEST_F(VerifyWindowTest, WindowIsOnScreenBeforeTheChooserAsks) {
  folder_.write("files.sfv", listOf({}));
  VerifyWindow window;
  bool visibleWhenAsked = false;
  modal::whenChooserOpens([&](ModeChooser& chooser) {
    visibleWhenAsked = window.isVisible();
    chooser.reject();
  });
  QSignalSpy ended(&window, &VerifyWindow::passFinished);
  window.show();
  ASSERT_TRUE(ended.wait(20000));
  EXPECT_TRUE(visibleWhenAsked);
}

TEST_F(VerifyWindowTest, OverallProgressShowsTheEntriesAndBytesOfThePass) {
  folder_.write("check.txt", kCheckText);
  folder_.write("files.sfv", listOf({"check.txt cbf43926", "gone.txt 00000001"}));
  chooseMode(ChecksumMode::Automatic);
  const auto window = openWindow();
  EXPECT_TRUE(window->overallProgress->isVisible());
  EXPECT_TRUE(window->overallProgress->text().startsWith("2 of 2 files, 9 bytes of 9 bytes"))
      << window->overallProgress->text().toStdString();
  EXPECT_EQ(window->overallProgress->value(), window->overallProgress->maximum());
}

}  // namespace
}  // namespace zelk::ui::verify_test
