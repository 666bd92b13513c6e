// The main window's start-up (language list, captions, command line, default
// folder) and its drop target: everything that puts a first folder into `direct`.

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDropEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QUrl>

#include "language/language_list.h"
#include "language/texts.h"
#include "platform/directory.h"
#include "ui/main_window.h"
#include "ui/qt_text.h"

namespace zelk::ui {
namespace {

namespace texts = language::texts;

QString caption(const language::LanguageText& text) { return toQt(language::lookup(text)); }

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

QString folderArgument(const QStringList& arguments) {
  if (arguments.isEmpty() || startAction(arguments) == StartAction::VerifyCurrentDirectory) return {};
  const std::string folder = fromQt(arguments.first());
  if (folder.empty() || platform::fileKind(folder) != platform::FileKind::Directory) return {};
  // GO changes the current directory, after which a relative name would lead elsewhere.
  return toQt(platform::withTrailingSlash(platform::absolutePath(folder)));
}

void TForm1::FormCreate(const QStringList& arguments) {
  direct->setAcceptDrops(true);
  direct->installEventFilter(this);
  fillLanguageList();
  setCaptions();
  // "-v" never reaches a main window: the program verifies and ends before.
  direct->setText(folderArgument(arguments));
  if (direct->text().isEmpty()) direct->setText(toQt(platform::programFolder()));
}

void TForm1::fillLanguageList() {
  FlatComboBox1->clear();
  const std::string activeName = language::lookup(texts::Language);
  const std::vector<std::string> names = language::languageNames(platform::programFolder() + "language/");
  for (const std::string& name : names) FlatComboBox1->addItem(toQt(name));
  const std::optional<std::size_t> selected = language::selectedLanguage(names, activeName);
  FlatComboBox1->setCurrentIndex(selected ? static_cast<int>(*selected) : -1);
}

void TForm1::setCaptions() {
  JvSelectDirectory1Title_ = caption(texts::Folder);
  Label1->setText(caption(texts::Creator));
  Label2->setText(caption(texts::Comment));
  FlatSpeedButton1->setText(caption(texts::Go));
  FlatButton1->setText(caption(texts::About));
  FlatSpeedButton2->setText(caption(texts::Close));
  FlatGroupBox1->setTitle(caption(texts::Checksum));
  FlatRadioButton1->setText(caption(texts::Create));
  vali->setText(caption(texts::Validate));
  FlatRadioButton3->setText(caption(texts::Crc32));
  FlatRadioButton2->setText(caption(texts::Md5));
  FlatCheckBox1->setText(caption(texts::Subfolder));
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
  if (watched != direct) return QWidget::eventFilter(watched, event);
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
      QMetaObject::invokeMethod(this, [this, names] { DropFileTarget1Drop(names); }, Qt::QueuedConnection);
      return true;
    }
    default:
      return QWidget::eventFilter(watched, event);
  }
}

void TForm1::DropFileTarget1Drop(const QStringList& names) {
  if (names.isEmpty()) return;
  const platform::FileKind kind = platform::fileKind(fromQt(names.first()));
  if (kind == platform::FileKind::Regular || kind == platform::FileKind::Other) {
    QMessageBox box(QMessageBox::NoIcon, QCoreApplication::applicationName(), caption(texts::FolderOnly),
                    QMessageBox::Ok, this);
    box.exec();
    return;
  }
  setFolder(names.first());
}

void TForm1::FormDestroy() {
  direct->removeEventFilter(this);
  direct->setAcceptDrops(false);
}

}  // namespace zelk::ui
