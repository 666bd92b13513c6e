// Saving the report as "result.rtf": what the file holds and what the user is told.

#include <QProcess>
#include <QTest>
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "passes/rtf_report.h"
#include "tests/support/failing_calls.h"
#include "tests/ui/modal_watcher.h"
#include "tests/ui/verify_window_fixture.h"

namespace zelk::ui::verify_test {
namespace {

// The saved report as another program renders it in HTML; empty when unrtf
// is not installed.
std::string rtfAsHtml(const std::string& path) {
  QProcess unrtf;
  unrtf.start(QStringLiteral("unrtf"), {QStringLiteral("--html"), QString::fromStdString(path)});
  if (!unrtf.waitForFinished() || unrtf.exitCode() != 0) return {};
  return unrtf.readAllStandardOutput().toStdString();
}

// unrtf shows runs of blanks as one.
std::string singleBlanks(std::string text) {
  for (std::size_t at = text.find("  "); at != std::string::npos; at = text.find("  ", at)) text.erase(at, 1);
  return text;
}

// The colour ("#rrggbb") in which the HTML shows `text`; empty when absent.
std::string htmlColourOf(const std::string& html, const std::string& text) {
  const std::size_t at = html.find(singleBlanks(text));
  if (at == std::string::npos) return {};
  const std::string marker = "color=\"";
  const std::size_t colour = html.rfind(marker, at);
  return colour == std::string::npos ? std::string() : html.substr(colour + marker.size(), 7);
}

TEST_F(VerifyWindowTest, DecliningTheChooserLeavesInitialCaptionsAndSavesAnEmptyReport) {
  folder_.write("check.txt", kCheckText);
  folder_.write("files.sfv", listOf({"; creator: Ann", "check.txt cbf43926"}));
  modal::whenChooserOpens([](ModeChooser& chooser) { chooser.close(); });
  const auto window = openWindow();
  EXPECT_EQ(text(window->creatorLabel), "Creator:");
  EXPECT_EQ(text(window->commentLabel), "Comment:");
  EXPECT_EQ(text(window->modeLabel), "");
  EXPECT_EQ(text(window->closeButton), "&Close");
  EXPECT_EQ(text(window->saveButton), "Save");
  EXPECT_TRUE(window->reportView->document()->isEmpty());

  modal::ShownMessage message;
  modal::whenMessageBoxOpens(message);
  window->onSaveClicked();
  EXPECT_TRUE(message.shown);
  const std::string saved = folder_.read("result.rtf");
  EXPECT_EQ(saved.rfind("{\\rtf1", 0), 0u) << saved;
  EXPECT_EQ(saved.find("FILE"), std::string::npos) << saved;
}

TEST_F(VerifyWindowTest, SaveWritesTheColouredReportAndSaysWhere) {
  folder_.write("check.txt", kCheckText);
  folder_.write("files.sfv", listOf({"check.txt cbf43926", "gone.txt cbf43926"}));
  chooseMode(ChecksumMode::Automatic);
  const auto window = openWindow();
  modal::ShownMessage message;
  modal::whenMessageBoxOpens(message);
  QTest::mouseClick(window->saveButton, Qt::LeftButton);

  EXPECT_TRUE(message.shown);
  EXPECT_EQ(message.text, "Result.txt you can found here: \r\n" + folderName());
  EXPECT_EQ(message.title, "Zelk SFV Utility");
  EXPECT_TRUE(message.onlyOk);
  EXPECT_EQ(message.icon, QMessageBox::NoIcon);

  const std::string ok = "FILE: check.txt CRC OK.";
  const std::string gone = "FILE: gone.txt CRC ERROR. File was modified, check it.  ---> File was delete";
  const std::string saved = folder_.read("result.rtf");
  for (const std::string& line : {ok, gone, std::string("Files modified: 1  --> File's delete:1")}) {
    EXPECT_NE(saved.find(line), std::string::npos) << line << " in\n" << saved;
  }
  const std::string html = rtfAsHtml(folder_.path() + "result.rtf");
  if (html.empty()) GTEST_SKIP() << "unrtf is not installed; the colours were not read back";
  EXPECT_EQ(htmlColourOf(html, ok), "#008000") << html;
  EXPECT_EQ(htmlColourOf(html, "FILE: gone.txt CRC ERROR."), "#ff0000") << html;
  EXPECT_EQ(htmlColourOf(html, "Files CRC OK: 1"), "#ff0000") << html;
}

TEST_F(VerifyWindowTest, EditedReportIsSavedAsEdited) {
  folder_.write("check.txt", kCheckText);
  folder_.write("files.sfv", listOf({"check.txt cbf43926", "gone.txt cbf43926"}));
  chooseMode(ChecksumMode::Automatic);
  const auto window = openWindow();
  QTextCursor firstLine(window->reportView->document());
  firstLine.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor);
  firstLine.removeSelectedText();
  window->reportView->moveCursor(QTextCursor::End);
  QTest::keyClicks(window->reportView, " by Bob");

  const std::vector<passes::ColouredRun> expected = {
      {"FILE: gone.txt CRC ERROR. File was modified, check it.  ---> File was delete\n \nFiles checked: 2\n"
       "Files modified: 1  --> File's delete:1\nFiles CRC OK: 1 by Bob",
       {255, 0, 0}}};
  const std::vector<passes::ColouredRun> runs = window->reportRuns();
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(runs[0].text, expected[0].text);
  EXPECT_EQ(runs[0].colour, expected[0].colour);

  modal::ShownMessage message;
  modal::whenMessageBoxOpens(message);
  window->onSaveClicked();
  const std::string saved = folder_.read("result.rtf");
  EXPECT_EQ(saved.find("check.txt"), std::string::npos) << saved;
  EXPECT_NE(saved.find("Files CRC OK: 1 by Bob"), std::string::npos) << saved;
}

TEST_F(VerifyWindowTest, NamesWithBracesBackslashesAndUtf8SurviveIntoTheSavedReport) {
  const std::string name = "sub\\{x} Grüße €.txt";
  folder_.write("sub/{x} Grüße €.txt", kCheckText);
  folder_.write("files.sfv", listOf({"; creator: Zoë", name + " " + kCheckCrc}));
  chooseMode(ChecksumMode::Automatic);
  const auto window = openWindow();
  const std::string line = "FILE: " + name + " CRC OK.";
  ASSERT_FALSE(reportOf(*window).empty());
  EXPECT_EQ(reportOf(*window).front(), (Line{line, "green"}));
  EXPECT_EQ(text(window->creatorLabel), "creator: Zoë");
  const std::vector<passes::ColouredRun> runs = window->reportRuns();
  ASSERT_FALSE(runs.empty());
  EXPECT_EQ(runs[0].text.substr(0, line.size() + 1), line + "\n");

  modal::ShownMessage message;
  modal::whenMessageBoxOpens(message);
  window->onSaveClicked();
  // RTF escapes '\', '{' and '}' with a backslash and writes other letters as
  // \u and their code point: U+00FC, U+00DF, U+20AC.
  const std::string saved = folder_.read("result.rtf");
  for (const char* piece : {"FILE: sub\\\\\\{x\\} Gr", "\\u252", "\\u223", "\\u8364", ".txt CRC OK."}) {
    EXPECT_NE(saved.find(piece), std::string::npos) << piece << " in\n" << saved;
  }
  EXPECT_EQ(saved.find("\xC3"), std::string::npos) << "raw UTF-8 in\n" << saved;
}

// Lists from Windows carry names in code page 1252; the window shows and
// saves them as the command-line tool does.
TEST_F(VerifyWindowTest, Cp1252NamesShowAndSaveAsEveryFrontEndShowsThem) {
  folder_.write("caf\xE9.txt", kCheckText);
  folder_.write("files.sfv", listOf({"caf\xE9.txt " + std::string(kCheckCrc)}));
  chooseMode(ChecksumMode::Automatic);
  const auto window = openWindow();
  ASSERT_FALSE(reportOf(*window).empty());
  EXPECT_EQ(reportOf(*window).front(), (Line{"FILE: caf\xC3\xA9.txt CRC OK.", "green"}));
  modal::ShownMessage message;
  modal::whenMessageBoxOpens(message);
  window->onSaveClicked();
  const std::string expected = passes::rtfDocument({{"FILE: caf\xE9.txt CRC OK.\n", passes::kIntactColour}});
  const std::string saved = folder_.read("result.rtf");
  EXPECT_NE(saved.find("FILE: caf\\u233\\'3f.txt CRC OK."), std::string::npos) << saved;
  EXPECT_NE(expected.find("FILE: caf\\u233\\'3f.txt CRC OK."), std::string::npos) << expected;
}

TEST_F(VerifyWindowTest, ListThatCannotBeReadIsAnErrorNotAnEmptyReport) {
  folder_.write("files.sfv", listOf({"check.txt " + std::string(kCheckCrc)}));
  const zelk::testing::OpensFail unreadable("files.sfv");
  modal::ShownMessage message;
  zelk::testing::ModalWatcher modals;
  modals.setHandler(modal::acceptChooserThenRecordMessageBox(message));
  const auto window = openWindow();
  QCoreApplication::processEvents();
  EXPECT_EQ(message.icon, QMessageBox::Critical);
  EXPECT_EQ(message.text, "The list \"files.sfv\" cannot be read: Permission denied.");
  EXPECT_TRUE(window->reportView->toPlainText().isEmpty());
  EXPECT_FALSE(window->isVisible());
}

TEST_F(VerifyWindowTest, SaveThatCannotWriteThrowsAndSaysNothing) {
  folder_.makeFolder("result.rtf");
  chooseMode(ChecksumMode::Automatic);
  const auto window = openWindow();
  bool messageShown = false;
  QTimer::singleShot(0, [&messageShown] {
    if (QWidget* modalWindow = QApplication::activeModalWidget()) {
      messageShown = true;
      modalWindow->close();
    }
  });
  EXPECT_THROW(window->onSaveClicked(), std::runtime_error);
  QCoreApplication::processEvents();
  EXPECT_FALSE(messageShown);
}

}  // namespace
}  // namespace zelk::ui::verify_test
