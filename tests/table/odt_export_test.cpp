// Word-processor export read back by an independent reader (zipfile and ElementTree
// through the system Python): the package, the page setup in the styles, the table
// with its spans, the split by the print plan, the row-offset mode, the dialog's
// checks and the session flow around the file.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "export_fixture.h"
#include "platform/fake_ports.h"
#include "platform/number.h"
#include "platform/services.h"
#include "platform/textfile.h"
#include "table/export/export_ports.h"
#include "table/export/odt_export.h"
#include "table/export/word_set_form.h"
#include "table/export/zip_parts.h"

#ifndef QUINTAR_SOURCE_DIR
#define QUINTAR_SOURCE_DIR "."
#endif

namespace {

using namespace tabletest;
namespace fs = std::filesystem;

struct ReadCell {
  int colSpan = 1, rowSpan = 1;
  std::string text;
};

struct ReadTable {
  std::string name;
  int rows = 0, headerRows = 0;
  std::map<std::pair<int, int>, ReadCell> cells;  // 1-based row, column
  std::set<std::pair<int, int>> covered;
  std::string Text(int r, int c) const {
    auto it = cells.find({r, c});
    return it == cells.end() ? "<none>" : it->second.text;
  }
};

struct ReadPara {
  std::string master;
  bool pageBreak = false;
  std::string text;
};

struct ReadDoc {
  struct Entry {
    std::string name;
    bool stored = false;
    int extra = 0;
  };
  std::vector<Entry> entries;
  std::string mimetype;
  std::map<std::string, std::vector<std::string>> layouts;  // width height orientation top bottom left right
  std::map<std::string, std::string> masters;               // master -> layout
  std::vector<ReadPara> paras;
  std::vector<ReadTable> tables;
  // The layout of the master page that table k's title paragraph starts.
  std::vector<std::string> LayoutOfTitle(std::size_t k) const {
    std::size_t seen = 0;
    for (const ReadPara& p : paras)
      if (p.master != "-" && seen++ == k) return layouts.at(masters.at(p.master));
    return {};
  }
};

std::string Unescape(const std::string& s) {
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\\' && i + 1 < s.size() && s[i + 1] == 'n') {
      out += '\n';
      ++i;
    } else {
      out += s[i];
    }
  }
  return out;
}

ReadDoc ReadBack(const std::string& path) {
  std::istringstream in(Shell("/usr/bin/python3 " QUINTAR_SOURCE_DIR "/tests/table/odt_read.py '" + path + "' 2>&1"));
  ReadDoc d;
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream ls(line);
    std::string kind;
    ls >> kind;
    if (kind == "entry") {
      ReadDoc::Entry e;
      int index = 0;
      ls >> index >> e.name >> e.stored >> e.extra;
      d.entries.push_back(e);
    } else if (kind == "mimetype") {
      std::getline(ls >> std::ws, d.mimetype);
    } else if (kind == "layout") {
      std::string name, v;
      ls >> name;
      while (ls >> v) d.layouts[name].push_back(v);
    } else if (kind == "master") {
      std::string name, layout;
      ls >> name >> layout;
      d.masters[name] = layout;
    } else if (kind == "para") {
      ReadPara p;
      ls >> p.master >> p.pageBreak;
      ls.ignore(1);
      std::getline(ls, p.text);
      d.paras.push_back(p);
    } else if (kind == "table") {
      ReadTable t;
      ls >> t.name >> t.rows >> t.headerRows;
      d.tables.push_back(t);
    } else if (kind == "cell" && !d.tables.empty()) {
      int r = 0, c = 0;
      ReadCell cell;
      ls >> r >> c >> cell.colSpan >> cell.rowSpan;
      ls.ignore(1);
      std::getline(ls, cell.text);
      cell.text = Unescape(cell.text);
      d.tables.back().cells[{r, c}] = cell;
    } else if (kind == "covered" && !d.tables.empty()) {
      int r = 0, c = 0;
      ls >> r >> c;
      d.tables.back().covered.insert({r, c});
    } else {
      ADD_FAILURE() << "reader: " << line;
    }
  }
  return d;
}

class OdtTest : public ::testing::Test {
 protected:
  void SetUp() override { FillCoordinateTable(v); }
  ReadDoc Write(const std::vector<table::OdtTable>& tables, const std::string& name) {
    std::string error;
    EXPECT_TRUE(table::WriteOdt(dir.File(name), tables, &error)) << error;
    return ReadBack(dir.File(name));
  }
  TempDir dir{"odt"};
  CTableView v;
};

TEST_F(OdtTest, OneTableHoldsTheGridWithItsHeaderSpans) {
  v.SetCellText(2, 1, "B  07 <&>");  // blanks kept, markup escaped
  v.SetSignatureTexts(2, "备注", "fβ = 0.30\"  fx = 9.29mm", "fβ允 = 24.49\"");
  const ReadDoc d = Write(table::BuildOdtTables(v, false, false), "one.odt");

  ASSERT_EQ(d.entries.size(), 4u);
  EXPECT_EQ(d.entries[0].name, "mimetype");
  EXPECT_TRUE(d.entries[0].stored);
  EXPECT_EQ(d.entries[0].extra, 0) << "the mimetype entry carries no extra field";
  std::set<std::string> names;
  for (const auto& e : d.entries) names.insert(e.name);
  EXPECT_EQ(names, (std::set<std::string>{"mimetype", "content.xml", "styles.xml", "META-INF/manifest.xml"}));
  EXPECT_EQ(d.mimetype, "application/vnd.oasis.opendocument.text");

  ASSERT_EQ(d.tables.size(), 1u);
  const ReadTable& t = d.tables[0];
  EXPECT_EQ(t.rows, 2 + 3 + 2);  // header lines, rows, signature lines
  EXPECT_EQ(t.headerRows, 2);
  const struct {
    int r, c, colSpan, rowSpan;
    const char* text;
  } head[] = {{1, 1, 1, 2, "点名"}, {1, 2, 1, 2, "边长"}, {1, 3, 2, 1, "坐标"}, {2, 3, 1, 1, "X"}, {2, 4, 1, 1, "Y"}};
  for (const auto& h : head) {
    ASSERT_TRUE(t.cells.count({h.r, h.c})) << h.text;
    const ReadCell& c = t.cells.at({h.r, h.c});
    EXPECT_EQ(c.text, h.text);
    EXPECT_EQ(c.colSpan, h.colSpan) << h.text;
    EXPECT_EQ(c.rowSpan, h.rowSpan) << h.text;
  }
  EXPECT_EQ(t.covered, (std::set<std::pair<int, int>>{{1, 4}, {2, 1}, {2, 2}, {6, 3}, {6, 4}, {7, 1}, {7, 3}, {7, 4}}));
  for (int r = 1; r <= 3; ++r)
    for (int c = 1; c <= 4; ++c) EXPECT_EQ(t.Text(2 + r, c), v.GetCellText(r, c)) << r << "," << c;
  EXPECT_EQ(t.Text(6, 1), "备注");
  EXPECT_EQ(t.Text(6, 2), "fβ = 0.30\"  fx = 9.29mm");
  EXPECT_EQ(t.Text(7, 2), "fβ允 = 24.49\"");

  ASSERT_GE(d.paras.size(), 3u);
  EXPECT_EQ(d.paras[0].text, "坐标表");
  EXPECT_EQ(d.paras[0].master, "MP1");
  EXPECT_FALSE(d.paras[0].pageBreak);
  // One table may run over pages: it carries no page item.
  EXPECT_EQ(d.paras[1].text, "工程名称：演示\t\t");
  EXPECT_EQ(d.paras.back().text, "计算：\t复核：\t日期：");
}

TEST_F(OdtTest, StylesCarryThePaperOrientationAndMarginsOfTheDialog) {
  const struct {
    int orientation, paper;  // paper index; 2 with the size below
    int height, width;
    int top, bottom, left, right;
    const char* w;
    const char* h;
    const char* orient;
  } cases[] = {
      {0, 0, 0, 0, 20, 20, 25, 15, "210.00mm", "297.00mm", "portrait"},
      {1, 0, 0, 0, 10, 12, 30, 5, "297.00mm", "210.00mm", "landscape"},
      {1, 1, 0, 0, 1, 1, 1, 1, "420.00mm", "297.00mm", "landscape"},
      {0, 2, 500, 300, 50, 50, 50, 50, "300.00mm", "500.00mm", "portrait"},
  };
  int k = 0;
  for (const auto& c : cases) {
    table::CWordSetForm f = table::CWordSetForm::FromView(v);
    f.SetOrientation(c.orientation);
    f.SetPaper(c.paper);
    if (c.paper == 2) {
      f.paperHeight = c.height;
      f.paperWidth = c.width;
    }
    f.marginTop = c.top;
    f.marginBottom = c.bottom;
    f.marginLeft = c.left;
    f.marginRight = c.right;
    ASSERT_EQ(f.Validate(), "");
    f.ApplyTo(v);
    const ReadDoc d = Write(table::BuildOdtTables(v, true, false), "page" + std::to_string(++k) + ".odt");
    const std::vector<std::string> layout = d.LayoutOfTitle(0);
    auto mm = [](int x) { return std::to_string(x) + ".00mm"; };
    EXPECT_EQ(layout, (std::vector<std::string>{c.w, c.h, c.orient, mm(c.top), mm(c.bottom), mm(c.left), mm(c.right)}))
        << c.w << " " << c.h;
  }
}

// A result table of `rows` rows for the split: point names, a side column that may be
// staggered, coordinates.
void FillLong(CTableView& v, int rows, bool stagger) {
  v.OnInitialUpdate();
  v.NewTable(rows, 3, "坐标成果表", true);
  v.SetColumnHeader(1, "点名", "");
  v.SetColumnHeader(2, "边长", "");
  v.SetColumnHeader(3, "X", "");
  v.SetColumnStagger(2, stagger);
  for (int r = 1; r <= rows; ++r) {
    v.SetCellText(r, 1, "P" + std::to_string(r));
    if (r < rows || !stagger) v.SetCellText(r, 2, "S" + std::to_string(r));
    v.SetCellDouble(r, 3, 1000 + r, 3);
  }
  v.SetSignatureTexts(1, "备注", "fx = 1mm", "");
}

TEST(OdtSplitTest, OneTablePerPageOfThePrintPlan) {
  const struct {
    int rows;
    bool stagger;
    int orientation;
  } cases[] = {{1, false, 0}, {100, false, 0}, {100, false, 1}, {100, true, 0}, {97, true, 1}};
  TempDir dir("odt-split");
  for (const auto& c : cases) {
    const std::string tag = std::to_string(c.rows) + (c.stagger ? "s" : "") + std::to_string(c.orientation);
    CTableView v;
    FillLong(v, c.rows, c.stagger);
    table::CWordSetForm f = table::CWordSetForm::FromView(v);
    f.SetOrientation(c.orientation);
    f.ApplyTo(v);
    const table::WordPagePlan plan = table::PlanWordPages(v, true, false);
    std::string error;
    ASSERT_TRUE(table::WriteOdt(dir.File(tag + ".odt"), table::BuildOdtTables(v, true, false), &error)) << error;
    const ReadDoc d = ReadBack(dir.File(tag + ".odt"));
    ASSERT_EQ(static_cast<int>(d.tables.size()), plan.Pages()) << tag;
    if (c.rows == 100) {
      EXPECT_GT(plan.Pages(), 1) << tag;
    }
    const int pages = plan.Pages();
    int k = 0;
    for (const ReadPara& p : d.paras) {
      if (p.master == "-") continue;  // only titles start pages
      EXPECT_EQ(p.pageBreak, k > 0) << tag << " page " << k + 1;
      ++k;
    }
    EXPECT_EQ(k, pages) << tag;
    int itemLines = 0;
    for (const ReadPara& p : d.paras)
      if (p.text.find("第 ") != std::string::npos) {
        EXPECT_NE(p.text.find("第 " + std::to_string(++itemLines) + " 页  共 " + std::to_string(pages) + " 页"),
                  std::string::npos)
            << tag << ": " << p.text;
      }
    EXPECT_EQ(itemLines, pages) << tag;
    const int hL = v.GetColumnHeaderLines();
    for (int p = 1; p <= pages; ++p) {
      const ReadTable& t = d.tables[static_cast<std::size_t>(p - 1)];
      const int first = plan.firstRows[static_cast<std::size_t>(p - 1)];
      const int last = plan.lastRows[static_cast<std::size_t>(p - 1)];
      // Pages follow each other; a staggered page repeats the previous page's last row.
      EXPECT_EQ(first, p == 1 ? 1 : plan.lastRows[static_cast<std::size_t>(p - 2)] + (c.stagger ? 0 : 1)) << tag;
      if (p == pages) {
        EXPECT_EQ(last, c.rows) << tag;
      }
      const int signs = p == pages ? 1 : 0;
      EXPECT_EQ(t.rows, hL + last - first + 1 + signs) << tag << " page " << p;
      EXPECT_EQ(t.headerRows, hL);
      EXPECT_EQ(t.Text(1, 1), "点名");
      EXPECT_EQ(t.Text(hL + 1, 1), "P" + std::to_string(first)) << tag << " page " << p;
      EXPECT_EQ(t.Text(hL + last - first + 1, 1), "P" + std::to_string(last)) << tag << " page " << p;
      // The side after a page's last row is printed on the next page only.
      const bool sideOnNext = c.stagger && p < pages;
      EXPECT_EQ(t.Text(hL + last - first + 1, 2), sideOnNext ? "" : v.GetCellText(last, 2)) << tag << " page " << p;
      if (signs) {
        EXPECT_EQ(t.Text(t.rows, 1), "备注");
      }
    }
  }
}

// The document measured from the heights and widths it declares (odt_pages.py).
struct Measured {
  std::vector<std::pair<double, double>> pages;  // used, available (mm)
  std::vector<std::string> wraps;
};

Measured Measure(const std::string& path) {
  Measured m;
  std::istringstream in(Shell("/usr/bin/python3 " QUINTAR_SOURCE_DIR "/tests/table/odt_pages.py '" + path + "' 2>&1"));
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream ls(line);
    std::string kind;
    ls >> kind;
    if (kind == "page") {
      int n = 0;
      double used = 0, avail = 0;
      ls >> n >> used >> avail;
      m.pages.push_back({used, avail});
    } else if (kind == "wrap") {
      m.wraps.push_back(line);
    } else {
      ADD_FAILURE() << "measure: " << line;
    }
  }
  return m;
}

TEST(OdtSplitTest, PagesFollowTheWordFontAndEachFitsItsPaper) {
  TempDir dir("odt-font");
  // Pages of 120 rows on A4 with 20 mm margins, as an office converter laid them out
  // (OdtConverterTest).
  const struct {
    double font;
    int orientation;
    int pages;
  } cases[] = {{10.5, 0, 4}, {12, 0, 4}, {14, 0, 5}, {16, 0, 6}, {14, 1, 9}};
  for (const auto& c : cases) {
    const std::string tag = std::to_string(c.font) + "/" + std::to_string(c.orientation);
    CTableView v;
    FillLong(v, 120, false);
    v.SetHeaderText(2, "第   页  共   页");
    table::CWordSetForm f = table::CWordSetForm::FromView(v);
    f.fontSize = c.font;
    f.SetOrientation(c.orientation);
    f.ApplyTo(v);
    const std::string path = dir.File(std::to_string(static_cast<int>(c.font * 10)) + "-" + std::to_string(c.orientation) + ".odt");
    std::string error;
    ASSERT_TRUE(table::WriteOdt(path, table::BuildOdtTables(v, true, false), &error)) << error;
    const ReadDoc d = ReadBack(path);
    const int pages = static_cast<int>(d.tables.size());
    const Measured m = Measure(path);
    ASSERT_EQ(static_cast<int>(m.pages.size()), pages) << tag;
    for (const auto& [used, avail] : m.pages) EXPECT_LE(used, avail) << tag << ": a table runs onto another page";
    EXPECT_TRUE(m.wraps.empty()) << tag << ": " << m.wraps.front();
    int numbered = 0;
    for (const ReadPara& p : d.paras)
      if (p.text.find("共 ") != std::string::npos) {
        ++numbered;
        EXPECT_NE(p.text.find("第 " + std::to_string(numbered) + " 页  共 " + std::to_string(pages) + " 页"),
                  std::string::npos)
            << tag << ": " << p.text;
      }
    EXPECT_EQ(numbered, pages) << tag;
    EXPECT_EQ(d.tables.back().Text(d.tables.back().rows - 1, 1), "P120") << tag;
    EXPECT_EQ(pages, c.pages) << tag;
  }
}

// A traverse result table: point names, angles, bearings, sides, differences and
// coordinates, the texts that wrapped in narrow columns.
void FillWide(CTableView& v, int rows = 30) {
  v.OnInitialUpdate();
  const char* heads[] = {"点名", "观测角", "方位角", "边长", "ΔX", "ΔY", "X", "Y", "备注"};
  const char* cells[] = {"GP07", "116 02 19", "235 41 07.5", "1234.567", "-123.456", "+234.567", "3381522.41", "38512345.678", ""};
  v.NewTable(rows, 9, "导线坐标计算表", true);
  for (int c = 0; c < 9; ++c) v.SetColumnHeader(c + 1, heads[c], "");
  for (int r = 1; r <= rows; ++r)
    for (int c = 0; c < 9; ++c) v.SetCellText(r, c + 1, cells[c]);
}

TEST(OdtWidthTest, NumbersStayOnOneLineAndAWideTableGetsASmallerFont) {
  TempDir dir("odt-wide");
  const struct {
    double font;
    int orientation;
    bool shrunk;
  } cases[] = {{10.5, 0, true}, {16, 0, true}, {10.5, 1, false}, {8, 0, false}};
  for (const auto& c : cases) {
    const std::string tag = std::to_string(c.font) + "/" + std::to_string(c.orientation);
    CTableView v;
    FillWide(v);
    table::CWordSetForm f = table::CWordSetForm::FromView(v);
    f.fontSize = c.font;
    f.SetOrientation(c.orientation);
    f.ApplyTo(v);
    const table::WordPagePlan plan = table::PlanWordPages(v, true, false);
    EXPECT_EQ(plan.shrunk, c.shrunk) << tag;
    if (c.shrunk) {
      EXPECT_LT(plan.fontPt, c.font) << tag;
    } else {
      EXPECT_EQ(plan.fontPt, c.font) << tag;
    }
    const std::string path = dir.File("wide" + std::to_string(static_cast<int>(c.font * 10)) + std::to_string(c.orientation) + ".odt");
    std::string error;
    ASSERT_TRUE(table::WriteOdt(path, table::BuildOdtTables(v, true, false), &error)) << error;
    const Measured m = Measure(path);
    EXPECT_TRUE(m.wraps.empty()) << tag << ": " << (m.wraps.empty() ? "" : m.wraps.front());
    for (const auto& [used, avail] : m.pages) EXPECT_LE(used, avail) << tag;
  }
}

// The pages as an office converter lays them out (the setup script installs one; the
// test is skipped where it is missing): every table keeps to its own page, so the PDF
// has as many pages as the plan, and page k reads "第 k 页  共 N 页".
std::string Converted(const std::string& odt, const fs::path& dir) {
  Shell("cd '" + dir.string() + "' && HOME='" + dir.string() + "' timeout 300 soffice -env:UserInstallation=file://" +
        (dir / "profile").string() + " --headless --convert-to pdf --outdir '" + dir.string() + "' '" + odt +
        "' >/dev/null 2>&1");
  return odt.substr(0, odt.size() - 4) + ".pdf";
}

TEST(OdtConverterTest, TheConverterLaysOutThePagesThePlanCounts) {
  if (Shell("command -v soffice >/dev/null && command -v pdfinfo >/dev/null && command -v pdftotext >/dev/null && echo yes") !=
      "yes\n")
    GTEST_SKIP() << "no office converter (soffice) or poppler tools installed";
  TempDir dir("odt-convert");
  const struct {
    double font;
    int orientation;
    bool wide;
  } cases[] = {{10.5, 0, false}, {12, 0, false}, {14, 0, false}, {16, 0, false}, {14, 1, false}, {14, 0, true}};
  for (const auto& c : cases) {
    const std::string tag = std::string(c.wide ? "wide" : "long") + std::to_string(static_cast<int>(c.font * 10)) +
                            "-" + std::to_string(c.orientation);
    CTableView v;
    if (c.wide) {
      FillWide(v, 120);
    } else {
      FillLong(v, 120, false);
    }
    v.SetHeaderText(2, "第   页  共   页");
    table::CWordSetForm f = table::CWordSetForm::FromView(v);
    f.fontSize = c.font;
    f.SetOrientation(c.orientation);
    f.ApplyTo(v);
    const table::WordPagePlan plan = table::PlanWordPages(v, true, false);
    const std::string path = dir.File(tag + ".odt");
    std::string error;
    ASSERT_TRUE(table::WriteOdt(path, table::BuildOdtTables(v, true, false), &error)) << error;
    const std::string pdf = Converted(path, dir.Path());
    const std::string pages = Shell("pdfinfo '" + pdf + "' 2>/dev/null | sed -n 's/^Pages: *//p'");
    ASSERT_FALSE(pages.empty()) << tag << ": not converted";
    EXPECT_EQ(std::stoi(pages), plan.Pages()) << tag;
    const std::string n = std::to_string(plan.Pages());
    for (int k = 1; k <= plan.Pages(); ++k) {
      const std::string text =
          Shell("pdftotext -layout -f " + std::to_string(k) + " -l " + std::to_string(k) + " '" + pdf + "' - | tr -d ' \\n'");
      EXPECT_NE(text.find("第" + std::to_string(k) + "页共" + n + "页"), std::string::npos) << tag << " page " << k;
      const int first = plan.firstRows[static_cast<std::size_t>(k - 1)];
      const int last = plan.lastRows[static_cast<std::size_t>(k - 1)];
      if (c.wide) {
        // Each coordinate stands whole on its row's line: none wrapped in its column.
        const std::string lines = Shell("pdftotext -layout -f " + std::to_string(k) + " -l " + std::to_string(k) + " '" +
                                        pdf + "' - | grep -c '3381522\\.41  *38512345\\.678'");
        EXPECT_EQ(lines, std::to_string(last - first + 1) + "\n") << tag << " page " << k;
        continue;
      }
      // The page ends with the row the plan gave it.
      auto row = [](int r) { return "P" + std::to_string(r) + "S" + std::to_string(r); };
      EXPECT_NE(text.find(row(last)), std::string::npos) << tag << " page " << k;
      EXPECT_EQ(text.find(row(last + 1)), std::string::npos) << tag << " page " << k;
    }
  }
}

TEST(OdtSplitTest, RowOffsetKeepsOneTableWithStaggeredValuesBetweenRows) {
  CTableView v;
  FillLong(v, 100, true);
  const std::vector<table::OdtTable> tables = table::BuildOdtTables(v, true, true);
  TempDir dir("odt-half");
  std::string error;
  ASSERT_TRUE(table::WriteOdt(dir.File("half.odt"), tables, &error)) << error;
  const ReadDoc d = ReadBack(dir.File("half.odt"));
  ASSERT_EQ(d.tables.size(), 1u);
  const ReadTable& t = d.tables[0];
  ASSERT_EQ(v.GetColumnHeaderLines(), 2);
  EXPECT_EQ(t.rows, 2 + 2 * 100 + 1);
  // Row k takes table rows 2k+1 and 2k+2; its side spans 2k+2..2k+3.
  for (int k : {1, 2, 99}) {
    const ReadCell& name = t.cells.at({2 * k + 1, 1});
    EXPECT_EQ(name.text, "P" + std::to_string(k));
    EXPECT_EQ(name.rowSpan, 2);
    const ReadCell& side = t.cells.at({2 * k + 2, 2});
    EXPECT_EQ(side.text, "S" + std::to_string(k));
    EXPECT_EQ(side.rowSpan, 2);
    EXPECT_TRUE(t.covered.count({2 * k + 2, 1}));
  }
  EXPECT_EQ(t.Text(201, 1), "P100");
  EXPECT_TRUE(t.covered.count({201, 2}));
  EXPECT_EQ(t.Text(202, 2), "") << "no side after the last row";
  EXPECT_EQ(t.cells.at({202, 2}).rowSpan, 1);
  // One table over several pages: no page item.
  v.SetHeaderText(2, "第   页  共   页");
  ASSERT_TRUE(table::WriteOdt(dir.File("half2.odt"), table::BuildOdtTables(v, true, true), &error)) << error;
  for (const ReadPara& p : ReadBack(dir.File("half2.odt")).paras) EXPECT_EQ(p.text.find("页"), std::string::npos) << p.text;
}

TEST(WordSetFormTest, RefusedEntriesNameTheirRange) {
  const struct {
    int id;
    const char* text;
    const char* message;
  } cases[] = {
      {table::kWordFontSize, "5.5", "请输入一个介于 6 和 72 之间的数。"},
      {table::kWordFontSize, "73", "请输入一个介于 6 和 72 之间的数。"},
      {table::kWordFontSize, "abc", "请输入一个数。"},
      {table::kWordPaperHeight, "0", "请输入一个介于 50 和 1500 之间的整数。"},
      {table::kWordPaperHeight, "1501", "请输入一个介于 50 和 1500 之间的整数。"},
      {table::kWordPaperWidth, "49", "请输入一个介于 50 和 1500 之间的整数。"},
      {table::kWordPaperWidth, "210.5", "请输入一个整数。"},
      {table::kWordMarginTop, "0", "请输入一个介于 1 和 50 之间的整数。"},
      {table::kWordMarginBottom, "51", "请输入一个介于 1 和 50 之间的整数。"},
      {table::kWordMarginLeft, "-1", "请输入一个介于 1 和 50 之间的整数。"},
      {table::kWordMarginRight, "51", "请输入一个介于 1 和 50 之间的整数。"},
  };
  CTableView v;
  for (const auto& c : cases) {
    table::CWordSetForm f = table::CWordSetForm::FromView(v);
    std::string why = f.SetText(c.id, c.text);
    int failed = 0;
    if (why.empty()) why = f.Validate(&failed);
    else failed = c.id;
    EXPECT_EQ(why, c.message) << c.text;
    EXPECT_EQ(failed, c.id) << c.text;
  }
  table::CWordSetForm f = table::CWordSetForm::FromView(v);
  EXPECT_EQ(f.SetText(table::kWordFontSize, " 10.5 "), "");
  EXPECT_EQ(f.Validate(), "");
}

TEST(WordSetFormTest, MarginsMustLeaveRoomOnThePaper) {
  const struct {
    int height, width, top, bottom, left, right;
    int failed;  // 0: accepted
    const char* message;
  } cases[] = {
      {50, 50, 30, 30, 30, 30, table::kWordMarginTop,
       "纸张高度50毫米减去两侧边距30和30毫米后，不足20毫米，没有输出表格的地方。请减小边距或加大纸张。"},
      {297, 50, 20, 20, 20, 20, table::kWordMarginLeft,
       "纸张宽度50毫米减去两侧边距20和20毫米后，不足20毫米，没有输出表格的地方。请减小边距或加大纸张。"},
      {60, 60, 20, 20, 20, 20, 0, ""},
      {297, 210, 50, 50, 50, 50, 0, ""},
  };
  CTableView v;
  for (const auto& c : cases) {
    table::CWordSetForm f = table::CWordSetForm::FromView(v);
    f.paperHeight = c.height;
    f.paperWidth = c.width;
    f.marginTop = c.top;
    f.marginBottom = c.bottom;
    f.marginLeft = c.left;
    f.marginRight = c.right;
    int failed = -1;
    EXPECT_EQ(f.Validate(&failed), c.message) << c.height << "x" << c.width;
    EXPECT_EQ(failed, c.failed) << c.height << "x" << c.width;
  }
}

TEST(WordSetFormTest, TheFontOpensAt10_5AndKeepsTheChoice) {
  CTableView v;
  v.m_fWordFontSize = 9.0f;  // the view's own default, or a field book's setting
  table::CWordSetForm f = table::CWordSetForm::FromView(v);
  EXPECT_EQ(f.Text(table::kWordFontSize), "10.5");
  f.fontSize = 14;
  f.ApplyTo(v);
  EXPECT_FLOAT_EQ(v.m_fWordFontSize, 14.0f);
  EXPECT_EQ(table::CWordSetForm::FromView(v).Text(table::kWordFontSize), "14");
}

TEST(WordSetFormTest, FillingAndPaperChoices) {
  CTableView v;
  v.NewTable(31, 2, "t", true);
  v.m_nMarginTop = 0;  // the table settings allow 0; a document does not
  v.m_nMarginLeft = 0;
  v.m_nMarginRight = 7;
  table::CWordSetForm f = table::CWordSetForm::FromView(v);
  EXPECT_EQ(f.marginTop, 1);
  EXPECT_EQ(f.marginLeft, 1);
  EXPECT_EQ(f.marginRight, 7);
  EXPECT_EQ(f.Validate(), "") << "a dialog filled from the view can export";
  EXPECT_FALSE(f.allowOffset) << "31 rows";
  v.SetRowCount(30);
  EXPECT_TRUE(table::CWordSetForm::FromView(v).allowOffset);

  const struct {
    int paper, orientation, height, width;
  } sizes[] = {{0, 0, 297, 210}, {0, 1, 210, 297}, {1, 0, 420, 297}, {1, 1, 297, 420}};
  for (const auto& s : sizes) {
    table::CWordSetForm g;
    g.SetPaper(s.paper);
    g.SetOrientation(s.orientation);
    EXPECT_EQ(g.paperHeight, s.height);
    EXPECT_EQ(g.paperWidth, s.width);
    // The view keeps the choice: the next opening shows the same paper.
    g.ApplyTo(v);
    const table::CWordSetForm again = table::CWordSetForm::FromView(v);
    EXPECT_EQ(again.paper, s.paper);
    EXPECT_EQ(again.orientation, s.orientation);
  }
  table::CWordSetForm custom;
  custom.SetPaper(2);
  custom.paperHeight = 400;
  custom.SetOrientation(1);  // a custom paper keeps its size
  EXPECT_EQ(custom.paperHeight, 400);
}

class WordFlowTest : public OdtTest {
 protected:
  platform::FakeMessagePort messages;
  platform::ScopedMemoryServices services;
};

TEST_F(WordFlowTest, OneSessionAddsTablesToItsFileAndCompletionOpensIt) {
  const std::string path = dir.File("doc.odt");
  services.files.answers = {path};
  v.m_bWordSplitPages = false;
  auto run = table::RunWordExport(v, false, true);
  EXPECT_EQ(run.result, table::ExportRun::Exported);
  EXPECT_EQ(run.status, "输出完成。可继续输出其他表格或单击“完成”");
  // The current file is added to, so choosing one asks nothing.
  EXPECT_FALSE(services.files.lastOptions.overwritePrompt);
  EXPECT_EQ(services.files.lastOptions.defaultSuffix, "odt");
  v.SetCellText(1, 1, "Z");
  v.m_nWordOrientation = 1;
  std::swap(v.m_nWordPaperHeight, v.m_nWordPaperWidth);
  run = table::RunWordExport(v, false, false);  // the same file, no question
  EXPECT_EQ(run.result, table::ExportRun::Exported);
  EXPECT_TRUE(services.files.answers.empty());
  const ReadDoc d = ReadBack(path);
  ASSERT_EQ(d.tables.size(), 2u);
  EXPECT_EQ(d.tables[0].Text(3, 1), "A");
  EXPECT_EQ(d.tables[0].rows, 2 + 2 * 3) << "the first in the row-offset mode";
  EXPECT_EQ(d.tables[1].Text(3, 1), "Z");
  EXPECT_EQ(d.tables[1].rows, 2 + 3);
  EXPECT_EQ(d.LayoutOfTitle(0)[2], "portrait");
  EXPECT_EQ(d.LayoutOfTitle(1)[2], "landscape") << "each table keeps its own paper";
  EXPECT_TRUE(services.desktop.opened.empty());
  v.EndOfficeExport(true);
  EXPECT_EQ(services.desktop.opened, std::vector<std::string>{path});
  EXPECT_TRUE(v.WordSession().path.empty());
  EXPECT_TRUE(messages.Messages().empty());

  // A new session starts a new document.
  services.files.answers = {dir.File("other.odt")};
  table::RunWordExport(v, false, false);
  EXPECT_EQ(ReadBack(dir.File("other.odt")).tables.size(), 1u);
  v.EndOfficeExport(false);
  EXPECT_EQ(services.desktop.opened.size(), 1u) << "退出 opens nothing";
}

TEST_F(WordFlowTest, FailedWritesSayWhyKeepTheOldFileAndOpenNothing) {
  const std::string path = dir.File("doc.odt");
  services.files.answers = {path};
  ASSERT_EQ(table::RunWordExport(v, false, false).result, table::ExportRun::Exported);
  const std::optional<std::string> before = platform::ReadFileBytes(path);
  ASSERT_TRUE(before);

  // The session's own file turned read-only: the next table is refused, the file stays.
  fs::permissions(path, fs::perms::owner_read);
  v.SetCellText(1, 1, "Z");
  auto run = table::RunWordExport(v, false, false);
  EXPECT_EQ(run.result, table::ExportRun::Failed);
  ASSERT_EQ(messages.Messages().size(), 1u);
  EXPECT_EQ(messages.Messages()[0].rfind("表格未能输出到文件“" + path + "”：\n", 0), 0u) << messages.Messages()[0];
  EXPECT_GT(messages.Messages()[0].size(), ("表格未能输出到文件“" + path + "”：\n").size()) << "a reason follows";
  EXPECT_EQ(platform::ReadFileBytes(path), before);

  // A new file in a folder that cannot be written (the superuser writes into any
  // read-only folder of ours, but not into /proc): the message, no file.
  const bool root = ::geteuid() == 0;
  fs::create_directories(dir.File("ro"));
  fs::permissions(dir.File("ro"), fs::perms::owner_read | fs::perms::owner_exec);
  const std::string blocked = root ? std::string("/proc/quintar-doc.odt") : dir.File("ro/doc.odt");
  services.files.answers = {blocked};
  run = table::RunWordExport(v, true, false);
  EXPECT_EQ(run.result, table::ExportRun::Failed);
  ASSERT_EQ(messages.Messages().size(), 2u);
  EXPECT_EQ(messages.Messages()[1].rfind("表格未能输出到文件“" + blocked + "”：\n", 0), 0u) << messages.Messages()[1];
  EXPECT_FALSE(fs::exists(blocked));
  EXPECT_TRUE(fs::is_empty(dir.File("ro")));

  // "完成" opens what was written: the first document, still one table.
  v.EndOfficeExport(true);
  EXPECT_EQ(services.desktop.opened, std::vector<std::string>{path});
  fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_EQ(ReadBack(path).tables.size(), 1u);
}

TEST_F(WordFlowTest, ADocumentTheUserChangedIsAddedToNotReplaced) {
  const std::string path = dir.File("doc.odt");
  services.files.answers = {path};
  v.m_bWordSplitPages = false;
  ASSERT_EQ(table::RunWordExport(v, false, false).result, table::ExportRun::Exported);
  ASSERT_EQ(Shell("/usr/bin/python3 " QUINTAR_SOURCE_DIR "/tests/table/odt_user.py edit '" + path + "' 用户的文字 2>&1"), "");
  v.SetCellText(1, 1, "Z");
  ASSERT_EQ(table::RunWordExport(v, false, false).result, table::ExportRun::Exported);
  v.SetCellText(1, 1, "Y");
  v.m_nWordOrientation = 1;
  std::swap(v.m_nWordPaperHeight, v.m_nWordPaperWidth);
  ASSERT_EQ(table::RunWordExport(v, false, false).result, table::ExportRun::Exported);
  EXPECT_TRUE(messages.Messages().empty());
  const ReadDoc d = ReadBack(path);
  ASSERT_EQ(d.tables.size(), 3u);
  EXPECT_EQ(d.tables[0].Text(3, 1), "A");
  EXPECT_EQ(d.tables[1].Text(3, 1), "Z");
  EXPECT_EQ(d.tables[2].Text(3, 1), "Y");
  std::set<std::string> names;
  for (const ReadTable& t : d.tables) names.insert(t.name);
  EXPECT_EQ(names.size(), 3u) << "table names stay distinct";
  bool userText = false;
  for (const ReadPara& p : d.paras) userText = userText || p.text == "用户的文字";
  EXPECT_TRUE(userText);
  // Each added table starts a page of its own paper.
  EXPECT_EQ(d.LayoutOfTitle(0)[2], "portrait");
  EXPECT_EQ(d.LayoutOfTitle(1)[2], "portrait");
  EXPECT_EQ(d.LayoutOfTitle(2)[2], "landscape");
  int breaks = 0;
  for (const ReadPara& p : d.paras) breaks += p.pageBreak;
  EXPECT_EQ(breaks, 2);
}

TEST_F(WordFlowTest, AFontMadeSmallerToFitIsSaidInTheStatus) {
  CTableView wide;
  FillWide(wide);
  wide.m_fWordFontSize = 10.5f;
  const table::WordPagePlan plan = table::PlanWordPages(wide, true, false);
  ASSERT_TRUE(plan.shrunk);
  services.files.answers = {dir.File("wide.odt")};
  const auto run = table::RunWordExport(wide, true, false);
  EXPECT_EQ(run.result, table::ExportRun::Exported);
  EXPECT_EQ(run.status, "表格宽于纸张，字体已缩小为" + platform::FormatFixed(plan.fontPt, 1) +
                            "。输出完成。可继续输出其他表格或单击“完成”");
  // A table that fits keeps the plain status.
  services.files.answers = {dir.File("narrow.odt")};
  EXPECT_EQ(table::RunWordExport(v, true, false).status, "输出完成。可继续输出其他表格或单击“完成”");
}

TEST_F(WordFlowTest, ADocumentThatCannotBeReadIsRefusedAndLeftAsItIs) {
  std::string error;
  const struct {
    const char* name;
    std::string bytes;
  } cases[] = {{"text.odt", "工程名称\r\n"},
               {"sheet.odt", *table::MakeZip({{"mimetype", "application/vnd.oasis.opendocument.spreadsheet", true},
                                              {"content.xml", "<x/>"}, {"styles.xml", "<x/>"}}, &error)},
               {"nobody.odt", *table::MakeZip({{"mimetype", "application/vnd.oasis.opendocument.text", true},
                                               {"content.xml", "<office:document-content/>"}, {"styles.xml", "<x/>"}}, &error)}};
  for (const auto& c : cases) {
    const std::string path = dir.File(c.name);
    ASSERT_TRUE(platform::WriteFileAtomic(path, c.bytes));
    v.WordSession().Forget();
    messages.Clear();
    services.files.answers = {path};
    EXPECT_EQ(table::RunWordExport(v, false, false).result, table::ExportRun::Failed) << c.name;
    ASSERT_EQ(messages.Messages().size(), 1u) << c.name;
    EXPECT_EQ(messages.Messages()[0].rfind("表格未能输出到文件“" + path + "”：\n该文件不是能读取的WORD文档", 0), 0u)
        << messages.Messages()[0];
    EXPECT_EQ(platform::ReadFileBytes(path).value_or(""), c.bytes) << c.name;
  }
}

TEST_F(WordFlowTest, LongTablesAskBeforeExporting) {
  const struct {
    int rows;
    bool stagger, allowOffset;
    const char* question;  // nullptr: none
  } cases[] = {
      {2001, true, true, "当前表格允许向下错开，输出较慢，\r\n\r\n建议直接在软件中打印或输出到EXCEL！\r\n\r\n是否继续输出？"},
      {2000, true, true, nullptr},
      {2001, true, false, nullptr},
      {2001, false, true, nullptr},
      {10001, true, false, "当前表格内容较多，输出缓慢，\r\n\r\n建议直接在软件中打印或输出到EXCEL！\r\n\r\n是否继续输出？"},
  };
  for (const auto& c : cases) {
    CTableView t;
    t.NewTable(c.rows, 2, "t", true);
    t.SetColumnStagger(2, c.stagger);
    platform::FakeMessagePort asked;  // answers No
    services.files.answers = {std::nullopt};
    EXPECT_EQ(table::RunWordExport(t, true, c.allowOffset).result, table::ExportRun::Stopped);
    if (c.question) {
      ASSERT_EQ(asked.Texts().size(), 1u) << c.rows;
      EXPECT_EQ(asked.Texts()[0], c.question);
      EXPECT_EQ(services.files.answers.size(), 1u) << "No stops before the file chooser";
    } else {
      EXPECT_TRUE(asked.Texts().empty()) << c.rows;
      EXPECT_TRUE(services.files.answers.empty()) << c.rows;
    }
  }
  CTableView empty;
  platform::FakeMessagePort said;
  EXPECT_EQ(table::RunWordExport(empty, true, true).result, table::ExportRun::Stopped);
  EXPECT_EQ(said.Texts(), std::vector<std::string>{"当前表格无内容输出！"});
}

}  // namespace
