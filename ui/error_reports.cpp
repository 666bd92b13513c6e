#include "ui/error_reports.h"

#include <QApplication>
#include <QPointer>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <string>
#include <vector>

#include "diag/crash_handler.h"
#include "diag/report.h"
#include "ui/application.h"
#include "ui/exception_dialog.h"
#include "ui/qt_text.h"

namespace zelk::ui {
namespace {

constexpr std::size_t kFocusHistory = 8;

// Touched on the main thread only.
struct Route {
  int installs = 0;
  ZelkApplication* application = nullptr;
  bool logReports = false;
  ExceptionDialog* window = nullptr;
  bool reportShowing = false;
  QMetaObject::Connection focusTracking;
  std::vector<QPointer<QWidget>> recentFocus;  // the latest last
};
Route route;

void rememberFocus(QWidget* focused) {
  if (focused == nullptr) return;
  std::erase(route.recentFocus, focused);
  route.recentFocus.emplace_back(focused);
  if (route.recentFocus.size() > kFocusHistory) route.recentFocus.erase(route.recentFocus.begin());
}

// While a modal window is being opened (the verify window runs its whole pass
// then) no widget has the focus: the others are blocked, the new one is not
// active yet. The control the user last worked in, if it still exists, is
// then the one to name.
QWidget* focusedControl() {
  if (QWidget* focused = QApplication::focusWidget()) return focused;
  for (auto it = route.recentFocus.rbegin(); it != route.recentFocus.rend(); ++it) {
    if (*it != nullptr) return *it;
  }
  return nullptr;
}

// The focused control first, up to its window.
std::vector<diag::ControlName> focusChain() {
  std::vector<diag::ControlName> chain;
  for (QWidget* control = focusedControl(); control != nullptr;
       control = control->isWindow() ? nullptr : control->parentWidget()) {
    chain.push_back({control->metaObject()->className(), fromQt(control->objectName())});
  }
  return chain;
}

std::optional<diag::Display> primaryDisplay() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return std::nullopt;
  const QSize size = screen->geometry().size() * screen->devicePixelRatio();
  return diag::Display{size.width(), size.height(), screen->depth()};
}

// Sets the flag for as long as a report is prepared or shown.
class ReportShowing {
 public:
  ReportShowing() { route.reportShowing = true; }
  ~ReportShowing() { route.reportShowing = false; }
  ReportShowing(const ReportShowing&) = delete;
  ReportShowing& operator=(const ReportShowing&) = delete;
};

}  // namespace

void showReport(const std::exception_ptr& exception, const diag::ThreadFailure* thread) {
  // Taken first: anything thrown and caught on the way would replace it.
  diag::DetailInputs inputs;
  inputs.stack = thread != nullptr ? thread->stack : diag::latestThrowRecord();
  struct DestroyWindow {
    ~DestroyWindow() {
      delete route.window;
      route.window = nullptr;
    }
  } destroyWindow;
  if (route.window == nullptr) route.window = new ExceptionDialog(route.logReports);
  inputs.focusChain = focusChain();
  const diag::ExceptionFacts facts = diag::describeException(exception);
  const std::vector<std::string> firstLines =
      thread != nullptr ? diag::firstDetailLines(facts.className, diag::threadDescription(*thread))
                        : diag::firstDetailLines(facts.className, inputs.stack ? diag::throwAddress(*inputs.stack) : 0);
  route.window->setReport(diag::normalizedMessage(facts.message), firstLines, std::move(inputs));
  route.window->exec();
}

namespace {

// One report at a time: an error while one is prepared or shown gets the
// plain box.
void reportOnce(const std::exception_ptr& exception, const diag::ThreadFailure* thread) {
  if (route.reportShowing) {
    showPlainErrorBox(toQt(diag::describeException(exception).message));
    return;
  }
  const ReportShowing showing;
  showReport(exception, thread);
}

}  // namespace

void handleAppException(const std::exception_ptr& exception) { reportOnce(exception, nullptr); }

void handleThreadException(const diag::ThreadFailure& failure) { reportOnce(failure.exception, &failure); }

ExceptionDialog* currentReportWindow() { return route.window; }

void installReportHandler(ZelkApplication& application) {
  if (route.installs++ > 0) return;
  route.application = &application;
  route.logReports = qEnvironmentVariable("ZELK_SFV_ERROR_LOG") == QLatin1String("1");
  diag::installCrashHandler({diag::defaultLogPath(), primaryDisplay()});
  diag::setThreadExceptionHandler([](const diag::ThreadFailure& failure) {
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [failure] { handleThreadException(failure); }, Qt::QueuedConnection);
  });
  application.setExceptionHandler(handleAppException);
  route.focusTracking = QObject::connect(&application, &QApplication::focusChanged,
                                         [](QWidget*, QWidget* now) { rememberFocus(now); });
}

void removeReportHandler() {
  if (route.installs == 0 || --route.installs > 0) return;
  route.application->setExceptionHandler({});
  QObject::disconnect(route.focusTracking);
  route.recentFocus.clear();
  diag::setThreadExceptionHandler({});
  diag::stopThrowTracking();
}

}  // namespace zelk::ui
