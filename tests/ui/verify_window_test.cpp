#include <QCheckBox>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "language/message_format.h"
#include "tests/ui/modal_watcher.h"
#include "tests/ui/shipped_languages.h"
#include "tests/ui/verify_window_fixture.h"

namespace zelk::ui::verify_test {
namespace {

class RecordingProgress final : public engines::ProgressSink {
 public:
  void showProgress() override { events += "show "; }
  void setProgress(int percent) override { events += std::to_string(percent) + " "; }
  void hideProgress() override { events += "hide "; }
  std::string events;
};

TEST_F(VerifyWindowTest, OpensAtItsSizeWithItsControlsInPlace) {
  chooseMode(ChecksumMode::Automatic);
  const auto window = openWindow();
  EXPECT_EQ(window->windowTitle(), "Verify");
  EXPECT_EQ(window->objectName(), "verifyWindow");
  EXPECT_EQ(window->saveButton->objectName(), "saveButton");
  EXPECT_EQ(window->reportView->objectName(), "reportView");
  EXPECT_EQ(window->minimumSize(), window->size()) << "it can be enlarged, not shrunk";
  EXPECT_LE(window->width(), 491);
  EXPECT_LE(window->height(), 309);
  EXPECT_EQ(window->creatorLabel->pos(), QPoint(16, 16));
  EXPECT_EQ(window->commentLabel->pos(), QPoint(16, 32));
  EXPECT_EQ(window->closeButton->geometry(), QRect(184, 248, 57, 25));
  EXPECT_EQ(window->saveButton->geometry(), QRect(328, 248, 129, 25));
  EXPECT_EQ(window->reportView->geometry(), QRect(8, 48, 465, 193));
  EXPECT_EQ(window->modeLabel->pos(), QPoint(8, 248));
  EXPECT_FALSE(window->reportView->isReadOnly());
  EXPECT_EQ(window->reportView->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
  EXPECT_LE(window->saveButton->geometry().right(), window->width());
  EXPECT_LE(window->saveButton->geometry().bottom(), window->height());

  QTest::mouseClick(window->closeButton, Qt::LeftButton);
  EXPECT_FALSE(window->isVisible());
}

TEST_F(VerifyWindowTest, AnEnlargedWindowGivesItsRoomToTheReport) {
  chooseMode(ChecksumMode::Automatic);
  const auto window = openWindow();
  const QSize added(200, 120);
  window->resize(window->size() + added);
  EXPECT_EQ(window->reportView->geometry(), QRect(8, 48, 465 + added.width(), 193 + added.height()));
  EXPECT_EQ(window->closeButton->geometry(), QRect(184, 248 + added.height(), 57, 25));
  EXPECT_EQ(window->saveButton->geometry(), QRect(328, 248 + added.height(), 129, 25));
  EXPECT_EQ(window->modeLabel->pos(), QPoint(8, 248 + added.height()));
  EXPECT_EQ(window->creatorLabel->geometry().right() + 1, window->width() - 8);
}

TEST_F(VerifyWindowTest, ReportsEachEntryInItsColourAndTheCountsInTheLastOnesColour) {
  const std::string ok = "FILE: check.txt CRC OK.";
  const std::string changed = "FILE: changed.txt CRC ERROR. File was modified, check it.  ";
  const std::string gone = "FILE: gone.txt CRC ERROR. File was modified, check it.  ---> File was delete";
  const struct {
    std::vector<std::string> entries;
    std::vector<Line> report;
  } cases[] = {
      {{"check.txt cbf43926", "changed.txt cbf43926", "gone.txt cbf43926"},
       {{ok, "green"},
        {changed, "red"},
        {gone, "red"},
        {" ", "red"},
        {"Files checked: 3", "red"},
        {"Files modified: 2  --> File's delete:1", "red"},
        {"Files CRC OK: 1", "red"}}},
      {{"gone.txt cbf43926", "check.txt cbf43926"},
       {{gone, "red"},
        {ok, "green"},
        {" ", "green"},
        {"Files checked: 2", "green"},
        {"Files modified: 1  --> File's delete:1", "green"},
        {"Files CRC OK: 1", "green"}}},
  };
  folder_.write("check.txt", kCheckText);
  folder_.write("changed.txt", "123456780");
  for (const auto& c : cases) {
    folder_.write("files.sfv", listOf(c.entries));
    chooseMode(ChecksumMode::Automatic);
    const auto window = openWindow();
    EXPECT_EQ(reportOf(*window), c.report);
    EXPECT_EQ(text(window->modeLabel), "CRC32-MODE");
  }
}

TEST_F(VerifyWindowTest, CaptionsComeFromTheListElseFromTheLanguageFile) {
  folder_.write("check.txt", kCheckText);
  folder_.write("with.sfv", listOf({"; creator: Ann", "; comment: holiday photos", "check.txt cbf43926"}));
  chooseMode(ChecksumMode::Automatic);
  auto window = openWindow();
  EXPECT_EQ(text(window->creatorLabel), "creator: Ann");
  EXPECT_EQ(text(window->commentLabel), "comment: holiday photos");
  EXPECT_EQ(text(window->closeButton), "&Close");
  EXPECT_EQ(text(window->saveButton), "Save result");

  programFolder_.write("language.lng",
                       "[GUI]\r\nCREATOR=Ersteller\r\nCOMMENT=Kommentar\r\nClose=&Schliessen\r\n"
                       "SAVE_RESULT=Bericht sichern\r\n");
  folder_.write("with.sfv", listOf({"check.txt cbf43926"}));
  chooseMode(ChecksumMode::Automatic);
  window = openWindow();
  EXPECT_EQ(text(window->creatorLabel), "Ersteller");
  EXPECT_EQ(text(window->commentLabel), "Kommentar");
  EXPECT_EQ(text(window->closeButton), "&Schliessen");
  EXPECT_EQ(text(window->saveButton), "Bericht sichern");
  // A caption longer than the designed button widens it rather than being cut.
  const QPushButton* close = window->closeButton;
  EXPECT_GT(close->width(), close->fontMetrics().horizontalAdvance("Schliessen"));
  EXPECT_LT(close->geometry().right(), window->saveButton->x());
}

// The shipped languages, and captions longer than the bottom row holds: the
// buttons and the check box show them whole, and the window grows to fit.
TEST_F(VerifyWindowTest, BottomRowShowsItsCaptionsWholeInEveryLanguage) {
  std::vector<std::string> languageFiles = zelk::testing::shippedLanguageFiles();
  languageFiles.push_back("[GUI]\r\nClose=&Fenster schliessen\r\nSHOW_NOT_IN_LIST=Dateien, die nicht in der Liste "
                          "stehen\r\nSAVE_RESULT=Den Bericht als Datei speichern\r\n");
  folder_.write("files.sfv", listOf({"; nothing to check"}));
  for (const std::string& languageFile : languageFiles) {
    SCOPED_TRACE(languageFile.substr(0, 60));
    programFolder_.write("language.lng", languageFile);
    chooseMode(ChecksumMode::Automatic);
    const auto window = openWindow();
    const QCheckBox* box = window->unlistedBox;
    EXPECT_GE(box->width(), box->sizeHint().width()) << text(window->closeButton);
    EXPECT_LT(window->closeButton->geometry().right(), box->x());
    EXPECT_LT(box->geometry().right(), window->saveButton->x());
    EXPECT_GE(window->saveButton->x(), 328);
    EXPECT_GT(window->saveButton->width(), window->saveButton->fontMetrics().horizontalAdvance(text(window->saveButton).c_str()));
    EXPECT_LE(window->saveButton->geometry().right(), window->reportView->geometry().right());
    EXPECT_EQ(window->minimumSize(), window->size());
  }
}

TEST_F(VerifyWindowTest, Md5ListIsReadAsMd5AndShowsProgressOnTheGivenBar) {
  folder_.write("abc.txt", "abc");
  folder_.write("files.md5", listOf({std::string(kAbcMd5) + " *abc.txt"}));
  RecordingProgress progress;
  chooseMode(ChecksumMode::Automatic);
  const auto window = openWindow(&progress);
  ASSERT_FALSE(reportOf(*window).empty());
  EXPECT_EQ(reportOf(*window).front(), (Line{"FILE: abc.txt CRC OK.", "green"}));
  EXPECT_EQ(text(window->modeLabel), "MD5-MODE");
  EXPECT_EQ(progress.events.substr(0, 5), "show ");
  EXPECT_EQ(progress.events.substr(progress.events.size() - 5), "hide ");
}

TEST_F(VerifyWindowTest, ChosenModeOverridesTheShapeOfTheLines) {
  const struct {
    ChecksumMode mode;
    std::string listName;
    std::string entry;
    std::string kind;
  } cases[] = {
      {ChecksumMode::Md5, "files.sfv", "check.txt " + std::string(kCheckCrc), "MD5-MODE"},
      {ChecksumMode::Crc32, "files.md5", std::string(kAbcMd5) + " *abc.txt", "CRC32-MODE"},
  };
  for (const auto& c : cases) {
    zelk::testing::TempFolder folder;
    folder.write("check.txt", kCheckText);
    folder.write("abc.txt", "abc");
    folder.write(c.listName, listOf({c.entry}));
    ASSERT_TRUE(platform::setCurrentDirectory(folder.path()));
    chooseMode(c.mode);
    const auto window = openWindow();
    const std::vector<Line> report = reportOf(*window);
    ASSERT_EQ(report.size(), 5u) << c.kind;
    EXPECT_EQ(report[0].colour, "red") << report[0];
    EXPECT_NE(report[0].text.find("CRC ERROR"), std::string::npos) << report[0];
    EXPECT_EQ(report[2], (Line{"Files checked: 1", "red"}));
    EXPECT_EQ(text(window->modeLabel), c.kind);
  }
}

TEST_F(VerifyWindowTest, ListWithoutEntriesGivesZeroCountsInTheDefaultColour) {
  folder_.write("empty.sfv", listOf({"; just a comment"}));
  chooseMode(ChecksumMode::Automatic);
  const auto window = openWindow();
  EXPECT_EQ(reportOf(*window), (std::vector<Line>{{" ", "default"},
                                                  {"Files checked: 0", "default"},
                                                  {"Files modified: 0  --> File's delete:0", "default"},
                                                  {"Files CRC OK: 0", "default"}}));
  EXPECT_EQ(text(window->modeLabel), "");
  EXPECT_EQ(text(window->creatorLabel), "CREATOR");
}

TEST_F(VerifyWindowTest, FolderWithoutListGivesAnEmptyReport) {
  chooseMode(ChecksumMode::Automatic);
  const auto window = openWindow();
  EXPECT_TRUE(window->reportView->document()->isEmpty());
  EXPECT_EQ(text(window->creatorLabel), "CREATOR");
}

TEST_F(VerifyWindowTest, LongReportEndsScrolledToItsLastLine) {
  std::vector<std::string> entries;
  for (int i = 0; i < 60; ++i) entries.push_back("missing" + std::to_string(i) + ".txt 00000001");
  folder_.write("many.sfv", listOf(entries));
  chooseMode(ChecksumMode::Automatic);
  const auto window = openWindow();
  EXPECT_TRUE(window->reportView->textCursor().atEnd());
  EXPECT_GT(window->reportView->verticalScrollBar()->value(), 0);
  EXPECT_TRUE(window->reportView->viewport()->rect().contains(window->reportView->cursorRect()));
}

// Without the program's report route the application's catch point shows the
// plain error box; the pass has ended all the same.
TEST_F(VerifyWindowTest, BadLanguageTemplateEndsThePassWithTheErrorShown) {
  programFolder_.write("language.lng", "[PROG]\r\nFile_crc_ok=FILE: %d OK\r\n");
  folder_.write("check.txt", kCheckText);
  folder_.write("files.sfv", listOf({"check.txt cbf43926"}));
  modal::ShownMessage message;
  zelk::testing::ModalWatcher modals;
  modals.setHandler(modal::acceptChooserThenRecordMessageBox(message));
  const auto window = openWindow();
  EXPECT_TRUE(QTest::qWaitFor([&message] { return message.shown; }, 20000));
  EXPECT_EQ(message.icon, QMessageBox::Critical);
  EXPECT_NE(message.text.find("FILE: %d OK"), std::string::npos) << message.text;
  EXPECT_FALSE(window->passRunning());
  EXPECT_EQ(text(window->closeButton), "&Close");
  EXPECT_TRUE(window->saveButton->isEnabled());
}

}  // namespace
}  // namespace zelk::ui::verify_test
