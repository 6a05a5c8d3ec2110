#pragma once
// The grid's canvas over a QPainter: the same paint routine of CTableView draws on
// the screen widget, on a QPrinter (page transform applied by the caller), in
// print preview and into test images.
#include <QFont>
#include <QPainter>
#include <map>
#include <tuple>

#include "table/canvas.h"

namespace table_ui {

QColor ToQColor(table::Color c);
QRect ToQRect(const table::Rect& r);
// The Qt font for a canvas font: the interface faces ("宋体" stand-in) for cells
// and titles, the desktop's GUI font for the empty-table hint.
QFont ToQFont(const table::Font& f);

class QtCanvas final : public table::ICanvas {
 public:
  explicit QtCanvas(QPainter& painter) : p_(painter) {}

  void FillRect(const table::Rect& r, table::Color c) override;
  void Line(int x1, int y1, int x2, int y2, table::Color c, int width) override;
  void FillPolygon(const table::Point* pts, int count, table::Color c) override;
  void SetFont(const table::Font& f) override;
  void DrawText(const table::Rect& r, std::string_view utf8, const table::TextStyle& style) override;
  void SetClip(const table::Rect& r) override;
  void ResetClip() override;

 private:
  QPainter& p_;
  std::map<std::tuple<int, int, int>, QFont> fonts_;
};

}  // namespace table_ui
