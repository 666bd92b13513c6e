// An error that escapes a handler, or ends a worker, is shown in the report
// window with its details; one report at a time.

#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <thread>

#include "tests/ui/error_report_fixture.h"
#include "tests/ui/modal_answers.h"
#include "tests/ui/throwing_object.h"
#include "ui/verify_window.h"

namespace zelk::ui::report_test {
namespace {

using zelk::testing::ThrowingObject;

bool hasLine(const std::vector<std::string>& lines, const std::string& part) {
  return std::any_of(lines.begin(), lines.end(), [&](const std::string& line) { return line.find(part) != std::string::npos; });
}

// The log entry of `report` as the log's layout demands, around the date the
// entry carries.
std::string expectedLogEntry(const std::string& log, const std::string& report) {
  const std::string equals(100, '=');
  std::string date = log.substr(equals.size() + 4, equals.size() - 4);
  date.erase(date.find_last_not_of(' ') + 1);
  std::string entry = equals + "\r\n= " + date;
  entry.append(96 - date.size(), ' ');
  entry += " =\r\n" + equals + "\r\n";
  for (std::size_t start = 0; start < report.size();) {
    const std::size_t end = report.find("\r\n", start);
    std::string line = report.substr(start, end - start);
    line.erase(line.find_last_not_of(' ') + 1);
    entry += line + "\r\n";
    start = end + 2;
  }
  return entry;
}

TEST_F(ErrorReportTest, BadTemplateInAVerifyPassOpensTheReportWithEverySection) {
  programFolder_.write("language.lng", "[PROG]\r\nFILE_CHECKED=Files checked: %d of %d\r\n");
  folder_.write("check.txt", "123456789");
  folder_.write("files.sfv", "check.txt cbf43926\r\n");
  QWidget opener;
  opener.show();
  modal::chooseMode(listfile::ChecksumMode::Automatic);
  VerifyWindow window(&opener);
  // Modal as exec() opens it, without exec()'s loop that nobody would end.
  window.setWindowModality(Qt::ApplicationModal);
  QSignalSpy ended(&window, &VerifyWindow::passFinished);
  window.show();

  ASSERT_TRUE(ended.wait(20000));
  ASSERT_EQ(seen_.windows, 1);
  EXPECT_FALSE(window.passRunning());
  EXPECT_EQ(window.closeButton->text(), "&Close") << "the pass ended cleanly";
  EXPECT_EQ(window.reportView->toPlainText().toStdString(), "FILE: check.txt CRC OK.\n ") << "the lines so far stay";
  EXPECT_EQ(seen_.title, "Zelk SFV Utility - application error");
  EXPECT_EQ(seen_.message,
            "Message template \"Files checked: %d of %d\": placeholder 2 has no argument (1 given).");
  ASSERT_GT(seen_.details.size(), 3u);
  EXPECT_EQ(seen_.details[0], "Exception class: zelk::language::TemplateError");
  EXPECT_TRUE(seen_.details[1].starts_with("Thread: ")) << seen_.details[1];
  EXPECT_TRUE(seen_.details[1].ends_with(" [PassRunner] \"verify pass\"")) << seen_.details[1];
  EXPECT_TRUE(seen_.details[3].starts_with("Stack list, generated ")) << seen_.details[3];
  EXPECT_TRUE(hasLine(seen_.details, "] verify_pass.zelk::passes::runVerifyPass("));
  EXPECT_TRUE(hasLine(seen_.details, "ui/pass_runner.cpp\""));
  for (const char* heading : {"System   : ", "Processor: ", "Display  : ", "List of loaded modules:"}) {
    EXPECT_TRUE(hasLine(seen_.details, heading)) << heading;
  }
  EXPECT_TRUE(hasLine(seen_.details, "/test_ui"));
  const auto controls = std::find(seen_.details.begin(), seen_.details.end(), "Active Controls hiearchy:");
  ASSERT_NE(controls, seen_.details.end());
  EXPECT_EQ(*(seen_.details.end() - 2), "zelk::ui::VerifyWindow \"verifyWindow\"") << "the window of the pass";

  EXPECT_TRUE(seen_.reportText.starts_with(seen_.message + "\r\n\r\nException class: "));
  EXPECT_EQ(seen_.clipboard, seen_.reportText);
  EXPECT_EQ(logText(), expectedLogEntry(logText(), seen_.reportText));
}

TEST_F(ErrorReportTest, ErrorWhileAReportIsShownGetsThePlainBoxAndTheNextOneAReport) {
  ThrowingObject failing([] { throw std::runtime_error("Disk full"); });
  modal::ShownMessage plainBox;
  whileShown_ = [&](ExceptionDialog&) {
    if (seen_.windows > 1) return;
    // The watcher is busy with the report; this box gets an answer of its own.
    modal::whenMessageBoxOpens(plainBox);
    failing.throwFromHandler();
  };
  failing.throwFromHandler();
  EXPECT_EQ(seen_.windows, 1);
  EXPECT_EQ(plainBox.text, "Disk full");
  EXPECT_EQ(plainBox.icon, QMessageBox::Critical);
  EXPECT_EQ(seen_.message, "Disk full.");

  plainBox = {};
  failing.throwFromHandler();
  EXPECT_EQ(seen_.windows, 2);
  EXPECT_FALSE(plainBox.shown);
}

TEST_F(ErrorReportTest, ObjectsOutsideTheExceptionFamilyGetThePlainBox) {
  ThrowingObject([] { throw 42; }).throwFromHandler();
  EXPECT_EQ(seen_.windows, 0);
  EXPECT_EQ(seen_.plainBoxes, std::vector<std::string>{"Unknown error"});
}

__attribute__((noinline)) void failInWorker() { throw std::runtime_error("worker failed\nwith two lines"); }

TEST_F(ErrorReportTest, WorkerExceptionIsReportedOnTheMainThread) {
  std::thread worker([] { diag::runReportingExceptions("std::thread", "checker", failInWorker); });
  worker.join();
  EXPECT_TRUE(QTest::qWaitFor([this] { return seen_.windows == 1; }, 20000));
  EXPECT_EQ(seen_.message, "worker failed\nwith two lines.");
  EXPECT_TRUE(seen_.reportText.starts_with("worker failed\r\nwith two lines.\r\n\r\n"));
  ASSERT_GT(seen_.details.size(), 4u);
  EXPECT_TRUE(seen_.details[1].starts_with("Thread: ")) << seen_.details[1];
  EXPECT_TRUE(seen_.details[1].ends_with(" [std::thread] \"checker\"")) << seen_.details[1];
  EXPECT_NE(seen_.details[4].find("failInWorker"), std::string::npos) << "the worker's stack: " << seen_.details[4];
}

TEST_F(ErrorReportTest, FocusChainRunsFromTheFocusedControlToItsWindow) {
  QWidget window;
  window.setObjectName("window");
  auto* field = new QLineEdit(&window);
  field->setObjectName("field");
  window.show();
  QApplication::setActiveWindow(&window);
  field->setFocus();
  ASSERT_TRUE(QTest::qWaitFor([field] { return field->hasFocus(); }));

  ThrowingObject([] { throw std::runtime_error("x"); }).throwFromHandler();
  const auto heading = std::find(seen_.details.begin(), seen_.details.end(), "Active Controls hiearchy:");
  ASSERT_NE(heading, seen_.details.end());
  EXPECT_EQ(std::vector<std::string>(heading + 1, seen_.details.end()),
            (std::vector<std::string>{"QLineEdit \"field\"", "QWidget \"window\"", std::string(100, '-')}));
}

class UnloggedErrorReport : public ErrorReportTest {
  std::optional<std::string> logging() const override { return std::nullopt; }
};

TEST_F(UnloggedErrorReport, NothingIsLoggedUnlessTheUserAsks) {
  ThrowingObject([] { throw std::runtime_error("x"); }).throwFromHandler();
  EXPECT_EQ(seen_.windows, 1);
  EXPECT_EQ(logText(), "");
}

}  // namespace
}  // namespace zelk::ui::report_test
