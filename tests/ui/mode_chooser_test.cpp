#include "ui/mode_chooser.h"

#include <QApplication>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/ui/modal_answers.h"

namespace zelk::ui {
namespace {

using listfile::ChecksumMode;
using modal::whenChooserOpens;

// Key presses go where the user's would: to the widget holding the focus.
QWidget* keyTarget(ModeChooser& chooser) {
  QWidget* focus = chooser.focusWidget();
  return focus != nullptr ? focus : &chooser;
}

TEST(ModeChooser, OpensWithFixedTextsAutomaticCheckedAndOkAsDefault) {
  ModeChooser chooser;
  EXPECT_EQ(chooser.windowTitle(), "CRC32/MD5 Mode");
  EXPECT_EQ(chooser.okButton->objectName(), "okButton");
  EXPECT_EQ(chooser.modeGroup->title(), "CRC32/MD5 check");
  EXPECT_EQ(chooser.automaticItem->text(), "Automatic");
  EXPECT_EQ(chooser.crc32Item->text(), "CRC32");
  EXPECT_EQ(chooser.md5Item->text(), "MD5");
  EXPECT_TRUE(chooser.automaticItem->isChecked());
  EXPECT_FALSE(chooser.crc32Item->isChecked());
  EXPECT_FALSE(chooser.md5Item->isChecked());
  EXPECT_EQ(chooser.selectedMode(), ChecksumMode::Automatic);

  EXPECT_EQ(chooser.okButton->text(), "OK");
  EXPECT_TRUE(chooser.okButton->isDefault());
  EXPECT_FALSE(chooser.okButton->icon().isNull());
  EXPECT_EQ(chooser.minimumSize(), chooser.maximumSize());
}

TEST(ModeChooser, EveryControlShowsWholeAndTheTitleHasRoom) {
  ModeChooser chooser;
  chooser.show();
  const QGroupBox* group = chooser.modeGroup;
  const int titleBottom = group->fontMetrics().height();
  QRect previous(0, 0, 0, titleBottom);
  for (const QRadioButton* item : {chooser.automaticItem, chooser.crc32Item, chooser.md5Item}) {
    EXPECT_GE(item->y(), previous.bottom() + 1) << item->text().toStdString() << ": below the title and the item above";
    EXPECT_GE(item->width(), item->sizeHint().width()) << item->text().toStdString();
    EXPECT_LT(item->geometry().bottom(), group->height()) << item->text().toStdString();
    previous = item->geometry();
  }
  EXPECT_GE(group->width(), group->fontMetrics().horizontalAdvance(group->title()));
  EXPECT_GT(chooser.okButton->y(), group->geometry().bottom());
  EXPECT_GE(chooser.okButton->size().width(), 75);
  EXPECT_TRUE(chooser.rect().contains(group->geometry()));
  EXPECT_TRUE(chooser.rect().contains(chooser.okButton->geometry()));
  // A window manager's title bar holds the title beside an icon and a close box.
  EXPECT_GT(chooser.width(), chooser.fontMetrics().horizontalAdvance(chooser.windowTitle()) + 64);
  chooser.close();
}

TEST(ModeChooser, EnterConfirmsAutomatic) {
  whenChooserOpens([](ModeChooser& chooser) { QTest::keyClick(keyTarget(chooser), Qt::Key_Return); });
  EXPECT_EQ(ModeChooser::ask(nullptr), ChecksumMode::Automatic);
}

TEST(ModeChooser, EscapeLeavesTheChooserOpen) {
  ModeChooser chooser;
  bool openAfterEscape = false;
  QTimer::singleShot(0, [&] {
    QTest::keyClick(keyTarget(chooser), Qt::Key_Escape);
    openAfterEscape = chooser.isVisible();
    chooser.okButton->click();
  });
  chooser.exec();
  EXPECT_TRUE(openAfterEscape);
}

TEST(ModeChooser, CloseBoxDeclines) {
  whenChooserOpens([](ModeChooser& chooser) { chooser.close(); });
  EXPECT_EQ(ModeChooser::ask(nullptr), std::nullopt);
}

TEST(ModeChooser, OkGivesTheClickedItemsMode) {
  const struct {
    QRadioButton* ModeChooser::*item;
    ChecksumMode expected;
  } cases[] = {
      {&ModeChooser::automaticItem, ChecksumMode::Automatic},
      {&ModeChooser::crc32Item, ChecksumMode::Crc32},
      {&ModeChooser::md5Item, ChecksumMode::Md5},
  };
  for (const auto& c : cases) {
    // Leave another item checked first, so a click that is lost shows.
    whenChooserOpens([&c](ModeChooser& chooser) {
      (c.item == &ModeChooser::md5Item ? chooser.crc32Item : chooser.md5Item)->setChecked(true);
      QRadioButton* item = chooser.*c.item;
      QTest::mouseClick(item, Qt::LeftButton, {}, QPoint(6, item->height() / 2));
      QTest::mouseClick(chooser.okButton, Qt::LeftButton);
    });
    EXPECT_EQ(ModeChooser::ask(nullptr), c.expected) << static_cast<int>(c.expected);
  }
}

TEST(ModeChooser, IsAskedWhereItsModesDecideHowTheLinesAreRead) {
  const std::vector<std::pair<std::string, bool>> cases = {
      {"", true},  // no list: asked as ever, then an empty report
      {"a.sfv", true},         {"A.SFV", true},           {"x.md5", true},        {"MD5SUMS", true},
      {"sub/SHA256SUMS", false}, {"notes.txt", true},       {"sfv", true},          {"x.sha256", false},
      {"SHA1SUMS", false},     {"x.Sha512Sum", false},    {"x.b3", false},        {"x.xxh128", false},
      {"/data/x.blake3", false}, {"x.sha256/a.sfv", true}, {"a.sfv/x.sha256", false},
  };
  for (const auto& [listPath, asked] : cases) {
    EXPECT_EQ(ModeChooser::asksAbout(listPath), asked) << listPath;
  }
}

TEST(ModeChooser, OpensCentredOnTheScreen) {
  QPoint offset;
  whenChooserOpens([&offset](ModeChooser& chooser) {
    offset = chooser.frameGeometry().center() - chooser.screen()->availableGeometry().center();
    chooser.okButton->click();
  });
  ModeChooser::ask(nullptr);
  // The frame is estimated before the window manager draws it.
  EXPECT_LE(offset.manhattanLength(), 30) << offset.x() << "," << offset.y();
}

}  // namespace
}  // namespace zelk::ui
