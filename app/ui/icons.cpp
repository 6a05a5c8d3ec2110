#include "app/ui/icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include "platform/commands.h"

namespace app_ui {

namespace {

// Draws at a 20 x 20 design grid, scaled to the requested size.
using Painter = void (*)(QPainter&);

QIcon Make(Painter draw) {
  QIcon icon;
  for (int size : {16, 20, 30, 40, 60}) {
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 20.0, size / 20.0);
    draw(p);
    p.end();
    icon.addPixmap(pm);
  }
  return icon;
}

void Page(QPainter& p, QColor fill = QColor(255, 255, 255)) {
  QPainterPath path;
  path.moveTo(4, 2);
  path.lineTo(12, 2);
  path.lineTo(16, 6);
  path.lineTo(16, 18);
  path.lineTo(4, 18);
  path.closeSubpath();
  p.setPen(QPen(QColor(60, 60, 90), 1.2));
  p.setBrush(fill);
  p.drawPath(path);
  p.drawLine(QPointF(12, 2), QPointF(12, 6));
  p.drawLine(QPointF(12, 6), QPointF(16, 6));
}

void Folder(QPainter& p, bool open) {
  p.setPen(QPen(QColor(120, 90, 20), 1.2));
  p.setBrush(QColor(250, 215, 100));
  p.drawRect(QRectF(2, 5, 16, 12));
  p.drawRect(QRectF(2, 3, 6, 2));
  if (open) {
    p.setBrush(QColor(255, 235, 150));
    QPolygonF lid({QPointF(5, 9), QPointF(19, 9), QPointF(16, 17), QPointF(2, 17)});
    p.drawPolygon(lid);
  }
}

void Lines(QPainter& p) {
  p.setPen(QPen(QColor(90, 90, 130), 1));
  for (int y : {9, 12, 15}) p.drawLine(6, y, 14, y);
}

void Printer(QPainter& p) {
  p.setPen(QPen(QColor(50, 50, 60), 1.2));
  p.setBrush(QColor(255, 255, 255));
  p.drawRect(QRectF(6, 2, 8, 6));
  p.setBrush(QColor(170, 170, 180));
  p.drawRoundedRect(QRectF(2, 8, 16, 7), 1.5, 1.5);
  p.setBrush(QColor(255, 255, 255));
  p.drawRect(QRectF(6, 13, 8, 5));
}

}  // namespace

QIcon ToolBarIcon(int command) {
  switch (command) {
    case platform::ID_FILE_NEW: return Make([](QPainter& p) { Page(p); });
    case platform::ID_FILE_OPEN: return Make([](QPainter& p) { Folder(p, true); });
    case platform::ID_FILE_SAVE:
      return Make([](QPainter& p) {
        p.setPen(QPen(QColor(30, 40, 90), 1.2));
        p.setBrush(QColor(60, 90, 180));
        p.drawRect(QRectF(3, 3, 14, 14));
        p.setBrush(QColor(255, 255, 255));
        p.drawRect(QRectF(6, 3, 8, 5));
        p.setBrush(QColor(200, 200, 210));
        p.drawRect(QRectF(5, 11, 10, 6));
      });
    case platform::ID_EDIT_CUT:
      return Make([](QPainter& p) {
        p.setPen(QPen(QColor(40, 40, 40), 1.4));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QRectF(3, 12, 5, 5));
        p.drawEllipse(QRectF(12, 12, 5, 5));
        p.drawLine(QPointF(7, 12), QPointF(14, 2));
        p.drawLine(QPointF(13, 12), QPointF(6, 2));
      });
    case platform::ID_EDIT_COPY:
      return Make([](QPainter& p) {
        p.translate(-2, -1);
        Page(p, QColor(235, 235, 245));
        p.translate(4, 2);
        Page(p);
        Lines(p);
      });
    case platform::ID_EDIT_PASTE:
      return Make([](QPainter& p) {
        p.setPen(QPen(QColor(90, 60, 20), 1.2));
        p.setBrush(QColor(200, 150, 80));
        p.drawRect(QRectF(3, 4, 12, 14));
        p.setBrush(QColor(160, 160, 170));
        p.drawRect(QRectF(6, 2, 6, 4));
        p.translate(4, 4);
        p.scale(0.7, 0.7);
        Page(p);
      });
    case platform::ID_FILE_PRINT_SETUP:
      return Make([](QPainter& p) {
        Printer(p);
        p.setPen(QPen(QColor(200, 40, 40), 1.6));
        p.drawLine(QPointF(13, 16), QPointF(19, 10));
      });
    case platform::ID_FILE_PRINT_PREVIEW:
      return Make([](QPainter& p) {
        Page(p);
        p.setPen(QPen(QColor(30, 30, 30), 1.6));
        p.setBrush(QColor(200, 230, 255, 180));
        p.drawEllipse(QRectF(6, 6, 7, 7));
        p.drawLine(QPointF(12, 12), QPointF(17, 17));
      });
    case platform::ID_FILE_PRINT: return Make([](QPainter& p) { Printer(p); });
    case platform::ID_VIEW_DEFAULT_LAYOUT:
      return Make([](QPainter& p) {
        p.setPen(QPen(QColor(40, 60, 110), 1.2));
        p.setBrush(QColor(255, 255, 255));
        p.drawRect(QRectF(2, 3, 16, 14));
        p.setBrush(QColor(170, 200, 240));
        p.drawRect(QRectF(2, 3, 5, 14));
      });
    case platform::ID_VIEW_HIDE_LEFT:
      return Make([](QPainter& p) {
        p.setPen(QPen(QColor(40, 60, 110), 1.2));
        p.setBrush(QColor(255, 255, 255));
        p.drawRect(QRectF(2, 3, 16, 14));
        p.setBrush(QColor(170, 200, 240));
        p.drawRect(QRectF(2, 3, 1.5, 14));
        p.setBrush(QColor(40, 60, 110));
        p.drawPolygon(QPolygonF({QPointF(12, 7), QPointF(12, 13), QPointF(8, 10)}));
      });
    case platform::ID_HELP_TOPICS:
      return Make([](QPainter& p) {
        p.setPen(QPen(QColor(20, 60, 150), 1.2));
        p.setBrush(QColor(60, 120, 220));
        p.drawEllipse(QRectF(2, 2, 16, 16));
        QFont f;
        f.setPixelSize(13);
        f.setBold(true);
        p.setFont(f);
        p.setPen(Qt::white);
        p.drawText(QRectF(2, 2, 16, 16), Qt::AlignCenter, QStringLiteral("?"));
      });
    default: break;
  }
  return Make([](QPainter& p) { Page(p); });
}

QIcon TreeImage(int index) {
  switch (index) {
    case 1:
    case 2:
      return Make([](QPainter& p) {
        Page(p, QColor(255, 250, 220));
        Lines(p);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(220, 30, 30));
        p.drawEllipse(QRectF(11, 11, 7, 7));
      });
    case 4: return Make([](QPainter& p) { Folder(p, false); });
    case 5: return Make([](QPainter& p) { Folder(p, true); });
    default:
      return Make([](QPainter& p) {
        Page(p);
        Lines(p);
      });
  }
}

QIcon ProgramIcon() {
  QIcon icon(QStringLiteral(":/quintar/quintar.xpm"));
  if (!icon.isNull()) return icon;
  return Make([](QPainter& p) {
    p.setPen(QPen(QColor(20, 60, 120), 1.2));
    p.setBrush(QColor(230, 240, 255));
    p.drawRect(QRectF(1, 1, 18, 18));
    p.setPen(QPen(QColor(200, 30, 30), 1.6));
    p.drawPolyline(QPolygonF({QPointF(4, 15), QPointF(8, 6), QPointF(14, 9), QPointF(16, 4)}));
  });
}

}  // namespace app_ui
