// The blinking label, driven tick by tick through its own timer's events:
// no test waits for the clock.

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QTimerEvent>
#include <QWidget>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "ui/blink_label.h"

namespace zelk::ui {
namespace {

// The label's one timer: its interval, and its id for ticking it by hand.
QAbstractEventDispatcher::TimerInfo blinkTimer(BlinkLabel& label) {
  const QList<QAbstractEventDispatcher::TimerInfo> timers =
      QAbstractEventDispatcher::instance()->registeredTimers(&label);
  EXPECT_EQ(timers.size(), 1);
  return timers.value(0, {0, 0, Qt::CoarseTimer});
}

void tick(BlinkLabel& label) {
  QTimerEvent event(blinkTimer(label).timerId);
  QCoreApplication::sendEvent(&label, &event);
}

TEST(BlinkLabel, BlinksEveryHalfSecondFromConstruction) {
  QWidget window;
  BlinkLabel label(&window);
  label.hide();  // designed hidden: shown one tick after start
  window.show();
  EXPECT_EQ(blinkTimer(label).interval, 500);
  std::vector<bool> seen;
  for (int i = 0; i < 4; ++i) {
    tick(label);
    seen.push_back(label.isVisible());
  }
  EXPECT_EQ(seen, (std::vector<bool>{true, false, true, false}));
}

TEST(BlinkLabel, NewTextKeepsTimerAndPhase) {
  QWidget window;
  BlinkLabel label(&window);
  window.show();
  const int timerId = blinkTimer(label).timerId;
  tick(label);
  const bool before = label.isVisible();
  label.setText(QStringLiteral("Checksum create is finish"));
  EXPECT_EQ(label.isVisible(), before);
  EXPECT_EQ(blinkTimer(label).timerId, timerId) << "the timer was not restarted";
  tick(label);
  EXPECT_NE(label.isVisible(), before);
  EXPECT_EQ(label.text(), "Checksum create is finish");
}

TEST(BlinkLabel, HidingFromOutsideLastsUntilTheNextTick) {
  QWidget window;
  BlinkLabel label(&window);
  window.show();
  ASSERT_TRUE(label.isVisible());
  label.hide();
  tick(label);
  EXPECT_TRUE(label.isVisible());
}

TEST(BlinkLabel, TheTimerGoesWithTheLabel) {
  auto window = std::make_unique<QWidget>();
  auto* label = new BlinkLabel(window.get());
  const int timerId = blinkTimer(*label).timerId;
  window.reset();
  EXPECT_FALSE(QAbstractEventDispatcher::instance()->unregisterTimer(timerId)) << "still registered";
}

}  // namespace
}  // namespace zelk::ui
