#pragma once
// An object whose event handler throws whatever the test gives it, so that a
// test can make an exception escape a handler as a real one would.

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <functional>
#include <utility>

namespace zelk::testing {

class ThrowingObject : public QObject {
 public:
  explicit ThrowingObject(std::function<void()> thrower) : thrower_(std::move(thrower)) {}

  // Delivers the throwing event through the application, as the event loop does.
  void throwFromHandler() {
    QCoreApplication::postEvent(this, new QEvent(kThrowEvent));
    QCoreApplication::sendPostedEvents(this, kThrowEvent);
  }

  bool event(QEvent* event) override {
    if (event->type() == kThrowEvent) thrower_();
    return QObject::event(event);
  }

 private:
  static inline const QEvent::Type kThrowEvent = static_cast<QEvent::Type>(QEvent::registerEventType());
  std::function<void()> thrower_;
};

}  // namespace zelk::testing
