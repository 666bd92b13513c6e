#include "ui/message_box.h"

#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

#include "ui/widget_factory.h"

namespace zelk::ui {
namespace {

TEST(MessageBox, ShortMessageLeavesRoomForTheWholeTitle) {
  int width = 0;
  int needed = 0;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    width = box->width();
    needed = titleBarWidth(*box, box->windowTitle());
    box->button(QMessageBox::No)->click();
  });
  EXPECT_EQ(showMessageBox(nullptr, QMessageBox::Critical, QStringLiteral("Zelk SFV Utility"), QStringLiteral("OK?"),
                           QMessageBox::Yes | QMessageBox::No, QMessageBox::No),
            QMessageBox::No);
  EXPECT_GE(width, needed);
}

}  // namespace
}  // namespace zelk::ui
