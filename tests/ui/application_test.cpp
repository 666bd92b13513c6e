// What escapes an event handler is shown, not fatal.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <QMessageBox>
#include <functional>
#include <stdexcept>

#include "tests/ui/modal_answers.h"
#include "tests/ui/modal_watcher.h"
#include "ui/application.h"

namespace zelk::ui {
namespace {

// Throws from its handler whatever the test gives it.
class ThrowingObject : public QObject {
 public:
  explicit ThrowingObject(std::function<void()> thrower) : thrower_(std::move(thrower)) {}
  static inline const QEvent::Type kThrowEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

  bool event(QEvent* event) override {
    if (event->type() == kThrowEvent) thrower_();
    return QObject::event(event);
  }

 private:
  std::function<void()> thrower_;
};

TEST(ZelkApplication, ExceptionsFromHandlersAreShownInAnErrorBox) {
  ASSERT_NE(qobject_cast<ZelkApplication*>(QCoreApplication::instance()), nullptr)
      << "the test program must run a ZelkApplication";
  struct Case {
    std::function<void()> thrower;
    QString message;
  };
  const std::vector<Case> cases = {
      {[] { throw std::runtime_error("placeholder %d has no number"); }, "placeholder %d has no number"},
      {[] { throw std::out_of_range("index"); }, "index"},
      {[] { throw 42; }, "Unknown error"},
  };
  for (const Case& test : cases) {
    testing::ModalWatcher modals;
    modal::ShownMessage shown;
    modals.setHandler(modal::recordMessageBox(shown));
    ThrowingObject receiver(test.thrower);
    QCoreApplication::postEvent(&receiver, new QEvent(ThrowingObject::kThrowEvent));
    QCoreApplication::sendPostedEvents(&receiver, ThrowingObject::kThrowEvent);

    EXPECT_EQ(QString::fromStdString(shown.text), test.message);
    EXPECT_EQ(shown.icon, QMessageBox::Critical);
  }
}

}  // namespace
}  // namespace zelk::ui
