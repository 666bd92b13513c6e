// The report window itself: its two heights, the copy key, the message's
// scroll bar and the details built once it is on screen.

#include <QApplication>
#include <QClipboard>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

#include "diag/report.h"
#include "ui/exception_dialog.h"

namespace zelk::ui {
namespace {

class ExceptionDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dialog_->setReport("Disk full.", diag::firstDetailLines("std::runtime_error", 0x1234), {});
    dialog_->show();
  }

  std::string details() const { return dialog_->detailsMemo->toPlainText().toStdString(); }

  std::unique_ptr<ExceptionDialog> dialog_ = std::make_unique<ExceptionDialog>();
};

TEST_F(ExceptionDialogTest, DetailsAreBuiltOnceTheWindowIsOnScreen) {
  EXPECT_FALSE(dialog_->detailsButton->isEnabled());
  EXPECT_EQ(details().find("System   : "), std::string::npos);
  ASSERT_TRUE(QTest::qWaitFor([this] { return dialog_->detailsButton->isEnabled(); }, 20000));
  EXPECT_TRUE(details().starts_with("Exception class: std::runtime_error\nException address: 0000000000001234\n"));
  EXPECT_NE(details().find("\nSystem   : "), std::string::npos);
  EXPECT_TRUE(dialog_->okButton->hasFocus());
  EXPECT_EQ(dialog_->detailsMemo->textCursor().position(), 0);
}

TEST_F(ExceptionDialogTest, DetailsButtonSwitchesBetweenTheTwoHeights) {
  EXPECT_EQ(dialog_->windowTitle().toStdString(), "Zelk SFV Utility - application error");
  const int collapsed = ExceptionDialog::kCollapsedHeight;
  EXPECT_EQ(dialog_->height(), collapsed);
  EXPECT_EQ(dialog_->detailsButton->text(), "&Details >>");
  dialog_->detailsButton->setEnabled(true);

  dialog_->detailsButton->click();
  EXPECT_EQ(dialog_->height(), ExceptionDialog::kExpandedSize.height());
  EXPECT_EQ(dialog_->detailsButton->text(), "<< &Details");
  EXPECT_EQ(dialog_->minimumHeight(), collapsed + 100);
  EXPECT_TRUE(dialog_->detailsMemo->isEnabled());

  dialog_->resize(500, 320);
  dialog_->detailsButton->click();
  EXPECT_EQ(dialog_->height(), collapsed);
  EXPECT_EQ(dialog_->detailsButton->text(), "&Details >>");
  EXPECT_FALSE(dialog_->detailsMemo->isEnabled());
  dialog_->detailsButton->click();
  EXPECT_EQ(dialog_->size(), QSize(500, 320)) << "the user's size comes back";
}

TEST_F(ExceptionDialogTest, CollapsedWindowChangesOnlyItsWidthDownTo200) {
  dialog_->resize(150, 400);
  EXPECT_EQ(dialog_->size(), QSize(ExceptionDialog::kMinimumWidth, ExceptionDialog::kCollapsedHeight));
  dialog_->resize(700, 10);
  EXPECT_EQ(dialog_->size(), QSize(700, ExceptionDialog::kCollapsedHeight));
}

TEST_F(ExceptionDialogTest, CtrlCWithAnyOtherModifiersCopiesTheReport) {
  const struct {
    Qt::KeyboardModifiers modifiers;
    bool copies;
  } cases[] = {
      {Qt::ControlModifier, true},
      {Qt::ControlModifier | Qt::ShiftModifier, true},
      {Qt::ControlModifier | Qt::AltModifier, true},
      {Qt::NoModifier, false},
      {Qt::ShiftModifier, false},
  };
  ASSERT_TRUE(QTest::qWaitFor([this] { return dialog_->detailsButton->isEnabled(); }, 20000));
  const std::string report = dialog_->reportText();
  ASSERT_TRUE(report.starts_with("Disk full.\r\n\r\nException class: std::runtime_error\r\n"
                                 "Exception address: 0000000000001234\r\n" + std::string(100, '-') + "\r\n"));
  for (QWidget* control : {static_cast<QWidget*>(dialog_->messageText), static_cast<QWidget*>(dialog_->okButton),
                           static_cast<QWidget*>(dialog_->detailsMemo)}) {
    for (const auto& test : cases) {
      QGuiApplication::clipboard()->setText(QStringLiteral("before"));
      QTest::keyClick(control, Qt::Key_C, test.modifiers);
      EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), test.copies ? report : "before")
          << control->objectName().toStdString() << " modifiers " << test.modifiers;
    }
  }
}

TEST_F(ExceptionDialogTest, MessageScrollsOnlyWhenItDoesNotFit) {
  const auto scrolls = [this] {
    QCoreApplication::processEvents();
    return dialog_->messageText->verticalScrollBar()->isVisible();
  };
  EXPECT_FALSE(scrolls());
  std::string longMessage;
  for (int word = 0; word < 60; ++word) longMessage += "overflowing ";
  dialog_->setReport(longMessage + ".", {}, {});
  EXPECT_TRUE(scrolls());
  dialog_->resize(2000, dialog_->height());
  EXPECT_FALSE(scrolls()) << "widened, the message fits again";
}

}  // namespace
}  // namespace zelk::ui
