#pragma once
// The program's message boxes.

#include <QMessageBox>

namespace zelk::ui {

// Shows a modal message box and returns the button that closed it. The box
// is made wide enough for a window manager to show its whole title, which a
// short message would otherwise cut.
QMessageBox::StandardButton showMessageBox(QWidget* parent, QMessageBox::Icon icon, const QString& title,
                                           const QString& text,
                                           QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                           QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);

}  // namespace zelk::ui
