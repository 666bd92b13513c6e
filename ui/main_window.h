#pragma once
// The main window: the folder to work on, the options of a pass, the result
// lines of the last create pass, and the buttons that start a pass, choose
// the language and end the program.

#include <QStringList>
#include <QWidget>

#include "passes/create_pass.h"
#include "ui/pass_runner.h"

class QCheckBox;
class QCloseEvent;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QShortcut;
class QToolButton;

namespace zelk::ui {

class AboutWindow;
class BlinkLabel;

// What the command line asks of a start.
enum class StartAction {
  OpenMainWindow,
  VerifyCurrentDirectory,  // the first argument is exactly "-v"
};

// `arguments` are those after the program name; the first decides.
StartAction startAction(const QStringList& arguments);

// The folder the first argument names, absolute and ending in '/'; empty when
// it is "-v" or names no existing folder. Any further argument is ignored.
QString folderArgument(const QStringList& arguments);

// After "-v", the list the second argument names, as given (a file name in
// the current directory, or a path); empty when there is none, or no "-v"
// before it. Whether it is a readable list is the verify pass's to say.
QString listArgument(const QStringList& arguments);

class MainWindow : public QWidget, private passes::CreateObserver {
  Q_OBJECT
 public:
  // Builds the window and runs startUp with `arguments` (those after the
  // program name). The window is not shown.
  explicit MainWindow(const QStringList& arguments = {}, QWidget* parent = nullptr);
  ~MainWindow() override;

  // Title of the folder-browse dialog, looked up at start-up.
  const QString& folderDialogTitle() const { return folderDialogTitle_; }
  bool passRunning() const { return runner_.isRunning(); }

  QLineEdit* folderEdit = nullptr;
  QToolButton* browseButton = nullptr;
  QPlainTextEdit* resultMemo = nullptr;
  QGroupBox* kindGroup = nullptr;
  QRadioButton* md5Radio = nullptr;
  QRadioButton* crc32Radio = nullptr;
  // Every algorithm without a radio button of its own, by its shown name;
  // choosing one checks otherRadio.
  QRadioButton* otherRadio = nullptr;
  QComboBox* otherAlgorithmCombo = nullptr;
  QCheckBox* subfolderCheck = nullptr;
  QGroupBox* actionGroup = nullptr;
  QRadioButton* createRadio = nullptr;
  QRadioButton* validateRadio = nullptr;
  QLabel* timeLabel = nullptr;
  QProgressBar* fileProgress = nullptr;
  BlinkLabel* completionLabel = nullptr;
  QProgressBar* overallProgress = nullptr;  // over completionLabel's row while a pass runs
  QLabel* creatorLabel = nullptr;
  QLineEdit* creatorEdit = nullptr;
  QLabel* commentLabel = nullptr;
  QLineEdit* commentEdit = nullptr;
  QPushButton* goButton = nullptr;
  QPushButton* aboutButton = nullptr;
  QLabel* languageLabel = nullptr;
  QComboBox* languageCombo = nullptr;
  QPushButton* installLanguageButton = nullptr;
  QPushButton* closeButton = nullptr;
  AboutWindow* aboutWindow = nullptr;  // made at start-up, shown again and again

 public slots:
  // Start-up: drop target, language list, captions, command line, default folder.
  void startUp(const QStringList& arguments);
  // GO: starts the create pass, or opens the verify window when "Validate" is
  // checked; while a create pass runs, GO reads "Cancel" and cancels it.
  void onGoClicked();
  void onCloseClicked();
  // Shows the about window modally.
  void onAboutClicked();
  // Makes the language chosen in `languageCombo` the user's active one and
  // says whether that worked.
  void onInstallLanguageClicked();
  // Files or folders dropped on `folderEdit`: the first one counts.
  void onFolderDropped(const QStringList& names);
  void onBrowseClicked();
  void shutDown();

 signals:
  // A create pass has ended: finished, declined, failed or cancelled.
  void passFinished();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  // During a pass: cancels it and closes once it has ended.
  void closeEvent(QCloseEvent* event) override;

 private:
  void buildControls();
  void buildOptionColumn();
  void buildBottomRows();
  void fillLanguageList();
  void setCaptions();
  void fitFieldColumn();
  void fitOptionColumn();
  void widenBy(int extra);
  void centreOnScreen();
  engines::ChecksumKind chosenKind() const;
  void setFolder(const QString& folder);
  void openVerifyWindow();
  void startCreatePass(const passes::CreateSettings& settings);
  void showPassRunning(bool running);
  void onPassFinished();

  bool confirmOverwrite(const std::string& question) override;
  void clearResultTexts() override;
  void memoLine(const std::string& line) override;
  void noteLine(const std::string& line) override;
  void timeText(const std::string& text) override;
  void completionText(const std::string& text) override;
  void errorMessage(const std::string& text) override;
  void showProgress() override;
  void setProgress(int percent) override;
  void hideProgress() override;
  void passProgress(const passes::PassProgress& progress) override;

  QString folderDialogTitle_;
  QString goCaption_;
  QShortcut* cancelShortcut_ = nullptr;
  bool closeWhenPassEnds_ = false;
  // Destroyed before the controls: a pass still running is cancelled and
  // waited for while the window is whole.
  PassRunner runner_{"create pass"};
};

}  // namespace zelk::ui
