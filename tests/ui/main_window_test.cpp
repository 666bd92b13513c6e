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

#include <string>
#include <vector>

#include "tests/ui/main_window_fixture.h"
#include "tests/ui/shipped_languages.h"
#include "ui/blink_label.h"
#include "ui/main_window.h"

namespace zelk::ui {
namespace {

using testing::MainWindowTest;
using testing::qt;

// Control texts by the key each one shows, plus the fixed ones.
std::vector<std::pair<QString, QString>> captions(const MainWindow& window) {
  return {{"FOLDER", window.folderDialogTitle()},   {"CREATOR", window.creatorLabel->text()},
          {"COMMENT", window.commentLabel->text()},       {"GO", window.goButton->text()},
          {"ABOUT", window.aboutButton->text()},    {"Close", window.closeButton->text()},
          {"Checksum", window.actionGroup->title()}, {"Create", window.createRadio->text()},
          {"Validate", window.validateRadio->text()},        {"CRC32", window.crc32Radio->text()},
          {"MD5", window.md5Radio->text()}, {"OTHER_ALGORITHM", window.otherRadio->text()},
          {"SUBFOLDER", window.subfolderCheck->text()},
          {"fixed group", window.kindGroup->title()}, {"fixed label", window.languageLabel->text()},
          {"fixed button", window.installLanguageButton->text()}};
}

TEST_F(MainWindowTest, CaptionsWithoutLanguageFileAreTheDefaults) {
  const MainWindow window;
  const std::vector<std::pair<QString, QString>> expected = {
      {"FOLDER", "Chooce the folder"}, {"CREATOR", "CREATOR"},   {"COMMENT", "COMMENT"},
      {"GO", "GO"},                    {"ABOUT", "ABOUT"},       {"Close", "&Close"},
      {"Checksum", "Checksum"},        {"Create", "Create"},     {"Validate", "Validate"},
      {"CRC32", "CRC32 (standard)"},   {"MD5", "MD5 mode"},      {"OTHER_ALGORITHM", "Other:"},
      {"SUBFOLDER", "incl. subfolder"},
      {"fixed group", "SFV Mode"},     {"fixed label", "Language:"}, {"fixed button", "OK"}};
  EXPECT_EQ(captions(window), expected);
}

TEST_F(MainWindowTest, CaptionsComeFromTheActiveLanguageFile) {
  programFolder_.write("language.lng",
                       "[gui]\r\ngo = Start\r\nCreator=Ersteller\r\nABOUT=\r\nfolder = 'Ordner waehlen'\r\n"
                       "[PROG]\r\nGO=not a caption\r\n");
  const MainWindow window;
  EXPECT_EQ(window.goButton->text(), "Start");
  EXPECT_EQ(window.creatorLabel->text(), "Ersteller");
  EXPECT_EQ(window.aboutButton->text(), "");  // present but empty: no default
  EXPECT_EQ(window.folderDialogTitle(), "Ordner waehlen");
  EXPECT_EQ(window.commentLabel->text(), "COMMENT");
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

    const MainWindow window;
    QStringList items;
    for (int i = 0; i < window.languageCombo->count(); ++i) items.append(window.languageCombo->itemText(i));
    EXPECT_EQ(items, test.items) << test.active;
    EXPECT_EQ(window.languageCombo->currentText(), test.current) << test.active;
    EXPECT_FALSE(window.languageCombo->isEditable());
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

TEST_F(MainWindowTest, ListArgumentIsTheSecondAfterV) {
  const std::vector<std::pair<QStringList, QString>> cases = {
      {{"-v", "photos.sha256"}, "photos.sha256"},
      {{"-v", "-v.sfv", "other.md5"}, "-v.sfv"},
      {{"-v", "sub/a.sfv"}, "sub/a.sfv"},
      {{"-v"}, ""},
      {{"-v", ""}, ""},
      {{"-V", "photos.sha256"}, ""},
      {{"photos", "photos.sha256"}, ""},
      {{}, ""},
  };
  for (const auto& [arguments, expected] : cases) {
    EXPECT_EQ(listArgument(arguments), expected) << arguments.join(' ').toStdString();
  }
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
    const MainWindow window(arguments);
    EXPECT_EQ(window.folderEdit->text(), expected) << arguments.join(' ').toStdString();
  }
}

TEST_F(MainWindowTest, WindowStartsWithItsDefaults) {
  const MainWindow window;
  EXPECT_EQ(window.windowTitle(), "Zelk SFV Utility - by the Zelk developers - version 1.02");
  EXPECT_EQ(window.minimumSize(), window.maximumSize());
  EXPECT_FALSE(window.windowFlags() & Qt::WindowMaximizeButtonHint);
  EXPECT_TRUE(window.windowFlags() & Qt::WindowMinimizeButtonHint);
  EXPECT_FALSE(window.windowIcon().isNull());
  EXPECT_EQ(window.focusWidget(), window.subfolderCheck);

  EXPECT_TRUE(window.crc32Radio->isChecked());
  EXPECT_FALSE(window.md5Radio->isChecked());
  EXPECT_FALSE(window.otherRadio->isChecked());
  EXPECT_TRUE(window.createRadio->isChecked());
  EXPECT_FALSE(window.validateRadio->isChecked());
  EXPECT_FALSE(window.subfolderCheck->isChecked());
  EXPECT_TRUE(window.resultMemo->isReadOnly());
  EXPECT_EQ(window.resultMemo->lineWrapMode(), QPlainTextEdit::NoWrap);
  EXPECT_TRUE(window.fileProgress->isHidden());
  EXPECT_EQ(window.fileProgress->minimum(), 0);
  EXPECT_EQ(window.fileProgress->maximum(), 100);
  EXPECT_EQ(window.fileProgress->geometry(), window.timeLabel->geometry());
  EXPECT_TRUE(window.overallProgress->isHidden());
  EXPECT_TRUE(window.overallProgress->geometry().contains(window.completionLabel->geometry()));
  EXPECT_TRUE(window.timeLabel->text().isEmpty());
  EXPECT_TRUE(window.completionLabel->text().isEmpty());
  EXPECT_TRUE(window.folderEdit->acceptDrops());
  EXPECT_FALSE(window.creatorEdit->acceptDrops());
  EXPECT_FALSE(window.commentEdit->acceptDrops());
  EXPECT_TRUE(window.completionLabel->isHidden()) << "first shown one blink after start-up";
}

TEST_F(MainWindowTest, EveryControlHasAName) {
  const MainWindow window;
  QStringList names;
  for (const QWidget* control : window.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    names.append(control->objectName());
  }
  for (const QWidget* item : window.kindGroup->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    names.append(item->objectName());
  }
  for (const QWidget* item : window.actionGroup->findChildren<QRadioButton*>()) names.append(item->objectName());
  EXPECT_FALSE(names.contains(QString())) << names.join(' ').toStdString();
  EXPECT_TRUE(names.contains("goButton"));
  EXPECT_TRUE(names.contains("otherAlgorithmCombo"));
  EXPECT_TRUE(names.contains("aboutWindow"));
  EXPECT_EQ(window.objectName(), "mainWindow");
}

// Every control of `window` lies inside it, and none overlaps another but
// the bars that lie over their labels.
void expectControlsInsideWithoutOverlapping(const MainWindow& window) {
  QList<QWidget*> controls = window.findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
  controls.removeIf([](const QWidget* child) { return child->isWindow(); });  // the about window
  for (const QWidget* control : controls) {
    EXPECT_TRUE(window.rect().contains(control->geometry())) << control->metaObject()->className();
    for (const QWidget* other : controls) {
      const auto isPair = [&](const QWidget* one, const QWidget* two) {
        return (control == one && other == two) || (control == two && other == one);
      };
      const bool barOverLabel = isPair(window.fileProgress, window.timeLabel) ||
                                isPair(window.overallProgress, window.completionLabel);
      if (control == other || barOverLabel) continue;
      EXPECT_FALSE(control->geometry().intersects(other->geometry()))
          << control->metaObject()->className() << " / " << other->metaObject()->className();
    }
  }
}

TEST_F(MainWindowTest, ControlsLieInsideTheWindowWithoutOverlapping) {
  const MainWindow window;
  expectControlsInsideWithoutOverlapping(window);
}

TEST_F(MainWindowTest, OtherAlgorithmsAreOfferedBesideTheirRadioButton) {
  const MainWindow window;
  QStringList items;
  for (int i = 0; i < window.otherAlgorithmCombo->count(); ++i) items.append(window.otherAlgorithmCombo->itemText(i));
  EXPECT_EQ(items, (QStringList{"SHA-1", "SHA-256", "SHA-512", "BLAKE3", "XXH128"}));
  EXPECT_EQ(window.otherAlgorithmCombo->currentIndex(), 0);
  EXPECT_FALSE(window.otherAlgorithmCombo->isEditable());
  EXPECT_EQ(window.otherAlgorithmCombo->parentWidget(), window.kindGroup);
  EXPECT_EQ(window.otherRadio->parentWidget(), window.kindGroup);
}

// The shipped languages, and captions longer than the option column holds:
// the window grows and cuts none of them.
TEST_F(MainWindowTest, KindAndOptionCaptionsShowWholeInEveryLanguage) {
  std::vector<std::string> languageFiles = testing::shippedLanguageFiles();
  languageFiles.push_back("[GUI]\r\nOTHER_ALGORITHM=Un autre algorithme :\r\nCRC32=CRC32 (la somme de contrôle standard)\r\n");
  for (const std::string& languageFile : languageFiles) {
    SCOPED_TRACE(languageFile.substr(0, 60));
    programFolder_.write("language.lng", languageFile);
    const MainWindow window;
    const QGroupBox* group = window.kindGroup;
    QList<QWidget*> items = group->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    items.append(window.actionGroup->findChildren<QWidget*>(Qt::FindDirectChildrenOnly));
    for (const QWidget* item : items) {
      EXPECT_GE(item->width(), item->sizeHint().width()) << item->objectName().toStdString();
      EXPECT_TRUE(item->parentWidget()->rect().contains(item->geometry())) << item->objectName().toStdString();
    }
    EXPECT_GE(window.subfolderCheck->width(), window.subfolderCheck->sizeHint().width());
    EXPECT_LT(window.otherRadio->geometry().right(), window.otherAlgorithmCombo->x());
    EXPECT_EQ(window.otherRadio->geometry().center().y(), window.otherAlgorithmCombo->geometry().center().y());
    EXPECT_GT(window.otherRadio->y(), window.crc32Radio->geometry().bottom());
    EXPECT_EQ(window.minimumSize(), window.maximumSize());
    EXPECT_EQ(window.goButton->geometry().right(), window.kindGroup->geometry().right());
    expectControlsInsideWithoutOverlapping(window);
  }
}

TEST_F(MainWindowTest, LongFieldCaptionsPushTheFieldsRightUncut) {
  programFolder_.write("language.lng", "[GUI]\r\nCREATOR=Ersteller der Liste\r\nCOMMENT=COMMENTAIRE\r\n");
  const MainWindow window;
  for (const QLabel* label : {window.creatorLabel, window.commentLabel}) {
    EXPECT_GE(label->width(), label->sizeHint().width()) << label->text().toStdString();
  }
  EXPECT_GT(window.creatorEdit->x(), window.creatorLabel->geometry().right());
  EXPECT_EQ(window.commentEdit->geometry(), window.creatorEdit->geometry().translated(0, 30));
  EXPECT_LT(window.creatorEdit->geometry().right(), window.goButton->x());
}

TEST_F(MainWindowTest, CloseButtonClosesTheWindow) {
  MainWindow window;
  window.show();
  ASSERT_TRUE(window.isVisible());
  window.closeButton->click();
  EXPECT_FALSE(window.isVisible());
}

}  // namespace
}  // namespace zelk::ui
