#include "ui/message_box.h"

#include <QGridLayout>
#include <QSpacerItem>

#include "ui/widget_factory.h"

namespace zelk::ui {

QMessageBox::StandardButton showMessageBox(QWidget* parent, QMessageBox::Icon icon, const QString& title,
                                           const QString& text, QMessageBox::StandardButtons buttons,
                                           QMessageBox::StandardButton defaultButton) {
  QMessageBox box(icon, title, text, buttons, parent);
  if (defaultButton != QMessageBox::NoButton) box.setDefaultButton(defaultButton);
  // A message box sizes itself to its contents, whatever minimum it is given:
  // a spacer across its grid is what holds it open.
  if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
    grid->addItem(new QSpacerItem(titleBarWidth(box, title), 0), grid->rowCount(), 0, 1, grid->columnCount());
  }
  return static_cast<QMessageBox::StandardButton>(box.exec());
}

}  // namespace zelk::ui
