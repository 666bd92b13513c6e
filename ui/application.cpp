#include "ui/application.h"

#include <utility>

#include "ui/message_box.h"
#include "ui/program_identity.h"

namespace zelk::ui {

void showPlainErrorBox(const QString& message) {
  showMessageBox(nullptr, QMessageBox::Critical, applicationTitle(), message);
}

// Every window, the verify window of a "-v" start too, shows the program's picture.
ZelkApplication::ZelkApplication(int& argc, char** argv) : QApplication(argc, argv) { setWindowIcon(programIcon()); }

void ZelkApplication::setExceptionHandler(ExceptionHandler handler) { exceptionHandler_ = std::move(handler); }

bool ZelkApplication::notify(QObject* receiver, QEvent* event) {
  // A language file can hold a template with a placeholder the caller does
  // not supply; formatting it throws, and that must cost one message, not
  // the user's work.
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& error) {
    handleException(std::current_exception(), error.what());
  } catch (...) {
    showPlainErrorBox(QStringLiteral("Unknown error"));
  }
  return false;
}

void ZelkApplication::handleException(const std::exception_ptr& exception, const char* message) {
  if (!exceptionHandler_) {
    showPlainErrorBox(QString::fromLocal8Bit(message));
    return;
  }
  try {
    exceptionHandler_(exception);
  } catch (const std::exception& failure) {
    showPlainErrorBox(QString::fromLocal8Bit(failure.what()));
  } catch (...) {
    showPlainErrorBox(QStringLiteral("Unknown error"));
  }
}

}  // namespace zelk::ui
