#pragma once
// A label that blinks on its own for as long as it exists.

#include <QBasicTimer>
#include <QLabel>

namespace zelk::ui {

// Flips its own visibility every 500 ms, from construction to destruction.
// There is no way to start, stop or pace it: what the user sees is decided
// by the text (an empty label blinks unseen) and, for the phase, by whether
// the label starts hidden. Setting the text leaves the blinking as it was;
// hiding the label from outside lasts until the next tick.
class BlinkLabel : public QLabel {
  Q_OBJECT
 public:
  static constexpr int kIntervalMs = 500;

  explicit BlinkLabel(QWidget* parent = nullptr);

 protected:
  void timerEvent(QTimerEvent* event) override;

 private:
  QBasicTimer blink_;  // stops with the label
};

}  // namespace zelk::ui
