// The desktop program: the main window, or with "-v" the verify window alone
// on the directory the program was started in (and with "-v NAME" on its
// list NAME).

#include "platform/pending_file.h"
#include "ui/application.h"
#include "ui/error_reports.h"
#include "ui/main_window.h"
#include "ui/qt_text.h"
#include "ui/verify_window.h"

int main(int argc, char** argv) {
  // A kill during a pass leaves no temporary list behind.
  zelk::platform::removePendingFilesOnTermination();
  zelk::ui::ZelkApplication application(argc, argv);
  // Before any window exists, so that every error of theirs gets its report.
  const zelk::ui::ReportHandlerScope reportHandler(application);
  const QStringList arguments = QCoreApplication::arguments().mid(1);

  if (zelk::ui::startAction(arguments) == zelk::ui::StartAction::VerifyCurrentDirectory) {
    zelk::ui::VerifyWindow verifyWindow(nullptr, nullptr, zelk::ui::fromQt(zelk::ui::listArgument(arguments)));
    verifyWindow.exec();
    return 0;
  }

  zelk::ui::MainWindow mainWindow(arguments);
  mainWindow.show();
  return QApplication::exec();
}
