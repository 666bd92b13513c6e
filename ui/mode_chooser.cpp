#include "ui/mode_chooser.h"

#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>

#include "ui/widget_factory.h"

namespace zelk::ui {
namespace {

constexpr QSize kOkButtonSize(75, 25);

}  // namespace

// Laid out by the style rather than at fixed places, so that the group's
// frame clears its items and the whole title shows at any scale.
ModeChooser::ModeChooser(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
  setObjectName(QStringLiteral("modeChooser"));
  setWindowTitle(QStringLiteral("CRC32/MD5 Mode"));

  modeGroup = named(new QGroupBox(QStringLiteral("CRC32/MD5 check"), this), "modeGroup");
  automaticItem = named(new QRadioButton(QStringLiteral("Automatic"), modeGroup), "automaticItem");
  crc32Item = named(new QRadioButton(QStringLiteral("CRC32"), modeGroup), "crc32Item");
  md5Item = named(new QRadioButton(QStringLiteral("MD5"), modeGroup), "md5Item");
  automaticItem->setChecked(true);
  auto* items = new QVBoxLayout(modeGroup);
  for (QRadioButton* item : {automaticItem, crc32Item, md5Item}) items->addWidget(item);

  okButton = named(new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), QStringLiteral("OK"), this),
                   "okButton");
  okButton->setMinimumSize(kOkButtonSize);
  okButton->setDefault(true);
  connect(okButton, &QPushButton::clicked, this, &QDialog::accept);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(24, 8, 24, 12);
  layout->setSpacing(15);
  layout->addWidget(modeGroup);
  layout->addWidget(okButton, 0, Qt::AlignHCenter);
  setFixedSize(std::max(sizeHint().width(), titleBarWidth(*this, windowTitle())), sizeHint().height());
}

std::optional<listfile::ChecksumMode> ModeChooser::ask(QWidget* parent) {
  ModeChooser chooser(parent);
  chooser.centreOnScreen();
  if (chooser.exec() != QDialog::Accepted) return std::nullopt;
  return chooser.selectedMode();
}

bool ModeChooser::asksAbout(std::string_view listPath) {
  const listfile::ListDialect* dialect = listfile::DialectOfListName(listPath.substr(listPath.rfind('/') + 1));
  if (dialect == nullptr) return true;
  switch (dialect->rule) {
    case listfile::LineRule::ByShape:
    case listfile::LineRule::Md5Lines: return true;
    case listfile::LineRule::OwnKind: break;
  }
  return false;
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
  QRect frame(QPoint(0, 0), frameSize());
  frame.moveCenter(screen->availableGeometry().center());
  // A window's position is that of its frame; setting it also keeps QDialog
  // from placing the chooser over its parent instead.
  move(frame.topLeft());
}

}  // namespace zelk::ui
