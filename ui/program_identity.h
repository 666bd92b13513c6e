#pragma once
// The program's name and picture, as every window and message box shows them.

#include <QIcon>
#include <QString>

namespace zelk::ui {

// The title of the program's plain message boxes, and the name its windows
// give it; never the executable's file name.
inline QString applicationTitle() { return QStringLiteral("Zelk SFV Utility"); }

// The program's picture: a ticked list sheet, drawn so that no image file has
// to travel with the program.
QIcon programIcon();

}  // namespace zelk::ui
