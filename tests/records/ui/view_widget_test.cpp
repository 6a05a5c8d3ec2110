// The records view on screen (offscreen): the spanned headers of the 14-column
// traverse form, the page footer under the table, and a 3-page book printed to PDF
// one page per sheet with page 1 still shown afterwards.
#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QPixmap>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "platform/fake_ports.h"
#include "records/ui/records_view.h"
#include "table/ui/table_widget.h"
#include "tests/table/ui/qt_app.h"

namespace {

int PdfPages(const QString& path) {
  const QString pdfinfo = QStandardPaths::findExecutable(QStringLiteral("pdfinfo"));
  if (!pdfinfo.isEmpty()) {
    QProcess p;
    p.start(pdfinfo, {path});
    p.waitForFinished(20000);
    QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(QString::fromUtf8(p.readAllStandardOutput()));
    if (m.hasMatch()) return m.captured(1).toInt();
  }
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return -1;
  int pages = 0;
  auto it = QRegularExpression(QStringLiteral("/Type\\s*/Page(?!s)")).globalMatch(QString::fromLatin1(f.readAll()));
  while (it.hasNext()) {
    it.next();
    ++pages;
  }
  return pages;
}

bool Dark(const QImage& img, int x, int y) { return qGray(img.pixel(x, y)) < 128; }

class RecordsWidget : public ::testing::Test {
 protected:
  RecordsWidget() {
    TestApp();
    host = new records_ui::CRecordsViewHost(nullptr);
    host->Widget()->resize(1400, 1000);
    host->Widget()->show();
  }
  ~RecordsWidget() override { delete host->Widget(); }
  CGcJlView& View() { return host->View(); }

  platform::FakeMessagePort messages;
  records_ui::CRecordsViewHost* host = nullptr;
};

TEST_F(RecordsWidget, SpannedHeadersOfTheSlopeForm) {
  View().m_dx.m_nDistanceType = kDistanceSlope;
  ASSERT_TRUE(View().ShowPage("DX", 0));
  ASSERT_EQ(View().GetColCount(), 14);
  const QImage img = host->Widget()->grab().toImage();
  const table::CTableLayout& l = View().Layout();
  // The line under a spanned first header line runs across the spanned columns only.
  const int y = l.yOrigin - (View().GetColumnHeaderLines() - 1) * l.H;
  auto mid = [&](int col) { return l.xOrigin + (l.right[col - 1] + l.right[col]) / 2; };
  struct Case { int col; bool line; };
  for (const Case& c : {Case{1, false}, Case{4, true}, Case{6, true}, Case{8, true}, Case{10, true},
                        Case{12, true}, Case{14, true}}) {
    bool dark = Dark(img, mid(c.col), y) || Dark(img, mid(c.col), y - 1);
    EXPECT_EQ(dark, c.line) << "column " << c.col;
  }
}

TEST_F(RecordsWidget, FooterIsDrawnOneRowBelowTheTable) {
  View().m_dx.m_nTableRows = 12;
  View().m_dx.m_arrPages[0].SetRowCount(View().m_dx.RowsPerPage());
  View().m_dx.AddPage();
  ASSERT_TRUE(View().ShowPage("DX", 1));
  const QImage img = host->Widget()->grab().toImage();
  const table::CTableLayout& l = View().Layout();
  const int top = l.yOrigin + l.visibleRows * l.H;
  const int right = l.xOrigin + l.right[static_cast<std::size_t>(View().GetColCount())] - 10;
  int ink = 0, inkBelow = 0;
  for (int y = top + 1; y < top + l.H; ++y)
    for (int x = right - 200; x < right; ++x) ink += Dark(img, x, y);
  for (int y = top + l.H + 2; y < top + 3 * l.H; ++y)
    for (int x = right - 200; x < right; ++x) inkBelow += Dark(img, x, y);
  EXPECT_GT(ink, 30);  // "第 2 页 共 2 页"
  EXPECT_EQ(inkBelow, 0);
}

TEST_F(RecordsWidget, ThreePageBookPrintsThreeSheetsAndKeepsPageOne) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  View().m_dx.AddPage();
  View().m_dx.AddPage();
  View().m_dx.m_arrPages[1].At(0, 0) = "第二页测站";
  ASSERT_TRUE(View().ShowPage("DX", 0));
  View().OnCellEditEnd(1, 1, "K1");
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  const QString file = dir.filePath(QStringLiteral("book.pdf"));
  printer.setOutputFileName(file);
  host->PrintTo(printer);
  EXPECT_EQ(PdfPages(file), 3);
  EXPECT_EQ(View().m_nCurrentPage, 0);
  EXPECT_EQ(View().GetCellText(1, 1), "K1");
  if (const char* keep = std::getenv("RECORDS_PDF_OUT")) QFile::copy(file, QString::fromUtf8(keep));
}

}  // namespace
