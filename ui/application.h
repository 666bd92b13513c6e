#pragma once
// The application object: the one place where an exception that escapes an
// event handler is caught, so that it is shown instead of ending the program.

#include <QApplication>
#include <exception>
#include <functional>

namespace zelk::ui {

// The toolkit's plain error box: the message alone, with the error icon.
void showPlainErrorBox(const QString& message);

class ZelkApplication : public QApplication {
  Q_OBJECT
 public:
  using ExceptionHandler = std::function<void(const std::exception_ptr&)>;

  ZelkApplication(int& argc, char** argv);

  // Receives every std::exception that escapes an event handler; an empty
  // handler (the start) leaves them to the plain error box.
  void setExceptionHandler(ExceptionHandler handler);

  // Delivers the event. A std::exception a handler throws goes to the
  // exception handler; anything else thrown, or a failure of the handler
  // itself, gets the plain error box (the message, or "Unknown error"). The
  // event then counts as not handled.
  bool notify(QObject* receiver, QEvent* event) override;

 private:
  void handleException(const std::exception_ptr& exception, const char* message);

  ExceptionHandler exceptionHandler_;
};

}  // namespace zelk::ui
