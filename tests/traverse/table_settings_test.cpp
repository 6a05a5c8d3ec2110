// "表格" on the traverse view: the table settings go back into the grid, the table is
// shown again with the new decimals, and the section the job saves carries them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/fake_ports.h"
#include "platform/textfile.h"
#include "tests/table/table_fixture.h"
#include "traverse/file/traverse_section.h"
#include "traverse/view/dx_view.h"
#include "traverse/view/dx_view_ports.h"

namespace t = traverse;

namespace {

struct Ports : t::ITraverseViewPorts {
  CDxView* view = nullptr;
  SchemeResult RunSchemeDialog(t::CSchemeForm&) override { return SchemeResult::Cancel; }
  bool RunCustomTableDialog(traverse::CCusTableSetForm&) override { return false; }
  void ReselectAfterCompute(bool plane) override { view->ShowTable(plane ? "PMJSH" : "GCHJSH"); }
  void RebuildAndSelectInput() override { view->ShowTable("SHUJUSHURU"); }
  void SelectCustomFormsBranch() override {}
  void ClearTreeSelection() override {}
  void ShowSchemeHelp() override {}
  bool IsDocumentModified() const override { return false; }
  void SetDocumentModified() override {}
};

std::string Example(const char* name) {
  std::string here = __FILE__;
  return here.substr(0, here.rfind("/tests/")) + "/examples/" + name;
}

// Digits after the point of a number text ("12.345" → 3, "12" → 0).
int Decimals(const std::string& s) {
  const auto dot = s.find('.');
  return dot == std::string::npos ? 0 : static_cast<int>(s.size() - dot - 1);
}

class TraverseSettingsTest : public ::testing::Test {
 protected:
  void Open(const char* file) {
    ports.view = &view;
    view.SetViewPorts(&ports);
    view.ResetScheme();
    view.OnInitialUpdate();
    view.SetHost(&host);
    view.OnSize(1200, 800);
    auto bytes = platform::ReadFileBytes(Example(file));
    ASSERT_TRUE(bytes.has_value());
    std::vector<std::string> lines = platform::SplitGbkLines(*bytes);
    t::TraverseSectionData d;
    std::size_t pos = 3;
    t::ReadTraverseSectionLines(lines, pos, 520, d);
    view.ApplySectionData(d);
    view.ShowTable("SHUJUSHURU");
    view.OnCommand(table::ID_COMPUTE);
    ASSERT_TRUE(messages.Texts().empty()) << messages.Texts()[0];
    ASSERT_EQ(view.TableCode, "PMJSH");
  }
  // The decimals of every non-empty cell of the columns with this code (or first
  // header line).
  std::vector<int> ColumnDecimals(const std::string& code) const {
    std::vector<int> out;
    for (int c = 1; c <= view.GetColCount(); ++c) {
      if (view.GetColumnCode(c) != code && view.GetColumn(c).header1 != code) continue;
      for (int r = 1; r <= view.GetRowCount(); ++r)
        if (!view.CellText(r, c).empty()) out.push_back(Decimals(view.CellText(r, c)));
    }
    return out;
  }
  static bool Has(const std::vector<std::string>& lines, const std::string& line) {
    for (const auto& l : lines)
      if (l == line) return true;
    return false;
  }
  platform::FakeMessagePort messages;
  tabletest::RecordingFrame frame;
  tabletest::SettingsHost host;
  Ports ports;
  CDxView view;
};

}  // namespace

TEST_F(TraverseSettingsTest, AdjustmentTableShownAgainWithTheNewDecimalsAndSaved) {
  Open("closed-traverse.qvt");
  ASSERT_FALSE(ColumnDecimals("X").empty());
  for (int d : ColumnDecimals("X")) ASSERT_EQ(d, 3);
  host.edit = [](table::CTableSetForm& f) {
    f.coordDecimals = 4;
    f.distDecimals = 2;
    f.linesAbove = 2;
  };
  view.OnCommand(table::ID_TABLE_SETTINGS);
  EXPECT_EQ(view.TableCode, "PMJSH");
  EXPECT_EQ(frame.modified, 1);
  EXPECT_EQ(ColumnDecimals("X"), std::vector<int>(ColumnDecimals("X").size(), 4));
  EXPECT_EQ(ColumnDecimals("HBCH"), std::vector<int>(ColumnDecimals("HBCH").size(), 2));
  EXPECT_TRUE(messages.Texts().empty());

  t::TraverseSectionData written;
  view.GetSectionData(written);
  const std::vector<std::string> saved = t::WriteTraverseSectionLines(written);
  EXPECT_TRUE(Has(saved, "坐标取位:4"));
  EXPECT_TRUE(Has(saved, "距离取位:2"));
  EXPECT_TRUE(Has(saved, "上方行数:2"));
  // The job read back shows the same decimals.
  t::TraverseSectionData d;
  std::size_t pos = 1;
  t::ReadTraverseSectionLines(saved, pos, 520, d);
  CDxView again;
  again.ResetScheme();
  again.ApplySectionData(d);
  EXPECT_EQ(again.m_nCoordDecimals, 4);
  EXPECT_EQ(again.m_nDistDecimals, 2);
  EXPECT_EQ(again.m_nLinesAbove, 2);
}

TEST_F(TraverseSettingsTest, CoordinateTraverseRecomputesItsObservedTexts) {
  // Its sides and angles are texts the computation writes from the coordinates, so
  // new decimals need a new computation, not just a new table.
  Open("coordinate-traverse.qvt");
  std::vector<int> before = ColumnDecimals("边长");
  ASSERT_FALSE(before.empty());
  for (int d : before) ASSERT_EQ(d, 3);
  host.edit = [](table::CTableSetForm& f) { f.distDecimals = 5; };
  view.OnCommand(table::ID_TABLE_SETTINGS);
  EXPECT_EQ(view.TableCode, "PMJSH");
  const std::vector<int> after = ColumnDecimals("边长");
  EXPECT_EQ(after, std::vector<int>(before.size(), 5));
}

TEST_F(TraverseSettingsTest, CancelShowsTheSameTable) {
  Open("closed-traverse.qvt");
  const std::string cell = view.GetCellText(2, 2);
  host.ok = false;
  view.OnCommand(table::ID_TABLE_SETTINGS);
  EXPECT_EQ(view.TableCode, "PMJSH");
  EXPECT_EQ(view.GetCellText(2, 2), cell);
  EXPECT_EQ(frame.modified, 0);
}
