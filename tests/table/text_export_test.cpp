// Text export: the three formats against golden files (GBK, CR LF), tables added to
// a text-table file in order, numbers untouched by a comma-decimal locale, and the
// command's flow around the file: chooser options, failure with the old file kept,
// opening afterwards.
#include <gtest/gtest.h>

#include <clocale>
#include <filesystem>

#include "export_fixture.h"
#include "platform/fake_ports.h"
#include "platform/gbk.h"
#include "platform/services.h"
#include "platform/textfile.h"
#include "table/export/text_export.h"

#ifndef QUINTAR_SOURCE_DIR
#define QUINTAR_SOURCE_DIR "."
#endif

namespace {

using namespace tabletest;
namespace fs = std::filesystem;

std::string Golden(const std::string& name) {
  auto b = platform::ReadFileBytes(std::string(QUINTAR_SOURCE_DIR "/tests/table/golden/") + name);
  return b ? *b : std::string("(missing golden file ") + name + ")";
}

std::string Exported(const CTableView& v, int format, const std::string& path) {
  std::string error;
  EXPECT_TRUE(table::WriteTextExport(v, path, format, &error)) << error;
  auto b = platform::ReadFileBytes(path);
  return b ? *b : std::string();
}

TEST(TextExportTest, FormatsMatchTheirGoldenFiles) {
  TempDir dir("textexport");
  CTableView v;
  FillCoordinateTable(v);
  const struct {
    int format;
    const char* golden;
  } cases[] = {{table::kTextTable, "coordinates-table.txt"},
               {table::kTextComma, "coordinates-comma.txt"},
               {table::kTextCsv, "coordinates.csv"}};
  for (const auto& c : cases) {
    const std::string got = Exported(v, c.format, dir.File(c.golden));
    EXPECT_EQ(got, Golden(c.golden)) << c.golden << "\n" << platform::GbkToUtf8(got);
  }
}

TEST(TextExportTest, CsvQuotesWhatWouldSplitAField) {
  CTableView v;
  v.NewTable(1, 3, "t", true);
  v.SetCellText(1, 1, "a,b");
  v.SetCellText(1, 2, "say \"x\"");
  v.SetCellText(1, 3, " lead");
  auto lines = table::TextExportLines(v, table::kTextCsv);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back(), "\"a,b\",\"say \"\"x\"\"\",\" lead\"");
}

TEST(TextExportTest, SignatureBlockFollowsTheRows) {
  CTableView v;
  FillCoordinateTable(v);
  v.SetSignatureTexts(2, "备注", "fx = 9.29mm", "fβ允 = 24.49\"");
  auto csv = table::TextExportLines(v, table::kTextCsv);
  ASSERT_GE(csv.size(), 2u);
  EXPECT_EQ(csv[csv.size() - 2], "备注,fx = 9.29mm,,");
  EXPECT_EQ(csv.back(), ",\"fβ允 = 24.49\"\"\",,");
  auto text = table::TextExportLines(v, table::kTextTable);
  ASSERT_GE(text.size(), 4u);
  EXPECT_EQ(text[text.size() - 4], "备注 fx = 9.29mm");
  EXPECT_EQ(text[text.size() - 3], "fβ允 = 24.49\"");
  EXPECT_EQ(table::TextExportLines(v, table::kTextComma).size(), 3u);  // rows only
}

TEST(TextExportTest, TextTablesAreAddedInOrder) {
  TempDir dir("textappend");
  const std::string path = dir.File("two.txt");
  CTableView first, second;
  FillCoordinateTable(first, "第一表");
  FillCoordinateTable(second, "第二表");
  const std::string one = Exported(first, table::kTextTable, dir.File("one.txt"));
  const std::string two = Exported(second, table::kTextTable, dir.File("other.txt"));
  Exported(first, table::kTextTable, path);
  EXPECT_EQ(Exported(second, table::kTextTable, path), one + two);

  // A file without a final line end gets one before the table.
  platform::WriteFileAtomic(path, "note");
  EXPECT_EQ(Exported(first, table::kTextTable, path), "note\r\n" + one);
  // Formats 1 and 2 replace the file.
  const std::string comma = Exported(first, table::kTextComma, path);
  EXPECT_EQ(Exported(first, table::kTextComma, path), comma);
}

// A text file has no pages (the table runs on as long as it is, and further tables are
// added after it): the page item stays empty, the other items are written.
TEST(TextExportTest, TheTextTableHasNoPageItem) {
  for (int rows : {3, 120}) {
    CTableView v;
    FillCoordinateTable(v);
    ASSERT_TRUE(v.SetRowCount(rows));
    v.m_nLinesAbove = 1;
    v.m_nLineBelow = 1;
    v.SetHeaderText(2, "第   页  共   页");
    v.SetHeaderText(9, "计算：");
    v.SetHeaderText(11, "第   页  共   页");
    const auto lines = table::TextExportLines(v, table::kTextTable);
    ASSERT_GT(lines.size(), static_cast<std::size_t>(rows)) << rows;
    EXPECT_EQ(lines[1], "工程名称：演示") << rows;
    EXPECT_EQ(lines[lines.size() - 2].rfind("计算：", 0), 0u) << rows;
    EXPECT_NE(lines[lines.size() - 2].find("复核："), std::string::npos) << rows;
    for (const std::string& line : lines) EXPECT_EQ(line.find("页"), std::string::npos) << rows << ": " << line;
  }
}

TEST(TextExportTest, CommaDecimalLocaleLeavesNumbersAlone) {
  if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) GTEST_SKIP() << "de_DE.UTF-8 not installed";
  TempDir dir("textlocale");
  CTableView v;
  FillCoordinateTable(v);
  const std::string got = Exported(v, table::kTextCsv, dir.File("de.csv"));
  std::setlocale(LC_ALL, "C");
  EXPECT_EQ(got, Golden("coordinates.csv"));
}

class TextCommandTest : public ::testing::Test {
 protected:
  platform::FakeMessagePort messages;
  platform::ScopedMemoryServices services;
  ScriptedExportDialogs dialogs;
  TempDir dir{"textcmd"};
  CTableView v;
  void SetUp() override { FillCoordinateTable(v); }
};

TEST_F(TextCommandTest, EmptyTableSaysSoAndAsksNothing) {
  CTableView empty;
  empty.OnInitialUpdate();
  empty.OnCommand(table::ID_EXPORT_TEXT);
  EXPECT_EQ(messages.Messages(), std::vector<std::string>{"无表格内容输出到文本文件!"});
  EXPECT_EQ(dialogs.textRuns, 0);
}

TEST_F(TextCommandTest, ChooserOptionsFollowTheFormat) {
  const struct {
    int format;
    bool overwritePrompt;
    const char* suffix;
  } cases[] = {{0, false, "txt"}, {1, true, "txt"}, {2, true, "csv"}};
  for (const auto& c : cases) {
    dialogs.text.format = c.format;
    services.files.answers = {std::nullopt};
    v.OnCommand(table::ID_EXPORT_TEXT);
    EXPECT_EQ(services.files.lastOptions.overwritePrompt, c.overwritePrompt) << c.format;
    EXPECT_EQ(services.files.lastOptions.defaultSuffix, c.suffix) << c.format;
  }
  EXPECT_TRUE(services.desktop.opened.empty());
  EXPECT_TRUE(messages.Messages().empty());
}

TEST_F(TextCommandTest, WrittenFileIsOpenedWhenAsked) {
  const std::string path = dir.File("out.csv");
  dialogs.text = {table::kTextCsv, true};
  services.files.answers = {path};
  v.OnCommand(table::ID_EXPORT_TEXT);
  EXPECT_EQ(*platform::ReadFileBytes(path), Golden("coordinates.csv"));
  EXPECT_EQ(services.desktop.opened, std::vector<std::string>{path});

  dialogs.text = {table::kTextComma, false};
  services.files.answers = {path};
  v.OnCommand(table::ID_EXPORT_TEXT);
  EXPECT_EQ(*platform::ReadFileBytes(path), Golden("coordinates-comma.txt"));
  EXPECT_EQ(services.desktop.opened.size(), 1u);
}

TEST_F(TextCommandTest, FailureKeepsTheOldFileOpensNothingAndSaysWhy) {
  const std::string path = dir.File("old.txt");
  ASSERT_TRUE(platform::WriteFileAtomic(path, "old\r\n"));
  v.SetCellText(1, 1, "A\xF0\x9F\x98\x80");  // an emoji GBK cannot store
  dialogs.text = {table::kTextTable, true};
  services.files.answers = {path};
  v.OnCommand(table::ID_EXPORT_TEXT);
  EXPECT_EQ(*platform::ReadFileBytes(path), "old\r\n");
  ASSERT_EQ(messages.Messages().size(), 1u);
  EXPECT_NE(messages.Messages()[0].find("不能存为GBK文本"), std::string::npos) << messages.Messages()[0];
  EXPECT_TRUE(services.desktop.opened.empty());

  // A folder that cannot be written.
  messages.Clear();
  v.SetCellText(1, 1, "A");
  const std::string blocked = ::geteuid() == 0 ? std::string("/proc/no/such/dir/x.txt") : dir.File("ro/x.txt");
  if (::geteuid() != 0) {
    fs::create_directories(dir.File("ro"));
    fs::permissions(dir.File("ro"), fs::perms::owner_read | fs::perms::owner_exec);
  }
  services.files.answers = {blocked};
  v.OnCommand(table::ID_EXPORT_TEXT);
  ASSERT_EQ(messages.Messages().size(), 1u);
  EXPECT_EQ(messages.Messages()[0].rfind("表格未能输出到文件“" + blocked + "”：\n", 0), 0u) << messages.Messages()[0];
  EXPECT_FALSE(fs::exists(blocked));
  EXPECT_TRUE(services.desktop.opened.empty());
}

TEST_F(TextCommandTest, SpreadsheetWordAndCadCommandsOpenTheirDialogs) {
  v.OnCommand(table::ID_EXPORT_EXCEL);
  v.OnCommand(table::ID_EXPORT_WORD);
  v.OnCommand(table::ID_EXPORT_CAD);
  EXPECT_EQ(dialogs.excelShown, 1);
  EXPECT_EQ(dialogs.wordShown, 1);
  EXPECT_EQ(dialogs.cadShown, 1);
}

}  // namespace
