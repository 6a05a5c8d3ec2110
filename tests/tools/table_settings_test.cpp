// "表格" on the tools view: the new decimals show in freshly computed results and the
// job's tools section keeps every setting the dialog changed that it stores.
#include <gtest/gtest.h>

#include "tests/table/table_fixture.h"
#include "tool_rows.h"
#include "tools/aux_section.h"

TEST(ToolsTableSettings, ComputesWithTheNewDecimalsAndSavesThem) {
  toolstest::ToolTable t;
  tabletest::SettingsHost host;
  tabletest::RecordingFrame frame;
  t.view.SetHost(&host);
  t.Compute("PMZBZHSH", {"A,0,0,100,90,100,1.5,B"});
  ASSERT_EQ(t.Cell(1, 10), "100.0000");
  host.edit = [](table::CTableSetForm& f) {
    f.coordDecimals = 2;
    f.heightDecimals = 1;
    f.latLonDecimals = 5;
    f.fitWidth = false;
    f.padRows = false;
    f.linesAbove = 3;
    f.lineBelow = 0;
  };
  t.view.OnCommand(table::ID_TABLE_SETTINGS);
  EXPECT_EQ(host.runs, 1);
  EXPECT_EQ(frame.modified, 1);
  EXPECT_EQ(t.Cell(1, 10), "100.00") << "the tools view computes after OK";
  EXPECT_EQ(t.Cell(1, 11), "101.5");
  EXPECT_EQ(t.Message(), "");

  const tools::ToolsSectionData d = tools::ToolsSectionData::FromView(t.view);
  const std::vector<std::string> lines = tools::WriteToolsSectionLines(d);
  for (const char* want : {"坐标取位:2", "高程取位:1", "经纬度取位:5", "适应纸宽:0", "适应纸高:0", "上方行数:3",
                           "下方行数:0"})
    EXPECT_NE(std::find(lines.begin(), lines.end(), want), lines.end()) << want;
  app::LineReader in(std::vector<std::string>(lines.begin() + 1, lines.end()));
  tools::ToolsSectionData back;
  tools::ReadToolsSectionLines(in, 520, back);
  EXPECT_EQ(back.latLonDecimals, 5);
  EXPECT_FALSE(back.fitWidth);
  EXPECT_EQ(back.linesAbove, 3);
}
