#pragma once
// The verify window: runs the verify pass on the current directory when it is
// first shown, then offers the coloured report for saving as "result.rtf".

#include <QDialog>
#include <vector>

#include "engines/progress.h"
#include "passes/rtf_report.h"
#include "passes/verify_pass.h"

class QLabel;
class QPushButton;
class QResizeEvent;
class QShowEvent;
class QTextEdit;

namespace zelk::ui {

class VerifyWindow : public QDialog, private passes::VerifyObserver {
  Q_OBJECT
 public:
  // `progress` is the main window's bar, or null when there is no main window.
  explicit VerifyWindow(QWidget* parent = nullptr, engines::ProgressSink* progress = nullptr);

  QLabel* creatorLabel = nullptr;
  QLabel* commentLabel = nullptr;
  QPushButton* closeButton = nullptr;
  QPushButton* saveButton = nullptr;
  QTextEdit* reportView = nullptr;
  QLabel* modeLabel = nullptr;

  // The report as it stands now, edits included: its text in runs of one
  // colour, a '\n' between lines; the view's default colour is kDefaultColour.
  std::vector<passes::ColouredRun> reportRuns() const;

 public slots:
  // The whole verify pass: asks the mode chooser, sets the captions and
  // reports every entry of the current directory's list. Declining the chooser
  // leaves the initial captions and an empty report. A list that cannot be
  // read is said in an error box, and the window then closes. A bad language template
  // (TemplateError) or a failure of the pass propagates to the caller.
  void runPass();
  void onCloseClicked();
  // Writes reportRuns() as "result.rtf" into the current directory and says
  // where; throws std::runtime_error when the file cannot be written.
  void onSaveClicked();

 protected:
  // Runs runPass the first time only, before the window is painted.
  void showEvent(QShowEvent* event) override;
  // The report takes the room of an enlarged window.
  void resizeEvent(QResizeEvent* event) override;

 private:
  void creatorText(const std::string& text) override;
  void commentText(const std::string& text) override;
  void entryKind(engines::ChecksumKind kind) override;
  void reportLine(const std::string& text, passes::ReportColour colour) override;
  void errorMessage(const std::string& text) override;
  void showProgress() override;
  void setProgress(int percent) override;
  void hideProgress() override;

  engines::ProgressSink& progress_;
  bool shown_ = false;
  int reportLines_ = 0;
};

}  // namespace zelk::ui
