#include "ui/about_window.h"

#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "ui/widget_factory.h"

namespace zelk::ui {
namespace {

constexpr QSize kOuterSize(335, 256);
constexpr QPoint kScreenPosition(426, 315);

}  // namespace

QStringList aboutLines() {
  return {
      QStringLiteral("                Zelk SFV Utility by the Zelk SFV Utility developers"),
      QString(),
      QStringLiteral("What is Zelk SFV Utility?? Zelk SFV Utility is a "),
      QStringLiteral("crc32/md5 -checkprogram. "),
      QStringLiteral("Zelk SFV Utility create a crc32/md5 checksum. With "),
      QStringLiteral("this checksum you can verify one or more files if it "),
      QStringLiteral("change. E.G by a virus. "),
      QStringLiteral("If you don't install this program you must create a "),
      QStringLiteral("linkage to the fileextension crc with the following "),
      QStringLiteral("parameter: Zelk_SFV_Utility.EXE -v"),
      QStringLiteral("Now start Zelk SFV Utility and create a crc from a "),
      QStringLiteral("folder. EXIT Zelk SFV Utility and doubleclick on the "),
      QStringLiteral("win-crc32.crc"),
      QStringLiteral("Now start Zelk SFV Utility and check all file they "),
      QStringLiteral("was listed in this file with the file in the current folder."),
      // No web addresses: the program names none that it does not own.
      QString(),
      QString(),
      QString(),
      QString(),
      QString(),
      QString(),
  };
}

AboutWindow::AboutWindow(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("aboutWindow"));
  setWindowTitle(QStringLiteral("ABOUT"));

  aboutText = named(new QPlainTextEdit(this), "aboutText");
  aboutText->setReadOnly(true);
  aboutText->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  aboutText->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  aboutText->setPlainText(aboutLines().join(QLatin1Char('\n')));
  // The lines were broken for this face and size; a wider face breaks them twice.
  aboutText->setFont(QFont(QStringLiteral("Arial"), 8));
  QPalette palette = aboutText->palette();
  palette.setColor(QPalette::Base, palette.color(QPalette::Button));
  aboutText->setPalette(palette);

  closeButton = named(new QPushButton(QStringLiteral("Close"), this), "closeButton");
  closeButton->setAutoDefault(false);
  closeButton->setMinimumWidth(89);
  connect(closeButton, &QPushButton::clicked, this, &QDialog::accept);

  // The text grows with the window; the button stays centred below it.
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(16, 8, 22, 20);
  layout->setSpacing(15);
  layout->addWidget(aboutText);
  layout->addWidget(closeButton, 0, Qt::AlignHCenter);

  resize(classicClientSize(kOuterSize));
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    move(screen->availableGeometry().topLeft() + kScreenPosition);
  }
}

}  // namespace zelk::ui
