// A look at the grid before the views exist: a traverse-like input table with
// Chinese headers, a staggered distance column and the button bar.
//   table_demo [--rows N] [--landscape] [--screenshot out.png] [--pdf out.pdf] [--preview] [--edit]
// --landscape prints A4 across with 15 mm top and bottom margins (30 rows a page).
// With --preview and --screenshot the print preview is grabbed instead; --edit opens
// the cell editor on row 3, column 2 first.
#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QPrinter>
#include <QStatusBar>
#include <QTimer>
#include <cmath>
#include <cstdio>
#include <string>

#include "table/table_ports.h"
#include "table/table_view.h"
#include "table/ui/qt_ports.h"
#include "table/ui/table_print.h"
#include "table/ui/table_widget.h"
#include "table/ui/ui_scale.h"

namespace {

// The frame as the grid sees it: two status panes.
class DemoFrame final : public table::ITableFrame {
 public:
  explicit DemoFrame(QStatusBar* bar) {
    for (QLabel*& l : panes_) {
      l = new QLabel(bar);
      l->setMinimumWidth(120);
      bar->addPermanentWidget(l);
    }
  }
  void SetStatusPane(int pane, const std::string& text) override {
    if (pane >= 1 && pane <= 2) panes_[pane - 1]->setText(QString::fromStdString(text));
  }
  void SetDocumentModified() override {}
  void SwitchToDrawing(CTableView&) override {}

 private:
  QLabel* panes_[2] = {};
};

std::string Fixed(double v, int decimals) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
  return buf;
}

// A sample traverse: point names, angles as "d mm ss", sides between points.
void FillSample(CTableView& v, int rows) {
  v.NewTable(rows, 7, "附合导线计算表", true);
  v.SetReadOnly(false, false, false);
  v.SetColumnHeader(1, "点号", "", 0, 6);
  v.SetColumnHeader(2, "观测角", "(°' \")", 0, 9);
  v.SetColumnHeader(3, "边长", "(m)", 0, 8);
  v.SetColumnHeader(4, "坐标增量", "ΔX(m)", 2, 9);
  v.SetColumnHeader(5, "", "ΔY(m)", 0, 9);
  v.SetColumnHeader(6, "坐标", "X(m)", 2, 11);
  v.SetColumnHeader(7, "", "Y(m)", 0, 11);
  v.SetColumnInputType(2, 5);
  v.SetColumnInputType(3, 3);
  v.SetColumnStagger(3, true);
  v.SetColumnStagger(4, true);
  v.SetColumnStagger(5, true);
  double x = 3456789.123, y = 512345.678, az = 0.7;
  for (int r = 1; r <= rows; ++r) {
    std::string name = r == 1 ? "A" : (r == rows ? "B" : "P" + std::to_string(r - 1));
    v.SetCellText(r, 1, name);
    int d = 90 + (r * 37) % 180, m = (r * 13) % 60, s = (r * 29) % 60;
    char ang[32];
    std::snprintf(ang, sizeof ang, "%3d %02d %02d", d, m, s);
    v.SetCellText(r, 2, ang);
    v.SetCellText(r, 6, Fixed(x, 3));
    v.SetCellText(r, 7, Fixed(y, 3));
    if (r < rows) {
      double side = 120.0 + (r * 53) % 90 + 0.001 * ((r * 317) % 1000);
      double dx = side * std::cos(az), dy = side * std::sin(az);
      v.SetCellText(r, 3, Fixed(side, 3));
      v.SetCellText(r, 4, Fixed(dx, 3));
      v.SetCellText(r, 5, Fixed(dy, 3));
      x += dx;
      y += dy;
      az += 0.35 * std::sin(r * 0.7);
    }
    v.SetCellLocked(r, 1, false);
    v.SetCellLocked(r, 2, false);
    v.SetCellLocked(r, 3, r == rows);
  }
  v.SetHeaderText(0, "工程名称：城区一级导线");
  v.SetHeaderText(1, "等级：一级");
  v.SetSignatureTexts(1, "备注", "起算点A、B为已知点", "");
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  SetUiScale(9);
  table_ui::InstallQtPorts();

  int rows = 24;
  QString shot, pdf;
  bool preview = false, landscape = false, edit = false;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--rows" && i + 1 < argc) rows = std::max(1, std::atoi(argv[++i]));
    else if (a == "--screenshot" && i + 1 < argc) shot = QString::fromLocal8Bit(argv[++i]);
    else if (a == "--pdf" && i + 1 < argc) pdf = QString::fromLocal8Bit(argv[++i]);
    else if (a == "--preview") preview = true;
    else if (a == "--landscape") landscape = true;
    else if (a == "--edit") edit = true;
  }

  QMainWindow win;
  win.setWindowTitle(QStringLiteral("Quintar5.2版 表格演示"));
  DemoFrame frame(win.statusBar());
  table::SetFramePort(&frame);

  auto* pane = new CTablePane<CTableView>(&win);
  win.setCentralWidget(pane);
  CTableView& view = pane->GetView();
  CTableWidget* grid = pane->Grid();
  view.SetFont(g_nCharHeight, 3.0);
  FillSample(view, rows);
  view.SelectCell(3, 2);
  if (landscape) view.m_nMarginTop = view.m_nMarginBottom = 15;
  win.resize(1200, 800);
  win.show();
  if (edit) QTimer::singleShot(100, [&] { view.BeginEdit(); });

  if (!pdf.isEmpty()) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    printer.setPageSize(QPageSize(QPageSize::A4));
    if (landscape) printer.setPageOrientation(QPageLayout::Landscape);
    table::PrintPlan plan = table_ui::PrintTable(view, printer);
    std::printf("pages %d, rows per page %d\n", plan.pages, plan.rowsPerPage);
  }
  if (!shot.isEmpty() && preview) {
    QTimer::singleShot(0, grid, &CTableWidget::PrintPreview);
    QTimer::singleShot(2000, [&] {
      if (QWidget* dlg = QApplication::activeModalWidget()) {
        dlg->grab().save(shot);
        dlg->close();
      }
      app.quit();
    });
  } else if (!shot.isEmpty()) {
    QTimer::singleShot(300, [&] {
      win.grab().save(shot);
      app.quit();
    });
  } else if (preview) {
    QTimer::singleShot(0, grid, &CTableWidget::PrintPreview);
  }
  if (!pdf.isEmpty() && shot.isEmpty()) return 0;
  int rc = app.exec();
  table::SetFramePort(nullptr);
  return rc;
}
