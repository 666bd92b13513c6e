// Folders reaching the folder field by drop from the desktop and by the
// browse dialog.

#include <QCoreApplication>
#include <QDropEvent>
#include <QFileDialog>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QToolButton>
#include <QUrl>

#include "tests/ui/main_window_fixture.h"
#include "tests/ui/modal_answers.h"
#include "ui/main_window.h"

namespace zelk::ui {
namespace {

using testing::MainWindowTest;
using testing::qt;

std::unique_ptr<QMimeData> urls(const QList<QUrl>& list) {
  auto data = std::make_unique<QMimeData>();
  data->setUrls(list);
  return data;
}

// Drags `data` onto the folder field; true when the field took the drop.
bool dropOnFolderField(MainWindow& window, const QMimeData& data) {
  const Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction;
  QDragEnterEvent enter(QPoint(4, 4), offered, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(window.folderEdit, &enter);
  if (!enter.isAccepted()) return false;
  EXPECT_EQ(enter.dropAction(), Qt::CopyAction);
  QDropEvent drop(QPointF(4, 4), offered, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(window.folderEdit, &drop);
  QCoreApplication::processEvents();  // the drop is handled once the drag has ended
  EXPECT_EQ(drop.dropAction(), Qt::CopyAction);
  return drop.isAccepted();
}

TEST_F(MainWindowTest, DroppedFoldersTheFirstBecomesTheFolder) {
  MainWindow window;
  for (const char* name : {"one", "two", "three"}) work_.makeFolder(name);
  const auto data = urls({QUrl::fromLocalFile(qt(work_.path() + "one")), QUrl::fromLocalFile(qt(work_.path() + "two")),
                          QUrl::fromLocalFile(qt(work_.path() + "three"))});
  ASSERT_TRUE(dropOnFolderField(window, *data));
  EXPECT_EQ(window.folderEdit->text(), qt(work_.path() + "one/"));
}

TEST_F(MainWindowTest, DroppedFileIsRefusedWithAMessage) {
  MainWindow window;
  window.folderEdit->setText("/kept/");
  const auto data = urls({QUrl::fromLocalFile(qt(work_.write("list.sfv", "x"))),
                          QUrl::fromLocalFile(qt(work_.makeFolder("folder")))});
  modal::ShownMessage message;
  modals_.setHandler(modal::recordMessageBox(message));
  ASSERT_TRUE(dropOnFolderField(window, *data));
  EXPECT_EQ(message.text, "Not for file, choose a folder only");
  EXPECT_EQ(window.folderEdit->text(), "/kept/");
}

TEST_F(MainWindowTest, DragsWithoutLocalFilesAreRefused) {
  MainWindow window;
  window.folderEdit->setText("/kept/");
  QMimeData text;
  text.setText("/some/folder");
  EXPECT_FALSE(dropOnFolderField(window, text));
  EXPECT_FALSE(dropOnFolderField(window, *urls({QUrl("https://example.org/folder/")})));
  EXPECT_EQ(window.folderEdit->text(), "/kept/");
}

TEST_F(MainWindowTest, BrowseDialogSetsTheFolderOrChangesNothing) {
  MainWindow window;
  window.folderEdit->setText("/kept/");
  work_.makeFolder("chosen");
  QString title;
  modals_.setHandler([&](QWidget* modal) {
    auto* dialog = qobject_cast<QFileDialog*>(modal);
    ASSERT_NE(dialog, nullptr);
    title = dialog->windowTitle();
    dialog->reject();
  });
  window.browseButton->click();
  EXPECT_EQ(title, "Chooce the folder");
  EXPECT_EQ(window.folderEdit->text(), "/kept/");

  modals_.setHandler([&](QWidget* modal) {
    auto* dialog = qobject_cast<QFileDialog*>(modal);
    ASSERT_NE(dialog, nullptr);
    dialog->selectFile(qt(work_.path() + "chosen"));
    QMetaObject::invokeMethod(dialog, "accept");  // protected in QFileDialog
  });
  window.browseButton->click();
  EXPECT_EQ(window.folderEdit->text(), qt(work_.path() + "chosen/"));
}

}  // namespace
}  // namespace zelk::ui
