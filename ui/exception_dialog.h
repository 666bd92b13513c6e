#pragma once
// The report window for an error that escaped an event handler: the message
// beside an error icon, "OK", and behind "Details" the diagnostic report that
// diag/ composes. The window opens with the message and the first detail
// lines; the rest is gathered once it is on screen. Ctrl+C copies the whole
// report.

#include <QDialog>
#include <string>
#include <vector>

#include "diag/exception_log.h"
#include "diag/report.h"

class QFrame;
class QPlainTextEdit;
class QPushButton;

namespace zelk::ui {

class ExceptionDialog : public QDialog {
  Q_OBJECT
 public:
  // Client area of the expanded window, and the collapsed one's height: the
  // top of the line above the details.
  static constexpr QSize kExpandedSize{432, 255};
  static constexpr int kCollapsedHeight = 91;
  static constexpr int kMinimumWidth = 200;

  // The window collapsed, titled after the application. With `logReports`
  // every report is appended to `logPath` once its details are built.
  explicit ExceptionDialog(bool logReports = false, const std::string& logPath = diag::defaultLogPath());

  // Sets the message (normalised: final ".", CR LF line breaks), the first
  // detail lines, and what the detail sections are built from.
  void setReport(const std::string& message, const std::vector<std::string>& firstLines,
                 diag::DetailInputs inputs);

  // The whole report: message, an empty line, the details; CR LF line ends.
  std::string reportText() const;
  // reportText() onto the clipboard as plain text.
  void copyReport() const;

  bool detailsVisible() const { return detailsVisible_; }
  // Expands the window to show the details, or collapses it to the message
  // row, whose height the user cannot change then.
  void setDetailsVisible(bool visible);

  // Appends the chosen sections (diag::DetailSection bits) to the details.
  void addDetailSections(unsigned sections);

  // Gathers the detail sections under a busy cursor, logs the report, and
  // enables "Details"; runs by itself once the shown window has been painted.
  void buildDetails();

  QPlainTextEdit* messageText = nullptr;
  QPushButton* okButton = nullptr;
  QPushButton* detailsButton = nullptr;
  QFrame* bevel = nullptr;
  QPlainTextEdit* detailsMemo = nullptr;

 protected:
  bool event(QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  // Ctrl+C, with any other modifier keys, in any control of the window.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void buildControls();
  void appendDetailLines(const std::vector<std::string>& lines);
  void logReport();

  std::string message_;
  std::vector<std::string> detailLines_;
  diag::DetailInputs inputs_;
  bool logReports_;
  diag::ExceptionLog log_;
  bool detailsVisible_ = false;
  int expandedHeight_ = kExpandedSize.height();
};

}  // namespace zelk::ui
