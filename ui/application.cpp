#include "ui/application.h"

#include <QMessageBox>
#include <exception>

namespace zelk::ui {
namespace {

void showEscapedError(const QString& message) {
  QMessageBox::critical(nullptr, QCoreApplication::applicationName(), message);
}

}  // namespace

ZelkApplication::ZelkApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool ZelkApplication::notify(QObject* receiver, QEvent* event) {
  // A language file can hold a template with a placeholder the caller does
  // not supply; formatting it throws, and that must cost one message, not
  // the user's work.
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& error) {
    showEscapedError(QString::fromLocal8Bit(error.what()));
  } catch (...) {
    showEscapedError(QStringLiteral("Unknown error"));
  }
  return false;
}

}  // namespace zelk::ui
