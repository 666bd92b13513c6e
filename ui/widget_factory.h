#pragma once
// Geometry and control helpers shared by the windows, which are laid out at
// fixed positions.

#include <QPushButton>
#include <QSize>

namespace zelk::ui {

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

}  // namespace zelk::ui
