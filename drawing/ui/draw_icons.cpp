#include "drawing/ui/draw_icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include "table/ui/bar_icons.h"

namespace drawing_ui {
namespace {

void Lens(QPainter& p, double s, const QString& sign) {
  p.setPen(QPen(QColor(40, 70, 130), std::max(1.0, s / 10)));
  p.setBrush(QColor(220, 235, 255));
  p.drawEllipse(QPointF(s * 0.42, s * 0.42), s * 0.30, s * 0.30);
  p.setPen(QPen(QColor(120, 80, 30), s * 0.14, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(s * 0.64, s * 0.64), QPointF(s * 0.9, s * 0.9));
  p.setPen(QPen(QColor(40, 70, 130), std::max(1.0, s / 12)));
  QFont f;
  f.setBold(true);
  f.setPixelSize(std::max(6, int(s * 0.45)));
  p.setFont(f);
  p.drawText(QRectF(s * 0.12, s * 0.12, s * 0.6, s * 0.6), Qt::AlignCenter, sign);
}

void Paint(QPainter& p, double s, int id) {
  switch (id) {
    case 146: {  // settings: layers stacked
      for (int i = 0; i < 3; ++i) {
        QPolygonF sheet;
        const double y = s * (0.25 + 0.2 * i);
        sheet << QPointF(s * 0.5, y - s * 0.15) << QPointF(s * 0.92, y) << QPointF(s * 0.5, y + s * 0.15)
              << QPointF(s * 0.08, y);
        p.setPen(QPen(QColor(50, 50, 50), std::max(1.0, s / 16)));
        p.setBrush(i == 0 ? QColor(240, 90, 60) : i == 1 ? QColor(80, 170, 80) : QColor(70, 120, 210));
        p.drawPolygon(sheet);
      }
      break;
    }
    case 191: Lens(p, s, QStringLiteral("A")); break;  // zoom all
    case 192: {                                         // window zoom
      p.setPen(QPen(QColor(60, 60, 60), std::max(1.0, s / 16), Qt::DashLine));
      p.setBrush(Qt::NoBrush);
      p.drawRect(QRectF(s * 0.06, s * 0.06, s * 0.6, s * 0.5));
      Lens(p, s * 0.8, QString());
      break;
    }
    case 189: Lens(p, s, QStringLiteral("±")); break;  // drag zoom
    case 190: {                                         // pan: four arrows
      p.setPen(QPen(QColor(40, 70, 130), std::max(1.0, s / 10), Qt::SolidLine, Qt::RoundCap));
      const QPointF c(s / 2, s / 2);
      for (QPointF d : {QPointF(0, -1), QPointF(1, 0), QPointF(0, 1), QPointF(-1, 0)}) {
        const QPointF tip = c + d * s * 0.42;
        p.drawLine(c, tip);
        const QPointF side(d.y(), -d.x());
        p.drawLine(tip, tip - d * s * 0.14 + side * s * 0.12);
        p.drawLine(tip, tip - d * s * 0.14 - side * s * 0.12);
      }
      break;
    }
    case 193: {  // query: a point with a question mark
      p.setPen(QPen(QColor(200, 30, 30), std::max(1.0, s / 12)));
      p.setBrush(Qt::NoBrush);
      p.drawEllipse(QPointF(s * 0.3, s * 0.7), s * 0.16, s * 0.16);
      QFont f;
      f.setBold(true);
      f.setPixelSize(std::max(6, int(s * 0.6)));
      p.setFont(f);
      p.setPen(QColor(40, 70, 130));
      p.drawText(QRectF(s * 0.4, 0, s * 0.6, s * 0.7), Qt::AlignCenter, QStringLiteral("?"));
      break;
    }
    default: break;
  }
}

}  // namespace

QIcon DrawToolIcon(int resourceId) {
  if (resourceId == 148) return BarIcon(148);  // CAD: the grids' set square
  if (resourceId == 201) return BarIcon(146);  // back to the table: the grid picture
  QIcon icon;
  for (int size : {16, 24, 32, 48}) {
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    Paint(p, size, resourceId);
    p.end();
    icon.addPixmap(pm);
  }
  return icon;
}

}  // namespace drawing_ui
