// "读取": the traverse view takes its observations from the computed field books.
// The sample job field-books.qvt holds the books of the closed traverse of
// closed-traverse.qvt (readings made up from its observations to 0.1" and 1 mm) and
// a traverse with only the point names: book -> 计算 -> 读取 -> 计算 must give that
// traverse's coordinates.
#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/doc_section.h"
#include "platform/fake_ports.h"
#include "platform/textfile.h"
#include "records/gcjl_view.h"
#include "records/records_section.h"
#include "table/canvas.h"
#include "tests/records/book_fixture.h"
#include "traverse/view/dx_view.h"
#include "traverse/view/dx_view_ports.h"
#include "traverse/file/traverse_section.h"

namespace {

namespace t = traverse;

struct Ports : t::ITraverseViewPorts {
  CDxView* view = nullptr;
  const records::IFieldBooks* books = nullptr;
  bool modified = false;
  SchemeResult RunSchemeDialog(t::CSchemeForm&) override { return SchemeResult::Cancel; }
  bool RunCustomTableDialog(traverse::CCusTableSetForm&) override { return false; }
  void ReselectAfterCompute(bool plane) override { view->ShowTable(plane ? "PMJSH" : "GCHJSH"); }
  void RebuildAndSelectInput() override { view->ShowTable("SHUJUSHURU"); }
  void SelectCustomFormsBranch() override {}
  void ClearTreeSelection() override {}
  void ShowSchemeHelp() override {}
  const records::IFieldBooks* FieldBooks() const override { return books; }
  bool IsDocumentModified() const override { return modified; }
  void SetDocumentModified() override { modified = true; }
};

std::vector<std::string> ExampleLines(const char* name) {
  auto bytes = platform::ReadFileBytes(std::string(QUINTAR_SOURCE_DIR) + "/examples/" + name);
  EXPECT_TRUE(bytes.has_value()) << name;
  return bytes ? platform::SplitGbkLines(*bytes) : std::vector<std::string>();
}

std::size_t After(const std::vector<std::string>& lines, const char* banner) {
  for (std::size_t i = 0; i < lines.size(); ++i)
    if (lines[i] == banner) return i + 1;
  return lines.size();
}

void LoadTraverse(CDxView& view, const std::vector<std::string>& lines) {
  t::TraverseSectionData d;
  std::size_t pos = After(lines, app::kTraverseBanner);
  t::ReadTraverseSectionLines(lines, pos, 520, d);
  view.ResetScheme();
  view.ApplySectionData(d);
}

constexpr int kRead = 1009;

class ReadObservations : public ::testing::Test {
 protected:
  void SetUp() override {
    ports.view = &traverse;
    ports.books = &books;
    traverse.SetViewPorts(&ports);
    traverse.ResetScheme();
    traverse.OnInitialUpdate();
    books.OnInitialUpdate();
  }
  void TearDown() override { traverse.SetViewPorts(nullptr); }
  void LoadJob(const char* name) {
    const std::vector<std::string> lines = ExampleLines(name);
    records::RecordsData d;
    d.Reset();
    std::size_t pos = After(lines, app::kRecordsBanner);
    records::ReadRecordsSectionLines(lines, pos, d);
    books.ResetRecords();
    books.ApplyRecordsData(std::move(d));
    LoadTraverse(traverse, lines);
    traverse.ShowTable("SHUJUSHURU");
    table::NullCanvas screen;
    traverse.OnDraw(screen);  // the first paint takes the undo base
  }

  platform::FakeMessagePort msg;
  CGcJlView books;
  CDxView traverse;
  Ports ports;
};

TEST_F(ReadObservations, RefusedWhileNoBookIsComputed) {
  LoadJob("field-books.qvt");
  traverse.OnCommand(kRead);
  ASSERT_EQ(msg.Messages().size(), 1u);
  EXPECT_EQ(msg.Messages()[0], "观测记录未计算，无法读取！\n请先计算观测记录");
  EXPECT_EQ(traverse.GetCellText(2, 2), "");
}

TEST_F(ReadObservations, SampleJobBooksComputeReadAndAdjust) {
  LoadJob("field-books.qvt");
  books.OnCompute();
  ASSERT_TRUE(msg.Messages().empty()) << msg.Messages()[0];
  ASSERT_TRUE(books.TraverseBookComputed() && books.AngleBookComputed() && books.LevellingBookComputed());
  EXPECT_EQ(books.PageCount("DX"), 2);

  traverse.OnCommand(kRead);
  EXPECT_TRUE(msg.Messages().empty());
  EXPECT_TRUE(ports.modified);
  EXPECT_TRUE(traverse.CanUndo());
  // Angles are the books' texts: GP02 from the traverse book, D5 from the angle book
  // (its three sets), the closing GP02 from the traverse book's second GP02 station.
  const auto& dx = books.m_dx.m_arrPages;
  EXPECT_EQ(traverse.GetCellText(2, 2), dx[0].Cell(0, 5));
  EXPECT_EQ(traverse.GetCellText(2, 2), "116 02 18.7");
  EXPECT_EQ(traverse.GetCellText(7, 2), books.m_shpj.m_arrPages[0].Cell(0, 6));
  EXPECT_EQ(traverse.GetCellText(7, 2), "258 25 00.3");
  EXPECT_EQ(traverse.GetCellText(8, 2), "224 42 01.2");
  // Sides: the mean of both ends (D5–GP02 only from GP02, a reversed leg).
  const std::vector<std::string> sides = {"254.795", "264.517", "239.973", "262.255", "240.554", "198.363"};
  for (int r = 2; r <= 7; ++r) {
    const double typed = std::stod(sides[static_cast<std::size_t>(r - 2)]);
    EXPECT_NEAR(std::stod(traverse.GetCellText(r, 3)), typed, 0.0015) << "row " << r;
  }
  // Height differences with their sign along the traverse: D5 -> GP02 read against a
  // record made from GP02 to D5.
  const double dh[] = {0.558, -1.209, -1.142, 0.451, 0.813, 0.530};
  for (int r = 2; r <= 7; ++r) {
    const std::string text = traverse.GetCellText(r, 4);
    ASSERT_FALSE(text.empty()) << r;
    EXPECT_TRUE(text[0] == '+' || text[0] == '-') << text;
    EXPECT_NEAR(std::stod(text), dh[r - 2], 0.002) << "row " << r;
    EXPECT_FALSE(traverse.GetCellText(r, 5).empty()) << r;
  }
  EXPECT_EQ(traverse.GetCellText(1, 3), "");  // the orientation row: locked, emptied

  // Undo takes the whole reading back, redo brings it again.
  traverse.OnUndo();
  EXPECT_EQ(traverse.GetCellText(2, 2), "");
  traverse.OnRedo();
  EXPECT_EQ(traverse.GetCellText(2, 2), "116 02 18.7");

  // The traverse adjusts to the coordinates of the sample traverse it was made from.
  traverse.ReadInputTable();
  ASSERT_EQ(traverse.Compute(), 1) << (msg.Messages().empty() ? "" : msg.Messages()[0]);
  CDxView reference;
  reference.ResetScheme();
  LoadTraverse(reference, ExampleLines("closed-traverse.qvt"));
  ASSERT_EQ(reference.Compute(), 1);
  ASSERT_EQ(traverse.m_arrUnknownPd.size(), reference.m_arrUnknownPd.size());
  for (std::size_t i = 0; i < reference.m_arrUnknownPd.size(); ++i) {
    EXPECT_EQ(traverse.m_arrUnknownPd[i].name, reference.m_arrUnknownPd[i].name);
    EXPECT_NEAR(traverse.m_arrUnknownPd[i].x, reference.m_arrUnknownPd[i].x, 0.005) << reference.m_arrUnknownPd[i].name;
    EXPECT_NEAR(traverse.m_arrUnknownPd[i].y, reference.m_arrUnknownPd[i].y, 0.005) << reference.m_arrUnknownPd[i].name;
  }
}

TEST_F(ReadObservations, OnlyTheLevellingBookComputedGivesNoAngles) {
  LoadJob("field-books.qvt");
  books.m_dx.m_arrPages[0].At(0, 1).clear();  // the traverse book stops: a target is missing
  books.OnCompute();
  EXPECT_FALSE(books.TraverseBookComputed());
  msg.Clear();
  books.m_shpj.m_bComputed = 0;
  traverse.OnCommand(kRead);
  // What was left out is said, not passed over.
  ASSERT_EQ(msg.Messages().size(), 1u);
  EXPECT_EQ(msg.Messages()[0], "导线记录、水平角记录手簿未计算或已修改，其观测数据未读取，请先计算。");
  EXPECT_EQ(traverse.GetCellText(2, 2), "");
  EXPECT_EQ(traverse.GetCellText(2, 3), "");  // the traverse book's legs are not used
  EXPECT_NEAR(std::stod(traverse.GetCellText(2, 4)), 0.558, 1e-9);  // the levelling line GP02 -> D1
  EXPECT_NEAR(std::stod(traverse.GetCellText(3, 4)), -1.209, 1e-9);
}

TEST_F(ReadObservations, WeightsByStationsOrLengthAndTheFirstOfTwinStations) {
  // Two stations of the same name and targets: the first page wins.
  books.m_dx.m_nSets = 1;
  books.m_dx.m_arrPages.clear();
  books.m_dx.AddPage();
  books.m_dx.AddPage();
  using records_test::Type;
  Type(books.m_dx.m_arrPages[0], 0, {{0, "B"}, {1, "A"}, {2, "0"}, {3, "180"}});
  Type(books.m_dx.m_arrPages[0], 1, {{1, "C"}, {2, "100"}, {3, "280"}});
  Type(books.m_dx.m_arrPages[1], 0, {{0, "B"}, {1, "A"}, {2, "0"}, {3, "180"}});
  Type(books.m_dx.m_arrPages[1], 1, {{1, "C"}, {2, "120"}, {3, "300"}});
  Type(books.m_shzh.m_arrPages[0], 0, {{0, "1"}, {1, "C"}, {2, "1600"}, {3, "1500"}, {6, "1523"}, {7, "6210"}});
  Type(books.m_shzh.m_arrPages[0], 1, {{1, "B"}, {2, "1000"}, {3, "900"}, {6, "0691"}, {7, "5478"}});
  books.OnCompute();
  ASSERT_TRUE(msg.Messages().empty()) << msg.Messages()[0];
  struct Case { int weight, unit; const char* text; };
  for (const Case& c : {Case{1, 0, "1"}, Case{0, 0, "120"}, Case{0, 1, "0.12"}}) {
    traverse.m_nTraverseType = 3;
    traverse.m_nLevelWeight = c.weight;
    traverse.m_nDistUnit = c.unit;
    traverse.m_arrUnit.assign(4, CDxView::CUnit());
    for (const char* n : {"A", "B", "C", "D"}) traverse.m_arrUnit[static_cast<std::size_t>(n[0] - 'A')].name = n;
    traverse.ShowTable("SHUJUSHURU");
    traverse.OnCommand(kRead);
    EXPECT_EQ(traverse.GetCellText(2, 2), "100 00 00");
    // C -> B was levelled: read B -> C with the sign turned.
    EXPECT_EQ(traverse.GetCellText(2, 4), "-0.832");
    EXPECT_EQ(traverse.GetCellText(2, 5), c.text);
  }
}


// A station of the traverse book without a mean angle (distances only) is no match:
// the angle book is searched on, and a typed angle is never replaced by nothing.
TEST_F(ReadObservations, AStationWithoutAnAngleIsNoMatch) {
  using records_test::Type;
  struct Case {
    const char* name;
    const char* angleBookReading;  // face left of B towards C in the angle book; "" none
    const char* expected;          // the angle cell of B after reading
  };
  const Case cases[] = {
      {"the angle book has B", "100.0000", "100 00 00"},
      {"no book has an angle for B", "", " 88 00 00"},
  };
  for (const Case& c : cases) {
    books.ResetRecords();
    books.m_dx.m_nSets = 1;
    books.m_dx.m_arrPages.assign(1, {});
    books.m_dx.m_arrPages[0].Init(books.m_dx.RowsPerPage());
    Type(books.m_dx.m_arrPages[0], 0, {{0, "B"}, {1, "A"}, {10, "120.000"}});
    Type(books.m_dx.m_arrPages[0], 1, {{1, "C"}, {10, "130.000"}});
    books.m_shpj.m_nSets = 1;
    books.m_shpj.m_arrPages.assign(1, {});
    books.m_shpj.m_arrPages[0].Init(books.m_shpj.RowsPerPage());
    if (*c.angleBookReading) {
      Type(books.m_shpj.m_arrPages[0], 0, {{0, "B"}, {1, "A"}, {2, "0"}, {3, "180"}});
      Type(books.m_shpj.m_arrPages[0], 1, {{1, "C"}, {2, c.angleBookReading}, {3, "280"}});
    }
    books.OnCompute();
    ASSERT_TRUE(msg.Messages().empty()) << c.name << ": " << msg.Messages()[0];
    ASSERT_EQ(books.m_dx.m_arrPages[0].Cell(0, 5), "");
    traverse.m_nTraverseType = 3;
    traverse.m_arrUnit.assign(3, CDxView::CUnit());
    for (const char* n : {"A", "B", "C"}) traverse.m_arrUnit[static_cast<std::size_t>(n[0] - 'A')].name = n;
    traverse.ShowTable("SHUJUSHURU");
    traverse.OnCellEditEnd(2, 2, " 88 00 00");  // typed by the user
    traverse.OnCommand(kRead);
    EXPECT_EQ(traverse.GetCellText(2, 2), c.expected) << c.name;
    EXPECT_EQ(traverse.GetCellText(2, 3), "130.000") << c.name;
  }
}

}  // namespace
