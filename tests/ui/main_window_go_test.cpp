// GO: the create pass into the window's controls, the overwrite question,
// the progress bar, and the verify window for "Validate".

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTextEdit>

#include "tests/ui/main_window_fixture.h"
#include "tests/ui/modal_answers.h"
#include "ui/blink_label.h"
#include "ui/main_window.h"
#include "ui/mode_chooser.h"
#include "ui/verify_window.h"

namespace zelk::ui {
namespace {

using testing::qt;

class GoTest : public testing::MusicFolderTest {
 protected:
  void go() {
    window_->goButton->click();
    waitForTheEnd();
  }
};

TEST_F(GoTest, CreatePassFillsTheWindowAndWritesTheList) {
  window_->resultMemo->setPlainText("old line");
  go();

  EXPECT_EQ(window_->resultMemo->toPlainText(), "a.txt cbf43926\nb.txt 352441c2");
  EXPECT_TRUE(window_->timeLabel->text().startsWith("TIME: ")) << window_->timeLabel->text().toStdString();
  EXPECT_TRUE(window_->timeLabel->text().endsWith(" sek"));
  EXPECT_EQ(window_->completionLabel->text(), "Checksum create is finish");
  const std::string list = work_.read("music/music.sfv");
  EXPECT_NE(list.find("a.txt cbf43926\r\nb.txt 352441c2\r\n"), std::string::npos) << list;
  EXPECT_EQ(platform::currentDirectory() + "/", folder_);
}

TEST_F(GoTest, CreatePassTakesKindSubfoldersCreatorAndComment) {
  work_.write("music/live/c.txt", "");
  window_->md5Radio->setChecked(true);
  window_->subfolderCheck->setChecked(true);
  window_->creatorEdit->setText("Maker");
  window_->commentEdit->setText("Note");
  go();

  EXPECT_EQ(window_->resultMemo->toPlainText(),
            "a.txt 25f9e794323b453885f5181f1b624d0b\n"
            "b.txt 900150983cd24fb0d6963f7d28e17f72\n"
            "live\\c.txt d41d8cd98f00b204e9800998ecf8427e");
  const std::string list = work_.read("music/music.md5");
  EXPECT_NE(list.find("Maker"), std::string::npos) << list;
  EXPECT_NE(list.find("Note"), std::string::npos) << list;
  EXPECT_NE(list.find("900150983cd24fb0d6963f7d28e17f72 b.txt"), std::string::npos) << list;
}

// Each algorithm of the drop-down writes its own kind of list; the digests of
// "abc" are those sha1sum, sha256sum, sha512sum, b3sum and xxhsum -H2 print.
TEST_F(GoTest, OtherAlgorithmWritesAListOfTheChosenKind) {
  const struct {
    QString shownName;
    std::string listName;
    std::string abcDigest;
  } cases[] = {
      {"SHA-1", "music.sha1", "a9993e364706816aba3e25717850c26c9cd0d89d"},
      {"SHA-256", "music.sha256", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      {"SHA-512", "music.sha512",
       "ddaf35a193617abacc417349ae20413112e6fa4e89a97ea20a9eeee64b55d39a2192992a274fc1a836ba3c23a3feebbd454d4423643ce80e2a9ac94fa54ca49f"},
      {"BLAKE3", "music.blake3", "6437b3ac38465133ffb63b75273a8db548c558465d79db03fd359c6cd5bd9d85"},
      {"XXH128", "music.xxh128", "06b05ab6733a618578af5f94892f3950"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.listName);
    const int index = window_->otherAlgorithmCombo->findText(c.shownName);
    ASSERT_GE(index, 0);
    window_->otherAlgorithmCombo->setCurrentIndex(index);
    window_->otherRadio->setChecked(true);
    go();
    EXPECT_TRUE(window_->resultMemo->toPlainText().contains(qt("b.txt " + c.abcDigest)))
        << window_->resultMemo->toPlainText().toStdString();
    const std::string list = work_.read("music/" + c.listName);
    EXPECT_NE(list.find(c.abcDigest + "  b.txt\n"), std::string::npos) << list;
  }
  EXPECT_NE(platform::fileKind(folder_ + "music.sfv"), platform::FileKind::Regular) << "no SFV list besides";
}

TEST_F(GoTest, ChoosingInTheDropDownChecksItsRadioButtonAndTheKindSticks) {
  window_->md5Radio->setChecked(true);
  window_->otherAlgorithmCombo->setFocus();
  QTest::keyClick(window_->otherAlgorithmCombo, Qt::Key_Down);
  EXPECT_EQ(window_->otherAlgorithmCombo->currentText(), "SHA-256");
  EXPECT_TRUE(window_->otherRadio->isChecked());
  EXPECT_FALSE(window_->md5Radio->isChecked());

  window_->crc32Radio->setChecked(true);
  EXPECT_FALSE(window_->otherRadio->isChecked());
  go();
  EXPECT_NE(work_.read("music/music.sfv").find("b.txt 352441c2"), std::string::npos);
  EXPECT_EQ(window_->otherAlgorithmCombo->currentText(), "SHA-256") << "the choice waits for the radio button";
}

TEST_F(GoTest, ExistingListIsKeptWhenTheAnswerIsNo) {
  const std::string oldList = "a.txt 00000000\r\n";
  work_.write("music/music.sfv", oldList);
  window_->timeLabel->setText("TIME: 9.99 sek");
  window_->resultMemo->setPlainText("old line");
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QString caption, question;
  bool noWasDefault = false;
  modals_.setHandler([&](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    ASSERT_NE(box, nullptr);
    icon = box->icon();
    caption = box->windowTitle();
    question = box->text();
    noWasDefault = box->defaultButton() == box->button(QMessageBox::No);
    box->button(QMessageBox::No)->click();
  });
  go();

  EXPECT_EQ(question, "File \"music.sfv\" is exit. Overwrite it?");
  EXPECT_EQ(caption, "Information");
  EXPECT_EQ(icon, QMessageBox::Critical);
  EXPECT_TRUE(noWasDefault);
  EXPECT_EQ(work_.read("music/music.sfv"), oldList);
  EXPECT_TRUE(window_->resultMemo->toPlainText().isEmpty());
  EXPECT_EQ(window_->timeLabel->text(), "TIME: 9.99 sek");
}

TEST_F(GoTest, ExistingListIsReplacedWhenTheAnswerIsYes) {
  work_.write("music/music.sfv", "a.txt 00000000\r\n");
  modals_.setHandler([](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    ASSERT_NE(box, nullptr);
    box->button(QMessageBox::Yes)->click();
  });
  go();

  EXPECT_NE(work_.read("music/music.sfv").find("a.txt cbf43926\r\n"), std::string::npos);
  EXPECT_EQ(window_->completionLabel->text(), "Checksum create is finish");
}

TEST_F(GoTest, MissingFolderIsReportedInAnErrorBox) {
  window_->folderEdit->setText(qt(work_.path() + "nowhere/"));
  modal::ShownMessage message;
  modals_.setHandler(modal::recordMessageBox(message));
  go();
  EXPECT_EQ(message.icon, QMessageBox::Critical);
  EXPECT_TRUE(qt(message.text).contains("nowhere")) << message.text;
  EXPECT_TRUE(window_->completionLabel->text().isEmpty());
}

TEST_F(GoTest, ValidateOnAFolderThatCannotBeEnteredSaysSoAndChecksNothing) {
  work_.write("music/music.sfv", "a.txt cbf43926\r\n");
  ASSERT_TRUE(platform::setCurrentDirectory(folder_));
  window_->folderEdit->setText(qt(work_.path() + "nowhere/"));
  window_->validateRadio->setChecked(true);
  modal::ShownMessage message;
  modals_.setHandler(modal::recordMessageBox(message));
  go();
  EXPECT_EQ(message.icon, QMessageBox::Critical);
  EXPECT_EQ(message.text, "The folder \"" + work_.path() + "nowhere/\" does not exist or cannot be opened.");
  EXPECT_EQ(platform::currentDirectory() + "/", folder_);
}

TEST_F(GoTest, DotFolderTextNamesTheListAfterTheFolder) {
  ASSERT_TRUE(platform::setCurrentDirectory(folder_));
  window_->folderEdit->setText(".");
  go();
  EXPECT_NE(work_.read("music/music.sfv").find("a.txt cbf43926\r\n"), std::string::npos);
  EXPECT_FALSE(platform::fileKind(folder_ + "..sfv") == platform::FileKind::Regular);
}

TEST_F(GoTest, ProgressBarFollowsAFileReadInBlocks) {
  work_.write("music/big.bin", std::string(300 * 1024, 'x'));
  window_->md5Radio->setChecked(true);  // MD5 always reads in blocks
  QList<int> positions;
  QObject::connect(window_->fileProgress, &QProgressBar::valueChanged, [&](int value) {
    if (!window_->fileProgress->isHidden()) positions.append(value);
  });
  go();

  ASSERT_FALSE(positions.isEmpty());
  EXPECT_EQ(positions.last(), 100);
  EXPECT_TRUE(std::is_sorted(positions.begin(), positions.end()));
  EXPECT_TRUE(window_->fileProgress->isHidden());
}

TEST_F(GoTest, ValidateOpensTheVerifyWindowOnTheFolder) {
  work_.write("music/music.sfv", "a.txt cbf43926\r\n");
  window_->validateRadio->setChecked(true);
  bool chooserSeen = false;
  QString report;
  modals_.setHandler([&](QWidget* modal) {
    if (auto* chooser = qobject_cast<ModeChooser*>(modal)) {
      chooserSeen = true;
      // The verify window asks before its pass starts: read its report once the pass has ended.
      auto* verifyWindow = qobject_cast<VerifyWindow*>(chooser->parentWidget());
      ASSERT_NE(verifyWindow, nullptr);
      QObject::connect(verifyWindow, &VerifyWindow::passFinished, [&report, verifyWindow] {
        report = verifyWindow->reportView->toPlainText();
        verifyWindow->reject();
      });
      chooser->accept();
    } else if (qobject_cast<VerifyWindow*>(modal) == nullptr) {
      ADD_FAILURE() << modal->metaObject()->className();
    }
  });
  go();

  EXPECT_TRUE(chooserSeen);
  EXPECT_TRUE(report.contains("FILE: a.txt CRC OK.")) << report.toStdString();
  EXPECT_TRUE(window_->findChildren<VerifyWindow*>().isEmpty());
  EXPECT_TRUE(window_->resultMemo->toPlainText().isEmpty());
  EXPECT_EQ(platform::currentDirectory() + "/", folder_);
}

}  // namespace
}  // namespace zelk::ui
