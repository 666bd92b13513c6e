// Lines that arrive during a pass keep the view at its end, unless the user
// has scrolled back to read.

#include <QCoreApplication>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <gtest/gtest.h>

#include "ui/widget_factory.h"

namespace zelk::ui {
namespace {

void appendLines(QPlainTextEdit& view, int count) {
  for (int line = 0; line < count; ++line) {
    // Long lines: the horizontal scroll bar appears on the way, once the
    // view has been laid out between two lines as during a pass.
    appendFollowingTheEnd(&view, [&] { view.appendPlainText(QString(200, QLatin1Char('x'))); });
    QCoreApplication::processEvents();
  }
}

TEST(AppendFollowingTheEnd, ViewAtItsEndStaysThere) {
  QPlainTextEdit view;
  view.resize(200, 100);
  view.setLineWrapMode(QPlainTextEdit::NoWrap);
  view.show();
  appendLines(view, 300);
  EXPECT_GT(view.verticalScrollBar()->maximum(), 0);
  EXPECT_EQ(view.verticalScrollBar()->value(), view.verticalScrollBar()->maximum());
}

TEST(AppendFollowingTheEnd, ViewScrolledBackStaysWhereTheUserLeftIt) {
  QPlainTextEdit view;
  view.resize(200, 100);
  view.show();
  appendLines(view, 100);
  view.verticalScrollBar()->setValue(10);
  appendLines(view, 100);
  EXPECT_EQ(view.verticalScrollBar()->value(), 10);
}

}  // namespace
}  // namespace zelk::ui
