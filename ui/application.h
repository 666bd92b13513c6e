#pragma once
// The application object: the one place where an exception that escapes an
// event handler is caught, so that it is shown instead of ending the program.

#include <QApplication>

namespace zelk::ui {

class ZelkApplication : public QApplication {
  Q_OBJECT
 public:
  ZelkApplication(int& argc, char** argv);

  // Delivers the event; anything a handler throws is shown in an error box
  // (the exception's message, or "Unknown error") and the event counts as
  // not handled.
  bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace zelk::ui
