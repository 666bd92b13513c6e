#pragma once
// Surroundings of a report test: the report route installed as the program
// installs it, the error log in a state folder of the test's own, a program
// folder for language.lng and a current directory of its own, and a modal
// watcher that reads a report window once its details are built, copies it
// with Ctrl+C and closes it.

#include <QClipboard>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/directory.h"
#include "tests/support/language_folders.h"
#include "tests/support/scoped_environment.h"
#include "tests/support/temp_folder.h"
#include "tests/ui/modal_watcher.h"
#include "ui/application.h"
#include "ui/error_reports.h"
#include "ui/exception_dialog.h"

namespace zelk::ui::report_test {

struct ShownReport {
  int windows = 0;  // report windows met
  std::string title;
  std::string message;
  std::vector<std::string> details;
  std::string reportText;
  std::string clipboard;  // after Ctrl+C
  std::vector<std::string> plainBoxes;  // texts of plain error boxes met
};

inline std::vector<std::string> linesOf(const QPlainTextEdit* text) {
  std::vector<std::string> lines;
  for (const QString& line : text->toPlainText().split(QLatin1Char('\n'))) lines.push_back(line.toStdString());
  return lines;
}

class ErrorReportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    environment_.set("XDG_STATE_HOME", state_.path());
    environment_.set("ZELK_SFV_ERROR_LOG", logging());
    ASSERT_TRUE(platform::setCurrentDirectory(folder_.path()));
    installReportHandler(*qobject_cast<ZelkApplication*>(QCoreApplication::instance()));
    modals_.setHandler([this](QWidget* modal) { answer(modal); });
  }

  void TearDown() override {
    removeReportHandler();
    platform::setCurrentDirectory(savedDirectory_);
    EXPECT_EQ(currentReportWindow(), nullptr) << "the report window outlived its report";
  }

  // The value of ZELK_SFV_ERROR_LOG while the route is installed.
  virtual std::optional<std::string> logging() const { return "1"; }

  std::string logText() const { return state_.read("zelk-sfv-utility/test_ui_Err.log"); }

  // Runs on the report window once its details are built, before it closes.
  std::function<void(ExceptionDialog&)> whileShown_;
  ShownReport seen_;
  zelk::testing::TempFolder state_;
  zelk::testing::LanguageFolders languages_;
  const zelk::testing::TempFolder& programFolder_ = languages_.program();
  zelk::testing::TempFolder folder_;  // the current directory

 private:
  void answer(QWidget* modal) {
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
      seen_.plainBoxes.push_back(box->text().toStdString());
      box->accept();
      return;
    }
    auto* report = qobject_cast<ExceptionDialog*>(modal);
    if (report == nullptr) return;  // a window the test answers itself
    ++seen_.windows;
    EXPECT_TRUE(QTest::qWaitFor([report] { return report->detailsButton->isEnabled(); }, 20000));
    seen_.title = report->windowTitle().toStdString();
    seen_.message = report->messageText->toPlainText().toStdString();
    seen_.details = linesOf(report->detailsMemo);
    seen_.reportText = report->reportText();
    QTest::keyClick(report->messageText, Qt::Key_C, Qt::ControlModifier);
    seen_.clipboard = QGuiApplication::clipboard()->text().toStdString();
    if (whileShown_) whileShown_(*report);
    report->okButton->click();
  }

  zelk::testing::ScopedEnvironment environment_;
  std::string savedDirectory_ = platform::currentDirectory();
  zelk::testing::ModalWatcher modals_;
};

}  // namespace zelk::ui::report_test
