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

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <functional>

#include "platform/fake_ports.h"
#include "records/ui/records_view.h"
#include "records/ui/shb_set_dlg.h"
#include "table/ui/bar_icons.h"
#include "tests/records/book_fixture.h"
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


// Presses "确定" of the settings dialog as soon as it is up (optionally after `edit`).
void PressOkWhenShown(const std::function<void(CShbSetDlg&)>& edit = {}) {
  auto* timer = new QTimer;
  QObject::connect(timer, &QTimer::timeout, timer, [timer, edit] {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      auto* dlg = qobject_cast<CShbSetDlg*>(w);
      if (!dlg || !dlg->isVisible()) continue;
      if (edit) edit(*dlg);
      for (QPushButton* b : dlg->findChildren<QPushButton*>())
        if (b->text() == QString::fromUtf8("确定")) b->click();
      timer->deleteLater();
      return;
    }
  });
  timer->start(10);
}

// Everything a book keeps: its settings and typed cells as the job file holds them,
// its pages with the results, and what the view shows.
struct BookState {
  std::vector<std::string> section;
  std::vector<CDxShb::CPage> dx;
  std::vector<CShpjShb::CPage> shpj;
  std::vector<CShzhShb::CPage> shzh;
  std::vector<int> computed;
  std::vector<std::string> grid;
  bool operator==(const BookState&) const = default;
};

BookState StateOf(CGcJlView& v) {
  BookState s{v.WriteRecords(), v.m_dx.m_arrPages, v.m_shpj.m_arrPages, v.m_shzh.m_arrPages,
              {v.m_dx.m_bComputed, v.m_shpj.m_bComputed, v.m_shzh.m_bComputed}, {}};
  for (int r = 1; r <= v.GetRowCount(); ++r)
    for (int c = 1; c <= v.GetColCount(); ++c) s.grid.push_back(v.GetCellText(r, c));
  s.grid.push_back(std::to_string(v.GetFontHeight()) + "/" + std::to_string(v.m_fWordFontSize));
  return s;
}

// OK on the settings dialog with nothing touched leaves every book form as it was:
// each combination of distance type, levelling mode and line counts, settings a
// file may hold that the dialog would not take from the keyboard, both decimal
// forms of the levelling book and constants that do not survive mm/ppm exactly.
TEST_F(RecordsWidget, SettingsOkWithNoChangeKeepsEveryBookForm) {
  using records_test::Type;
  struct Case {
    const char* name;
    const char* key;
    std::function<void(CGcJlView&)> set;
  };
  auto dx = [](int type, int above, int below) {
    return [type, above, below](CGcJlView& v) {
      v.m_dx.m_nDistanceType = type;
      v.m_dx.m_nLinesAbove = above;
      v.m_dx.m_nLinesBelow = below;
      v.m_dx.m_bVerticalFrom90 = 0;
      v.m_dx.m_dRefraction = 1.5;        // a file's value beyond 0..1
      v.m_dx.m_dEdmConstant = 0.0013;    // 1.3 mm
      v.m_dx.m_dEdmScale = 2.7e-6;       // 2.7 ppm
    };
  };
  auto shzh = [](int mode, int omit, int above, int below) {
    return [mode, omit, above, below](CGcJlView& v) {
      v.m_shzh.m_nLevellingMode = mode;
      v.m_shzh.m_bOmitDecimalPoint = omit;
      v.m_shzh.m_bDoubledReadings = 1;
      v.m_shzh.m_dStaffConstant = omit ? 301550 : 3.0155;
      v.m_shzh.m_nLinesAbove = above;
      v.m_shzh.m_nLinesBelow = below;
      v.m_dx.m_dRefraction = -0.5;  // disabled here: never checked
    };
  };
  const Case cases[] = {
      {"slope", "DX", dx(kDistanceSlope, 2, 1)},      {"stadia", "DX", dx(kDistanceStadia, 3, 0)},
      {"stadia, no lines", "DX", dx(kDistanceStadia, 0, 0)}, {"direct", "DX", dx(kDistanceDirect, 1, 1)},
      {"angles", "SHPJ", [](CGcJlView& v) { v.m_shpj.m_nLinesBelow = 1; v.m_dx.m_dRefraction = 2; }},
      {"precise", "SHZH", shzh(kLevelPrecise, 1, 2, 1)}, {"precise, metres", "SHZH", shzh(kLevelPrecise, 0, 3, 0)},
      {"single face", "SHZH", shzh(kLevelSingleFace, 1, 2, 0)}, {"double scale", "SHZH", shzh(kLevelDoubleScale, 0, 1, 1)},
      {"results", "WYZHL", [](CGcJlView& v) { v.m_nResultsLinesAbove = 3; v.m_nResultsLinesBelow = 1; }},
  };
  for (const Case& c : cases) {
    CGcJlView& v = View();
    v.ResetRecords();
    c.set(v);
    // One station in each book, so that results are there to keep.
    Type(v.m_dx.m_arrPages[0], 0, {{0, "A"}, {1, "B"}, {2, "0"}, {3, "180"}, {6, "85"}, {7, "275"}, {10, "100.0"}, {13, "1.6"}});
    Type(v.m_dx.m_arrPages[0], 1, {{0, "1.5"}, {1, "C"}, {2, "90"}, {3, "270"}, {6, "95"}, {7, "265"}, {10, "120.0"}, {12, "0.5"}, {13, "1.5"}});
    v.m_shpj.m_nSets = std::string(c.name) == "angles" ? 3 : 1;
    v.m_shpj.m_arrPages[0].SetRowCount(v.m_shpj.RowsPerPage());
    for (int k = 0; k < v.m_shpj.m_nSets; ++k) {
      Type(v.m_shpj.m_arrPages[0], 2 * k, {{0, k == 0 ? "O" : ""}, {1, "A"}, {2, "0"}, {3, "180"}});
      Type(v.m_shpj.m_arrPages[0], 2 * k + 1, {{1, "B"}, {2, "90"}, {3, "270"}});
    }
    v.ShowPage(c.key, std::string(c.key) == "WYZHL" ? -1 : 0);
    v.OnCompute();
    ASSERT_TRUE(messages.Messages().empty()) << c.name << ": " << messages.Messages()[0];
    const BookState before = StateOf(v);
    PressOkWhenShown();
    v.OnCommand(table::ID_SCHEME);
    EXPECT_TRUE(messages.Messages().empty()) << c.name << ": " << messages.Messages()[0];
    const BookState after = StateOf(v);
    EXPECT_EQ(after.section, before.section) << c.name;
    EXPECT_TRUE(after == before) << c.name;
  }
}

// A changed distance type reaches the book; a disabled field holding junk is not read.
TEST_F(RecordsWidget, SettingsChangesReachTheBook) {
  CGcJlView& v = View();
  v.m_dx.m_nDistanceType = kDistanceSlope;
  v.ShowPage("DX", 0);
  PressOkWhenShown([](CShbSetDlg& d) {
    static_cast<QComboBox*>(d.Control(records::kCtlDistanceType))->setCurrentIndex(kDistanceStadia);
  });
  v.OnCommand(table::ID_SCHEME);
  EXPECT_EQ(v.m_dx.m_nDistanceType, kDistanceStadia);
  v.ShowPage("SHPJ", 0);
  PressOkWhenShown([](CShbSetDlg& d) { static_cast<QLineEdit*>(d.Control(records::kCtlRefraction))->setText("x"); });
  v.OnCommand(table::ID_SCHEME);
  EXPECT_TRUE(messages.Messages().empty());
  EXPECT_EQ(v.m_dx.m_dRefraction, 0.14);
}

// The page buttons and 读取 have pictures of their own, not the neutral square.
TEST(BarIcons, PageButtonsAndReadHaveTheirOwnPictures) {
  TestApp();
  const QImage neutral = BarIcon(-1).pixmap(24, 24).toImage();
  std::vector<QImage> seen;
  for (int id : {164, 172, 173, 179}) {
    const QImage img = BarIcon(id).pixmap(24, 24).toImage();
    EXPECT_NE(img, neutral) << id;
    for (const QImage& other : seen) EXPECT_NE(img, other) << id;
    seen.push_back(img);
  }
}

}  // namespace
