// What escapes an event handler is shown, not fatal.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QMessageBox>
#include <functional>
#include <stdexcept>

#include "tests/ui/modal_answers.h"
#include "tests/ui/modal_watcher.h"
#include "tests/ui/throwing_object.h"
#include "ui/application.h"

namespace zelk::ui {
namespace {

TEST(ZelkApplication, WithoutAnExceptionHandlerExceptionsGetThePlainErrorBox) {
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
    testing::ThrowingObject(test.thrower).throwFromHandler();

    EXPECT_EQ(QString::fromStdString(shown.text), test.message);
    EXPECT_EQ(shown.icon, QMessageBox::Critical);
  }
}

}  // namespace
}  // namespace zelk::ui
