#pragma once
// The drawing view on screen (view 1008): paints CDrawView through the canvas,
// hosts its eight tool buttons, forwards mouse and wheel, shows the query tip and
// prints. All decisions stay in the presenter.
#include <QImage>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

#include "drawing/draw_view.h"
#include "drawing/ui/qt_draw_canvas.h"

class CButtonST;
class QPrinter;

namespace drawing_ui {

class CExportCadSetDlg;

class CDrawWidget : public QWidget, public drawing::IDrawHost {
  Q_OBJECT
 public:
  explicit CDrawWidget(drawing::CDrawView& view, QWidget* parent = nullptr);
  ~CDrawWidget() override;

  drawing::CDrawView& View() { return view_; }
  // The frame's switch back to the table the drawing stands in for.
  std::function<void()> onBackToTable;

  // The frame's print commands (platform/commands.h): print with the dialog,
  // print direct, preview and print setup.
  void OnCommand(int command);
  // Prints onto the given printer without a dialog.
  bool PrintTo(QPrinter& printer);
  // The interface scale changed: buttons and band follow g_nRowHeight.
  void ApplyUiScale();

  CButtonST* ToolButton(int id) const;
  CExportCadSetDlg* CadDialog() const { return cad_.get(); }

  // IDrawHost
  void Invalidate() override;
  void ShowTableButton(bool show) override;
  void SetQueryTip(const std::string& text) override;
  void BackToTable() override;
  void OpenSettings() override;
  void OpenCadExport() override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  void UpdateMetrics();
  void LayoutButtons();
  void UpdateCursor(const QPointF& pos);
  QPrinter& Printer();

  drawing::CDrawView& view_;
  std::vector<std::pair<int, CButtonST*>> buttons_;
  std::unique_ptr<CExportCadSetDlg> cad_;
  std::string tip_;
  QtDrawCanvas::Cache paintCache_;
  QImage frame_;
};

}  // namespace drawing_ui
