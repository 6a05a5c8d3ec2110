// The table as a DXF drawing, read back by an independent reader (ezdxf through
// the system Python, with the drawing tests' audit script): the audit, lines and
// texts as many as the print paints, where the page and its texts lie on paper,
// pages side by side, Chinese texts, the same bytes twice and under a comma-decimal
// locale, and failures that leave no file behind.
#include <gtest/gtest.h>

#include <clocale>
#include <filesystem>
#include <functional>
#include <map>
#include <sstream>

#include "platform/fake_ports.h"
#include "platform/gbk.h"
#include "platform/number.h"
#include "platform/textfile.h"
#include "table/export/dxf_export.h"
#include "tests/table/export_fixture.h"

#ifndef QUINTAR_SOURCE_DIR
#define QUINTAR_SOURCE_DIR "."
#endif

namespace {

namespace fs = std::filesystem;
using tabletest::Shell;

bool HaveEzdxf() { return Shell("/usr/bin/python3 -c 'import ezdxf; print(1)' 2>/dev/null") == "1\n"; }

std::string Audit(const std::string& path) {
  return Shell("/usr/bin/python3 " QUINTAR_SOURCE_DIR "/tests/drawing/dxf_audit.py '" + path + "' 2>&1");
}

// What the printed pages paint, counted on the way to the printer.
struct Painted : table::ICanvas {
  int thin = 0, wide = 0, texts = 0;
  void FillRect(const table::Rect&, table::Color) override {}
  void Line(int, int, int, int, table::Color, int width) override { ++(width > 1 ? wide : thin); }
  void FillPolygon(const table::Point*, int, table::Color) override {}
  void SetFont(const table::Font&) override {}
  void DrawText(const table::Rect& r, std::string_view t, const table::TextStyle&) override {
    if (!t.empty() && !r.IsEmpty()) ++texts;
  }
  void SetClip(const table::Rect&) override {}
  void ResetClip() override {}
};

Painted PrintAll(CTableView& v, const table::PrintDevice& paper, int* pages) {
  Painted p;
  *pages = v.OnBeginPrinting(paper).pages;
  for (int k = 1; k <= *pages; ++k) {
    v.OnPrepareDC(k);
    v.OnPrint(p, k);
  }
  v.OnEndPrinting();
  return p;
}

// The audit's facts: a line each.
struct Facts {
  explicit Facts(const std::string& text) : all(text) {
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
  }
  bool Has(const std::string& line) const { return all.find(line + "\n") != std::string::npos; }
  int Count(const std::string& type, const std::string& layer) const {
    const std::string key = "count " + type + " " + layer + " ";
    for (const auto& l : lines)
      if (l.rfind(key, 0) == 0) return platform::ParseInt(l.substr(key.size()));
    return 0;
  }
  // x and y of the text placed by `text`.
  bool Place(const std::string& text, double* x, double* y) const {
    for (const auto& l : lines) {
      std::istringstream in(l);
      std::string tag, layer, h, v, t;
      double px = 0, py = 0;
      if (in >> tag >> layer >> px >> py >> h >> v && tag == "place" && std::getline(in >> std::ws, t) && t == text) {
        *x = px;
        *y = py;
        return true;
      }
    }
    return false;
  }
  // Extremes of the frame's polyline vertices.
  void FrameBox(double* x0, double* y0, double* x1, double* y1) const {
    *x0 = *y0 = 1e300;
    *x1 = *y1 = -1e300;
    for (const auto& l : lines) {
      std::istringstream in(l);
      std::string tag, layer;
      int i = 0;
      double x = 0, y = 0;
      if (in >> tag >> layer >> i >> x >> y && tag == "vertex" && layer == table::kDxfLayerFrame) {
        *x0 = std::min(*x0, x);
        *y0 = std::min(*y0, y);
        *x1 = std::max(*x1, x);
        *y1 = std::max(*y1, y);
      }
    }
  }
  std::string all;
  std::vector<std::string> lines;
};

class TableDxfTest : public ::testing::Test {
 protected:
  void SetUp() override { tabletest::FillCoordinateTable(v); }
  Facts Export(const std::string& name) {
    const std::string path = dir.File(name);
    std::string error;
    EXPECT_TRUE(v.ExportToDxf(path, &error)) << error;
    return Facts(Audit(path));
  }
  platform::FakeMessagePort messages;
  CTableView v;
  tabletest::TempDir dir{"table-dxf"};
};

TEST_F(TableDxfTest, OnePageReadBackAsPrinted) {
  if (!HaveEzdxf()) GTEST_SKIP() << "python3-ezdxf not installed";
  int pages = 0;
  const Painted printed = PrintAll(v, table::DxfPaper(), &pages);
  ASSERT_EQ(pages, 1);
  const Facts f = Export("coords.dxf");
  EXPECT_TRUE(f.Has("audit 0")) << f.all;
  EXPECT_TRUE(f.Has("version AC1009"));
  EXPECT_EQ(f.Count("LINE", table::kDxfLayerLines), printed.thin) << f.all;
  EXPECT_EQ(f.Count("POLYLINE", table::kDxfLayerFrame), printed.wide);
  EXPECT_EQ(printed.wide, 4) << "the frame's four sides";
  // The title, five header items (工程名称, the page number, 计算, 复核, 日期), five
  // column headers ("坐标" over X and Y) and the eleven cells that are not empty.
  EXPECT_EQ(printed.texts, 22);
  EXPECT_EQ(f.Count("TEXT", table::kDxfLayerText), printed.texts);
  // A 3 mm print text is 3 units high, the title 16/12 of it; Chinese survives GBK.
  EXPECT_TRUE(f.Has("text 表格文字 4.000 坐标表")) << f.all;
  EXPECT_TRUE(f.Has("text 表格文字 3.000 工程名称：演示"));
  EXPECT_TRUE(f.Has("text 表格文字 3.000 点名"));
  EXPECT_TRUE(f.Has("text 表格文字 3.000 第 1 页  共 1 页"));
  EXPECT_TRUE(f.Has("text 表格文字 3.000 3456789.123"));

  // On paper: the frame fills the width between the 20 mm margins (but for the
  // pixels that do not share out among the columns), the rows one row height
  // (20 pixels of a 12-pixel, 3 mm font: 5 mm) apart.
  double x0, y0, x1, y1;
  f.FrameBox(&x0, &y0, &x1, &y1);
  EXPECT_NEAR((x0 + x1) / 2, 105.0, 0.05);
  EXPECT_GE(x0, 20.0 - 0.001);
  EXPECT_LE(x1, 190.0 + 0.001);
  EXPECT_GT(x1 - x0, 169.0);
  EXPECT_LT(y1, 297.0 - 20.0);
  EXPECT_GT(y0, 0.0);
  double ax, ay, bx, by;
  ASSERT_TRUE(f.Place("A", &ax, &ay));
  ASSERT_TRUE(f.Place("B007", &bx, &by));
  EXPECT_NEAR(ax, bx, 0.001) << "both centred in column 1";
  EXPECT_NEAR(ay - by, 5.0, 0.001);
  EXPECT_GT(ax, x0);
  EXPECT_LT(ay, y1);
}

TEST_F(TableDxfTest, MarginsMoveTheTableAsOnPaper) {
  if (!HaveEzdxf()) GTEST_SKIP() << "python3-ezdxf not installed";
  v.m_nMarginLeft = 30;
  v.m_nMarginRight = 10;
  const Facts f = Export("margins.dxf");
  double x0, y0, x1, y1;
  f.FrameBox(&x0, &y0, &x1, &y1);
  EXPECT_NEAR((x0 + x1) / 2, 115.0, 0.05) << "half the difference of the margins to the right";
}

TEST_F(TableDxfTest, PagesLieSideBySide) {
  if (!HaveEzdxf()) GTEST_SKIP() << "python3-ezdxf not installed";
  v.NewTable(150, 3, "长表", true);
  v.SetColumnHeader(1, "点名", "");
  v.SetColumnHeader(2, "X", "");
  v.SetColumnHeader(3, "Y", "");
  for (int r = 1; r <= 150; ++r) {
    v.SetCellText(r, 1, "点" + std::to_string(r));
    v.SetCellText(r, 2, platform::FormatFixed(1000 + r * 0.125, 3));
  }
  v.SetHeaderText(2, "第   页  共   页");
  int pages = 0;
  const Painted printed = PrintAll(v, table::DxfPaper(), &pages);
  ASSERT_GE(pages, 3);
  const Facts f = Export("long.dxf");
  EXPECT_TRUE(f.Has("audit 0"));
  EXPECT_EQ(f.Count("LINE", table::kDxfLayerLines), printed.thin);
  EXPECT_EQ(f.Count("POLYLINE", table::kDxfLayerFrame), 4 * pages);
  EXPECT_EQ(f.Count("TEXT", table::kDxfLayerText), printed.texts);
  const double pitch = 210 + table::kDxfPageGapMm;
  for (int k = 1; k <= pages; ++k) {
    const std::string number = "第 " + std::to_string(k) + " 页  共 " + std::to_string(pages) + " 页";
    double x = 0, y = 0;
    ASSERT_TRUE(f.Place(number, &x, &y)) << number;
    EXPECT_GT(x, (k - 1) * pitch) << number;
    EXPECT_LT(x, (k - 1) * pitch + 210) << number;
  }
  double x = 0, y = 0;
  ASSERT_TRUE(f.Place("点150", &x, &y));
  EXPECT_GT(x, (pages - 1) * pitch) << "the last row on the last page";
}

TEST_F(TableDxfTest, SameBytesTwiceAndUnderACommaLocale) {
  const std::string a = table::BuildTableDxf(v);
  ASSERT_FALSE(a.empty());
  EXPECT_EQ(table::BuildTableDxf(v), a);
  const char* old = std::setlocale(LC_ALL, nullptr);
  const std::string saved = old ? old : "C";
  if (std::setlocale(LC_ALL, "de_DE.UTF-8")) {
    EXPECT_EQ(table::BuildTableDxf(v), a);
    std::setlocale(LC_ALL, saved.c_str());
  }
  EXPECT_NE(a.find("$DWGCODEPAGE\r\n3\r\nANSI_936\r\n"), std::string::npos);
  EXPECT_EQ(a.find(','), std::string::npos) << "no decimal comma anywhere";
  const std::string path = dir.File("gbk.dxf");
  ASSERT_TRUE(v.ExportToDxf(path));
  const auto bytes = platform::ReadFileBytes(path);
  ASSERT_TRUE(bytes);
  EXPECT_EQ(*bytes, *platform::Utf8ToGbk(a));
  EXPECT_NE(bytes->find(*platform::Utf8ToGbk("坐标表")), std::string::npos);
}

TEST_F(TableDxfTest, FailuresLeaveTheOldFileAndNoPartialOne) {
  const std::string kept = dir.File("kept.dxf");
  ASSERT_TRUE(platform::WriteFileAtomic(kept, "old bytes"));
  const struct Case {
    const char* what;
    std::string path;
    std::function<void(CTableView&)> spoil;
    std::string reason;  // a part of it
  } cases[] = {
      {"a folder that does not exist", dir.File("missing/t.dxf"), [](CTableView&) {}, ""},
      {"a character GBK cannot store", kept, [](CTableView& t) { t.SetCellText(1, 1, "A😀"); }, "😀"},
      {"an empty table", kept, [](CTableView& t) { t.NewTable(0, 0, "", true); }, "当前表格无内容输出！"},
  };
  for (const Case& c : cases) {
    CTableView t;
    tabletest::FillCoordinateTable(t);
    c.spoil(t);
    std::string error;
    EXPECT_FALSE(t.ExportToDxf(c.path, &error)) << c.what;
    EXPECT_FALSE(error.empty()) << c.what;
    EXPECT_NE(error.find(c.reason), std::string::npos) << c.what << ": " << error;
  }
  EXPECT_FALSE(fs::exists(dir.File("missing")));
  EXPECT_EQ(*platform::ReadFileBytes(kept), "old bytes");
  for (const auto& e : fs::directory_iterator(dir.Path()))
    EXPECT_EQ(e.path().filename(), "kept.dxf") << "a temporary file was left";
  EXPECT_EQ(messages.waitDepth, 0) << "the wait cursor is back";
}

}  // namespace
