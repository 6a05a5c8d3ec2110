// Inputs the fuzz targets in tests/fuzz/ found, kept as regressions: each loads,
// and what loads saves, loads and saves again to the same lines.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/doc_section.h"
#include "platform/gbk.h"
#include "platform/textfile.h"
#include "traverse/view/dx_view.h"
#include "traverse/file/traverse_section.h"

namespace t = traverse;

namespace {

// The section of a job file as a damaged file might carry it: banner first.
std::vector<std::string> Section(const std::vector<std::string>& body) {
  std::vector<std::string> lines = {app::kTraverseBanner, "[计算方案]", "导线类型:1", "签署栏:工程名称：,,等级：",
                                    "[计算方案结束]", "[数据]"};
  lines.insert(lines.end(), body.begin(), body.end());
  lines.push_back("[数据结束]");
  lines.push_back(app::kSectionEnd);
  return lines;
}

t::TraverseSectionData Read(const std::vector<std::string>& lines) {
  t::TraverseSectionData d;
  std::size_t pos = 1;
  t::ReadTraverseSectionLines(lines, pos, 520, d);
  EXPECT_EQ(pos, lines.size());
  return d;
}

// A CR inside a line (a file with CR CR LF, or a bare CR) is written as a blank;
// the first load must already read it so, or every save would change the file.
struct CrCase {
  const char* what;
  std::vector<std::string> lines;
  std::size_t row;
  std::size_t field;
  std::string expected;
};

class CarriageReturnInside : public ::testing::TestWithParam<CrCase> {};

TEST_P(CarriageReturnInside, ReadsAsTheSaveWritesIt) {
  const CrCase& c = GetParam();
  SCOPED_TRACE(c.what);
  const t::TraverseSectionData first = Read(c.lines);
  if (c.row == SIZE_MAX) {
    EXPECT_EQ(first.headerItems[c.field], c.expected);
  } else {
    ASSERT_GT(first.rows.size(), c.row);
    EXPECT_EQ(first.rows[c.row][c.field], c.expected);
  }
  const std::vector<std::string> saved = t::WriteTraverseSectionLines(first);
  EXPECT_EQ(t::WriteTraverseSectionLines(Read(saved)), saved);
}

INSTANTIATE_TEST_SUITE_P(
    FuzzFindings, CarriageReturnInside,
    ::testing::Values(
        CrCase{"trailing CR of the last field", Section({"GP02,,241.195,-1.239,4,3381307.205,512660.318,41.562,,,,,,, =\r"}), 0, 14, "="},
        CrCase{"CR before a comma", Section({"P1\r,182.1030,187.412"}), 0, 0, "P1"},
        CrCase{"CR between words", Section({"P1\rP2,182.1030"}), 0, 0, "P1 P2"},
        CrCase{"CR in the signature line", {app::kTraverseBanner, "[计算方案]", "签署栏:工程名称：\r,测量单位：", "[计算方案结束]", app::kSectionEnd}, SIZE_MAX, 0, "工程名称："}),
    [](const ::testing::TestParamInfo<CrCase>& info) { return "Case" + std::to_string(info.index); });

// The same through the view, as the document opens and saves a job.
TEST(SectionFuzzRegress, CarriageReturnThroughTheViewSavesStable) {
  CDxView view;
  view.ResetScheme();
  t::CTraverseDocSection section(view);
  auto load = [&](std::vector<std::string> lines) {
    app::LineReader in(std::move(lines));
    std::string banner;
    in.Next(&banner);
    section.BeginRead(520);
    section.ReadSection(in);
    EXPECT_TRUE(in.AtEnd());
    section.Reset();
    section.CommitRead();
    app::LineWriter out;
    section.WriteSection(out);
    return out.Lines();
  };
  const std::vector<std::string> saved = load(Section({"A,,,,,1000.000,2000.000", "B\r,95 30 12.5,201.335 \r"}));
  EXPECT_EQ(load(saved), saved);
  ASSERT_EQ(view.m_arrUnit.size(), 2u);
  EXPECT_EQ(view.m_arrUnit[1].name, "B");
  EXPECT_EQ(view.m_arrUnit[1].distanceText, "201.335");
}

// A long line of bytes that are not GBK took time growing with its square: a
// 10 MB damaged file never finished opening. The speed is watched by bench/platform.
// Each row in a data block of its own: the rows are reserved block by block, and
// the file must still read in one pass, not once per block.
TEST(SectionFuzzRegress, EveryRowInADataBlockOfItsOwn) {
  std::vector<std::string> body;
  for (int i = 0; i < 50000; ++i) {
    body.push_back("[数据]");
    body.push_back("P" + std::to_string(i) + ",1,2");
  }
  const std::vector<std::string> lines = Section(body);
  EXPECT_EQ(Read(lines).rows.size(), 50000u);
  CDxView view;
  t::CTraverseDocSection section(view);
  app::LineReader in(lines);
  in.Seek(1);
  section.BeginRead(520);
  section.ReadSection(in);
  section.CommitRead();
  ASSERT_EQ(view.m_arrUnit.size(), 50000u);
  EXPECT_EQ(view.m_arrUnit.back().name, "P49999");
}

TEST(SectionFuzzRegress, LongDamagedLineDecodes) {
  std::string bytes = "[数据]\n";
  bytes = *platform::Utf8ToGbk(bytes);
  bytes += std::string(std::size_t(2) << 20, '\xff');
  bytes += "\r\n";
  const std::vector<std::string> lines = platform::SplitGbkLines(bytes);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[1], std::string(std::size_t(2) << 20, '?'));
}

// Old files shift the coordinate-system index by one; a damaged index at the top of
// the int range overflowed there instead of falling back to the default.
TEST(SectionFuzzRegress, OldFileWithHugeCoordinateSystemIndex) {
  for (const char* index : {"2147483647", "99999999999", "-2147483648"}) {
    SCOPED_TRACE(index);
    t::TraverseSectionData d;
    std::size_t pos = 0;
    t::ReadTraverseSectionLines({"[计算方案]", std::string("坐标系:") + index, "[计算方案结束]"}, pos, 500, d);
    EXPECT_EQ(d.scheme.m_nEllipsoid, t::TraverseSectionData().scheme.m_nEllipsoid);
  }
}

}  // namespace
