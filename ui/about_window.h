#pragma once
// The about window: a fixed text about the program and its use. Its texts are
// never taken from the language file.

#include <QDialog>
#include <QStringList>

class QPlainTextEdit;
class QPushButton;

namespace zelk::ui {

// The 21 lines of the about text, trailing blanks included.
QStringList aboutLines();

// Made once at start-up and shown modally again and again: the scroll
// position of its text and any size the user gave it stay from one showing
// to the next. Its button and its close box both close it.
class AboutWindow : public QDialog {
  Q_OBJECT
 public:
  explicit AboutWindow(QWidget* parent = nullptr);

  QPlainTextEdit* aboutText = nullptr;
  QPushButton* closeButton = nullptr;
};

}  // namespace zelk::ui
