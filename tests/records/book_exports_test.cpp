// The exports of a field book write every page in turn, one table per page with its
// header items, as printing does; the page shown stays the one shown before.
#include <algorithm>
#include <any>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/fake_ports.h"
#include "platform/gbk.h"
#include "platform/textfile.h"
#include "records/gcjl_view.h"
#include "table/export/odt_export.h"
#include "table/export/text_export.h"
#include "table/export/xlsx_export.h"
#include "tests/records/book_fixture.h"
#include "tests/table/export_fixture.h"
#include "tests/table/table_fixture.h"

namespace {

using records_test::Type;

bool SheetHolds(const table::XlsxSheet& s, const std::string& text) {
  for (const auto& row : s.rows)
    for (const auto& c : row)
      if (c.text.find(text) != std::string::npos) return true;
  return false;
}

bool TableHolds(const table::OdtTable& t, const std::string& text) {
  for (const auto& row : t.rows)
    for (const auto& c : row)
      if (c.text == text) return true;
  return false;
}

class BookExports : public ::testing::Test {
 protected:
  BookExports() {
    view.OnInitialUpdate();
    view.SetClientSize(1200, 900);
    // Three traverse pages, each with its own station and header.
    view.m_dx.AddPage();
    view.m_dx.AddPage();
    for (int p = 0; p < 3; ++p) {
      auto& page = view.m_dx.m_arrPages[static_cast<std::size_t>(p)];
      Type(page, 0, {{0, "S" + std::to_string(p + 1)}, {1, "B"}});
      Type(page, 1, {{1, "C"}});
      page.m_strHeader[1] = "北岭" + std::to_string(p + 1);
    }
    view.ShowPage("DX", 1);
  }
  void ExpectPage2Shown() {
    EXPECT_EQ(view.m_nCurrentPage, 1);
    EXPECT_EQ(view.GetCellText(1, 1), "S2");
  }

  platform::FakeMessagePort msg;
  tabletest::RecordingFrame frame;
  tabletest::TempDir dir{"book-exports"};
  CGcJlView view;
};

TEST_F(BookExports, SpreadsheetHasASheetPerPage) {
  view.ExcelSession().target = dir.File("book.xlsx");
  ASSERT_TRUE(view.ExportToExcel(false));
  const auto& sheets = std::any_cast<const std::vector<table::XlsxSheet>&>(view.ExcelSession().content);
  ASSERT_EQ(sheets.size(), 3u);
  for (int p = 0; p < 3; ++p) {
    const auto& s = sheets[static_cast<std::size_t>(p)];
    EXPECT_EQ(s.name, "导线观测记录第" + std::to_string(p + 1) + "页");
    EXPECT_TRUE(SheetHolds(s, "S" + std::to_string(p + 1))) << p;
  }
  ExpectPage2Shown();
  // The results table stays one sheet, added to the same workbook.
  view.ShowPage("WYZHL", -1);
  ASSERT_TRUE(view.ExportToExcel(false));
  EXPECT_EQ(std::any_cast<const std::vector<table::XlsxSheet>&>(view.ExcelSession().content).size(), 4u);
}

TEST_F(BookExports, DocumentHasATablePerPage) {
  view.WordSession().target = dir.File("book.odt");
  view.m_bWordSplitPages = true;
  ASSERT_TRUE(view.ExportToWord(false));
  const auto& tables = std::any_cast<const std::vector<table::OdtTable>&>(view.WordSession().content);
  ASSERT_EQ(tables.size(), 3u);
  for (int p = 0; p < 3; ++p) {
    const table::OdtTable& t = tables[static_cast<std::size_t>(p)];
    EXPECT_TRUE(TableHolds(t, "S" + std::to_string(p + 1))) << p;
    bool header = false;  // the page's own header items
    for (const auto& line : t.above)
      for (const std::string& item : line) header = header || item.find("北岭" + std::to_string(p + 1)) != std::string::npos;
    EXPECT_TRUE(header) << p;
  }
  ExpectPage2Shown();
}

TEST_F(BookExports, TextHoldsEveryPageInTurn) {
  for (int format : {table::kTextTable, table::kTextCsv}) {
    const std::string path = dir.File("book" + std::to_string(format) + ".txt");
    std::string error;
    ASSERT_TRUE(view.WriteTextFile(path, format, &error)) << error;
    const auto bytes = platform::ReadFileBytes(path);
    ASSERT_TRUE(bytes.has_value());
    const std::string text = platform::GbkToUtf8(*bytes);
    std::vector<std::size_t> at;
    for (const char* s : {"S1", "S2", "S3"}) at.push_back(text.find(s));
    for (std::size_t a : at) EXPECT_NE(a, std::string::npos) << format;
    EXPECT_TRUE(std::is_sorted(at.begin(), at.end())) << format;
    std::size_t titles = 0;
    for (std::size_t i = text.find("导线观测记录"); i != std::string::npos; i = text.find("导线观测记录", i + 1)) ++titles;
    EXPECT_EQ(titles, 3u) << format;
  }
  ExpectPage2Shown();
}

}  // namespace
