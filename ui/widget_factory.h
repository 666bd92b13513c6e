#pragma once
// Geometry and control helpers shared by the windows, which are laid out at
// fixed positions.

#include <QAbstractScrollArea>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QRect>
#include <QScrollBar>
#include <QSize>
#include <QStyle>
#include <algorithm>

namespace zelk::ui {

// `widget` with the object name `name`: error reports name the controls on
// the way to a failure by it, and tests find them by it.
template <typename Widget>
Widget* named(Widget* widget, const char* name) {
  widget->setObjectName(QLatin1String(name));
  return widget;
}

// The client area inside a classic frame (4 pixels each side, a 19 pixel
// title bar) for a window of the given outer size.
constexpr QSize classicClientSize(QSize outer) { return {outer.width() - 8, outer.height() - 27}; }

// A push button at a fixed place that never becomes the default button on
// its own: Enter must not trigger whichever button last had the focus.
inline QPushButton* makeButton(QWidget* parent, const QString& text, const QRect& geometry) {
  auto* button = new QPushButton(text, parent);
  button->setGeometry(geometry);
  button->setAutoDefault(false);
  return button;
}

// The width a window needs for a window manager's title bar to show all of
// `title` beside the window's icon and its title bar buttons.
inline int titleBarWidth(const QWidget& window, const QString& title) {
  constexpr int kIconAndButtons = 140;
  return window.fontMetrics().horizontalAdvance(title) + kIconAndButtons;
}

// Widens `button` to its text when a translated caption needs more room
// than the designed width; it grows to the right.
// (The style's size hint would widen every button to its minimum width.)
inline void widenToText(QPushButton* button) {
  QString shown = button->text();
  shown.remove(QLatin1Char('&'));  // the access key's mark takes no room
  const int needed = button->fontMetrics().horizontalAdvance(shown) +
                     2 * (button->style()->pixelMetric(QStyle::PM_ButtonMargin) + button->style()->pixelMetric(QStyle::PM_DefaultFrameWidth));
  button->resize(std::max(button->width(), needed), button->height());
}

// A label at a fixed place whose text is shown as it is, never as markup:
// captions come from language files and results name files.
template <typename Label = QLabel>
Label* makeLabel(QWidget* parent, const QString& text, const QRect& geometry) {
  auto* label = new Label(parent);
  label->setText(text);
  label->setTextFormat(Qt::PlainText);
  label->setGeometry(geometry);
  return label;
}

// Row `index` of a group's column of radio buttons: `firstRow` is row 0's
// place in the group, each further row sits one row height below.
inline QRadioButton* makeRadio(QGroupBox* group, const QString& text, const QRect& firstRow, int index) {
  auto* radio = new QRadioButton(text, group);
  radio->setGeometry(firstRow.translated(0, index * firstRow.height()));
  return radio;
}

// Runs `append` on `view`, and keeps the view at its end if it stood there:
// lines that arrive while a pass runs stay in sight unless the user has
// scrolled back to read. A step's leeway: the view can grow a horizontal
// scroll bar after the last append, which moves the end by about a line.
template <class Append>
void appendFollowingTheEnd(QAbstractScrollArea* view, Append append) {
  QScrollBar* scrollBar = view->verticalScrollBar();
  const bool atTheEnd = scrollBar->maximum() - scrollBar->value() <= scrollBar->singleStep();
  append();
  if (atTheEnd) scrollBar->setValue(scrollBar->maximum());
}

}  // namespace zelk::ui
