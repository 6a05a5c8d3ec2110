// Printing to PDF through the presenter's print plan: page counts of plain and
// staggered tables, and that printing leaves the screen as it was.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "platform/commands.h"
#include "platform/fake_ports.h"
#include "table/table_view.h"
#include "table/ui/grid_host.h"
#include "table/ui/table_print.h"
#include "table/ui/table_widget.h"
#include "tests/table/ui/qt_app.h"

namespace {

// Pages of a PDF: pdfinfo when it is installed, else the page objects in the file.
int PdfPages(const QString& path) {
  const QString pdfinfo = QStandardPaths::findExecutable(QStringLiteral("pdfinfo"));
  if (!pdfinfo.isEmpty()) {
    QProcess p;
    p.start(pdfinfo, {path});
    p.waitForFinished(20000);
    const QString out = QString::fromUtf8(p.readAllStandardOutput());
    QRegularExpressionMatch m = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(out);
    if (m.hasMatch()) return m.captured(1).toInt();
  }
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return -1;
  const QString data = QString::fromLatin1(f.readAll());
  int pages = 0;
  auto it = QRegularExpression(QStringLiteral("/Type\\s*/Page(?!s)")).globalMatch(data);
  while (it.hasNext()) {
    it.next();
    ++pages;
  }
  return pages;
}

// A traverse-like table of n rows; column 3 (sides) staggered when asked.
void Fill(CTableView& v, int rows, bool stagger) {
  v.NewTable(rows, 4, "导线计算表", true);
  v.SetColumnHeader(1, "点号", "", 0, 6);
  v.SetColumnHeader(2, "观测角", "(°' \")", 0, 9);
  v.SetColumnHeader(3, "边长", "(m)", 0, 8);
  v.SetColumnHeader(4, "坐标X", "(m)", 0, 11);
  v.SetColumnStagger(3, stagger);
  for (int r = 1; r <= rows; ++r) {
    v.SetCellText(r, 1, "P" + std::to_string(r));
    v.SetCellText(r, 2, "123 45 30");
    if (r < rows) v.SetCellText(r, 3, "152.314");
    v.SetCellText(r, 4, "3456789.123");
  }
}

class PrintTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TestApp();
    ASSERT_TRUE(dir_.isValid());
    view_.SetFont(12, 3.0);
    // Landscape A4 with 15 mm top and bottom margins holds 30 rows a page:
    // int(12 x (210 - 30) / 3 / 20) - 2 header lines - 1 - 1 - 2 = 30.
    view_.m_nMarginTop = view_.m_nMarginBottom = 15;
  }
  table::PrintPlan PrintTo(const QString& file) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Landscape);
    return table_ui::PrintTable(view_, printer);
  }
  QTemporaryDir dir_;
  CTableView view_;
  platform::FakeMessagePort port_;
};

TEST_F(PrintTest, HundredRowsPrintOnFourPages) {
  struct Case { bool stagger; std::vector<int> firstRows; } cases[] = {
      {false, {1, 31, 61, 91}}, {true, {1, 30, 59, 88}}};
  for (const Case& c : cases) {
    Fill(view_, 100, c.stagger);
    const QString file = dir_.filePath(c.stagger ? "staggered.pdf" : "plain.pdf");
    table::PrintPlan plan = PrintTo(file);
    EXPECT_EQ(plan.paperHeightMm, 210);
    EXPECT_EQ(plan.paperWidthMm, 297);
    EXPECT_EQ(plan.rowsPerPage, 30);
    EXPECT_EQ(plan.pages, 4) << "stagger " << c.stagger;
    EXPECT_EQ(plan.firstRows, c.firstRows);
    EXPECT_EQ(PdfPages(file), 4) << file.toStdString();
  }
}

TEST_F(PrintTest, PageRangePrintsOnlyThosePages) {
  Fill(view_, 100, true);
  const QString file = dir_.filePath("range.pdf");
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(file);
  printer.setPageSize(QPageSize(QPageSize::A4));
  printer.setPageOrientation(QPageLayout::Landscape);
  printer.setPrintRange(QPrinter::PageRange);
  printer.setFromTo(2, 3);
  table_ui::PrintTable(view_, printer);
  EXPECT_EQ(PdfPages(file), 2);
}

TEST_F(PrintTest, PrintingLeavesTheScreenLayoutAndTheTableAlone) {
  Fill(view_, 70, false);
  view_.m_bPadRows = true;
  view_.SetClientSize(900, 600);
  view_.RecalcLayout(-1, -1, false);
  const table::Rect before = view_.GetCellRect(1, 2);
  const int firstBefore = view_.GetFirstRow();
  table::PrintPlan plan = PrintTo(dir_.filePath("pad.pdf"));
  EXPECT_EQ(plan.pages, 3);
  EXPECT_EQ(plan.padRows, 20);
  EXPECT_EQ(view_.GetRowCount(), 70) << "pad rows are printed, never kept";
  view_.RecalcLayout(-1, -1, false);
  EXPECT_EQ(view_.GetCellRect(1, 2), before);
  EXPECT_EQ(view_.GetFirstRow(), firstBefore);
}

// Page size of the first page as pdfinfo reports it ("841.89 x 595.276 pts").
QString PdfPageSize(const QString& path) {
  const QString pdfinfo = QStandardPaths::findExecutable(QStringLiteral("pdfinfo"));
  if (pdfinfo.isEmpty()) return {};
  QProcess p;
  p.start(pdfinfo, {path});
  p.waitForFinished(20000);
  QRegularExpressionMatch m =
      QRegularExpression(QStringLiteral("Page size:\\s+([0-9.]+ x [0-9.]+)")).match(QString::fromUtf8(p.readAllStandardOutput()));
  return m.hasMatch() ? m.captured(1) : QString();
}

// The print setup chooses landscape; the next preview opens on it, and a direct
// print after the preview prints it: the session keeps one printer.
TEST_F(PrintTest, PrintSetupChoiceHoldsForPreviewAndPrint) {
  Fill(view_, 20, false);
  CTableWidget grid(&view_);
  grid.resize(800, 500);
  QPrinter& session = table_ui::SessionPrinter();
  session.setOutputFormat(QPrinter::PdfFormat);
  const QString file = dir_.filePath("session.pdf");
  session.setOutputFileName(file);
  session.setPageSize(QPageSize(QPageSize::A4));
  session.setPageOrientation(QPageLayout::Portrait);

  bool setupShown = false;
  QTimer::singleShot(200, [&] {
    auto* dlg = qobject_cast<QPageSetupDialog*>(QApplication::activeModalWidget());
    if (!dlg) return;
    setupShown = true;
    if (auto* landscape = dlg->findChild<QRadioButton*>(QStringLiteral("landscape"))) landscape->click();
    dlg->accept();
  });
  grid.PrintSetup();
  EXPECT_TRUE(setupShown);
  EXPECT_EQ(session.pageLayout().orientation(), QPageLayout::Landscape);

  QPageLayout::Orientation inPreview = QPageLayout::Portrait;
  QTimer::singleShot(200, [&] {
    auto* dlg = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget());
    if (!dlg) return;
    inPreview = dlg->printer()->pageLayout().orientation();
    dlg->reject();
  });
  grid.PrintPreview();
  EXPECT_EQ(inPreview, QPageLayout::Landscape);

  grid.PrintDirect();
  ASSERT_EQ(PdfPages(file), 1);
  const QString size = PdfPageSize(file);
  if (!size.isEmpty()) {
    const QStringList wh = size.split(QStringLiteral(" x "));
    ASSERT_EQ(wh.size(), 2);
    EXPECT_GT(wh[0].toDouble(), wh[1].toDouble()) << "landscape page: " << size.toStdString();
  }
  session.setPageOrientation(QPageLayout::Portrait);
}

// The frame's print commands as every view host passes them on: each opens its own
// dialog (打印设置 the page setup, never a print), direct print opens none and prints,
// and other ids are not print commands.
TEST_F(PrintTest, EachPrintCommandOfAViewOpensItsOwnDialog) {
  Fill(view_, 5, false);
  CTableWidget grid(&view_);
  grid.resize(800, 500);
  QPrinter& session = table_ui::SessionPrinter();
  session.setOutputFormat(QPrinter::PdfFormat);
  const std::function<void(int)> command = table_ui::GridPrintCommands(&grid);
  enum Shown { kNone, kPrint, kPreview, kSetup, kOther };
  struct Case {
    int id;
    Shown shown;
    bool prints;  // a PDF written with no dialog accepted
  } cases[] = {
      {platform::ID_FILE_PRINT, kPrint, false},
      {platform::ID_FILE_PRINT_PREVIEW, kPreview, false},
      {platform::ID_FILE_PRINT_SETUP, kSetup, false},
      {platform::ID_FILE_PRINT_DIRECT, kNone, true},
      {platform::ID_FILE_SAVE, kNone, false},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    const QString file = dir_.filePath(QStringLiteral("cmd%1.pdf").arg(n++));
    session.setOutputFileName(file);
    Shown shown = kNone;
    QTimer::singleShot(200, [&] {
      QWidget* w = QApplication::activeModalWidget();
      if (!w) return;
      if (qobject_cast<QPrintPreviewDialog*>(w)) shown = kPreview;
      else if (qobject_cast<QPageSetupDialog*>(w)) shown = kSetup;
      else if (qobject_cast<QPrintDialog*>(w)) shown = kPrint;
      else shown = kOther;
      qobject_cast<QDialog*>(w)->reject();
    });
    command(c.id);
    EXPECT_EQ(shown, c.shown);
    EXPECT_EQ(QFile::exists(file), c.prints);
  }
  EXPECT_FALSE(grid.RunPrintCommand(platform::ID_FILE_SAVE));
}

}  // namespace
