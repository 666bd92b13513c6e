#include "ui/program_identity.h"

#include <QPainter>
#include <QPixmap>

namespace zelk::ui {

QIcon programIcon() {
  QPixmap picture(32, 32);
  picture.fill(Qt::transparent);
  QPainter painter(&picture);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(QColor(40, 60, 110), 1.5));
  painter.setBrush(QColor(245, 245, 235));
  painter.drawRoundedRect(QRectF(5.5, 2.5, 21, 27), 2, 2);
  painter.setPen(QPen(QColor(120, 120, 140), 1.5));
  for (int line = 0; line < 4; ++line) painter.drawLine(QPointF(9, 8 + line * 4), QPointF(22, 8 + line * 4));
  painter.setPen(QPen(QColor(20, 150, 40), 3.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  painter.drawPolyline(QPolygonF({QPointF(12, 23), QPointF(17, 28), QPointF(29, 14)}));
  return QIcon(picture);
}

}  // namespace zelk::ui
