#include "ui/blink_label.h"

#include <QTimerEvent>

namespace zelk::ui {

BlinkLabel::BlinkLabel(QWidget* parent) : QLabel(parent) { blink_.start(kIntervalMs, this); }

void BlinkLabel::timerEvent(QTimerEvent* event) {
  if (event->timerId() != blink_.timerId()) {
    QLabel::timerEvent(event);
    return;
  }
  // The label's own state, not whether its window is on screen.
  setVisible(isHidden());
}

}  // namespace zelk::ui
