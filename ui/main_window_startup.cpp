// The main window's start-up (language list, captions and the room they take, command line,
// default folder) and its drop target: everything that puts a first folder into `folderEdit`.

#include <QCheckBox>
#include <QComboBox>
#include <QDropEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QUrl>
#include <algorithm>
#include <initializer_list>
#include <utility>

#include "language/active_language.h"
#include "language/language_list.h"
#include "language/texts.h"
#include "platform/directory.h"
#include "ui/main_window.h"
#include "ui/message_box.h"
#include "ui/program_identity.h"
#include "ui/qt_text.h"

namespace zelk::ui {
namespace {

namespace texts = language::texts;

QString caption(const language::LanguageText& text) { return toQt(language::translated(text)); }

// The local files and folders of a drag, in the order the source gave them.
QStringList droppedNames(const QMimeData* data) {
  QStringList names;
  if (data == nullptr || !data->hasUrls()) return names;
  for (const QUrl& url : data->urls()) {
    if (url.isLocalFile()) names.append(url.toLocalFile());
  }
  return names;
}

bool acceptsDrag(const QDropEvent* event) {
  return (event->possibleActions() & Qt::CopyAction) && !droppedNames(event->mimeData()).isEmpty();
}

}  // namespace

StartAction startAction(const QStringList& arguments) {
  return !arguments.isEmpty() && arguments.first() == QStringLiteral("-v") ? StartAction::VerifyCurrentDirectory
                                                                             : StartAction::OpenMainWindow;
}

QString listArgument(const QStringList& arguments) {
  if (arguments.size() < 2 || startAction(arguments) != StartAction::VerifyCurrentDirectory) return {};
  return arguments.at(1);
}

QString folderArgument(const QStringList& arguments) {
  if (arguments.isEmpty() || startAction(arguments) == StartAction::VerifyCurrentDirectory) return {};
  const std::string folder = fromQt(arguments.first());
  if (folder.empty() || platform::fileKind(folder) != platform::FileKind::Directory) return {};
  // GO changes the current directory, after which a relative name would lead elsewhere.
  return toQt(platform::withTrailingSlash(platform::absolutePath(folder)));
}

void MainWindow::startUp(const QStringList& arguments) {
  folderEdit->setAcceptDrops(true);
  folderEdit->installEventFilter(this);
  fillLanguageList();
  setCaptions();
  // "-v" never reaches a main window: the program verifies and ends before.
  folderEdit->setText(folderArgument(arguments));
  if (folderEdit->text().isEmpty()) folderEdit->setText(toQt(platform::programFolder()));
}

void MainWindow::fillLanguageList() {
  languageCombo->clear();
  const std::string activeName = language::translated(texts::Language);
  const std::vector<std::string> names = language::languageNames(language::offeredLanguageFolder());
  for (const std::string& name : names) languageCombo->addItem(toQt(name));
  const std::optional<std::size_t> selected = language::selectedLanguage(names, activeName);
  languageCombo->setCurrentIndex(selected ? static_cast<int>(*selected) : -1);
}

void MainWindow::setCaptions() {
  folderDialogTitle_ = caption(texts::Folder);
  creatorLabel->setText(caption(texts::Creator));
  commentLabel->setText(caption(texts::Comment));
  goButton->setText(caption(texts::Go));
  aboutButton->setText(caption(texts::About));
  closeButton->setText(caption(texts::Close));
  actionGroup->setTitle(caption(texts::Checksum));
  createRadio->setText(caption(texts::Create));
  validateRadio->setText(caption(texts::Validate));
  crc32Radio->setText(caption(texts::Crc32));
  md5Radio->setText(caption(texts::Md5));
  otherRadio->setText(caption(texts::OtherAlgorithm));
  subfolderCheck->setText(caption(texts::Subfolder));
  fitOptionColumn();
  fitFieldColumn();
}

// The drop-down follows its radio button's caption and takes the rest of the
// row. When a caption, or "Other:" beside the longest algorithm name, needs
// more room than the option column has, the window grows wider rather than
// cut it.
void MainWindow::fitOptionColumn() {
  constexpr int kGap = 4;
  constexpr int kComboRightPadding = 6;
  constexpr int kItemRightPadding = 4;
  otherRadio->resize(otherRadio->sizeHint().width(), otherRadio->height());
  const int comboLeft = otherRadio->geometry().right() + 1 + kGap;
  // In the groups' coordinates, which start where the column starts.
  int needed = comboLeft + otherAlgorithmCombo->sizeHint().width() + kComboRightPadding;
  for (const QWidget* item : std::initializer_list<const QWidget*>{md5Radio, crc32Radio, createRadio, validateRadio}) {
    needed = std::max(needed, item->x() + item->sizeHint().width() + kItemRightPadding);
  }
  needed = std::max(needed, subfolderCheck->x() - kindGroup->x() + subfolderCheck->sizeHint().width());
  if (needed > kindGroup->width()) widenBy(needed - kindGroup->width());
  otherAlgorithmCombo->setGeometry(comboLeft, otherAlgorithmCombo->y(),
                                   kindGroup->width() - kComboRightPadding - comboLeft, otherAlgorithmCombo->height());
}

// The option column takes the room, the controls at the right edge move
// with it, and the fields and bars that end at them grow.
void MainWindow::widenBy(int extra) {
  setFixedSize(width() + extra, height());
  for (QWidget* grown : std::initializer_list<QWidget*>{folderEdit, kindGroup, md5Radio, crc32Radio, subfolderCheck,
                                                        actionGroup, createRadio, validateRadio, creatorEdit,
                                                        commentEdit, overallProgress}) {
    grown->resize(grown->width() + extra, grown->height());
  }
  for (QWidget* moved : std::initializer_list<QWidget*>{browseButton, goButton, aboutButton, closeButton}) {
    moved->move(moved->x() + extra, moved->y());
  }
}

// A caption longer than the designed label column moves the creator and
// comment fields right, rather than being cut.
void MainWindow::fitFieldColumn() {
  constexpr int kGap = 6;
  int fieldLeft = creatorEdit->x();
  for (const QLabel* label : {creatorLabel, commentLabel}) {
    fieldLeft = std::max(fieldLeft, label->x() + label->sizeHint().width() + kGap);
  }
  const int fieldRight = creatorEdit->geometry().right();
  for (auto [label, field] : {std::pair{creatorLabel, creatorEdit}, std::pair{commentLabel, commentEdit}}) {
    label->resize(fieldLeft - kGap - label->x(), label->height());
    field->setGeometry(fieldLeft, field->y(), fieldRight - fieldLeft + 1, field->height());
  }
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched != folderEdit) return QWidget::eventFilter(watched, event);
  switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
      auto* drag = static_cast<QDragMoveEvent*>(event);
      if (acceptsDrag(drag)) {
        drag->setDropAction(Qt::CopyAction);
        drag->accept();
      } else {
        drag->ignore();
      }
      return true;
    }
    case QEvent::Drop: {
      auto* drop = static_cast<QDropEvent*>(event);
      if (!acceptsDrag(drop)) {
        drop->ignore();
        return true;
      }
      drop->setDropAction(Qt::CopyAction);
      drop->accept();
      // Handled once the drag has ended, so that a message box does not hold
      // the drag source waiting.
      const QStringList names = droppedNames(drop->mimeData());
      QMetaObject::invokeMethod(this, [this, names] { onFolderDropped(names); }, Qt::QueuedConnection);
      return true;
    }
    default:
      return QWidget::eventFilter(watched, event);
  }
}

void MainWindow::onFolderDropped(const QStringList& names) {
  if (names.isEmpty()) return;
  const platform::FileKind kind = platform::fileKind(fromQt(names.first()));
  if (kind == platform::FileKind::Regular || kind == platform::FileKind::Other) {
    showMessageBox(this, QMessageBox::NoIcon, applicationTitle(), caption(texts::FolderOnly));
    return;
  }
  setFolder(names.first());
}

void MainWindow::shutDown() {
  folderEdit->removeEventFilter(this);
  folderEdit->setAcceptDrops(false);
}

}  // namespace zelk::ui
