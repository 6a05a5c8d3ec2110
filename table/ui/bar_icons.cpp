#include "table/ui/bar_icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

void Arrow(QPainter& p, double s, bool left) {
  QPainterPath path;
  double y = s * 0.55;
  if (left) {
    path.moveTo(s * 0.82, s * 0.78);
    path.cubicTo(s * 0.82, s * 0.30, s * 0.50, s * 0.30, s * 0.25, y - s * 0.15);
  } else {
    path.moveTo(s * 0.18, s * 0.78);
    path.cubicTo(s * 0.18, s * 0.30, s * 0.50, s * 0.30, s * 0.75, y - s * 0.15);
  }
  p.setPen(QPen(QColor(30, 90, 170), s * 0.11, Qt::SolidLine, Qt::RoundCap));
  p.setBrush(Qt::NoBrush);
  p.drawPath(path);
  QPolygonF head;
  if (left) head << QPointF(s * 0.08, s * 0.40) << QPointF(s * 0.40, s * 0.18) << QPointF(s * 0.38, s * 0.58);
  else head << QPointF(s * 0.92, s * 0.40) << QPointF(s * 0.60, s * 0.18) << QPointF(s * 0.62, s * 0.58);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(30, 90, 170));
  p.drawPolygon(head);
}

void Letter(QPainter& p, double s, QColor bg, const QString& text) {
  p.setPen(Qt::NoPen);
  p.setBrush(bg);
  p.drawRoundedRect(QRectF(s * 0.06, s * 0.06, s * 0.88, s * 0.88), s * 0.15, s * 0.15);
  QFont f;
  f.setBold(true);
  f.setPixelSize(std::max(6, int(s * 0.62)));
  p.setFont(f);
  p.setPen(Qt::white);
  p.drawText(QRectF(0, 0, s, s), Qt::AlignCenter, text);
}

void Page(QPainter& p, double s) {
  p.setPen(QPen(QColor(90, 90, 90), std::max(1.0, s / 16)));
  p.setBrush(Qt::white);
  p.drawRect(QRectF(s * 0.18, s * 0.08, s * 0.64, s * 0.84));
  for (int i = 0; i < 4; ++i) {
    double y = s * (0.28 + 0.16 * i);
    p.drawLine(QPointF(s * 0.28, y), QPointF(s * 0.72, y));
  }
}

void Grid(QPainter& p, double s) {
  p.setPen(QPen(QColor(40, 80, 140), std::max(1.0, s / 16)));
  p.setBrush(QColor(255, 255, 255));
  QRectF r(s * 0.08, s * 0.14, s * 0.84, s * 0.72);
  p.drawRect(r);
  p.fillRect(QRectF(r.left(), r.top(), r.width(), r.height() / 4), QColor(120, 160, 220));
  for (int i = 1; i < 4; ++i) p.drawLine(QPointF(r.left(), r.top() + r.height() * i / 4), QPointF(r.right(), r.top() + r.height() * i / 4));
  for (int i = 1; i < 3; ++i) p.drawLine(QPointF(r.left() + r.width() * i / 3, r.top()), QPointF(r.left() + r.width() * i / 3, r.bottom()));
}

// A sheet of a field book with its ruled lines.
void BookPage(QPainter& p, double s, QRectF r) {
  p.setPen(QPen(QColor(90, 90, 90), std::max(1.0, s / 16)));
  p.setBrush(Qt::white);
  p.drawRect(r);
  p.setPen(QPen(QColor(150, 170, 200), std::max(1.0, s / 20)));
  for (int i = 1; i < 4; ++i) {
    const double y = r.top() + r.height() * i / 4;
    p.drawLine(QPointF(r.left() + s * 0.06, y), QPointF(r.right() - s * 0.06, y));
  }
}

// A solid arrow head pointing left or right at (x, y).
void Head(QPainter& p, double s, double x, double y, bool left, QColor c) {
  QPolygonF h;
  const double d = left ? 1 : -1;
  h << QPointF(x, y) << QPointF(x + d * s * 0.30, y - s * 0.22) << QPointF(x + d * s * 0.30, y + s * 0.22);
  p.setPen(Qt::NoPen);
  p.setBrush(c);
  p.drawPolygon(h);
}

// A page turned back or forward: the sheet and an arrow across its lower half.
void TurnPage(QPainter& p, double s, bool back) {
  BookPage(p, s, QRectF(s * 0.22, s * 0.06, s * 0.56, s * 0.70));
  const QColor c(30, 90, 170);
  p.setPen(QPen(c, s * 0.12, Qt::SolidLine, Qt::FlatCap));
  const double y = s * 0.76;
  if (back) {
    p.drawLine(QPointF(s * 0.36, y), QPointF(s * 0.90, y));
    Head(p, s, s * 0.06, y, true, c);
  } else {
    p.drawLine(QPointF(s * 0.10, y), QPointF(s * 0.64, y));
    Head(p, s, s * 0.94, y, false, c);
  }
}

void Draw(QPainter& p, double s, int id) {
  switch (id) {
    case 144: {  // scheme: a theodolite on its tripod
      p.setPen(QPen(QColor(60, 60, 60), std::max(1.0, s / 14)));
      p.drawLine(QPointF(s * 0.5, s * 0.55), QPointF(s * 0.2, s * 0.95));
      p.drawLine(QPointF(s * 0.5, s * 0.55), QPointF(s * 0.8, s * 0.95));
      p.drawLine(QPointF(s * 0.5, s * 0.55), QPointF(s * 0.5, s * 0.95));
      p.setBrush(QColor(220, 160, 40));
      p.drawRoundedRect(QRectF(s * 0.28, s * 0.12, s * 0.44, s * 0.40), s * 0.08, s * 0.08);
      p.setBrush(QColor(60, 60, 60));
      p.drawEllipse(QPointF(s * 0.5, s * 0.32), s * 0.09, s * 0.09);
      break;
    }
    case 146: Grid(p, s); break;
    case 148: {  // CAD: a set square
      p.setPen(QPen(QColor(150, 30, 30), std::max(1.0, s / 14)));
      p.setBrush(QColor(250, 210, 90));
      QPolygonF t;
      t << QPointF(s * 0.12, s * 0.88) << QPointF(s * 0.88, s * 0.88) << QPointF(s * 0.12, s * 0.12);
      p.drawPolygon(t);
      p.setBrush(Qt::white);
      QPolygonF h;
      h << QPointF(s * 0.26, s * 0.76) << QPointF(s * 0.56, s * 0.76) << QPointF(s * 0.26, s * 0.46);
      p.drawPolygon(h);
      break;
    }
    case 149: Letter(p, s, QColor(200, 70, 30), QStringLiteral("Σ")); break;
    case 150: {  // custom: a pencil over a table
      Grid(p, s);
      p.setPen(QPen(QColor(200, 120, 0), s * 0.13, Qt::SolidLine, Qt::RoundCap));
      p.drawLine(QPointF(s * 0.35, s * 0.80), QPointF(s * 0.88, s * 0.22));
      break;
    }
    case 152: Letter(p, s, QColor(40, 80, 170), QStringLiteral("W")); break;
    case 164: {  // read from the books: an arrow from the field book into the table
      BookPage(p, s, QRectF(s * 0.04, s * 0.10, s * 0.40, s * 0.56));
      p.save();
      p.translate(s * 0.44, s * 0.36);
      p.scale(0.56, 0.56);
      Grid(p, s);
      p.restore();
      const QColor c(200, 110, 20);
      p.setPen(QPen(c, s * 0.11, Qt::SolidLine, Qt::FlatCap));
      p.drawLine(QPointF(s * 0.20, s * 0.82), QPointF(s * 0.52, s * 0.82));
      Head(p, s, s * 0.80, s * 0.82, false, c);
      break;
    }
    case 172: TurnPage(p, s, true); break;
    case 173: TurnPage(p, s, false); break;
    case 179: {  // a page taken out of its place: the sheet and arrows up and down
      BookPage(p, s, QRectF(s * 0.08, s * 0.14, s * 0.50, s * 0.72));
      const QColor c(30, 130, 60);
      p.setPen(QPen(c, s * 0.10, Qt::SolidLine, Qt::FlatCap));
      p.drawLine(QPointF(s * 0.78, s * 0.26), QPointF(s * 0.78, s * 0.74));
      QPolygonF up, down;
      up << QPointF(s * 0.78, s * 0.04) << QPointF(s * 0.60, s * 0.28) << QPointF(s * 0.96, s * 0.28);
      down << QPointF(s * 0.78, s * 0.96) << QPointF(s * 0.60, s * 0.72) << QPointF(s * 0.96, s * 0.72);
      p.setPen(Qt::NoPen);
      p.setBrush(c);
      p.drawPolygon(up);
      p.drawPolygon(down);
      break;
    }
    case 185: Page(p, s); break;
    case 202: Letter(p, s, QColor(30, 130, 60), QStringLiteral("X")); break;
    case 206: {  // drawing: a traverse polyline with its points
      QPolygonF pts;
      pts << QPointF(s * 0.12, s * 0.80) << QPointF(s * 0.36, s * 0.30) << QPointF(s * 0.62, s * 0.62)
          << QPointF(s * 0.88, s * 0.18);
      p.setPen(QPen(QColor(20, 120, 40), std::max(1.0, s / 12)));
      p.drawPolyline(pts);
      p.setBrush(QColor(200, 30, 30));
      p.setPen(Qt::NoPen);
      for (const QPointF& q : pts) p.drawEllipse(q, s * 0.08, s * 0.08);
      break;
    }
    case 207: Arrow(p, s, true); break;
    case 208: Arrow(p, s, false); break;
    default:
      p.setPen(QPen(QColor(100, 100, 100), 1));
      p.setBrush(QColor(200, 200, 200));
      p.drawRect(QRectF(s * 0.15, s * 0.15, s * 0.7, s * 0.7));
  }
}

}  // namespace

QIcon BarIcon(int resourceId) {
  QIcon icon;
  for (int size : {16, 24, 32, 48}) {
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing, true);
    Draw(p, size, resourceId);
    p.end();
    icon.addPixmap(pm);
  }
  return icon;
}
