// The traverse view as a user drives it: input table, compute, result tables,
// the scheme dialog's OK, the document section through the view.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "platform/fake_ports.h"
#include "platform/gbk.h"
#include "platform/number.h"
#include "survey/angle.h"
#include "traverse/view/dx_view.h"
#include "traverse/file/traverse_section.h"
#include "traverse/view/dx_view_ports.h"
#include "traverse/engine/scheme_form.h"

namespace t = traverse;

namespace {

// The navigation tree and dialogs as the frame provides them, scripted.
struct FakePorts : t::ITraverseViewPorts {
  CDxView* view = nullptr;
  int reselects = 0;
  int reselectsInsideACommand = 0;  // the tree's answer nested in the call that computed
  int schemeDialogs = 0;
  int customForms = 0;
  int unknownAnswer = 3;
  SchemeResult answer = SchemeResult::Ok;
  bool modified = false;

  SchemeResult RunSchemeDialog(t::CSchemeForm& form) override {
    ++schemeDialogs;
    form.unknownCount = unknownAnswer;
    return answer;
  }
  bool RunCustomTableDialog(traverse::CCusTableSetForm&) override { return false; }
  void ReselectAfterCompute(bool plane) override {
    ++reselects;
    if (view->m_nCommandDepth != 0) ++reselectsInsideACommand;
    view->ShowTable(plane ? "PMJSH" : "GCHJSH");
  }
  void RebuildAndSelectInput() override { view->ShowTable("SHUJUSHURU"); }
  void SelectCustomFormsBranch() override { ++customForms; }
  void ClearTreeSelection() override {}
  void ShowSchemeHelp() override {}
  bool IsDocumentModified() const override { return modified; }
  void SetDocumentModified() override { modified = true; }
};

// A connecting traverse A-B-P1-P2-P3-C-D made up from chosen coordinates; the side
// P2-P3 is typed 10 mm too long, everything else exact.
struct Point {
  const char* name;
  double x, y;
};
const Point kTruth[] = {{"A", 3512.417, 4806.250}, {"B", 3300.000, 5000.000}, {"P1", 3416.380, 5197.115},
                        {"P2", 3390.822, 5421.607}, {"P3", 3521.054, 5603.990}, {"C", 3480.000, 5850.000},
                        {"D", 3262.450, 6011.733}};
constexpr int kN = 7;
constexpr double kSideError = 0.010;  // m, on the leg P2-P3 (row 4)

double Az(const Point& a, const Point& b) {
  double az = std::atan2(b.y - a.y, b.x - a.x);
  return az < 0 ? az + 2 * M_PI : az;
}
double Dist(const Point& a, const Point& b) { return std::hypot(b.x - a.x, b.y - a.y); }

std::string AngleText(double rad) {
  double sec = rad * 180.0 / M_PI * 3600.0;
  int d = static_cast<int>(sec / 3600);
  sec -= d * 3600.0;
  int m = static_cast<int>(sec / 60);
  sec -= m * 60.0;
  return std::to_string(d) + " " + std::to_string(m) + " " + platform::FormatFixed(sec, 6);
}

std::vector<std::vector<std::string>> ConnectingTraverseCells() {
  std::vector<std::vector<std::string>> rows(kN, std::vector<std::string>(9));
  for (int i = 0; i < kN; ++i) {
    rows[i][0] = kTruth[i].name;
    if (i >= 1 && i <= kN - 2) {
      double a = Az(kTruth[i], kTruth[i + 1]) - Az(kTruth[i], kTruth[i - 1]);
      if (a < 0) a += 2 * M_PI;
      rows[i][1] = AngleText(a);
    }
    if (i >= 1 && i <= kN - 3) {
      double d = Dist(kTruth[i], kTruth[i + 1]) + (i == 3 ? kSideError : 0.0);
      rows[i][2] = platform::FormatFixed(d, 6);
    }
    if (i == 0 || i == 1 || i == kN - 2 || i == kN - 1) {
      rows[i][5] = platform::FormatFixed(kTruth[i].x, 3);
      rows[i][6] = platform::FormatFixed(kTruth[i].y, 3);
    }
  }
  return rows;
}

class ViewFlowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ports.view = &view;
    view.SetViewPorts(&ports);
    view.ResetScheme();
    view.OnInitialUpdate();
  }
  // Types the rows into the data-input table.
  void ShowInput(const std::vector<std::vector<std::string>>& cells) {
    view.m_arrUnit.assign(cells.size(), CDxView::CUnit());
    view.ShowTable("SHUJUSHURU");
    for (int r = 1; r <= static_cast<int>(cells.size()); ++r)
      for (int c = 1; c <= static_cast<int>(cells[r - 1].size()); ++c)
        view.SetCellText(r, c, cells[r - 1][c - 1]);
  }
  std::vector<std::string> Cells() const {
    std::vector<std::string> all;
    for (int r = 1; r <= view.GetRowCount(); ++r)
      for (int c = 1; c <= view.GetColCount(); ++c) all.push_back(view.CellText(r, c));
    return all;
  }

  platform::FakeMessagePort messages;
  FakePorts ports;
  CDxView view;
};

}  // namespace

TEST_F(ViewFlowTest, ComputeRunsOnceFromTheInputTable) {
  view.m_bRigorous = 0;
  ShowInput(ConnectingTraverseCells());
  view.OnCommand(table::ID_COMPUTE);
  EXPECT_EQ(ports.reselects, 1);
  EXPECT_TRUE(messages.Texts().empty());
  EXPECT_EQ(view.TableCode, "PMJSH");
  EXPECT_EQ(view.GetTitle(), "Pelmor计算表");
  EXPECT_EQ(view.m_bComputed, 1);
  // The closure of a 10 mm side blunder: exactly that side's error along its azimuth.
  const double az = Az(kTruth[3], kTruth[4]);
  const double fx = kSideError * 1000 * std::cos(az), fy = kSideError * 1000 * std::sin(az);
  double sumD = 0;
  for (int i = 1; i <= kN - 3; ++i) sumD += Dist(kTruth[i], kTruth[i + 1]);
  sumD += kSideError;
  EXPECT_NEAR(view.m_dFBeta, 0.0, 1e-3);
  EXPECT_NEAR(view.m_dFx, fx, 0.01);
  EXPECT_NEAR(view.m_dFy, fy, 0.01);
  const std::string line1 = view.GetSignatureText(1);
  EXPECT_EQ(line1.rfind("fβ = ", 0), 0u) << line1;
  // The closure pieces start on 20-byte columns (β counts two).
  ASSERT_NE(line1.find("fx = "), std::string::npos) << line1;
  EXPECT_EQ(platform::GbkWidth(line1.substr(0, line1.find("fx = "))), 20) << line1;
  EXPECT_EQ(platform::GbkWidth(line1.substr(0, line1.find("fy = "))), 40) << line1;
  EXPECT_NE(line1.find("fs = 10.00mm"), std::string::npos) << line1;
  const std::string line2 = view.GetSignatureText(2);
  EXPECT_NEAR(view.m_dFs, 10.0, 0.01);
  const int k = static_cast<int>(sumD * 1000 / view.m_dFs);
  const std::string d = platform::FormatFixed(sumD, 3);
  // 5 angles at the stations of a connecting traverse: 10" x sqrt(5); each piece padded
  // to 20 bytes, "fβ允" and "ΣD" counting their Chinese and Greek letters twice.
  EXPECT_EQ(line2, "fβ允 = 22.36\"" + std::string(6, ' ') + "ΣD = " + d + "m" +
                       std::string(20 - (3 + 3 + d.size() + 1), ' ') + "1/K = 1/" + std::to_string(k) + " < 1/15000")
      << line2;
  // Moving between result tables reuses the results.
  view.ShowTable("KZD");
  EXPECT_EQ(ports.reselects, 1);
  EXPECT_EQ(view.GetTitle(), "控制点成果表");
  // KZD keeps the orientation rows (they have coordinates): 7 rows.
  EXPECT_EQ(view.GetRowCount(), kN);
  EXPECT_EQ(view.CellText(3, 1), "P1");
}

TEST_F(ViewFlowTest, ResultTableBeforeComputingComputesFirst) {
  ShowInput(ConnectingTraverseCells());
  view.ShowTable("CHENGGUO");  // leaving the input table reads it and computes
  EXPECT_EQ(ports.reselects, 1);
  // The tree answers once the table switch that computed has returned.
  EXPECT_EQ(ports.reselectsInsideACommand, 0);
  // Rigorous by default: the tree re-selects the plane table.
  EXPECT_EQ(view.GetTitle(), "导线严密平差计算表");
  // A failing computation shows its message once and no table.
  view.ResetScheme();
  ports.reselects = 0;
  ShowInput({{"A"}, {"B"}, {"C"}, {"D"}, {"E"}});
  view.ShowTable("JINGDU");
  EXPECT_EQ(ports.reselects, 0);
  ASSERT_EQ(messages.Texts().size(), 1u);
  EXPECT_EQ(messages.Texts()[0], "无计算内容！");
  EXPECT_EQ(view.GetColCount(), 0);
}

TEST_F(ViewFlowTest, HeaderEditOnAResultTableKeepsItsCells) {
  ShowInput(ConnectingTraverseCells());
  view.OnCommand(table::ID_COMPUTE);
  ASSERT_EQ(view.TableCode, "PMJSH");
  EXPECT_EQ(ports.reselectsInsideACommand, 0);  // after the compute command, not inside it
  const std::vector<std::string> before = Cells();
  const int rows = view.GetRowCount();
  ports.modified = true;
  view.OnHeaderEditEnd(0, "工程名称：城西控制网");
  EXPECT_EQ(view.GetHeaderText(0), "工程名称：城西控制网");
  EXPECT_EQ(view.GetRowCount(), rows);
  EXPECT_EQ(Cells(), before);
  for (int r = 1; r <= view.GetRowCount(); ++r)
    for (int c = 1; c <= view.GetColCount(); ++c) EXPECT_TRUE(view.IsCellLocked(r, c));
}

TEST_F(ViewFlowTest, SchemeOkResizesTheRows) {
  std::vector<std::vector<std::string>> nine;
  for (int i = 0; i < 9; ++i) nine.push_back({"P" + std::to_string(i + 1)});
  ShowInput(nine);
  ports.unknownAnswer = 3;
  view.OnCommand(table::ID_SCHEME);
  EXPECT_EQ(ports.schemeDialogs, 1);
  EXPECT_EQ(view.TableCode, "SHUJUSHURU");
  ASSERT_EQ(view.GetRowCount(), 7);
  EXPECT_EQ(view.m_arrUnit.size(), 7u);
  for (int r = 1; r <= 7; ++r) EXPECT_EQ(view.CellText(r, 1), "P" + std::to_string(r));
  EXPECT_EQ(view.m_bComputed, 0);
  EXPECT_TRUE(ports.modified);
  // Cancel leaves the scheme and shows an empty grid.
  ports.answer = t::ITraverseViewPorts::SchemeResult::Cancel;
  view.m_nTraverseType = 0;
  view.OnCommand(table::ID_SCHEME);
  EXPECT_EQ(view.GetColCount(), 0);
  EXPECT_EQ(view.m_arrUnit.size(), 7u);
  EXPECT_EQ(ports.customForms, 1);
}

TEST_F(ViewFlowTest, NewJobOpensTheSchemeForItsInputTable) {
  ports.unknownAnswer = 3;
  view.ShowTable("SHUJUSHURU");
  EXPECT_EQ(ports.schemeDialogs, 1);
  EXPECT_EQ(view.GetRowCount(), 7);
  EXPECT_EQ(view.GetTitle(), "闭、附合导线数据输入");
}

TEST_F(ViewFlowTest, EditsEmptyLockedCellsAndTheTrigonometricWeightFollows) {
  view.m_nHeightRouteType = 1;
  view.m_nDistUnit = 1;
  ShowInput(ConnectingTraverseCells());
  // A text in a locked cell (from a file): kept until the next edit.
  view.SetCellText(1, 3, "99.9");
  view.UpdateInputTips();
  EXPECT_EQ(view.CellText(1, 3), "99.9");
  EXPECT_TRUE(view.IsCellLocked(1, 3));
  ports.modified = true;
  view.SelectCell(3, 3);
  view.OnCellEditEnd(3, 3, "1234.56");
  EXPECT_EQ(view.CellText(1, 3), "");
  EXPECT_EQ(view.CellText(3, 5), "");  // no height difference yet
  EXPECT_TRUE(view.IsCellLocked(3, 5));
  view.OnCellEditEnd(3, 4, "1.25");
  EXPECT_EQ(view.CellText(3, 5), "1.235");
}

TEST_F(ViewFlowTest, BarLayout) {
  view.SetBarMetrics(22, 12);
  view.OnSize(400, 300);
  auto x = [&](int id) { return view.FindButton(id)->x; };
  EXPECT_EQ(x(table::ID_SCHEME), 2);
  EXPECT_EQ(x(table::ID_TABLE_SETTINGS), 34);
  EXPECT_EQ(x(1009), 66);
  EXPECT_EQ(x(table::ID_COMPUTE), 98);
  EXPECT_EQ(x(table::ID_REDO), 2 + 11 * 32);
  EXPECT_EQ(view.FindButton(table::ID_SCHEME)->width, 30);
  view.OnSize(1600, 300);  // wide: h + 4c + 12 = 82
  EXPECT_EQ(x(table::ID_TABLE_SETTINGS), 84);
  view.OnSize(100, 300);  // narrow: never below the row height
  EXPECT_EQ(x(table::ID_TABLE_SETTINGS), 24);
}

TEST_F(ViewFlowTest, SectionThroughTheView) {
  ShowInput(ConnectingTraverseCells());
  view.SetHeaderText(1, "测量单位：二队");
  t::CTraverseDocSection section(view);
  app::LineWriter out;
  section.WriteSection(out);
  // Read back into a second view: the same bytes again.
  CDxView other;
  other.ResetScheme();
  t::CTraverseDocSection otherSection(other);
  app::LineReader in(out.Lines());
  std::string banner;
  ASSERT_TRUE(in.Next(&banner));
  otherSection.BeginRead(520);
  otherSection.ReadSection(in);
  EXPECT_TRUE(in.AtEnd());
  otherSection.Reset();
  otherSection.CommitRead();
  EXPECT_EQ(other.m_arrUnit.size(), static_cast<std::size_t>(kN));
  EXPECT_EQ(other.GetHeaderText(1), "测量单位：二队");
  app::LineWriter again;
  otherSection.WriteSection(again);
  EXPECT_EQ(again.Lines(), out.Lines());
}
