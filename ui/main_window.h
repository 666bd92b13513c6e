#pragma once
// The main window: the folder to work on, the options of a pass, the result
// lines of the last create pass, and the buttons that start a pass, choose
// the language and end the program.

#include <QStringList>
#include <QWidget>

#include "passes/create_pass.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QToolButton;

namespace zelk::ui {

// What the command line asks of a start.
enum class StartAction {
  OpenMainWindow,
  VerifyCurrentDirectory,  // the first argument is exactly "-v"
};

// `arguments` are those after the program name; only the first counts.
StartAction startAction(const QStringList& arguments);

// The folder the first argument names, absolute and ending in '/'; empty when
// it is "-v" or names no existing folder.
QString folderArgument(const QStringList& arguments);

class TForm1 : public QWidget, private passes::CreateObserver {
  Q_OBJECT
 public:
  // Builds the window and runs FormCreate with `arguments` (those after the
  // program name). The window is not shown.
  explicit TForm1(const QStringList& arguments = {}, QWidget* parent = nullptr);
  ~TForm1() override;

  // Title of the folder-browse dialog, looked up at start-up.
  const QString& folderDialogTitle() const { return JvSelectDirectory1Title_; }

  QLineEdit* direct = nullptr;
  QToolButton* JvBitBtn1 = nullptr;
  QPlainTextEdit* Memo1 = nullptr;
  QGroupBox* FlatGroupBox2 = nullptr;
  QRadioButton* FlatRadioButton2 = nullptr;
  QRadioButton* FlatRadioButton3 = nullptr;
  QCheckBox* FlatCheckBox1 = nullptr;
  QGroupBox* FlatGroupBox1 = nullptr;
  QRadioButton* FlatRadioButton1 = nullptr;
  QRadioButton* vali = nullptr;
  QLabel* Label3 = nullptr;
  QProgressBar* ProgressBar1 = nullptr;
  QLabel* finish = nullptr;
  QLabel* Label1 = nullptr;
  QLineEdit* Edit1 = nullptr;
  QLabel* Label2 = nullptr;
  QLineEdit* Edit2 = nullptr;
  QPushButton* FlatSpeedButton1 = nullptr;
  QPushButton* FlatButton1 = nullptr;
  QLabel* Label5 = nullptr;
  QComboBox* FlatComboBox1 = nullptr;
  QPushButton* FlatButton2 = nullptr;
  QPushButton* FlatSpeedButton2 = nullptr;

 public slots:
  // Start-up: drop target, language list, captions, command line, default folder.
  void FormCreate(const QStringList& arguments);
  // GO: the create pass, or the verify window when "Validate" is checked.
  void FlatSpeedButton1Click();
  void FlatSpeedButton2Click();
  void FlatButton1Click();
  void FlatButton2Click();
  // Files or folders dropped on `direct`: the first one counts.
  void DropFileTarget1Drop(const QStringList& names);
  void JvBitBtn1Click();
  void FormDestroy();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void buildControls();
  void buildOptionColumn();
  void buildBottomRows();
  void fillLanguageList();
  void setCaptions();
  void setFolder(const QString& folder);
  void openVerifyWindow();

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

  QString JvSelectDirectory1Title_;
};

}  // namespace zelk::ui
