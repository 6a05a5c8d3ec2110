// The traverse section of the job file: the golden text of a new job, round trips,
// the rules of old versions and damaged files.
#include <gtest/gtest.h>

#include <clocale>
#include <functional>
#include <string>
#include <vector>

#include "platform/fake_ports.h"
#include "platform/textfile.h"
#include "traverse/file/traverse_section.h"
#include "traverse/view/dx_view.h"

namespace t = traverse;

namespace {

const std::vector<std::string> kNewJobSection = {
    "----------Pelmor----------",
    "[计算方案]",
    "导线类型:0",
    "概算:0",
    "坐标系:2",
    "Y含500:0",
    "投影改化:1",
    "边长归算:0",
    "边长归算高程面:0.000000",
    "自定义椭球长半轴:6378137.000000",
    "自定义椭球扁率分母:298.25722210100",
    "近似平差反算:0",
    "显示改正后坐标增量:1",
    "角度改正前坐标闭合差:0",
    "严密平差:1",
    "验后方差定权:0",
    "测角中误差:5.000000",
    "测距类型:0",
    "测距A值:5.000000",
    "测距B值:5.000000",
    "平面等级:2",
    "方位角闭合差限差:10.000000",
    "导线全长闭合差限差:15000",
    "高程等级:2",
    "高程闭合差限差:20.000000",
    "高程类型:0",
    "水准定权:0",
    "高程距离单位:0",
    "坐标导线闭合差分配方式:1",
    "已知点类型:0",
    "未知点类型:3",
    "椭圆比例:1.000000",
    "角度取位:0",
    "距离取位:3",
    "坐标取位:3",
    "高差取位:3",
    "高程取位:3",
    "上方行数:1",
    "下方行数:1",
    "签署栏:工程名称：,,等级：,,,,,,,计算：,校核：,日期：",
    "[计算方案结束]",
    "[数据]",
    "[数据结束]",
    "----------------------------",
};

std::string Gbk(const std::vector<std::string>& lines) {
  auto bytes = platform::EncodeGbkLines(lines);
  EXPECT_TRUE(bytes.has_value());
  return bytes.value_or("");
}

t::TraverseSectionData Read(const std::vector<std::string>& lines, int version = 520, std::size_t* end = nullptr) {
  t::TraverseSectionData d;
  std::size_t pos = 1;  // after the banner
  t::ReadTraverseSectionLines(lines, pos, version, d);
  if (end) *end = pos;
  return d;
}

t::SectionRow Row(std::vector<std::string> texts) {
  t::SectionRow r;
  for (std::size_t i = 0; i < texts.size() && i < r.size(); ++i) r[i] = texts[i];
  return r;
}

// A job of each type with every field the type uses.
std::vector<t::TraverseSectionData> PopulatedJobs() {
  std::vector<t::TraverseSectionData> jobs;
  for (int type = 0; type < 6; ++type) {
    t::TraverseSectionData d;
    d.scheme.m_nTraverseType = type;
    d.scheme.m_bRigorous = type == 0 || type == 1 || type == 3;
    d.scheme.m_nEllipsoid = 0;
    d.scheme.m_dEllipA = 6378245.0;
    d.scheme.m_dEllipInvF = 298.3;
    d.scheme.m_dReduceHeight = 42.125;
    d.scheme.m_dAngleRms = 2.5;
    d.scheme.m_nHeightRouteType = type == 4 ? 1 : 0;
    d.scheme.m_nLevelWeight = type == 1 ? 1 : 0;
    d.scheme.m_nDistUnit = type == 3 ? 1 : 0;
    d.scheme.m_nClosureDistribution = type == 4 ? 0 : 1;
    d.angleDecimals = 1;
    d.coordDecimals = 4;
    d.linesAbove = 3;
    d.lineBelow = 0;
    d.knownSymbol = 2;
    d.ellipseScale = 0.5;
    d.headerItems[1] = "测量单位：第三测绘队";
    d.headerItems[5] = "仪器：全站仪 2\"";
    if (type == 5) {
      d.rows = {Row({"BM1", "", "", "", "", "", "", "100.000", "水准点", "", "", "", "1.523", "", ""}),
                Row({"TP1", "", "", "", "", "", "", "", "", "", "", "", "1.210", "0.985", "0.884"}),
                Row({"BM2", "", "", "", "", "", "", "100.651", "", "", "", "", "", "", "0.998"})};
    } else if (type == 4) {
      d.rows = {Row({"K1", "", "", "", "", "3000.000", "5000.000", "50.000", "", "", "", "", "", "", ""}),
                Row({"P1", "", "", "", "180.5", "", "", "", "", "3120.012", "5100.034", "51.250", "", "", ""}),
                Row({"K2", "", "", "", "", "3250.000", "5200.000", "52.000", "", "3250.020", "5199.990", "52.010", "",
                     "", ""})};
    } else {
      d.rows = {Row({"A", "", "", "", "", "1000.000", "2000.000", "", "定向点"}),
                Row({"B", "95 30 12.5", "201.335", "1.234", "0.201", "1100.000", "2050.000", "35.120"}),
                Row({"P1", "182.1030", "187.412", "-0.512", "0.187", "", "", "", "内 部 空格"}),
                Row({"C", "170 05 50", "", "", "", "1300.000", "2300.000", "34.000"}),
                Row({"D", "", "", "", "", "1400.000", "2500.000", "", "终点定向"})};
    }
    jobs.push_back(d);
  }
  return jobs;
}

}  // namespace

TEST(TraverseSectionTest, NewJobIsTheDefinedTextByteForByte) {
  platform::FakeMessagePort port;
  t::TraverseSectionData fresh;
  EXPECT_EQ(Gbk(t::WriteTraverseSectionLines(fresh)), Gbk(kNewJobSection));
  // And it reads back as the defaults, consuming everything.
  std::size_t end = 0;
  t::TraverseSectionData back = Read(kNewJobSection, 520, &end);
  EXPECT_EQ(end, kNewJobSection.size());
  EXPECT_EQ(t::WriteTraverseSectionLines(back), kNewJobSection);
  EXPECT_TRUE(port.Messages().empty());
}

TEST(TraverseSectionTest, WriteReadWriteIsByteIdenticalForEveryType) {
  platform::FakeMessagePort port;  // what the program writes reads back without a word
  for (const t::TraverseSectionData& job : PopulatedJobs()) {
    std::vector<std::string> first = t::WriteTraverseSectionLines(job);
    t::TraverseSectionData back = Read(first);
    EXPECT_EQ(back.scheme, job.scheme) << "type " << job.scheme.m_nTraverseType;
    EXPECT_EQ(back.rows, job.rows) << "type " << job.scheme.m_nTraverseType;
    EXPECT_EQ(back.headerItems, job.headerItems);
    EXPECT_EQ(back.coordDecimals, 4);
    EXPECT_EQ(back.linesAbove, 3);
    EXPECT_EQ(back.lineBelow, 0);
    EXPECT_EQ(back.knownSymbol, 2);
    EXPECT_DOUBLE_EQ(back.ellipseScale, 0.5);
    EXPECT_EQ(Gbk(t::WriteTraverseSectionLines(back)), Gbk(first)) << "type " << job.scheme.m_nTraverseType;
  }
  EXPECT_TRUE(port.Messages().empty());
}

TEST(TraverseSectionTest, LfOnlyFileReadsTheSame) {
  std::vector<std::string> lines = t::WriteTraverseSectionLines(PopulatedJobs()[0]);
  std::string crlf = Gbk(lines);
  std::string lf;
  for (char c : crlf)
    if (c != '\r') lf += c;
  ASSERT_NE(lf, crlf);
  std::vector<std::string> fromLf = platform::SplitGbkLines(lf);
  EXPECT_EQ(Read(fromLf).rows, PopulatedJobs()[0].rows);
  EXPECT_EQ(Gbk(t::WriteTraverseSectionLines(Read(fromLf))), crlf);
}

TEST(TraverseSectionTest, CommaDecimalLocaleWritesTheSameBytes) {
  t::TraverseSectionData job = PopulatedJobs()[3];
  const std::string before = Gbk(t::WriteTraverseSectionLines(job));
  const char* old = std::setlocale(LC_ALL, nullptr);
  std::string saved = old ? old : "C";
  if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) GTEST_SKIP() << "de_DE.UTF-8 is not installed";
  const std::string under = Gbk(t::WriteTraverseSectionLines(job));
  t::TraverseSectionData back = Read(t::WriteTraverseSectionLines(job));
  std::setlocale(LC_ALL, saved.c_str());
  EXPECT_EQ(under, before);
  EXPECT_DOUBLE_EQ(back.scheme.m_dReduceHeight, 42.125);
  EXPECT_DOUBLE_EQ(back.scheme.m_dEllipInvF, 298.3);
}

TEST(TraverseSectionTest, VersionRuleOfTheCoordinateSystem) {
  std::vector<std::string> lines = kNewJobSection;
  lines[4] = "坐标系:1";
  EXPECT_EQ(Read(lines, 500).scheme.m_nEllipsoid, 2);  // 西安80 in the old list
  EXPECT_EQ(Read(lines, 410).scheme.m_nEllipsoid, 2);
  EXPECT_EQ(Read(lines, 501).scheme.m_nEllipsoid, 1);
  EXPECT_EQ(Read(lines, 520).scheme.m_nEllipsoid, 1);
  // An old file without the key keeps the default, not the default plus one.
  lines.erase(lines.begin() + 4);
  EXPECT_EQ(Read(lines, 500).scheme.m_nEllipsoid, 2);
  // The last index of an old list has no place in the new one: the default.
  lines.insert(lines.begin() + 4, "坐标系:4");
  EXPECT_EQ(Read(lines, 500).scheme.m_nEllipsoid, 2);
}

TEST(TraverseSectionTest, RowFieldsAreCutPaddedAndTrimmed) {
  std::vector<std::string> lines = kNewJobSection;
  auto at = lines.begin() + 42;  // before "[数据结束]"
  lines.insert(at, {"A,1.2, 3 4 ,,,,,,remark", "B,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16", "",
                    "  P 1  ,,,,,,,,  内 部  "});
  t::TraverseSectionData d = Read(lines);
  ASSERT_EQ(d.rows.size(), 3u);
  EXPECT_EQ(d.rows[0], Row({"A", "1.2", "3 4", "", "", "", "", "", "remark"}));
  EXPECT_EQ(d.rows[1][14], "14");
  EXPECT_EQ(d.rows[1][0], "B");
  EXPECT_EQ(d.rows[2][0], "P 1");
  EXPECT_EQ(d.rows[2][8], "内 部");
  EXPECT_EQ(d.rows[2][9], "");
}

// The open builds the view's rows in place from the lines; they must hold what the
// plain reader keeps, for the current and the old format alike.
TEST(TraverseSectionTest, OpenBuildsTheViewRowsAsThePlainReaderReads) {
  std::vector<std::string> lines = kNewJobSection;
  lines.insert(lines.begin() + 42, {"A,1.2, 3 4 ,,,,,,remark,", " B\r, \n,P\r1 ", ",", "", "C,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15",
                                    "[计算方案]", "导线类型:1", "[数据]", "D"});
  const std::vector<std::string> legacy = {"Quintar计算文件", "400", "[计算方案]", "导线类型:2", "END", "[数据]",
                                           " E ,1,2,3,4,5,6,7,8,9,10", "", "F", "END", "G"};
  struct {
    const char* what;
    std::vector<std::string> lines;
    bool old;
    std::vector<t::SectionRow> rows;
    int type;
  } cases[] = {
      {"current", lines, false,
       {Row({"A", "1.2", "3 4", "", "", "", "", "", "remark", ""}), Row({"B", "", "P 1"}), Row({"", ""}),
        Row({"C", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12", "13", "14"}), Row({"D"})},
       1},
      {"legacy", legacy, true, {Row({"E", "1", "2", "3", "4", "5", "6", "7", "8"}), Row({"F"})}, 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    t::TraverseSectionData plain;
    if (c.old) {
      t::ReadLegacyTraverseLines(c.lines, plain);
    } else {
      plain = Read(c.lines);
    }
    EXPECT_EQ(plain.rows, c.rows);
    EXPECT_EQ(plain.scheme.m_nTraverseType, c.type);

    CDxView view;
    view.ResetScheme();
    t::CTraverseDocSection section(view);
    app::LineReader in(c.lines);
    section.BeginRead(c.old ? 400 : 520);
    if (c.old) {
      section.ReadLegacySection(in);
    } else {
      in.Seek(1);  // after the banner
      section.ReadSection(in);
    }
    section.Reset();
    section.CommitRead();
    EXPECT_EQ(view.m_nTraverseType, c.type);
    ASSERT_EQ(view.m_arrUnit.size(), c.rows.size());
    for (std::size_t r = 0; r < c.rows.size(); ++r)
      for (std::size_t i = 0; i < t::kRowTexts.size(); ++i)
        EXPECT_EQ(view.m_arrUnit[r].*t::kRowTexts[i], c.rows[r][i]) << "row " << r << " field " << i;
  }
}

// "严密平差" as stored, except for the special traverse or network, which has only
// the rigorous adjustment (the scheme dialog forces it the same way).
TEST(TraverseSectionTest, RigorousFlagFollowsTheTypesThatHaveOnlyOne) {
  struct {
    int type, stored, read;
  } cases[] = {{0, 0, 0}, {0, 1, 1}, {1, 0, 0}, {1, 1, 1}, {3, 0, 1}, {3, 1, 1}};
  platform::FakeMessagePort port;  // the dialog forces it the same way, without a word
  for (const auto& c : cases) {
    const std::vector<std::string> lines = {app::kTraverseBanner, "[计算方案]", "导线类型:" + std::to_string(c.type),
                                            "严密平差:" + std::to_string(c.stored), "[计算方案结束]",
                                            "----------------------------"};
    EXPECT_EQ(Read(lines).scheme.m_bRigorous, c.read) << "type " << c.type << " stored " << c.stored;
  }
  EXPECT_TRUE(port.Messages().empty());
}

// A custom ellipsoid that is none is said where it is read; the default goes on.
TEST(TraverseSectionTest, UnusableCustomEllipsoidIsReported) {
  platform::FakeMessagePort port;
  const std::vector<std::string> lines = {app::kTraverseBanner, "[计算方案]", "坐标系:0", "自定义椭球长半轴:6378137",
                                          "自定义椭球扁率分母:1", "[计算方案结束]", "----------------------------"};
  t::TraverseSectionData d = Read(lines);
  EXPECT_EQ(d.scheme.m_nEllipsoid, 0);
  EXPECT_DOUBLE_EQ(d.scheme.m_dEllipInvF, 298.257222101);
  EXPECT_EQ(port.Messages(),
            (std::vector<std::string>{"计算方案中的“自定义椭球扁率分母”超出范围（1），已改用298.257222101。"}));
  // A sound one, or an unusable one under a preset, says nothing.
  port.Clear();
  Read({app::kTraverseBanner, "[计算方案]", "坐标系:0", "自定义椭球长半轴:6378245", "自定义椭球扁率分母:298.3",
        "[计算方案结束]", "----------------------------"});
  Read({app::kTraverseBanner, "[计算方案]", "坐标系:2", "自定义椭球扁率分母:1", "[计算方案结束]",
        "----------------------------"});
  EXPECT_TRUE(port.Messages().empty());
}

TEST(TraverseSectionTest, KeysInAnyOrderUnknownKeysAndRepeats) {
  std::vector<std::string> lines = {
      app::kTraverseBanner, "[计算方案]", "严密平差:0", "未知的键:7", "没有冒号", "导线类型:2",
      "导线类型:3", "测角中误差:abc", "签署栏:甲, 乙 ,丙,,,,,,,,,,十三,十四", "[计算方案结束]",
      "a stray line", "----------------------------"};
  platform::FakeMessagePort port;
  t::TraverseSectionData d = Read(lines);
  EXPECT_EQ(d.scheme.m_bRigorous, 1);  // type 3 has only the rigorous adjustment
  EXPECT_EQ(d.scheme.m_nTraverseType, 3);
  EXPECT_DOUBLE_EQ(d.scheme.m_dAngleRms, 5.0);  // "abc" is no number: not taken, and said
  EXPECT_EQ(port.Messages(), (std::vector<std::string>{"计算方案中的“测角中误差”不是数字（abc），已改用5。"}));
  EXPECT_EQ(d.headerItems[0], "甲");
  EXPECT_EQ(d.headerItems[1], "乙");
  EXPECT_EQ(d.headerItems[2], "丙");
  EXPECT_EQ(d.headerItems[3], "");
  EXPECT_EQ(d.headerItems[11], "");  // the twelfth item was empty; "十三" is beyond
}

TEST(TraverseSectionTest, DamagedValuesAreClampedOrDefaulted) {
  std::vector<std::string> lines = {
      app::kTraverseBanner, "[计算方案]", "导线类型:9", "坐标系:7", "角度取位:-2", "坐标取位:99",
      "高程闭合差限差:-5", "导线全长闭合差限差:0", "测距A值:-3", "上方行数:8", "椭圆比例:0", "自定义椭球长半轴:1e400",
      "[计算方案结束]", "----------------------------"};
  platform::FakeMessagePort port;
  t::TraverseSectionData d = Read(lines);
  t::TraverseSectionData def;
  EXPECT_EQ(d.scheme, def.scheme);
  EXPECT_EQ(d.angleDecimals, 0);
  EXPECT_EQ(d.coordDecimals, 3);
  EXPECT_EQ(d.linesAbove, 1);
  EXPECT_DOUBLE_EQ(d.ellipseScale, 1.0);
  // Each named once, in file order, in one message.
  EXPECT_EQ(port.Messages(), (std::vector<std::string>{
                                 "计算方案中的“导线类型”超出范围（9），已改用0。\n"
                                 "计算方案中的“坐标系”超出范围（7），已改用2。\n"
                                 "计算方案中的“角度取位”超出范围（-2），已改用0。\n"
                                 "计算方案中的“坐标取位”超出范围（99），已改用3。\n"
                                 "计算方案中的“高程闭合差限差”超出范围（-5），已改用20。\n"
                                 "计算方案中的“导线全长闭合差限差”超出范围（0），已改用15000。\n"
                                 "计算方案中的“测距A值”超出范围（-3），已改用5。\n"
                                 "计算方案中的“上方行数”超出范围（8），已改用1。\n"
                                 "计算方案中的“椭圆比例”超出范围（0），已改用1。\n"
                                 "计算方案中的“自定义椭球长半轴”不是数字（1e400），已改用6378137。"}));
}

// A value that is not a whole number of its kind is not taken, one out of range is
// folded; either is named with the text found and the value used. Numbers as the
// program writes them ("%f", "%d") and with blanks around are taken without a word.
TEST(TraverseSectionTest, ValuesNotTakenAsTheyStandAreNamed) {
  struct Case {
    std::vector<std::string> scheme;  // lines of the block
    const char* message;              // "" when the values are taken silently
    std::function<double(const t::TraverseSectionData&)> value;
    double expected;
  };
  auto rms = [](const t::TraverseSectionData& d) { return d.scheme.m_dAngleRms; };
  auto type = [](const t::TraverseSectionData& d) { return double(d.scheme.m_nTraverseType); };
  const Case cases[] = {
      {{"测角中误差:abc"}, "计算方案中的“测角中误差”不是数字（abc），已改用5。", rms, 5},
      {{"测角中误差:2.5x"}, "计算方案中的“测角中误差”不是数字（2.5x），已改用5。", rms, 5},
      {{"测角中误差:-3"}, "计算方案中的“测角中误差”超出范围（-3），已改用5。", rms, 5},
      {{"测角中误差:"}, "计算方案中的“测角中误差”没有数值，已改用5。", rms, 5},
      {{"测角中误差:inf"}, "计算方案中的“测角中误差”不是数字（inf），已改用5。", rms, 5},
      {{"测角中误差:2.5", "测角中误差:abc"}, "计算方案中的“测角中误差”不是数字（abc），已改用2.5。", rms, 2.5},
      {{"测角中误差:abc", "测角中误差:2.5"}, "", rms, 2.5},  // the last line of a key decides
      {{"测角中误差: 2.500000 "}, "", rms, 2.5},
      {{"导线类型:2.5x"}, "计算方案中的“导线类型”不是整数（2.5x），已改用0。", type, 0},
      {{"导线类型:3x"}, "计算方案中的“导线类型”不是整数（3x），已改用0。", type, 0},
      {{"导线类型:2.5"}, "计算方案中的“导线类型”不是整数（2.5），已改用0。", type, 0},
      {{"导线类型:6"}, "计算方案中的“导线类型”超出范围（6），已改用0。", type, 0},
      {{"导线类型: 3"}, "", type, 3},
      {{"导线全长闭合差限差:99999999999"}, "计算方案中的“导线全长闭合差限差”超出范围（99999999999），已改用15000。",
       [](const t::TraverseSectionData& d) { return double(d.scheme.m_nRelClosureLimit); }, 15000},
      {{"坐标系:abc"}, "计算方案中的“坐标系”不是整数（abc），已改用2。",
       [](const t::TraverseSectionData& d) { return double(d.scheme.m_nEllipsoid); }, 2},
      {{"测距A值:1,5"}, "计算方案中的“测距A值”不是数字（1,5），已改用5。",
       [](const t::TraverseSectionData& d) { return d.scheme.m_dDistA; }, 5},
      {{"边长归算高程面:9001"}, "计算方案中的“边长归算高程面”超出范围（9001），已改用0。",
       [](const t::TraverseSectionData& d) { return d.scheme.m_dReduceHeight; }, 0},
      {{"严密平差:2"}, "计算方案中的“严密平差”超出范围（2），已改用1。",
       [](const t::TraverseSectionData& d) { return double(d.scheme.m_bRigorous); }, 1},
      {{"坐标系:0", "自定义椭球长半轴:6378245x"}, "计算方案中的“自定义椭球长半轴”不是数字（6378245x），已改用6378137。",
       [](const t::TraverseSectionData& d) { return d.scheme.m_dEllipA; }, 6378137},
      // Under a preset the custom figures are not used: only text that is no number is named.
      {{"坐标系:3", "自定义椭球扁率分母:1"}, "",
       [](const t::TraverseSectionData& d) { return d.scheme.m_dEllipInvF; }, 298.257222101},
      {{"坐标系:3", "自定义椭球扁率分母:x"}, "计算方案中的“自定义椭球扁率分母”不是数字（x），已改用298.257222101。",
       [](const t::TraverseSectionData& d) { return d.scheme.m_dEllipInvF; }, 298.257222101},
      {{"已知点类型:1.0"}, "计算方案中的“已知点类型”不是整数（1.0），已改用0。",
       [](const t::TraverseSectionData& d) { return double(d.knownSymbol); }, 0},
      {{"椭圆比例:2倍"}, "计算方案中的“椭圆比例”不是数字（2倍），已改用1。",
       [](const t::TraverseSectionData& d) { return d.ellipseScale; }, 1},
      {{"距离取位:4.5"}, "计算方案中的“距离取位”不是整数（4.5），已改用3。",
       [](const t::TraverseSectionData& d) { return double(d.distDecimals); }, 3},
      // The header items are text: nothing in them is a number to check.
      {{"签署栏:abc,2.5x,,"}, "", [](const t::TraverseSectionData& d) { return double(d.headerItems[1] == "2.5x"); }, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.scheme.back());
    std::vector<std::string> lines = {app::kTraverseBanner, "[计算方案]"};
    lines.insert(lines.end(), c.scheme.begin(), c.scheme.end());
    lines.insert(lines.end(), {"[计算方案结束]", "----------------------------"});
    platform::FakeMessagePort port;
    const t::TraverseSectionData d = Read(lines);
    EXPECT_EQ(port.Messages(), *c.message ? std::vector<std::string>{c.message} : std::vector<std::string>{});
    EXPECT_DOUBLE_EQ(c.value(d), c.expected);
  }
}

// Files up to 5.0 count the coordinate system without the custom entry: a value that
// is no number is not counted on, and the old index of the new list is named as found.
TEST(TraverseSectionTest, OldCoordinateSystemIndexIsNamedAsFound) {
  struct {
    const char* text;
    int read;
    const char* message;
  } cases[] = {
      {"1", 2, ""},
      {"abc", 2, "计算方案中的“坐标系”不是整数（abc），已改用2。"},
      {"4", 2, "计算方案中的“坐标系”超出范围（4），已改用2。"},
      {"2147483647", 2, "计算方案中的“坐标系”超出范围（2147483647），已改用2。"},
  };
  for (const auto& c : cases) {
    platform::FakeMessagePort port;
    const t::TraverseSectionData d = Read({app::kTraverseBanner, "[计算方案]", std::string("坐标系:") + c.text,
                                           "[计算方案结束]", "----------------------------"},
                                          500);
    EXPECT_EQ(d.scheme.m_nEllipsoid, c.read) << c.text;
    EXPECT_EQ(port.Messages(), *c.message ? std::vector<std::string>{c.message} : std::vector<std::string>{})
        << c.text;
  }
}

// With the document's notes the clauses go there (the document says them once and
// asks before the first save replaces the file), not into a message of their own.
TEST(TraverseSectionTest, FaultsGoIntoTheNotesWhenGiven) {
  platform::FakeMessagePort port;
  const std::vector<std::string> lines = {app::kTraverseBanner, "[计算方案]", "测角中误差:abc", "导线类型:2.5x",
                                          "[计算方案结束]", "----------------------------"};
  t::TraverseSectionData d;
  app::ReadNotes notes;
  std::size_t pos = 1;
  t::ReadTraverseSectionLines(lines, pos, 520, d, &notes);
  EXPECT_TRUE(port.Messages().empty());
  EXPECT_EQ(notes.lost, (std::vector<std::string>{"计算方案中的“测角中误差”不是数字（abc），已改用5",
                                                  "计算方案中的“导线类型”不是整数（2.5x），已改用0"}));
}

TEST(TraverseSectionTest, MissingClosingLineDoesNotSwallowTheNextSection) {
  for (const char* next : {"----------常用工具----------", "----------观测记录----------"}) {
    std::vector<std::string> lines = {app::kTraverseBanner, "[计算方案]", "导线类型:1", "[数据]",
                                      "A,,,,,1,2", next, "tool line", "----------------------------"};
    std::size_t end = 0;
    t::TraverseSectionData d = Read(lines, 520, &end);
    EXPECT_EQ(end, 5u) << next;  // stopped at the banner, which the dispatcher reads next
    EXPECT_EQ(d.scheme.m_nTraverseType, 1);
    EXPECT_EQ(d.rows.size(), 1u);
  }
  // A truncated file ends the read at its end.
  std::vector<std::string> cut = {app::kTraverseBanner, "[计算方案]", "导线类型:5"};
  std::size_t end = 0;
  EXPECT_EQ(Read(cut, 520, &end).scheme.m_nTraverseType, 5);
  EXPECT_EQ(end, cut.size());
}

TEST(TraverseSectionTest, TextsTheFormatCannotCarry) {
  t::TraverseSectionData d;
  d.headerItems[0] = "工程名称：一,二";
  d.rows = {Row({"A", "", "", "", "", "", "", "", "备注,含逗号\n第二行"})};
  std::vector<std::string> lines = t::WriteTraverseSectionLines(d);
  t::TraverseSectionData back = Read(lines);
  EXPECT_EQ(back.headerItems[0], "工程名称：一，二");
  EXPECT_EQ(back.headerItems[1], "");
  ASSERT_EQ(back.rows.size(), 1u);
  EXPECT_EQ(back.rows[0][8], "备注，含逗号 第二行");
}

TEST(TraverseSectionTest, LegacyReader) {
  std::vector<std::string> file = {
      "Quintar计算文件", "400", "----------观测记录----------", "[计算方案]", "导线类型:1", "严密平差:0",
      "测角中误差:2.5", "坐标系:0",  // not a legacy key
      "图形比例:500", "椭圆比例:2", "签署栏:甲,乙", "END", "[数据]", "A,,,,,100,200,10,起点,溢出1,溢出2",
      "B,90 00 00,100,1.5,0.1", "END", "after"};
  t::TraverseSectionData d;
  d.scheme.m_nEllipsoid = 3;  // the legacy reader does not reset
  platform::FakeMessagePort port;
  t::ReadLegacyTraverseLines(file, d);
  EXPECT_TRUE(port.Messages().empty());
  EXPECT_EQ(d.scheme.m_nTraverseType, 1);
  EXPECT_EQ(d.scheme.m_bRigorous, 0);
  EXPECT_DOUBLE_EQ(d.scheme.m_dAngleRms, 2.5);
  EXPECT_EQ(d.scheme.m_nEllipsoid, 3);
  EXPECT_DOUBLE_EQ(d.printScale, 500);
  EXPECT_DOUBLE_EQ(d.ellipseScale, 2);
  EXPECT_EQ(d.headerItems[0], "甲");
  EXPECT_EQ(d.headerItems[1], "乙");
  ASSERT_EQ(d.rows.size(), 2u);
  EXPECT_EQ(d.rows[0], Row({"A", "", "", "", "", "100", "200", "10", "起点"}));  // nine fields only
  EXPECT_EQ(d.rows[1][1], "90 00 00");
}

// Old files follow the same rule: every value not taken as it stands, in one message.
TEST(TraverseSectionTest, LegacyValuesNotTakenAreNamed) {
  platform::FakeMessagePort port;
  t::TraverseSectionData d;
  t::ReadLegacyTraverseLines({"Quintar计算文件", "400", "[计算方案]", "导线类型:2x", "测距B值:abc", "图形比例:-500",
                              "测角中误差:3.000000", "END"},
                             d);
  EXPECT_EQ(d.scheme.m_nTraverseType, 0);
  EXPECT_DOUBLE_EQ(d.scheme.m_dDistB, 5.0);
  EXPECT_DOUBLE_EQ(d.printScale, 0.0);
  EXPECT_DOUBLE_EQ(d.scheme.m_dAngleRms, 3.0);
  EXPECT_EQ(port.Messages(), (std::vector<std::string>{"计算方案中的“导线类型”不是整数（2x），已改用0。\n"
                                                       "计算方案中的“测距B值”不是数字（abc），已改用5。\n"
                                                       "计算方案中的“图形比例”超出范围（-500），已改用0。"}));
}

// A job file cannot switch on what the scheme dialog forbids: Helmert weighting
// only for the closed or connecting traverse and the network.
TEST(TraverseSection, HelmertOnlyForTheTypesThatOfferIt) {
  platform::FakeMessagePort port;  // as the dialog forces it: no word
  for (int type = 0; type < 6; ++type) {
    const std::vector<std::string> lines = {"----------Pelmor----------", "[计算方案]", "导线类型:" + std::to_string(type), "验后方差定权:1",
                                            "[计算方案结束]", "----------------------------"};
    EXPECT_EQ(Read(lines).scheme.m_bHelmert, type == 0 || type == 3 ? 1 : 0) << type;
  }
  EXPECT_TRUE(port.Messages().empty());
}
