#pragma once
// The route of an error to its report window. Installed while the program
// starts, before its main window exists, and removed at its end: from then on
// an exception that escapes an event handler, or ends a worker thread, is
// shown in an ExceptionDialog. Only one report is prepared or shown at a
// time; an error meanwhile gets the plain error box.

#include <exception>

#include "diag/thread_exceptions.h"

namespace zelk::ui {

class ZelkApplication;
class ExceptionDialog;

// Shows the report for `exception` modally and returns when it is closed.
// `thread` is null for an error of the main thread. The window is destroyed
// in any case, also when showing it fails.
void showReport(const std::exception_ptr& exception, const diag::ThreadFailure* thread);

// The application's exception handler: showReport, or the plain error box
// while a report is already being prepared or shown.
void handleAppException(const std::exception_ptr& exception);

// The same for a worker's failure; called on the main thread.
void handleThreadException(const diag::ThreadFailure& failure);

// The report window on screen now, or null.
ExceptionDialog* currentReportWindow();

// Only the first of nested installs takes effect, and the matching remove
// undoes it. Installing starts throw tracking and the crash handler (both
// writing to the user's error log), and routes worker threads' exceptions to
// the main thread. Reports are logged when ZELK_SFV_ERROR_LOG is "1".
void installReportHandler(ZelkApplication& application);
void removeReportHandler();

// Installs for its lifetime.
class ReportHandlerScope {
 public:
  explicit ReportHandlerScope(ZelkApplication& application) { installReportHandler(application); }
  ~ReportHandlerScope() { removeReportHandler(); }
  ReportHandlerScope(const ReportHandlerScope&) = delete;
  ReportHandlerScope& operator=(const ReportHandlerScope&) = delete;
};

}  // namespace zelk::ui
