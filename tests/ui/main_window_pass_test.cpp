// A create pass while it runs: GO turns into Cancel, Esc and the close box
// cancel too (up to the moment the list is renamed into place), the settings
// wait, and the overall progress is shown.

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <filesystem>

#include "tests/support/failing_calls.h"
#include "tests/ui/main_window_fixture.h"
#include "ui/blink_label.h"
#include "ui/main_window.h"

namespace zelk::ui {
namespace {

constexpr char kCancelled[] = "The pass was cancelled.";

// A folder whose pass takes long enough to be cancelled: a sparse file of
// 1 GiB after the two small ones.
class RunningPassTest : public testing::MusicFolderTest {
 protected:
  void SetUp() override {
    MusicFolderTest::SetUp();
    std::filesystem::resize_file(work_.write("music/z.bin", ""), std::uintmax_t{1} << 30);
  }

  // No list, and no temporary file of one, in the folder.
  bool folderHoldsOnly(const std::vector<std::string>& names) {
    std::vector<std::string> found;
    for (const auto& entry : std::filesystem::directory_iterator(folder_)) found.push_back(entry.path().filename());
    std::sort(found.begin(), found.end());
    return found == names;
  }
};

TEST_F(RunningPassTest, GoCancelsThePassItStartedAndTheSettingsWaitMeanwhile) {
  window_->goButton->click();
  ASSERT_TRUE(window_->passRunning());
  EXPECT_EQ(window_->goButton->text(), "Cancel");
  EXPECT_TRUE(window_->goButton->isEnabled());
  for (const QWidget* setting : std::initializer_list<const QWidget*>{
           window_->folderEdit, window_->browseButton, window_->kindGroup, window_->otherRadio,
           window_->otherAlgorithmCombo, window_->subfolderCheck,
           window_->actionGroup, window_->creatorEdit, window_->commentEdit, window_->languageCombo,
           window_->installLanguageButton}) {
    EXPECT_FALSE(setting->isEnabled()) << setting->metaObject()->className();
  }
  EXPECT_TRUE(window_->closeButton->isEnabled());

  window_->goButton->click();
  waitForTheEnd();
  EXPECT_TRUE(window_->resultMemo->toPlainText().endsWith(kCancelled)) << window_->resultMemo->toPlainText().toStdString();
  EXPECT_TRUE(folderHoldsOnly({"a.txt", "b.txt", "z.bin"}));
  EXPECT_EQ(window_->goButton->text(), "GO");
  EXPECT_TRUE(window_->folderEdit->isEnabled());
  EXPECT_TRUE(window_->otherAlgorithmCombo->isEnabled());
  EXPECT_TRUE(window_->installLanguageButton->isEnabled());
  EXPECT_TRUE(window_->fileProgress->isHidden());
  EXPECT_TRUE(window_->overallProgress->isHidden());
}

TEST_F(RunningPassTest, EscCancelsThePassAfterTheQuestionAndTheOldListIsKept) {
  const std::string oldList = "a.txt 00000000\r\n";
  work_.write("music/music.sfv", oldList);
  window_->show();
  modals_.setHandler([this](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    ASSERT_NE(box, nullptr);
    box->button(QMessageBox::Yes)->click();
    // Once the answer has reached the pass, Esc in the window the user works in.
    QTimer::singleShot(0, [this] {
      QApplication::setActiveWindow(window_.get());
      QTest::keyClick(window_.get(), Qt::Key_Escape);
    });
  });
  window_->goButton->click();
  waitForTheEnd();
  EXPECT_TRUE(window_->resultMemo->toPlainText().endsWith(kCancelled)) << window_->resultMemo->toPlainText().toStdString();
  EXPECT_EQ(work_.read("music/music.sfv"), oldList);
  EXPECT_TRUE(folderHoldsOnly({"a.txt", "b.txt", "music.sfv", "z.bin"}));
}

// Every file read, the list on its way to the disk: Esc still comes before
// the rename, so the old list stays and the window says the pass was
// cancelled, never that it finished.
TEST_F(RunningPassTest, EscWhileTheListGoesToTheDiskKeepsTheOldList) {
  std::filesystem::remove(folder_ + "z.bin");
  const std::string oldList = "a.txt 00000000\r\n";
  work_.write("music/music.sfv", oldList);
  window_->show();
  modals_.setHandler([](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    ASSERT_NE(box, nullptr);
    box->button(QMessageBox::Yes)->click();
  });
  // The pass's thread waits in the list's sync until the window has had Esc.
  const testing::BeforeSync pressEsc([this](bool folder) {
    if (folder) return;
    QMetaObject::invokeMethod(
        window_.get(),
        [this] {
          QApplication::setActiveWindow(window_.get());
          QTest::keyClick(window_.get(), Qt::Key_Escape);
        },
        Qt::BlockingQueuedConnection);
  });
  window_->goButton->click();
  waitForTheEnd();
  EXPECT_TRUE(window_->resultMemo->toPlainText().endsWith(kCancelled)) << window_->resultMemo->toPlainText().toStdString();
  EXPECT_TRUE(window_->completionLabel->text().isEmpty()) << window_->completionLabel->text().toStdString();
  EXPECT_TRUE(window_->timeLabel->text().isEmpty()) << window_->timeLabel->text().toStdString();
  EXPECT_EQ(work_.read("music/music.sfv"), oldList);
  EXPECT_TRUE(folderHoldsOnly({"a.txt", "b.txt", "music.sfv"}));
}

TEST_F(RunningPassTest, ClosingDuringThePassCancelsItAndClosesOnceItHasEnded) {
  window_->show();
  window_->goButton->click();
  EXPECT_FALSE(window_->close()) << "the window waits for its pass";
  EXPECT_TRUE(window_->isVisible());
  waitForTheEnd();
  EXPECT_FALSE(window_->isVisible());
  EXPECT_TRUE(folderHoldsOnly({"a.txt", "b.txt", "z.bin"}));
}

TEST_F(RunningPassTest, OverallProgressShowsFilesAndBytesOfThePass) {
  std::filesystem::remove(folder_ + "z.bin");
  window_->goButton->click();
  waitForTheEnd();
  const QString lastText = window_->overallProgress->text();
  EXPECT_TRUE(lastText.startsWith("2 of 2 files, 12 bytes of 12 bytes")) << lastText.toStdString();
  EXPECT_EQ(window_->overallProgress->value(), window_->overallProgress->maximum());
  EXPECT_TRUE(window_->overallProgress->isHidden()) << "the completion notice shows after the pass";
  EXPECT_EQ(window_->completionLabel->text(), "Checksum create is finish");
}

}  // namespace
}  // namespace zelk::ui
