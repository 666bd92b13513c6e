// Installing a language from the main window: the boxes it shows, and which
// texts change at once.

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

#include "language/texts.h"
#include "tests/ui/main_window_fixture.h"
#include "tests/ui/modal_answers.h"
#include "ui/main_window.h"

namespace zelk::ui {
namespace {

using testing::LanguageFolders;
using testing::MainWindowTest;

const std::string kGerman = "[LANGUAGE]\r\nLANGUAGE=german\r\n[GUI]\r\nGO=START\r\n[PROG]\r\nCHECKSUM_FINISH=Fertig\r\n";
const std::string kFrench = "[LANGUAGE]\r\nLANGUAGE=french\r\n[GUI]\r\nGO=LANCER\r\n";

class LanguageInstallTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    programFolder_.write("language/german.lng", kGerman);
    programFolder_.write("language/french.lng", kFrench);
    programFolder_.makeFolder("language/old.lng");
  }

  // Chooses `name` in the language list, presses OK and says what box showed.
  modal::ShownMessage install(MainWindow& window, const QString& name) {
    window.languageCombo->setCurrentIndex(window.languageCombo->findText(name));
    modal::ShownMessage seen;
    modals_.setHandler(modal::recordMessageBox(seen));
    window.installLanguageButton->click();
    modals_.setHandler(nullptr);
    return seen;
  }

  std::string userFile() const { return languages_.userConfig().read(LanguageFolders::kUserLanguageFile); }
};

TEST_F(LanguageInstallTest, InstalledLanguageSpeaksAtOnceButNotInTheCaptions) {
  MainWindow window;
  const modal::ShownMessage seen = install(window, "german");
  EXPECT_TRUE(seen.shown);
  EXPECT_EQ(seen.title, "Zelk SFV Utility");
  EXPECT_EQ(seen.text, "Please restart the program");
  EXPECT_EQ(seen.icon, QMessageBox::NoIcon);
  EXPECT_TRUE(seen.onlyOk);
  EXPECT_EQ(userFile(), kGerman);
  EXPECT_EQ(window.goButton->text(), "GO") << "captions wait for the next start";
  EXPECT_EQ(language::translated(language::texts::ChecksumFinish), "Fertig");

  const MainWindow restarted;
  EXPECT_EQ(restarted.goButton->text(), "START");
  EXPECT_EQ(restarted.languageCombo->currentText(), "german");
}

TEST_F(LanguageInstallTest, FailedInstallSaysSoAndKeepsTheActiveFile) {
  languages_.userConfig().write(LanguageFolders::kUserLanguageFile, kFrench);
  for (const QString& name : {QStringLiteral("old"), QString()}) {
    MainWindow window;
    const modal::ShownMessage seen = install(window, name);
    EXPECT_TRUE(seen.shown) << name.toStdString();
    EXPECT_EQ(seen.title, "Description");
    EXPECT_EQ(seen.text, "Can not copy the language file.\nThe folder language and the language files not exists");
    EXPECT_EQ(seen.icon, QMessageBox::Critical);
    EXPECT_TRUE(seen.onlyOk);
    EXPECT_EQ(userFile(), kFrench) << name.toStdString();
  }
}

}  // namespace
}  // namespace zelk::ui
