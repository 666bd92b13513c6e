// The main window's start-up: captions, language list, command line, the
// window itself; and the two other ways to a folder: drop and browse.

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QUrl>

#include "tests/ui/main_window_fixture.h"
#include "ui/main_window.h"

namespace zelk::ui {
namespace {

using testing::MainWindowTest;
using testing::qt;

// Control texts by the key each one shows, plus the fixed ones.
std::vector<std::pair<QString, QString>> captions(const TForm1& window) {
  return {{"FOLDER", window.folderDialogTitle()},   {"CREATOR", window.Label1->text()},
          {"COMMENT", window.Label2->text()},       {"GO", window.FlatSpeedButton1->text()},
          {"ABOUT", window.FlatButton1->text()},    {"Close", window.FlatSpeedButton2->text()},
          {"Checksum", window.FlatGroupBox1->title()}, {"Create", window.FlatRadioButton1->text()},
          {"Validate", window.vali->text()},        {"CRC32", window.FlatRadioButton3->text()},
          {"MD5", window.FlatRadioButton2->text()}, {"SUBFOLDER", window.FlatCheckBox1->text()},
          {"fixed group", window.FlatGroupBox2->title()}, {"fixed label", window.Label5->text()},
          {"fixed button", window.FlatButton2->text()}};
}

TEST_F(MainWindowTest, CaptionsWithoutLanguageFileAreTheDefaults) {
  const TForm1 window;
  const std::vector<std::pair<QString, QString>> expected = {
      {"FOLDER", "Chooce the folder"}, {"CREATOR", "CREATOR"},   {"COMMENT", "COMMENT"},
      {"GO", "GO"},                    {"ABOUT", "ABOUT"},       {"Close", "&Close"},
      {"Checksum", "Checksum"},        {"Create", "Create"},     {"Validate", "Validate"},
      {"CRC32", "CRC32 (standard)"},   {"MD5", "MD5 mode"},      {"SUBFOLDER", "incl. subfolder"},
      {"fixed group", "SFV Mode"},     {"fixed label", "Language:"}, {"fixed button", "OK"}};
  EXPECT_EQ(captions(window), expected);
}

TEST_F(MainWindowTest, CaptionsComeFromTheActiveLanguageFile) {
  programFolder_.write("language.lng",
                       "[gui]\r\ngo = Start\r\nCreator=Ersteller\r\nABOUT=\r\nfolder = 'Ordner waehlen'\r\n"
                       "[PROG]\r\nGO=not a caption\r\n");
  const TForm1 window;
  EXPECT_EQ(window.FlatSpeedButton1->text(), "Start");
  EXPECT_EQ(window.Label1->text(), "Ersteller");
  EXPECT_EQ(window.FlatButton1->text(), "");  // present but empty: no default
  EXPECT_EQ(window.folderDialogTitle(), "Ordner waehlen");
  EXPECT_EQ(window.Label2->text(), "COMMENT");
}

TEST_F(MainWindowTest, LanguageListIsSortedAndSelectsTheActiveLanguage) {
  struct Case {
    std::vector<std::string> files;
    std::string active;  // empty: no language.lng
    QStringList items;
    QString current;
  };
  const std::vector<Case> cases = {
      {{"deutsch.lng", "English.lng", "alt.lng"}, "", {"alt", "deutsch", "English"}, "English"},
      {{"German.lng", "english.lng"}, "ENGLISH", {"english", "German"}, "english"},
      {{"German.lng", "english.lng"}, "English", {"english", "German"}, "english"},
      {{"German.lng", "pt.br.lng", "readme.txt"}, "french", {"German", "pt.br"}, ""},
      {{}, "", {}, ""},
  };
  for (const Case& test : cases) {
    const testing::TempFolder folder;
    platform::setProgramFolderForTesting(folder.path());
    for (const std::string& file : test.files) folder.write("language/" + file, "[LANGUAGE]\r\n");
    if (!test.active.empty()) folder.write("language.lng", "[LANGUAGE]\r\nLANGUAGE=" + test.active + "\r\n");

    const TForm1 window;
    QStringList items;
    for (int i = 0; i < window.FlatComboBox1->count(); ++i) items.append(window.FlatComboBox1->itemText(i));
    EXPECT_EQ(items, test.items) << test.active;
    EXPECT_EQ(window.FlatComboBox1->currentText(), test.current) << test.active;
    EXPECT_FALSE(window.FlatComboBox1->isEditable());
  }
}

TEST_F(MainWindowTest, StartActionLooksAtTheFirstArgumentOnly) {
  EXPECT_EQ(startAction({"-v"}), StartAction::VerifyCurrentDirectory);
  EXPECT_EQ(startAction({"-v", "/tmp"}), StartAction::VerifyCurrentDirectory);
  EXPECT_EQ(startAction({"-V"}), StartAction::OpenMainWindow);
  EXPECT_EQ(startAction({"/tmp", "-v"}), StartAction::OpenMainWindow);
  EXPECT_EQ(startAction({"--v"}), StartAction::OpenMainWindow);
  EXPECT_EQ(startAction({}), StartAction::OpenMainWindow);
}

TEST_F(MainWindowTest, CommandLineFolderOrTheProgramFolder) {
  const std::string data = work_.makeFolder("data");
  const std::string list = work_.write("data/data.sfv", "a.txt cbf43926\r\n");
  const QString programFolder = qt(programFolder_.path());
  const QString dataFolder = qt(work_.path() + "data/");
  const std::vector<std::pair<QStringList, QString>> cases = {
      {{}, programFolder},
      {{"-v"}, programFolder},
      {{"-V"}, programFolder},  // no folder of that name
      {{qt(work_.path() + "data")}, dataFolder},
      {{dataFolder}, dataFolder},
      {{"data"}, dataFolder},  // relative to the start directory
      {{qt(list)}, programFolder},
      {{qt(work_.path() + "missing")}, programFolder},
      {{"-V", dataFolder}, programFolder},
  };
  for (const auto& [arguments, expected] : cases) {
    const TForm1 window(arguments);
    EXPECT_EQ(window.direct->text(), expected) << arguments.join(' ').toStdString();
  }
}

TEST_F(MainWindowTest, WindowStartsWithItsDefaults) {
  const TForm1 window;
  EXPECT_EQ(window.windowTitle(), "Zelk SFV Utility - by the Zelk developers - version 1.02");
  EXPECT_EQ(window.minimumSize(), window.maximumSize());
  EXPECT_FALSE(window.windowFlags() & Qt::WindowMaximizeButtonHint);
  EXPECT_TRUE(window.windowFlags() & Qt::WindowMinimizeButtonHint);
  EXPECT_FALSE(window.windowIcon().isNull());
  EXPECT_EQ(window.focusWidget(), window.FlatCheckBox1);

  EXPECT_TRUE(window.FlatRadioButton3->isChecked());
  EXPECT_FALSE(window.FlatRadioButton2->isChecked());
  EXPECT_TRUE(window.FlatRadioButton1->isChecked());
  EXPECT_FALSE(window.vali->isChecked());
  EXPECT_FALSE(window.FlatCheckBox1->isChecked());
  EXPECT_TRUE(window.Memo1->isReadOnly());
  EXPECT_EQ(window.Memo1->lineWrapMode(), QPlainTextEdit::NoWrap);
  EXPECT_TRUE(window.ProgressBar1->isHidden());
  EXPECT_EQ(window.ProgressBar1->minimum(), 0);
  EXPECT_EQ(window.ProgressBar1->maximum(), 100);
  EXPECT_EQ(window.ProgressBar1->geometry(), window.Label3->geometry());
  EXPECT_TRUE(window.Label3->text().isEmpty());
  EXPECT_TRUE(window.finish->text().isEmpty());
  EXPECT_TRUE(window.direct->acceptDrops());
}

TEST_F(MainWindowTest, ControlsLieInsideTheWindowWithoutOverlapping) {
  const TForm1 window;
  const QList<QWidget*> controls = window.findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
  for (const QWidget* control : controls) {
    EXPECT_TRUE(window.rect().contains(control->geometry())) << control->metaObject()->className();
    for (const QWidget* other : controls) {
      const bool barOverTimeLabel = (control == window.ProgressBar1 && other == window.Label3) ||
                                    (control == window.Label3 && other == window.ProgressBar1);
      if (control == other || barOverTimeLabel) continue;
      EXPECT_FALSE(control->geometry().intersects(other->geometry()))
          << control->metaObject()->className() << " / " << other->metaObject()->className();
    }
  }
}

TEST_F(MainWindowTest, CloseButtonClosesTheWindow) {
  TForm1 window;
  window.show();
  ASSERT_TRUE(window.isVisible());
  window.FlatSpeedButton2->click();
  EXPECT_FALSE(window.isVisible());
}

}  // namespace
}  // namespace zelk::ui
