// The records section: golden files per book layout (GBK, CR LF, byte-exact), write ->
// read -> write identical, and the damaged files a reader must survive.
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/doc_section.h"
#include "platform/fake_ports.h"
#include "platform/textfile.h"
#include "records/records_section.h"
#include "tests/records/book_fixture.h"

namespace {

using records::RecordsData;
using records_test::Type;

RecordsData Fresh() {
  RecordsData d;
  d.Reset();
  return d;
}

// Small books with every typed cell of each layout filled, and result cells that the
// file must not carry.
RecordsData SlopeAndDoubleScale() {
  RecordsData d = Fresh();
  d.results.signOff[1] = "北岭隧道";
  d.results.title = "边长高差成果";
  d.dx.m_nSets = 1;
  d.dx.m_nTableRows = 4;
  d.dx.m_nDistanceType = kDistanceSlope;
  d.dx.m_dEdmConstant = 0.0012;
  d.dx.m_dEdmScale = 2.5e-6;
  d.dx.m_arrPages.clear();
  d.dx.AddPage();
  d.dx.m_arrPages[0].m_strHeader[6] = "北岭隧道";
  Type(d.dx.m_arrPages[0], 0, {{0, "G1"}, {1, "G0"}, {2, "0.0006"}, {3, "180.0000"}, {4, "6"}, {6, "88.1524"},
                               {7, "271.4432"}, {10, "312.456"}, {11, "312.400"}, {13, "1.650"}});
  Type(d.dx.m_arrPages[0], 1, {{0, "1.532"}, {1, "G2"}, {2, "121.2230"}, {3, "301.2236"}, {6, "91.0214"},
                               {7, "268.5744"}, {10, "285.120"}, {13, "1.500"}});
  d.shpj.m_nSets = 1;
  d.shpj.m_nTableRows = 4;
  d.shpj.m_arrPages.clear();
  d.shpj.AddPage();
  Type(d.shpj.m_arrPages[0], 0, {{0, "O"}, {1, "A"}, {2, "0.0000"}, {3, "180.0010"}, {4, "-10"}, {6, "90 00 05"}});
  Type(d.shpj.m_arrPages[0], 1, {{1, "B"}, {2, "90.0000"}, {3, "270.0020"}});
  d.shzh.m_nTableRows = 6;
  d.shzh.m_arrPages.clear();
  d.shzh.AddPage();
  Type(d.shzh.m_arrPages[0], 0, {{0, "1"}, {1, "BM1"}, {2, "1614"}, {3, "1525"}, {6, "1384"}, {7, "6171"}, {8, "0"}});
  Type(d.shzh.m_arrPages[0], 1, {{1, "TP1"}, {2, "1156"}, {3, "1070"}, {6, "1297"}, {7, "5983"}});
  return d;
}

RecordsData DirectAndSingleFace() {
  RecordsData d = Fresh();
  d.dx.m_nTableRows = 4;
  d.dx.m_arrPages.clear();
  d.dx.AddPage();
  Type(d.dx.m_arrPages[0], 0, {{0, "A"}, {1, "B"}, {2, "0"}, {3, "180"}, {10, "100.002"}, {12, "1.200"}, {13, "1.6"}});
  d.dx.AddPage();  // a second page repeats the first page's header
  d.shpj.m_nTableRows = 4;
  d.shpj.m_arrPages.clear();
  d.shpj.AddPage();
  d.shzh.m_nLevellingMode = kLevelSingleFace;
  d.shzh.m_nTableRows = 3;
  d.shzh.m_strTitle = "四等水准";
  d.shzh.m_arrPages.clear();
  d.shzh.AddPage();
  Type(d.shzh.m_arrPages[0], 0, {{0, "A"}, {1, "TP1"}, {2, "2.800"}, {3, "1.566"}, {4, "+1.234"}, {5, "雨后"}});
  return d;
}

std::string Encoded(const RecordsData& d) {
  auto bytes = platform::EncodeGbkLines(records::WriteRecordsSectionLines(d));
  return bytes ? *bytes : std::string();
}

RecordsData Read(const std::vector<std::string>& lines, std::size_t* end = nullptr) {
  RecordsData d = Fresh();
  std::size_t pos = 1;
  records::ReadRecordsSectionLines(lines, pos, d);
  if (end) *end = pos;
  return d;
}

TEST(RecordsSection, GoldenFilesPerLayout) {
  struct Case { const char* file; RecordsData data; };
  const Case cases[] = {{"records_slope_double_scale.golden", SlopeAndDoubleScale()},
                        {"records_direct_single_face.golden", DirectAndSingleFace()}};
  for (const Case& c : cases) {
    const std::string path = std::string(QUINTAR_SOURCE_DIR) + "/tests/records/data/" + c.file;
    auto golden = platform::ReadFileBytes(path);
    const std::string written = Encoded(c.data);
    if (!golden) std::ofstream(c.file, std::ios::binary) << written;  // to review and copy in
    ASSERT_TRUE(golden.has_value()) << path;
    EXPECT_EQ(written, *golden) << c.file;
  }
}

TEST(RecordsSection, WriteReadWriteIsIdentical) {
  platform::FakeMessagePort port;  // what the program writes reads back without a word
  for (const RecordsData& d : {SlopeAndDoubleScale(), DirectAndSingleFace(), Fresh()}) {
    const std::vector<std::string> first = records::WriteRecordsSectionLines(d);
    std::size_t end = 0;
    const RecordsData again = Read(first, &end);
    EXPECT_EQ(end, first.size());
    EXPECT_EQ(records::WriteRecordsSectionLines(again), first);
  }
  EXPECT_TRUE(port.Messages().empty());
  // The typed cells come back; result cells are not stored.
  const RecordsData again = Read(records::WriteRecordsSectionLines(SlopeAndDoubleScale()));
  EXPECT_EQ(again.dx.m_arrPages[0].Cell(0, 6), "88.1524");
  EXPECT_EQ(again.dx.m_arrPages[0].Cell(1, 7), "268.5744");
  EXPECT_EQ(again.dx.m_arrPages[0].Cell(0, 4), "");
  EXPECT_EQ(again.dx.m_arrPages[0].Cell(0, 11), "");
  EXPECT_EQ(again.dx.m_nDistanceType, kDistanceSlope);
  EXPECT_DOUBLE_EQ(again.dx.m_dEdmScale, 2.5e-6);
  EXPECT_EQ(again.results.signOff[1], "北岭隧道");
  // The single-face remark is kept as a fifth field.
  const RecordsData single = Read(records::WriteRecordsSectionLines(DirectAndSingleFace()));
  EXPECT_EQ(single.shzh.m_arrPages[0].Cell(0, 5), "雨后");
  EXPECT_EQ(single.shzh.m_strTitle, "四等水准");
}

TEST(RecordsSection, NewJobPageLines) {
  const std::vector<std::string> lines = records::WriteRecordsSectionLines(Fresh());
  auto count = [&](const char* block) {
    std::size_t i = 0;
    while (lines[i] != block) ++i;
    while (lines[i] != "[PAGE]") ++i;
    std::size_t n = 0;
    for (++i; lines[i] != "PAGEEND"; ++i) ++n;
    return n;
  };
  EXPECT_EQ(count("[导线记录]"), 41u);
  EXPECT_EQ(count("[水平角记录]"), 41u);
  EXPECT_EQ(count("[水准记录]"), 40u);
  EXPECT_EQ(lines.back(), app::kSectionEnd);
  EXPECT_NE(std::find(lines.begin(), lines.end(), ",,,,,,,,"), lines.end());
}

// A section as an older or damaged file carries it.
std::vector<std::string> Lines(std::initializer_list<const char*> body) {
  std::vector<std::string> v = {app::kRecordsBanner};
  for (const char* l : body) v.emplace_back(l);
  return v;
}

TEST(RecordsSection, DamagedFilesStayInsideTheSection) {
  struct Case {
    const char* name;
    std::vector<std::string> lines;
    std::size_t stop;  // the first line not read
  };
  const Case cases[] = {
      {"page shorter than its rows, then the dash line",
       Lines({"[导线记录]", "表格行数:4", "[PAGE]", "工程名称：,,,,,,,,,,,", "A,B,0,180,,,,,", "PAGEEND", "END",
              "----------------------------", "----------Pelmor----------", "[计算方案]"}),
       9},
      {"no closing line before the traverse banner",
       Lines({"[导线记录]", "[PAGE]", "h,,,,,,,,,,,", "A,B", "----------Pelmor----------", "[数据]"}), 5},
      {"rows run into the next block", Lines({"[水准记录]", "[PAGE]", "h", "1,A", "[导线记录]", "测回数:3", "END"}),
       8},
  };
  for (const Case& c : cases) {
    std::size_t end = 0;
    const RecordsData d = Read(c.lines, &end);
    EXPECT_EQ(end, c.stop) << c.name;
  }
  // The short page keeps what it had; its other rows are empty, the banner is not eaten.
  std::size_t end = 0;
  const RecordsData d = Read(cases[0].lines, &end);
  ASSERT_EQ(d.dx.m_arrPages.size(), 1u);
  EXPECT_EQ(d.dx.m_arrPages[0].RowCount(), 4);
  EXPECT_EQ(d.dx.m_arrPages[0].Cell(0, 0), "A");
  EXPECT_EQ(d.dx.m_arrPages[0].Cell(1, 0), "");
  const RecordsData next = Read(cases[2].lines);
  EXPECT_EQ(next.dx.m_nSets, 3);
  EXPECT_EQ(next.shzh.m_arrPages[0].Cell(0, 1), "A");
}

TEST(RecordsSection, ValuesOutsideTheirRangesKeepTheResetValues) {
  platform::FakeMessagePort port;
  const RecordsData d = Read(Lines({"[导线记录]", "表格行数:2000000000", "测回数:1073741824", "距离类型:7",
                                    "上方行数:9", "打印字高:-3", "END", "[水准记录]", "水准观测方式:5",
                                    "水准数据省略小数点:2", "表格行数:0", "END", "[外业整理]", "角度取位:9", "END",
                                    "----------------------------"}));
  EXPECT_EQ(d.dx.m_nTableRows, 40);
  EXPECT_EQ(d.dx.m_nSets, 2);
  EXPECT_EQ(d.dx.m_nDistanceType, 0);
  EXPECT_EQ(d.dx.m_nLinesAbove, 2);
  EXPECT_DOUBLE_EQ(d.dx.m_dPrintHeight, 3.0);
  EXPECT_EQ(d.shzh.m_nLevellingMode, 0);
  EXPECT_EQ(d.shzh.m_bOmitDecimalPoint, 1);
  EXPECT_EQ(d.shzh.m_nTableRows, 40);
  EXPECT_EQ(d.results.angleDecimals, 0);
  // Each named once with the value kept, in one message.
  EXPECT_EQ(port.Messages(), (std::vector<std::string>{"导线记录中的“表格行数”超出范围（2000000000），已改用40。\n"
                                                       "导线记录中的“测回数”超出范围（1073741824），已改用2。\n"
                                                       "导线记录中的“距离类型”超出范围（7），已改用0。\n"
                                                       "导线记录中的“上方行数”超出范围（9），已改用2。\n"
                                                       "导线记录中的“打印字高”超出范围（-3），已改用3。\n"
                                                       "水准记录中的“水准观测方式”超出范围（5），已改用0。\n"
                                                       "水准记录中的“水准数据省略小数点”超出范围（2），已改用1。\n"
                                                       "水准记录中的“表格行数”超出范围（0），已改用40。\n"
                                                       "外业整理中的“角度取位”超出范围（9），已改用0。"}));
}

// A setting whose text is no whole number of its kind is not taken (atof would read
// "abc" as 0 and "0.14x" as 0.14); the value kept is named. Into the document's notes
// when given, so the first save over the file asks.
TEST(RecordsSection, SettingsThatAreNoNumbersAreNamed) {
  struct Case {
    const char* block;
    const char* line;
    const char* message;
    std::function<double(const RecordsData&)> value;
    double expected;
  };
  const Case cases[] = {
      {"[导线记录]", "测距加常数:abc", "导线记录中的“测距加常数”不是数字（abc），已改用0。",
       [](const RecordsData& d) { return d.dx.m_dEdmConstant; }, 0},
      {"[导线记录]", "大气折光系数:0.14x", "导线记录中的“大气折光系数”不是数字（0.14x），已改用0.14。",
       [](const RecordsData& d) { return d.dx.m_dRefraction; }, 0.14},
      {"[导线记录]", "测回数:3x", "导线记录中的“测回数”不是整数（3x），已改用2。",
       [](const RecordsData& d) { return double(d.dx.m_nSets); }, 2},
      {"[导线记录]", "距离类型:1.5", "导线记录中的“距离类型”不是整数（1.5），已改用0。",
       [](const RecordsData& d) { return double(d.dx.m_nDistanceType); }, 0},
      {"[水准记录]", "基辅差:", "水准记录中的“基辅差”没有数值，已改用301550。",
       [](const RecordsData& d) { return d.shzh.m_dStaffConstant; }, 301550},
      {"[水准记录]", "水准读数为实际2倍:1x", "水准记录中的“水准读数为实际2倍”不是整数（1x），已改用0。",
       [](const RecordsData& d) { return double(d.shzh.m_bDoubledReadings); }, 0},
      {"[水平角记录]", "测回数:abc", "水平角记录中的“测回数”不是整数（abc），已改用2。",
       [](const RecordsData& d) { return double(d.shpj.m_nSets); }, 2},
      {"[导线记录]", "测距乘常数: -0.000002500 ", "", [](const RecordsData& d) { return d.dx.m_dEdmScale; }, -2.5e-6},
      {"[导线记录]", "表格名称:abc", "", [](const RecordsData& d) { return double(d.dx.m_strTitle == "abc"); }, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    platform::FakeMessagePort port;
    const RecordsData d = Read(Lines({c.block, c.line, "END", "----------------------------"}));
    EXPECT_EQ(port.Messages(), *c.message ? std::vector<std::string>{c.message} : std::vector<std::string>{});
    EXPECT_DOUBLE_EQ(c.value(d), c.expected);
  }
  // A later valid line of the key decides; with notes the clause goes there.
  platform::FakeMessagePort port;
  RecordsData d = Fresh();
  app::ReadNotes notes;
  std::size_t pos = 1;
  records::ReadRecordsSectionLines(
      Lines({"[导线记录]", "测回数:x", "测回数:4", "测距加常数:1.2", "测距加常数:y", "END", "----------------------------"}),
      pos, d, &notes);
  EXPECT_TRUE(port.Messages().empty());
  EXPECT_EQ(d.dx.m_nSets, 4);
  EXPECT_EQ(notes.lost, (std::vector<std::string>{"导线记录中的“测距加常数”不是数字（y），已改用1.2"}));
}

TEST(RecordsSection, PagesFitTheSettingsOfTheirBlock) {
  // Settings after the page list: the pages are brought to the rows of the block.
  const RecordsData d = Read(Lines({"[水平角记录]", "[PAGE]", "h,,,,,,,,,,,", "O,A,0,180", "PAGEEND", "测回数:3",
                                    "表格行数:12", "END", "----------------------------"}));
  ASSERT_EQ(d.shpj.m_arrPages.size(), 1u);
  EXPECT_EQ(d.shpj.m_arrPages[0].RowCount(), 12);
  EXPECT_EQ(d.shpj.m_arrPages[0].Cell(0, 3), "180");
  EXPECT_EQ(d.shpj.m_arrPages[0].m_strHeader[0], "h");
}

TEST(RecordsSection, BlocksInAnyOrderAndASecondPageListReplaces) {
  const RecordsData d =
      Read(Lines({"", "[水准记录]", "表格行数:3", "[PAGE]", "first", "1,A,,,,", ",B,,,,", ",,,,,", "PAGEEND", "[PAGE]",
                  "second", "  7  , X ,,,,", ",Y", "", "PAGEEND", "END", "[导线记录]", "表格名称:导线记录甲", "END",
                  "[其它]", "----------------------------"}));
  ASSERT_EQ(d.shzh.m_arrPages.size(), 1u);
  EXPECT_EQ(d.shzh.m_arrPages[0].m_strHeader[0], "second");
  EXPECT_EQ(d.shzh.m_arrPages[0].Cell(0, 0), "7");  // fields are trimmed
  EXPECT_EQ(d.shzh.m_arrPages[0].Cell(0, 1), "X");
  EXPECT_EQ(d.shzh.m_arrPages[0].Cell(1, 1), "Y");
  EXPECT_EQ(d.dx.m_strTitle, "导线记录甲");
  // A four-field single-face row of an older file reads with an empty remark.
  const RecordsData old = Read(Lines({"[水准记录]", "水准观测方式:1", "表格行数:3", "[PAGE]", "h", "A,B,1.2,1.1", "PAGEEND",
                                      "END", "----------------------------"}));
  EXPECT_EQ(old.shzh.m_arrPages[0].Cell(0, 3), "1.1");
  EXPECT_EQ(old.shzh.m_arrPages[0].Cell(0, 5), "");
}

TEST(RecordsSection, PagesPastTheTreeAreReadOverNotKept) {
  std::vector<std::string> lines = {app::kRecordsBanner, "[导线记录]", "表格行数:2", "测回数:1", "[PAGE]"};
  for (int p = 0; p < records::kMaxTraversePages + 5; ++p) {
    lines.push_back("h" + std::to_string(p));
    lines.push_back("A,B");
    lines.push_back("");
  }
  lines.insert(lines.end(), {"PAGEEND", "END", "[水平角记录]", "表格名称:角", "END", app::kSectionEnd});
  std::size_t end = 0;
  const RecordsData d = Read(lines, &end);
  EXPECT_EQ(end, lines.size());
  EXPECT_EQ(d.dx.m_arrPages.size(), static_cast<std::size_t>(records::kMaxTraversePages));
  EXPECT_EQ(d.shpj.m_strTitle, "角");
}

}  // namespace

namespace {

// The sample job's records section reads and writes back exactly as it is stored.
TEST(RecordsSection, SampleJobSectionWritesBackUnchanged) {
  auto bytes = platform::ReadFileBytes(std::string(QUINTAR_SOURCE_DIR) + "/examples/field-books.qvt");
  ASSERT_TRUE(bytes.has_value());
  const std::vector<std::string> lines = platform::SplitGbkLines(*bytes);
  std::size_t begin = 0;
  while (begin < lines.size() && lines[begin] != app::kRecordsBanner) ++begin;
  ASSERT_LT(begin, lines.size());
  std::size_t end = begin + 1;
  RecordsData d = Fresh();
  records::ReadRecordsSectionLines(lines, end, d);
  const std::vector<std::string> stored(lines.begin() + static_cast<long>(begin), lines.begin() + static_cast<long>(end));
  EXPECT_EQ(records::WriteRecordsSectionLines(d), stored);
  EXPECT_EQ(d.dx.m_arrPages.size(), 2u);
  EXPECT_EQ(d.shpj.m_nSets, 3);
}

}  // namespace
