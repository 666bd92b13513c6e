// The about window: its fixed text, and one instance shown again and again.

#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <gtest/gtest.h>

#include "tests/ui/main_window_fixture.h"
#include "ui/about_window.h"
#include "ui/main_window.h"

namespace zelk::ui {
namespace {

using testing::MainWindowTest;

TEST(AboutWindow, ShowsTheFixedTextLineForLine) {
  const QStringList lines = aboutLines();
  ASSERT_EQ(lines.size(), 21);
  const std::pair<int, const char*> quoted[] = {
      {3, "What is Zelk SFV Utility?? Zelk SFV Utility is a "},
      {4, "crc32/md5 -checkprogram. "},
      {5, "Zelk SFV Utility create a crc32/md5 checksum. With "},
      {6, "this checksum you can verify one or more files if it "},
      {7, "change. E.G by a virus. "},
      {8, "If you don't install this program you must create a "},
      {9, "linkage to the fileextension crc with the following "},
      {10, "parameter: Zelk_SFV_Utility.EXE -v"},
      {11, "Now start Zelk SFV Utility and create a crc from a "},
      {12, "folder. EXIT Zelk SFV Utility and doubleclick on the "},
      {13, "win-crc32.crc"},
      {14, "Now start Zelk SFV Utility and check all file they "},
      {15, "was listed in this file with the file in the current folder."},
  };
  for (const auto& [number, text] : quoted) EXPECT_EQ(lines[number - 1], text) << "line " << number;
  EXPECT_TRUE(lines[0].startsWith(QString(16, QLatin1Char(' ')) + "Zelk SFV Utility"));
  EXPECT_TRUE(lines[0].contains("the Zelk SFV Utility developers"));
  for (const int empty : {2, 16, 21}) EXPECT_TRUE(lines[empty - 1].isEmpty()) << "line " << empty;
  for (const QString& line : lines) EXPECT_FALSE(line.contains("://") || line.contains("www.")) << line.toStdString();

  const AboutWindow window;
  EXPECT_EQ(window.windowTitle(), "ABOUT");
  EXPECT_EQ(window.aboutText->toPlainText(), lines.join('\n'));
  EXPECT_TRUE(window.aboutText->isReadOnly());
  EXPECT_EQ(window.aboutText->lineWrapMode(), QPlainTextEdit::WidgetWidth);
  EXPECT_EQ(window.closeButton->text(), "Close");
}

TEST_F(MainWindowTest, AboutShowsOneWindowModallyKeepingItsScrollAndSize) {
  programFolder_.write("language.lng", "[GUI]\r\nABOUT=Info\r\nClose=Schliessen\r\n");
  MainWindow window;
  window.show();
  QStringList texts;
  QList<QSize> sizes;
  QList<int> scrolls;
  // Resized and closed by its button; scrolled and closed by its close box;
  // looked at once more.
  modals_.setHandler([&](QWidget* modal) {
    ASSERT_EQ(modal, window.aboutWindow);
    QScrollBar* scroll = window.aboutWindow->aboutText->verticalScrollBar();
    texts.append(window.aboutWindow->aboutText->toPlainText());
    sizes.append(modal->size());
    scrolls.append(scroll->value());
    if (texts.size() == 1) {
      modal->resize(modal->size() + QSize(40, 30));
      window.aboutWindow->closeButton->click();
      return;
    }
    if (texts.size() == 2) scroll->setValue(3);
    modal->close();
  });
  for (int showing = 0; showing < 3; ++showing) {
    window.aboutButton->click();
    EXPECT_FALSE(window.aboutWindow->isVisible());
  }

  ASSERT_EQ(texts.size(), 3);
  EXPECT_EQ(texts[0], aboutLines().join('\n')) << "nothing from the language file";
  EXPECT_EQ(texts[1], texts[0]);
  EXPECT_EQ(sizes[1], sizes[0] + QSize(40, 30));
  EXPECT_EQ(scrolls[2], 3);
}

}  // namespace
}  // namespace zelk::ui
