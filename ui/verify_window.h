#pragma once
// The verify window: runs the verify pass on the list of the current
// directory, or the one it is given, once it is first shown, filling the
// report line by line, then offers the coloured report for saving as
// "result.rtf".

#include <QDialog>
#include <QTextCursor>
#include <string>
#include <vector>

#include "engines/progress.h"
#include "passes/rtf_report.h"
#include "passes/verify_pass.h"
#include "ui/pass_runner.h"

class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QKeyEvent;
class QResizeEvent;
class QShowEvent;
class QTextEdit;

namespace zelk::ui {

class VerifyWindow : public QDialog, private passes::VerifyObserver {
  Q_OBJECT
 public:
  // `progress` is the main window's bar, or null when there is no main window.
  // `listName` is the list to check as given: a file of the current
  // directory, or a path whose folder is then the one checked; empty: the
  // list listfile::findList picks in the current directory.
  explicit VerifyWindow(QWidget* parent = nullptr, engines::ProgressSink* progress = nullptr,
                        std::string listName = {});

  QLabel* creatorLabel = nullptr;
  QLabel* commentLabel = nullptr;
  QPushButton* closeButton = nullptr;
  QPushButton* saveButton = nullptr;
  QTextEdit* reportView = nullptr;
  QLabel* modeLabel = nullptr;
  // Off at first; on, the report ends in the section of files the list does
  // not know (and so does the saved report). Usable once a list was checked.
  QCheckBox* unlistedBox = nullptr;
  QProgressBar* overallProgress = nullptr;  // the whole pass, once it reports

  bool passRunning() const { return runner_.isRunning(); }

  // The report as it stands now, edits included: its text in runs of one
  // colour, a '\n' between lines; the view's default colour is kDefaultColour.
  std::vector<passes::ColouredRun> reportRuns() const;

 public slots:
  // Asks the mode chooser where its modes matter (ModeChooser::asksAbout),
  // sets the captions and starts the pass on the list, which reports every
  // entry line by line; returns at once, passFinished() follows. Without a
  // list the report stays empty. Declining the chooser leaves the initial
  // captions and an empty report. A list that cannot be read is said in an
  // error box, and the window then closes. What the pass throws (a bad
  // language template, a file that cannot be read) is reported through the
  // program's exception report, and the report keeps the lines so far.
  void runPass();
  // Close; while the pass runs, the button reads "Cancel" and cancels it.
  void onCloseClicked();
  // Writes reportRuns() as "result.rtf" into the list's folder (before the
  // pass, the current directory) and says where; throws std::runtime_error
  // when the file cannot be written.
  void onSaveClicked();
  // Appends the section of files the checked list does not know, or takes it
  // away again. The folder is searched on a worker: meanwhile the box and
  // "Save" are disabled; unlistedSearched() follows.
  void onUnlistedToggled(bool shown);
  // The close box as well: during the pass or the search for files not in
  // the list, cancels it and closes once it has ended.
  void reject() override;

 signals:
  // The pass runPass started has ended, or the chooser was declined.
  void passFinished();
  // The search onUnlistedToggled started has ended, its section added.
  void unlistedSearched();

 protected:
  // Starts runPass the first time only, once the window is on screen.
  void showEvent(QShowEvent* event) override;
  // Esc during the pass cancels it; afterwards it closes the window as ever.
  void keyPressEvent(QKeyEvent* event) override;
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
  void passProgress(const passes::PassProgress& progress) override;

  void fitBottomRow();
  void showPassRunning(bool running);
  void onPassFinished();
  void onUnlistedSearched();

  engines::ProgressSink& progress_;
  std::string listName_;  // as the constructor was given it
  std::string folder_;    // of the list: where the report is saved and files not in the list are looked for
  bool shown_ = false;
  int reportLines_ = 0;
  std::string checkedList_;  // empty until a list has been checked
  // Written by the pass on the runner's thread; read once it has finished.
  passes::VerifyResult passResult_;
  listfile::ChecksumMode checkedMode_ = listfile::ChecksumMode::Automatic;
  QTextCursor unlistedStart_;  // where the section begins; moves with edits above it
  QString closeCaption_;
  bool closeWhenDone_ = false;
  // Destroyed before the controls: a pass or search still running is
  // cancelled and waited for while the window is whole.
  PassRunner runner_{"verify pass"};
  PassRunner unlistedSearch_{"search for files not in the list"};
};

}  // namespace zelk::ui
