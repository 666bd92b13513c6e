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

ModeChooser::ModeChooser(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("CRC32/MD5 Mode"));
  setFixedSize(kClientSize);

  modeGroup = new QGroupBox(QStringLiteral("CRC32/MD5 check"), this);
  modeGroup->setGeometry(24, 8, 121, 73);
  const QRect firstItem(kItemLeft, kFirstItemTop, modeGroup->width() - 2 * kItemLeft, kItemHeight);
  automaticItem = makeRadio(modeGroup, QStringLiteral("Automatic"), firstItem, 0);
  crc32Item = makeRadio(modeGroup, QStringLiteral("CRC32"), firstItem, 1);
  md5Item = makeRadio(modeGroup, QStringLiteral("MD5"), firstItem, 2);
  automaticItem->setChecked(true);

  okButton = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), QStringLiteral("OK"), this);
  okButton->setGeometry(48, 96, 75, 25);
  okButton->setDefault(true);
  connect(okButton, &QPushButton::clicked, this, &QDialog::accept);
}

std::optional<listfile::ChecksumMode> ModeChooser::ask(QWidget* parent) {
  ModeChooser chooser(parent);
  chooser.centreOnScreen();
  if (chooser.exec() != QDialog::Accepted) return std::nullopt;
  return chooser.selectedMode();
}

listfile::ChecksumMode ModeChooser::selectedMode() const {
  if (md5Item->isChecked()) return listfile::ChecksumMode::Md5;
  if (crc32Item->isChecked()) return listfile::ChecksumMode::Crc32;
  return listfile::ChecksumMode::Automatic;
}

void ModeChooser::keyPressEvent(QKeyEvent* event) {
  // Without a cancel button Escape has nothing to press; QDialog would reject.
  if (event->key() == Qt::Key_Escape) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

void ModeChooser::centreOnScreen() {
  const QScreen* screen = parentWidget() != nullptr ? parentWidget()->screen() : QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  QRect frame(QPoint(0, 0), kOuterSize);
  frame.moveCenter(screen->availableGeometry().center());
  // A window's position is that of its frame; setting it also keeps QDialog
  // from placing the chooser over its parent instead.
  move(frame.topLeft());
}

}  // namespace zelk::ui
