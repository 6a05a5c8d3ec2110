// The tools section of the job file: the golden text of a job using every key and
// block (byte-exact in GBK with CR LF), write -> read -> write, the rules of old
// files, and damaged sections that must not swallow or lose data.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "platform/fake_ports.h"
#include "platform/gbk.h"
#include "tools/aux_section.h"

using namespace tools;

namespace {

ToolsSectionData FullJob() {
  ToolsSectionData d;
  d.coordSystem = 0;
  d.y500km = false;
  d.ellipsoidA = 6378245;
  d.ellipsoidInvF = 298.3;
  d.expansion = 3;
  d.projHeight = 1.2345678;
  d.projHeight2 = 250;
  d.centreLatitude = 30.3;
  d.meridian1 = 114;
  d.meridian2 = 111;
  d.reductionHeight = 45.5;
  d.distanceType = 1;
  d.refraction = 0.13;
  d.fourParams = {100.5, -200.25, 0.3015, 1.0000123};
  d.sevenParams = {-15.1, 120.2, 80.3, 2.5, 0.1, -0.2, 0.3};
  d.stores[kStoreFourCommonPoints] = {"1000,2000,1100.5,1800.2", "1500,2600,1600.1,2400.9"};
  d.stores[kStoreSevenCommonPoints] = {"1,2,3,4,5,6"};
  d.detail.mode = 0;
  d.detail.clockwise = false;
  d.detail.backsight = "K1";
  d.detail.backsightX = 100;
  d.detail.backsightY = 200;
  d.detail.backsightH = 30;
  d.detail.station = "K2";
  d.detail.stationX = 150;
  d.detail.stationY = 250;
  d.detail.stationH = 31;
  d.detail.instrumentHeight = 1.5;
  d.detail.indexError = 12;
  d.detail.showNameOrHeight = 0;
  d.detail.showDot = false;
  d.angleDecimals = 2;
  d.distDecimals = 3;
  d.coordDecimals = 3;
  d.heightDecimals = 3;
  d.chainageDecimals = 2;
  d.gradeDecimals = 2;
  d.latLonDecimals = 5;
  d.fitWidth = false;
  d.padRows = false;
  d.linesAbove = 2;
  d.lineBelow = 0;
  d.headerTexts = {"工程名称：某线", "", "第 1 页", "", "", "", "", "", "计算：张", "", "复核：李", "日期：2026.12.10"};
  for (const ToolInfo& t : kToolTable) d.stores[t.store] = {std::string("A,") + t.code, ",,"};
  d.stores[kStoreZhdx].clear();
  return d;
}

std::string Gbk(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& l : lines) out += *platform::Utf8ToGbk(l) + "\r\n";
  return out;
}

std::vector<std::string> Read(std::vector<std::string> lines, int version, ToolsSectionData& d,
                              std::size_t* consumed = nullptr, std::vector<std::string>* lost = nullptr) {
  app::LineReader in(std::move(lines));
  std::string banner;
  in.Next(&banner);
  ReadToolsSectionLines(in, version, d);
  if (consumed) *consumed = in.Position();
  if (lost) *lost = in.Notes().lost;
  return WriteToolsSectionLines(d);
}

TEST(ToolsSection, GoldenJobIsByteExact) {
  const std::string path = std::string(QUINTAR_SOURCE_DIR) + "/tests/tools/data/tools_section.golden";
  const std::string written = Gbk(WriteToolsSectionLines(FullJob()));
  std::ifstream f(path, std::ios::binary);
  ASSERT_TRUE(f) << path;
  std::stringstream ss;
  ss << f.rdbuf();
  EXPECT_EQ(written, ss.str());
}

TEST(ToolsSection, WriteReadWriteIsIdentical) {
  const auto first = WriteToolsSectionLines(FullJob());
  ToolsSectionData d;
  std::vector<std::string> lost;
  EXPECT_EQ(Read(first, 520, d, nullptr, &lost), first);
  EXPECT_TRUE(lost.empty());  // what the program writes reads back without a word
  EXPECT_EQ(d.stores[kStoreGszhsh], (std::vector<std::string>{"A,GSZHSH", ",,"}));
  EXPECT_DOUBLE_EQ(d.projHeight, 1.234568);  // "%f" keeps six decimals
  EXPECT_EQ(d.headerTexts[11], "日期：2026.12.10");
  EXPECT_EQ(d.detail.station, "K2");
  EXPECT_DOUBLE_EQ(d.detail.indexError, 12);
  // A new job writes and reads back as a new job.
  ToolsSectionData fresh;
  EXPECT_EQ(Read(WriteToolsSectionLines(ToolsSectionData{}), 520, fresh), WriteToolsSectionLines(ToolsSectionData{}));
}

TEST(ToolsSection, TextsWithCommasOrLineBreaksKeepTheirFields) {
  ToolsSectionData d;
  d.headerTexts[0] = "甲,乙";
  d.detail.station = "S,1\r";
  ToolsSectionData back;
  Read(WriteToolsSectionLines(d), 520, back);
  EXPECT_EQ(back.headerTexts[0], "甲，乙");
  EXPECT_EQ(back.headerTexts[1], "");
  EXPECT_EQ(back.detail.station, "S，1");
  EXPECT_DOUBLE_EQ(back.detail.stationX, 0);

  // A CR left inside a read line (a file with CR CR LF) is saved as a blank; reading
  // takes it as one at once, so the next load reads what this one did.
  const std::vector<std::string> damaged = {app::kToolsBanner, "[设置]", "签署栏:甲,日期：\r",
                                            "碎部测量测站:K1\r,1,2,3", "[设置结束]", "----------------------------"};
  ToolsSectionData once, twice;
  const auto written = Read(damaged, 520, once);
  EXPECT_EQ(once.headerTexts[1], "日期：");
  EXPECT_EQ(once.detail.station, "K1");
  EXPECT_EQ(Read(written, 520, twice), written);
}

TEST(ToolsSection, OldFilesShiftTheSystemAndEstimateFourParameters) {
  struct Case {
    int version;
    std::vector<std::string> settings;
    int coordSystem;
    double x0;
  };
  // Two points shifted by (10, 20): the estimate gives X0 = 10.
  const std::string points = "坐标转换公共点:0,0,10,20;100,0,110,20";
  const Case cases[] = {
      {500, {"坐标系:1"}, 2, 0},
      {520, {"坐标系:1"}, 1, 0},
      {500, {"坐标系:4"}, 2, 0},  // would be 5: out of range, reset kept
      {500, {"坐标系:2147483647"}, 2, 0},  // the shift must not wrap round
      {500, {points}, 2, 10},
      {500, {points, "坐标转换四参数:7,8,0,1"}, 2, 7},
      {520, {points}, 2, 0},
  };
  for (const Case& c : cases) {
    std::vector<std::string> lines = {app::kToolsBanner, "[设置]"};
    lines.insert(lines.end(), c.settings.begin(), c.settings.end());
    lines.push_back("[设置结束]");
    ToolsSectionData d;
    Read(lines, c.version, d);
    EXPECT_EQ(d.coordSystem, c.coordSystem) << c.version << " " << c.settings[0];
    EXPECT_NEAR(d.fourParams[0], c.x0, 1e-9) << c.version << " " << c.settings.back();
  }
}

// A setting that is no whole number of its kind, or out of range, keeps the reset
// and is named with it in the notes (atof would read "12abc" as 12 and "" as 0).
TEST(ToolsSection, SettingLinesAsTheReaderTakesThem) {
  struct Case {
    const char* line;
    bool (*check)(const ToolsSectionData&);
    const char* note;  // "" when taken without a word
  };
  const Case cases[] = {
      {"距离类型2", [](const ToolsSectionData& d) { return d.distanceType == 0; }, ""},
      {":2", [](const ToolsSectionData& d) { return d.distanceType == 0; }, ""},
      {"大气折光系数:", [](const ToolsSectionData& d) { return d.refraction == 0.14; },
       "常用工具设置中的“大气折光系数”没有数值，已改用0.14"},
      {"签署栏:甲,乙", [](const ToolsSectionData& d) { return d.headerTexts[0] == "甲" && d.headerTexts[1] == "乙" && d.headerTexts[2].empty(); }, ""},
      {"坐标转换四参数:5,6", [](const ToolsSectionData& d) { return d.fourParams[0] == 5 && d.fourParams[1] == 6 && d.fourParams[3] == 0; }, ""},
      {"坐标转换四参数:5,6x,7", [](const ToolsSectionData& d) { return d.fourParams[0] == 5 && d.fourParams[1] == 0 && d.fourParams[2] == 7; },
       "常用工具设置中的“坐标转换四参数”不是数字（6x），已改用0"},
      {"自定义椭球长半轴:-1", [](const ToolsSectionData& d) { return d.ellipsoidA == 6378137; },
       "常用工具设置中的“自定义椭球长半轴”超出范围（-1），已改用6378137"},
      {"自定义椭球扁率分母:1", [](const ToolsSectionData& d) { return d.ellipsoidInvF == 298.257222101; },
       "常用工具设置中的“自定义椭球扁率分母”超出范围（1），已改用298.257222101"},
      {"坐标取位:999", [](const ToolsSectionData& d) { return d.coordDecimals == 4; },
       "常用工具设置中的“坐标取位”超出范围（999），已改用4"},
      {"坐标取位:3.5", [](const ToolsSectionData& d) { return d.coordDecimals == 4; },
       "常用工具设置中的“坐标取位”不是整数（3.5），已改用4"},
      {"碎部测量测站:S1,10", [](const ToolsSectionData& d) { return d.detail.station == "S1" && d.detail.stationX == 10 && d.detail.stationY == 0; }, ""},
      {"碎部测量测站:S1,10,2O.5", [](const ToolsSectionData& d) { return d.detail.stationX == 10 && d.detail.stationY == 0; },
       "常用工具设置中的“碎部测量测站”不是数字（2O.5），已改用0"},
      {"投影面大地高:12abc", [](const ToolsSectionData& d) { return d.projHeight == 0; },
       "常用工具设置中的“投影面大地高”不是数字（12abc），已改用0"},
      {"投影面大地高: 12.500000 ", [](const ToolsSectionData& d) { return d.projHeight == 12.5; }, ""},
      {"换带前中央子午线经度:abc", [](const ToolsSectionData& d) { return d.meridian1 == 114; },
       "常用工具设置中的“换带前中央子午线经度”不是数字（abc），已改用114"},
      {"坐标系:abc", [](const ToolsSectionData& d) { return d.coordSystem == 2; },
       "常用工具设置中的“坐标系”不是整数（abc），已改用2"},
      {"Y坐标含500公里:2", [](const ToolsSectionData& d) { return d.y500km; },
       "常用工具设置中的“Y坐标含500公里”超出范围（2），已改用1"},
      {"未知键:1", [](const ToolsSectionData& d) { return d.distanceType == 0; }, ""},
  };
  for (const Case& c : cases) {
    ToolsSectionData d;
    std::vector<std::string> lost;
    Read({app::kToolsBanner, "[设置]", c.line, "[设置结束]"}, 520, d, nullptr, &lost);
    EXPECT_TRUE(c.check(d)) << c.line;
    EXPECT_EQ(lost, *c.note ? std::vector<std::string>{c.note} : std::vector<std::string>{}) << c.line;
  }
}

TEST(ToolsSection, DamagedBlocksNeitherSwallowNorLoseRows) {
  struct Case {
    const char* what;
    std::vector<std::string> lines;
    std::vector<std::string> gszhsh, gsfsh;
    double meridian1;
  };
  const Case cases[] = {
      {"empty line in a block", {"[高斯正算]", "a,1,2", "", "b,3,4", "[高斯正算结束]"}, {"a,1,2", "b,3,4"}, {}, 114},
      {"block not closed", {"[高斯正算]", "a,1,2", "[高斯反算]", "c,5,6", "[高斯反算结束]"}, {"a,1,2"}, {"c,5,6"}, 114},
      {"settings not closed", {"[设置]", "换带前中央子午线经度:117", "[高斯正算]", "a,1,2", "[高斯正算结束]"},
       {"a,1,2"}, {}, 117},
      {"settings opened inside a block", {"[高斯正算]", "a,1,2", "[设置]", "换带前中央子午线经度:120", "[设置结束]"},
       {"a,1,2"}, {}, 120},
      // A block met again adds to the first.
      {"block repeated", {"[高斯正算]", "a,1,2", "[高斯正算结束]", "[高斯反算]", "c,5,6", "[高斯反算结束]", "[高斯正算]",
                          "b,3,4", "[高斯正算结束]"},
       {"a,1,2", "b,3,4"}, {"c,5,6"}, 114},
      {"block reopened before it closed", {"[高斯正算]", "a,1,2", "[高斯正算]", "b,3,4", "[高斯正算结束]"},
       {"a,1,2", "b,3,4"}, {}, 114},
  };
  for (const Case& c : cases) {
    std::vector<std::string> lines = {app::kToolsBanner};
    lines.insert(lines.end(), c.lines.begin(), c.lines.end());
    lines.push_back("----------------------------");
    lines.push_back("after the section");
    ToolsSectionData d;
    std::size_t consumed = 0;
    Read(lines, 520, d, &consumed);
    EXPECT_EQ(d.stores[kStoreGszhsh], c.gszhsh) << c.what;
    EXPECT_EQ(d.stores[kStoreGsfsh], c.gsfsh) << c.what;
    EXPECT_DOUBLE_EQ(d.meridian1, c.meridian1) << c.what;
    EXPECT_EQ(consumed, lines.size() - 1) << c.what;  // up to and including the dash line
  }
  // Without its dash line the section stops before the next banner.
  ToolsSectionData d;
  std::size_t consumed = 0;
  Read({app::kToolsBanner, "[高斯正算]", "a,1,2", app::kRecordsBanner, "x"}, 520, d, &consumed);
  EXPECT_EQ(consumed, 3u);
  EXPECT_EQ(d.stores[kStoreGszhsh], (std::vector<std::string>{"a,1,2"}));
}

// A block with more rows than a store holds is not read in part: the reader asks for
// the open to be refused.
TEST(ToolsSection, RowsBeyondAStoreRefuseTheRead) {
  for (std::size_t n : {kMaxBlockRows, kMaxBlockRows + 1}) {
    std::vector<std::string> lines = {"[高斯正算]"};
    for (std::size_t i = 0; i < n; ++i) lines.push_back("P" + std::to_string(i) + ",1,2");
    lines.push_back("[高斯正算结束]");
    lines.push_back("----------------------------");
    app::LineReader in(std::move(lines));
    ToolsSectionData d;
    ReadToolsSectionLines(in, 520, d);
    if (n == kMaxBlockRows) {
      EXPECT_EQ(d.stores[kStoreGszhsh].size(), n);
      EXPECT_EQ(in.Notes().refusal, "");
    } else {
      EXPECT_EQ(in.Notes().refusal, "常用工具“高斯正算”的数据超过200000行，本程序不能完整读入");
    }
  }
}

TEST(ToolsSection, ReadingNeverTouchesTheViewUntilCommitted) {
  platform::FakeMessagePort messages;
  CAuxView view;
  view.OnInitialUpdate();
  view.ResetToDefaults();
  view.m_stores[kStoreGszhsh] = {"on screen,30,114"};
  view.ShowTool(ToolCode::GSZHSH);
  CToolsDocSection section(view);
  section.BeginRead(520);
  app::LineReader in({"[设置]", "坐标取位:2", "[设置结束]", "[高斯正算]", "from file,31,115", "[高斯正算结束]",
                      "----------------------------"});
  section.ReadSection(in);
  EXPECT_EQ(view.GetCellText(1, 1), "on screen");
  EXPECT_EQ(view.m_nCoordDecimals, 4);
  section.CommitRead();
  EXPECT_EQ(view.m_nCoordDecimals, 2);
  EXPECT_EQ(view.m_stores[kStoreGszhsh], (std::vector<std::string>{"from file,31,115"}));
  EXPECT_EQ(view.m_strToolCode, "");
  // The writer stores the grid first: a row typed into the current table is saved.
  view.ShowTool(ToolCode::GSZHSH);
  view.SetCellText(2, 1, "typed");
  app::LineWriter out;
  section.WriteSection(out);
  const auto& lines = out.Lines();
  EXPECT_NE(std::find(lines.begin(), lines.end(), "typed,,"), lines.end());
}

}  // namespace
