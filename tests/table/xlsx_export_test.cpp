// Spreadsheet export read back by an independent reader (openpyxl, through the system
// Python): cell by cell against the grid, the merges of the title, the header spans
// and the half-row mode, sheets of one session, and the dialog's flow around it.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <map>
#include <sstream>
#include <thread>

#include "export_fixture.h"
#include "platform/fake_ports.h"
#include "platform/services.h"
#include "table/export/export_ports.h"
#include "platform/textfile.h"
#include "table/export/xlsx_export.h"
#include "table/export/zip_parts.h"

#ifndef QUINTAR_SOURCE_DIR
#define QUINTAR_SOURCE_DIR "."
#endif

namespace {

using namespace tabletest;
namespace fs = std::filesystem;

bool HaveOpenpyxl() { return Shell("/usr/bin/python3 -c 'import openpyxl; print(1)' 2>/dev/null") == "1\n"; }

struct ReadCell {
  char type = 0;  // 's' text, 'n' number
  std::string text;
  double value = 0;
  std::string format;
};

struct ReadSheet {
  std::string name;
  std::map<std::pair<int, int>, ReadCell> cells;  // 1-based row, column
  std::vector<std::string> merges;                // "r0 c0 r1 c1"
};

std::vector<ReadSheet> ReadBack(const std::string& path) {
  std::istringstream in(Shell("/usr/bin/python3 " QUINTAR_SOURCE_DIR "/tests/table/xlsx_read.py '" + path + "' 2>&1"));
  std::vector<ReadSheet> out;
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream ls(line);
    std::string kind;
    ls >> kind;
    if (kind == "sheet") {
      out.push_back({});
      std::getline(ls >> std::ws, out.back().name);
    } else if (kind == "cell" && !out.empty()) {
      int r = 0, c = 0;
      ReadCell cell;
      ls >> r >> c >> cell.type;
      if (cell.type == 'n') ls >> cell.value >> cell.format;
      else std::getline(ls.ignore(1), cell.text);
      out.back().cells[{r, c}] = cell;
    } else if (kind == "merge" && !out.empty()) {
      std::string rest;
      std::getline(ls >> std::ws, rest);
      out.back().merges.push_back(rest);
    } else {
      ADD_FAILURE() << "reader: " << line;
    }
  }
  return out;
}

// The grid's cell as the sheet must hold it: a number with the text's decimals, or
// the text itself.
void ExpectCell(const ReadSheet& s, int row, int col, const std::string& text) {
  auto it = s.cells.find({row, col});
  if (text.empty()) {
    EXPECT_TRUE(it == s.cells.end() || (it->second.type == 's' && it->second.text.empty())) << row << "," << col;
    return;
  }
  ASSERT_NE(it, s.cells.end()) << row << "," << col << " " << text;
  const std::size_t dot = text.find('.');
  const bool numeric = text != "007" && text.find_first_not_of("-0123456789.") == std::string::npos;
  if (numeric) {
    EXPECT_EQ(it->second.type, 'n') << text;
    EXPECT_DOUBLE_EQ(it->second.value, std::stod(text)) << text;
    const std::string fmt = dot == std::string::npos ? "0" : "0." + std::string(text.size() - dot - 1, '0');
    EXPECT_EQ(it->second.format, fmt) << text;
  } else {
    EXPECT_EQ(it->second.type, 's') << text;
    EXPECT_EQ(it->second.text, text);
  }
}

class XlsxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!HaveOpenpyxl()) GTEST_SKIP() << "python3-openpyxl not installed";
    FillCoordinateTable(v);
  }
  std::vector<ReadSheet> Write(const std::vector<table::XlsxSheet>& sheets, const std::string& name) {
    std::string error;
    EXPECT_TRUE(table::WriteXlsx(dir.File(name), sheets, &error)) << error;
    return ReadBack(dir.File(name));
  }
  TempDir dir{"xlsx"};
  CTableView v;
};

TEST_F(XlsxTest, CellsEqualTheGridWithTitleAndHeaderMerges) {
  table::XlsxSheet s = table::BuildXlsxSheet(v, false);
  s.name = "坐标表";
  auto book = Write({s}, "plain.xlsx");
  ASSERT_EQ(book.size(), 1u);
  const ReadSheet& r = book[0];
  EXPECT_EQ(r.name, "坐标表");
  ExpectCell(r, 1, 1, "坐标表");
  ExpectCell(r, 2, 1, "工程名称：演示");  // the header items stand under the title
  ExpectCell(r, 3, 1, "点名");
  ExpectCell(r, 3, 2, "边长");
  ExpectCell(r, 3, 3, "坐标");
  ExpectCell(r, 4, 3, "X");
  ExpectCell(r, 4, 4, "Y");
  for (int row = 1; row <= 3; ++row)
    for (int col = 1; col <= 4; ++col) ExpectCell(r, 4 + row, col, v.GetCellText(row, col));
  EXPECT_EQ(r.merges, (std::vector<std::string>{"1 1 1 4", "2 3 2 4", "3 1 4 1", "3 2 4 2", "3 3 3 4", "8 3 8 4"}));
}

TEST_F(XlsxTest, HalfRowModePutsStaggeredValuesBetweenTheirRows) {
  table::XlsxSheet s = table::BuildXlsxSheet(v, true);
  s.name = "half";
  auto book = Write({s}, "half.xlsx");
  ASSERT_EQ(book.size(), 1u);
  const ReadSheet& r = book[0];
  // Under the title and its item line, table row k takes sheet rows 2k+3 and 2k+4;
  // the side of row k sits at 2k+4..2k+5.
  for (int k = 1; k <= 3; ++k) {
    for (int col : {1, 3, 4}) ExpectCell(r, 2 * k + 3, col, v.GetCellText(k, col));
    ExpectCell(r, 2 * k + 3, 2, "");
  }
  ExpectCell(r, 6, 2, "123.456");
  ExpectCell(r, 8, 2, "98.700");
  const std::vector<std::string> expected = {"1 1 1 4", "2 3 2 4", "3 1 4 1", "3 2 4 2", "3 3 3 4",
                                             "5 1 6 1", "5 3 6 3", "5 4 6 4", "6 2 7 2",
                                             "7 1 8 1", "7 3 8 3", "7 4 8 4", "8 2 9 2",
                                             "9 1 10 1", "9 3 10 3", "9 4 10 4", "11 3 11 4"};
  EXPECT_EQ(r.merges, expected);
  // Without a staggered column the mode changes nothing.
  v.SetColumnStagger(2, false);
  EXPECT_EQ(table::BuildXlsxSheet(v, true).rows.size(), table::BuildXlsxSheet(v, false).rows.size());
}

TEST_F(XlsxTest, SignsAndTheSignatureBlockShowAsInTheGrid) {
  v.SetCellText(1, 4, "+0.00");
  v.SetCellText(2, 4, "+0.558");
  v.SetCellText(3, 4, "-0.00");
  v.SetSignatureTexts(2, "备注", "fβ = 0.30\"  fx = 9.29mm", "fβ允 = 24.49\"");
  table::XlsxSheet s = table::BuildXlsxSheet(v, false);
  s.name = "signs";
  auto book = Write({s}, "signs.xlsx");
  ASSERT_EQ(book.size(), 1u);
  const ReadSheet& r = book[0];
  const ReadCell& zero = r.cells.at({5, 4});
  EXPECT_EQ(zero.type, 'n');
  EXPECT_EQ(zero.format, "+0.00;-0.00;+0.00");  // the zero section shows the sign too
  const ReadCell& plus = r.cells.at({6, 4});
  EXPECT_EQ(plus.type, 'n');
  EXPECT_DOUBLE_EQ(plus.value, 0.558);
  EXPECT_EQ(plus.format, "+0.000;-0.000;+0.000");
  EXPECT_EQ(r.cells.at({7, 4}).type, 's');  // a number would lose its sign
  EXPECT_EQ(r.cells.at({7, 4}).text, "-0.00");
  ExpectCell(r, 8, 1, "备注");
  ExpectCell(r, 8, 2, "fβ = 0.30\"  fx = 9.29mm");
  ExpectCell(r, 9, 2, "fβ允 = 24.49\"");
  EXPECT_EQ(r.merges, (std::vector<std::string>{"1 1 1 4", "2 3 2 4", "3 1 4 1", "3 2 4 2", "3 3 3 4", "8 1 9 1",
                                                "8 2 8 4", "9 2 9 4", "10 3 10 4"}));
}

TEST_F(XlsxTest, HeaderItemsStandAboveAndBelowTheTableWithoutAPageItem) {
  v.m_nLinesAbove = 2;
  v.m_nLineBelow = 1;
  const char* items[12] = {"工程名称：演示", "测量单位：测绘院", "等级：一级", "", "", "第   页  共   页",
                           "",             "",                 "",          "计算：张三", "校核：李四", "日期：2026.12.11"};
  for (int k = 0; k < 12; ++k) v.SetHeaderText(k, items[k]);
  table::XlsxSheet s = table::BuildXlsxSheet(v, false);
  s.name = "items";
  auto book = Write({s}, "items.xlsx");
  ASSERT_EQ(book.size(), 1u);
  const ReadSheet& r = book[0];
  ExpectCell(r, 2, 1, "工程名称：演示");
  ExpectCell(r, 2, 2, "测量单位：测绘院");
  ExpectCell(r, 2, 3, "等级：一级");
  ExpectCell(r, 3, 1, "点名");  // the second item line holds only the page item: a sheet has no pages
  int last = 0;
  for (const auto& [at, cell] : r.cells) {
    last = std::max(last, at.first);
    EXPECT_EQ(cell.text.find("页"), std::string::npos) << cell.text;
  }
  ExpectCell(r, last, 1, "计算：张三");
  ExpectCell(r, last, 2, "校核：李四");
  ExpectCell(r, last, 3, "日期：2026.12.11");
  ExpectCell(r, last - 1, 1, "007");
}

TEST(XlsxNamesTest, SheetNamesAreValidAndDistinct) {
  std::vector<table::XlsxSheet> sheets;
  const struct {
    const char* title;
    const char* name;
  } cases[] = {{"坐标表", "坐标表"},
               {"坐标表", "坐标表(2)"},
               {"SHEET", "SHEET"},
               {"sheet", "sheet(2)"},
               {"a[b]:c*d?e/f\\g", "abcdefg"},
               {"''", "Sheet(3)"},
               {"一二三四五六七八九十一二三四五六七八九十一二三四五六七八九十一二三", "一二三四五六七八九十一二三四五六七八九十一二三四五六七八九十一"},
               {"一二三四五六七八九十一二三四五六七八九十一二三四五六七八九十一二三", "一二三四五六七八九十一二三四五六七八九十一二三四五六七八(2)"}};
  for (const auto& c : cases) {
    const std::string name = table::UniqueSheetName(c.title, sheets);
    EXPECT_EQ(name, c.name) << c.title;
    table::XlsxSheet s;
    s.name = name;
    sheets.push_back(s);
  }
}

TEST(XlsxNumbersTest, OnlyPlainNumbersBecomeNumbers) {
  const struct {
    const char* text;
    bool number;
    int decimals;
  } cases[] = {{"3456789.123", true, 3}, {"-12.5", true, 1}, {"+4", true, 0},  {"0.000", true, 3},
               {"007", false, 0},        {"1.", false, 0},   {".5", false, 0}, {"12 30 15.0", false, 0},
               {"1e5", false, 0},        {"", false, 0},     {"-", false, 0},  {"1234567890123456", false, 0}, {"-0.00", false, 0}};
  for (const auto& c : cases) {
    int d = -1;
    EXPECT_EQ(table::PlainNumber(c.text, nullptr, &d), c.number) << c.text;
    if (c.number) {
      EXPECT_EQ(d, c.decimals) << c.text;
    }
  }
}

class ExcelFlowTest : public XlsxTest {
 protected:
  platform::FakeMessagePort messages;
  platform::ScopedMemoryServices services;
};

TEST_F(ExcelFlowTest, OneSessionAddsSheetsToItsFileAndCompletionOpensIt) {
  const std::string path = dir.File("book.xlsx");
  services.files.answers = {path};
  auto run = table::RunExcelExport(v, false, true);  // no file yet: one is asked for
  EXPECT_EQ(run.result, table::ExportRun::Exported);
  EXPECT_EQ(run.status, "该表格已输出,可另选表格继续输出或单击“完成”");
  // The current file is added to, so choosing one asks nothing.
  EXPECT_FALSE(services.files.lastOptions.overwritePrompt);
  EXPECT_EQ(services.files.lastOptions.defaultSuffix, "xlsx");
  v.SetCellText(1, 1, "Z");
  run = table::RunExcelExport(v, false, false);  // the same file, no question
  EXPECT_EQ(run.result, table::ExportRun::Exported);
  EXPECT_TRUE(services.files.answers.empty());
  auto book = ReadBack(path);
  ASSERT_EQ(book.size(), 2u);
  EXPECT_EQ(book[0].name, "坐标表");
  EXPECT_EQ(book[1].name, "坐标表(2)");
  ExpectCell(book[0], 5, 1, "A");
  ExpectCell(book[0], 6, 2, "123.456");  // the first in the half-row mode
  ExpectCell(book[1], 5, 1, "Z");
  ExpectCell(book[1], 5, 2, "123.456");
  EXPECT_TRUE(services.desktop.opened.empty());
  table::EndExcelSession(v, true);
  EXPECT_EQ(services.desktop.opened, std::vector<std::string>{path});
  EXPECT_TRUE(v.ExcelSession().path.empty());
  EXPECT_TRUE(messages.Messages().empty());
}

TEST_F(ExcelFlowTest, NewFileStartsAnotherWorkbook) {
  services.files.answers = {dir.File("a.xlsx"), dir.File("b.xlsx")};
  table::RunExcelExport(v, false, false);
  table::RunExcelExport(v, true, false);
  EXPECT_EQ(ReadBack(dir.File("a.xlsx")).size(), 1u);
  auto b = ReadBack(dir.File("b.xlsx"));
  ASSERT_EQ(b.size(), 1u);
  EXPECT_EQ(b[0].name, "坐标表");
  EXPECT_EQ(v.ExcelSession().path, dir.File("b.xlsx"));
}

TEST_F(ExcelFlowTest, EmptyTableAndCancelStop) {
  CTableView empty;
  empty.OnInitialUpdate();
  auto run = table::RunExcelExport(empty, false, true);
  EXPECT_EQ(run.result, table::ExportRun::Stopped);
  EXPECT_EQ(messages.Messages(), std::vector<std::string>{"当前表格无内容输出！"});
  services.files.answers = {std::nullopt};
  run = table::RunExcelExport(v, false, true);
  EXPECT_EQ(run.result, table::ExportRun::Stopped);
  EXPECT_EQ(run.status, "");
  table::EndExcelSession(v, true);  // nothing written: nothing opened
  EXPECT_TRUE(services.desktop.opened.empty());
}

TEST_F(ExcelFlowTest, ReadOnlyFolderFailsWithAMessageAndNoFile) {
  const bool root = ::geteuid() == 0;
  // root writes anywhere; a folder under /proc refuses it all the same.
  const std::string folder = root ? std::string("/proc/self/no-such-folder") : dir.File("ro");
  if (!root) {
    fs::create_directories(folder);
    fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
  }
  const std::string path = folder + "/book.xlsx";
  services.files.answers = {path};
  auto run = table::RunExcelExport(v, false, true);
  EXPECT_EQ(run.result, table::ExportRun::Failed);
  EXPECT_EQ(run.status, "该表格输出失败");
  ASSERT_EQ(messages.Messages().size(), 1u);
  EXPECT_EQ(messages.Messages()[0].rfind("表格未能输出到文件“" + path + "”：\n", 0), 0u) << messages.Messages()[0];
  EXPECT_GT(messages.Messages()[0].size(), ("表格未能输出到文件“" + path + "”：\n").size());
  EXPECT_FALSE(fs::exists(path));
  table::EndExcelSession(v, true);
  EXPECT_TRUE(services.desktop.opened.empty());
}

// The parts of a package with the hash of their bytes.
std::map<std::string, std::string> Parts(const std::string& path) {
  std::map<std::string, std::string> out;
  std::istringstream in(Shell("/usr/bin/python3 " QUINTAR_SOURCE_DIR "/tests/table/xlsx_user.py parts '" + path + "'"));
  std::string name, hash;
  while (in >> name >> hash) out[name] = hash;
  return out;
}

std::string UserDoes(const std::string& args) {
  return Shell("/usr/bin/python3 " QUINTAR_SOURCE_DIR "/tests/table/xlsx_user.py " + args + " 2>&1");
}

TEST_F(ExcelFlowTest, CurrentFileAddsASheetToAWorkbookTheUserHasAndKeepsItsParts) {
  const std::string path = dir.File("job.xlsx");
  ASSERT_EQ(UserDoes("make '" + path + "'"), "");
  const auto before = Parts(path);
  services.files.answers = {path};
  auto run = table::RunExcelExport(v, false, false);
  EXPECT_EQ(run.result, table::ExportRun::Exported);
  EXPECT_TRUE(messages.Messages().empty());
  auto book = ReadBack(path);
  ASSERT_EQ(book.size(), 5u);
  const char* names[] = {"封面", "控制点", "水准", "备注", "坐标表"};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(book[static_cast<std::size_t>(i)].name, names[i]);
  ExpectCell(book[0], 1, 1, "工程概况");
  EXPECT_EQ(book[0].merges, std::vector<std::string>{"1 1 1 4"});
  EXPECT_EQ(book[1].cells.at({2, 2}).format, "0.000");
  EXPECT_DOUBLE_EQ(book[1].cells.at({2, 2}).value, 3381522.41);
  ExpectCell(book[4], 1, 1, "坐标表");
  ExpectCell(book[4], 2, 1, "工程名称：演示");
  ExpectCell(book[4], 5, 1, "A");
  ExpectCell(book[4], 5, 3, "3456789.123");
  EXPECT_EQ(book[4].merges.front(), "1 1 1 4");
  // Every part the workbook had is kept byte for byte, but for the lists that name parts.
  const auto after = Parts(path);
  for (const auto& [name, hash] : before) {
    ASSERT_TRUE(after.count(name)) << name;
    if (name != "xl/workbook.xml" && name != "xl/_rels/workbook.xml.rels" && name != "[Content_Types].xml" &&
        name != "xl/styles.xml") {
      EXPECT_EQ(after.at(name), hash) << name;
    }
  }
  EXPECT_EQ(after.size(), before.size() + 1);
}

TEST_F(ExcelFlowTest, EditsMadeBetweenExportsAreKept) {
  const std::string path = dir.File("book.xlsx");
  services.files.answers = {path};
  ASSERT_EQ(table::RunExcelExport(v, false, false).result, table::ExportRun::Exported);
  ASSERT_EQ(UserDoes("add '" + path + "' 手加 用户的数据"), "");
  v.SetCellText(1, 1, "Z");
  ASSERT_EQ(table::RunExcelExport(v, false, false).result, table::ExportRun::Exported);
  v.SetCellText(1, 1, "Y");
  ASSERT_EQ(table::RunExcelExport(v, false, false).result, table::ExportRun::Exported);
  auto book = ReadBack(path);
  ASSERT_EQ(book.size(), 4u);
  EXPECT_EQ(book[0].name, "坐标表");
  EXPECT_EQ(book[1].name, "手加");
  EXPECT_EQ(book[2].name, "坐标表(2)");
  EXPECT_EQ(book[3].name, "坐标表(3)");
  ExpectCell(book[0], 5, 1, "A");
  ExpectCell(book[1], 1, 1, "用户的数据");
  ExpectCell(book[2], 5, 1, "Z");
  ExpectCell(book[3], 5, 1, "Y");
  EXPECT_TRUE(messages.Messages().empty());
}

// The workbook's own list of its sheets (docProps/app.xml, as a spreadsheet program
// writes it) names the added sheet among the worksheets, before the print area; a list
// whose counts do not add up is dropped rather than left wrong.
TEST_F(ExcelFlowTest, TheWorkbooksListOfItsSheetsNamesTheAddedSheet) {
  const struct {
    const char* office;
    const char* titles;
  } cases[] = {
      {"",
       "pair 工作表 5\npair 命名范围 1\ntitle 封面\ntitle 控制点\ntitle 水准\ntitle 备注\ntitle 坐标表\n"
       "title 封面!Print_Area\nsizes 4 6 4 6\n"},
      {" bad", ""},
  };
  int k = 0;
  for (const auto& c : cases) {
    const std::string path = dir.File("office" + std::to_string(++k) + ".xlsx");
    ASSERT_EQ(UserDoes("make '" + path + "'"), "");
    ASSERT_EQ(UserDoes("office '" + path + "'" + c.office), "");
    v.ExcelSession().Forget();
    services.files.answers = {path};
    ASSERT_EQ(table::RunExcelExport(v, false, false).result, table::ExportRun::Exported) << c.office;
    const auto book = ReadBack(path);
    ASSERT_EQ(book.size(), 5u) << c.office;
    EXPECT_EQ(book[4].name, "坐标表");
    EXPECT_EQ(UserDoes("titles '" + path + "'"), c.titles) << c.office;
  }
}

TEST_F(ExcelFlowTest, AWorkbookThatCannotBeReadIsRefusedAndLeftAsItIs) {
  std::string error;
  const std::string noBook = *table::MakeZip({{"readme.txt", "x"}}, &error);
  const std::string noSheets = *table::MakeZip(
      {{"[Content_Types].xml", "<Types/>"},
       {"_rels/.rels",
        "<Relationships><Relationship Id=\"rId1\" "
        "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" "
        "Target=\"xl/workbook.xml\"/></Relationships>"},
       {"xl/workbook.xml", "<workbook><sheets></sheets></workbook>"},
       {"xl/_rels/workbook.xml.rels", "<Relationships/>"}},
      &error);
  const struct {
    const char* name;
    std::string bytes;
  } cases[] = {{"text.xlsx", "工程名称,X,Y\r\n"},
               {"old.xlsx", std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + std::string(504, '\0')},
               {"nobook.xlsx", noBook},
               {"nosheets.xlsx", noSheets}};
  for (const auto& c : cases) {
    const std::string path = dir.File(c.name);
    ASSERT_TRUE(platform::WriteFileAtomic(path, c.bytes));
    v.ExcelSession().Forget();
    messages.Clear();
    services.files.answers = {path};
    auto run = table::RunExcelExport(v, false, false);
    EXPECT_EQ(run.result, table::ExportRun::Failed) << c.name;
    EXPECT_EQ(run.status, "该表格输出失败");
    ASSERT_EQ(messages.Messages().size(), 1u) << c.name;
    EXPECT_EQ(messages.Messages()[0].rfind("表格未能输出到文件“" + path + "”：\n该文件不是能读取的EXCEL工作簿（", 0), 0u)
        << messages.Messages()[0];
    EXPECT_EQ(platform::ReadFileBytes(path).value_or(""), c.bytes) << c.name;
  }
}

// Workbooks other programs write: element prefixes instead of a default namespace, no
// style part at all.
TEST_F(XlsxTest, SheetsJoinWorkbooksOfOtherWriters) {
  const std::string ns = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
  const std::string rel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
  auto package = [&](bool styles) {
    std::string error;
    std::string types =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Types "
        "xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\"><Default Extension=\"rels\" "
        "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/><Default Extension=\"xml\" "
        "ContentType=\"application/xml\"/><Override PartName=\"/xl/workbook.xml\" "
        "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/><Override "
        "PartName=\"/xl/worksheets/sheet1.xml\" "
        "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml\"/>";
    std::string rels = "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                       "<Relationship Id=\"rId1\" Type=\"" + rel + "/worksheet\" Target=\"worksheets/sheet1.xml\"/>";
    std::vector<table::ZipPart> parts;
    if (styles) {
      types += "<Override PartName=\"/xl/styles.xml\" "
               "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml\"/>";
      rels += "<Relationship Id=\"rId2\" Type=\"" + rel + "/styles\" Target=\"styles.xml\"/>";
      parts.push_back({"xl/styles.xml",
                       "<x:styleSheet xmlns:x=\"" + ns +
                           "\"><x:fonts count=\"1\"><x:font><x:sz val=\"11\"/><x:name val=\"Calibri\"/></x:font>"
                           "</x:fonts><x:fills count=\"2\"><x:fill><x:patternFill patternType=\"none\"/></x:fill>"
                           "<x:fill><x:patternFill patternType=\"gray125\"/></x:fill></x:fills><x:borders "
                           "count=\"1\"><x:border><x:left/><x:right/><x:top/><x:bottom/><x:diagonal/></x:border>"
                           "</x:borders><x:cellStyleXfs count=\"1\"><x:xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" "
                           "borderId=\"0\"/></x:cellStyleXfs><x:cellXfs count=\"1\"><x:xf numFmtId=\"0\" "
                           "fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\"/></x:cellXfs><x:cellStyles count=\"1\">"
                           "<x:cellStyle name=\"Normal\" xfId=\"0\" builtinId=\"0\"/></x:cellStyles></x:styleSheet>"});
    }
    parts.insert(parts.begin(),
                 {{"[Content_Types].xml", types + "</Types>"},
                  {"_rels/.rels", "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                                  "<Relationship Id=\"rId1\" Type=\"" + rel +
                                      "/officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>"},
                  {"xl/workbook.xml", "<x:workbook xmlns:x=\"" + ns + "\" xmlns:rr=\"" + rel +
                                          "\"><x:sheets><x:sheet name=\"数据\" sheetId=\"1\" rr:id=\"rId1\"/>"
                                          "</x:sheets></x:workbook>"},
                  {"xl/_rels/workbook.xml.rels", rels + "</Relationships>"},
                  {"xl/worksheets/sheet1.xml",
                   "<x:worksheet xmlns:x=\"" + ns + "\"><x:sheetData><x:row r=\"1\"><x:c r=\"A1\" t=\"inlineStr\">"
                                                    "<x:is><x:t>原有</x:t></x:is></x:c></x:row></x:sheetData></x:worksheet>"}});
    return *table::MakeZip(parts, &error);
  };
  for (bool styles : {true, false}) {
    const std::string path = dir.File(styles ? "prefixed.xlsx" : "bare.xlsx");
    ASSERT_TRUE(platform::WriteFileAtomic(path, package(styles)));
    std::string error;
    ASSERT_TRUE(table::AddXlsxSheet(path, table::BuildXlsxSheet(v, false), "数据", &error)) << error;
    auto book = ReadBack(path);
    ASSERT_EQ(book.size(), 2u) << styles;
    EXPECT_EQ(book[0].name, "数据");
    ExpectCell(book[0], 1, 1, "原有");
    EXPECT_EQ(book[1].name, "数据(2)");
    ExpectCell(book[1], 4, 4, "Y");
    ExpectCell(book[1], 6, 3, "3456800.000");
  }
}

}  // namespace

// A killed export leaves its temporary file beside the target, never in the system's
// temporary folder; the next export to that target removes it once it is stale.
TEST(XlsxFileTest, KilledExportLeavesNothingInTheTemporaryFolder) {
  TempDir dir{"xlsx-kill"};
  const std::filesystem::path sysTmp = dir.Path() / "systmp";
  std::filesystem::create_directories(sysTmp);
  const std::string path = dir.File("book.xlsx");
  table::XlsxSheet big;
  big.name = "大表";
  big.cols = 8;
  big.rows.assign(40000, std::vector<table::XlsxCell>(8, table::XlsxCell{"GP01", false, 0, 0, false, false}));
  auto small = [](const std::string& text) {
    table::XlsxSheet s;
    s.name = "小表";
    s.cols = 1;
    s.rows = {{table::XlsxCell{text, false, 0, 0, false, false}}};
    return s;
  };
  std::string error;
  ASSERT_TRUE(table::WriteXlsx(path, {small("old")}, &error)) << error;
  const std::string before = Shell("cat '" + path + "' | md5sum");

  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::setenv("TMPDIR", sysTmp.c_str(), 1);
    std::string e;
    table::WriteXlsx(path, {big}, &e);
    ::_exit(0);
  }
  auto temporaries = [&] {
    std::vector<std::filesystem::path> found;
    for (const auto& e : std::filesystem::directory_iterator(dir.Path()))
      if (e.path().filename().string().rfind("book.xlsx.tmp~", 0) == 0) found.push_back(e.path());
    return found;
  };
  // Killed while it builds the workbook, wherever that happens.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (temporaries().empty() && std::filesystem::is_empty(sysTmp) && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  ::kill(child, SIGKILL);
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  const auto left = temporaries();
  ASSERT_EQ(left.size(), 1u) << "the export writes beside its target";
  EXPECT_TRUE(std::filesystem::is_empty(sysTmp));
  EXPECT_EQ(Shell("cat '" + path + "' | md5sum"), before) << "the old workbook is whole";

  std::filesystem::last_write_time(left[0], std::filesystem::file_time_type::clock::now() - std::chrono::hours(1));
  ASSERT_TRUE(table::WriteXlsx(path, {small("new")}, &error)) << error;
  EXPECT_TRUE(temporaries().empty());
}
