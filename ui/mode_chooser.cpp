#include "ui/mode_chooser.h"

#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>

#include "ui/widget_factory.h"

namespace zelk::ui {
namespace {

// The window's outer size; the client area is what remains inside a classic
// frame (4 pixels each side, a 19 pixel title bar).
constexpr QSize kOuterSize(195, 156);
constexpr QSize kClientSize = classicClientSize(kOuterSize);

constexpr int kItemLeft = 8;
constexpr int kFirstItemTop = 15;
constexpr int kItemHeight = 17;

}  // namespace

TForm5::TForm5(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("CRC32/MD5 Mode"));
  setFixedSize(kClientSize);

  RadioGroup1 = new QGroupBox(QStringLiteral("CRC32/MD5 check"), this);
  RadioGroup1->setGeometry(24, 8, 121, 73);
  const QRect firstItem(kItemLeft, kFirstItemTop, RadioGroup1->width() - 2 * kItemLeft, kItemHeight);
  automaticItem = makeRadio(RadioGroup1, QStringLiteral("Automatic"), firstItem, 0);
  crc32Item = makeRadio(RadioGroup1, QStringLiteral("CRC32"), firstItem, 1);
  md5Item = makeRadio(RadioGroup1, QStringLiteral("MD5"), firstItem, 2);
  automaticItem->setChecked(true);

  BitBtn1 = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), QStringLiteral("OK"), this);
  BitBtn1->setGeometry(48, 96, 75, 25);
  BitBtn1->setDefault(true);
  connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
}

std::optional<listfile::ChecksumMode> TForm5::ask(QWidget* parent) {
  TForm5 chooser(parent);
  chooser.centreOnScreen();
  if (chooser.exec() != QDialog::Accepted) return std::nullopt;
  return chooser.selectedMode();
}

listfile::ChecksumMode TForm5::selectedMode() const {
  if (md5Item->isChecked()) return listfile::ChecksumMode::Md5;
  if (crc32Item->isChecked()) return listfile::ChecksumMode::Crc32;
  return listfile::ChecksumMode::Automatic;
}

void TForm5::keyPressEvent(QKeyEvent* event) {
  // Without a cancel button Escape has nothing to press; QDialog would reject.
  if (event->key() == Qt::Key_Escape) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

void TForm5::centreOnScreen() {
  const QScreen* screen = parentWidget() != nullptr ? parentWidget()->screen() : QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  QRect frame(QPoint(0, 0), kOuterSize);
  frame.moveCenter(screen->availableGeometry().center());
  // A window's position is that of its frame; setting it also keeps QDialog
  // from placing the chooser over its parent instead.
  move(frame.topLeft());
}

}  // namespace zelk::ui
