// The sample job examples/common-tools.qvt: its tools section read as the program
// reads it, each tool computed and checked against GeographicLib.
#include <gtest/gtest.h>

#include <GeographicLib/TransverseMercator.hpp>
#include <fstream>
#include <sstream>

#include "platform/fake_ports.h"
#include "platform/gbk.h"
#include "platform/number.h"
#include "survey/angle.h"
#include "tests/tools/tools_test_util.h"
#include "tools/aux_section.h"

using namespace tools;

namespace {

std::vector<std::string> FileLines(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::stringstream ss;
  ss << f.rdbuf();
  std::vector<std::string> lines;
  std::istringstream in(platform::GbkToUtf8(ss.str()));
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

TEST(ExampleJob, CommonToolsComputeAsGeographicLibSays) {
  platform::FakeMessagePort messages;
  toolstest::FakeToolPorts ports;
  const auto lines = FileLines(std::string(QUINTAR_SOURCE_DIR) + "/examples/common-tools.qvt");
  ASSERT_GT(lines.size(), 10u);
  ASSERT_EQ(lines[2], app::kToolsBanner);
  app::LineReader in(lines);
  in.Seek(3);
  ToolsSectionData data;
  ReadToolsSectionLines(in, 520, data);
  EXPECT_EQ(in.Position(), lines.size());
  CAuxView view;
  view.OnInitialUpdate();
  view.SetViewPorts(&ports);
  view.ResetToDefaults();
  data.ApplyTo(view);
  view.m_nCoordDecimals = 6;
  view.m_nLatLonDecimals = 6;
  const GeographicLib::TransverseMercator tm(6378140, 1 / 298.257, 1.0);  // 西安80

  view.ShowTool(ToolCode::GSZHSH);
  view.OnCompute();
  double x, y;
  tm.Forward(114, 30.5, 114 + 20.0 / 60, y, x);
  EXPECT_NEAR(platform::ParseDouble(view.GetCellText(1, 4)), x, 1e-4);
  EXPECT_NEAR(platform::ParseDouble(view.GetCellText(1, 5)), y + 500000, 1e-4);

  view.ShowTool(ToolCode::GSFSH);
  view.OnCompute();
  EXPECT_NEAR(survey::ParseAngleText(view.GetCellText(1, 4)), survey::DmsToRadians(30.30), 1e-4 / 6.4e6);
  EXPECT_NEAR(survey::ParseAngleText(view.GetCellText(1, 5)), survey::DmsToRadians(114.20), 1e-4 / 5.5e6);

  view.ShowTool(ToolCode::ZBHD1);  // 114 -> 111
  view.OnCompute();
  tm.Forward(111, 30.5, 113, y, x);
  EXPECT_NEAR(platform::ParseDouble(view.GetCellText(1, 4)), x, 2e-4);
  EXPECT_NEAR(platform::ParseDouble(view.GetCellText(1, 5)), y + 500000, 2e-4);

  for (const char* code : {ToolCode::FXBCHGH, ToolCode::ZBZHH4CSH, ToolCode::ZBZHH7CSH}) {
    view.ShowTool(code);
    view.OnCompute();
    EXPECT_TRUE(view.m_bComputeOk) << code;
    EXPECT_FALSE(view.GetCellText(1, view.m_nInputCols + 1).empty()) << code;
  }
  // The stored parameters are those the sample's own common points give, so the
  // transformed sample rows land on their common points' after-coordinates.
  double four[4], seven[7];
  ASSERT_TRUE(view.SolveFourParameters(four));
  ASSERT_TRUE(view.SolveSevenParameters(seven));
  for (int i = 0; i < 4; ++i) EXPECT_NEAR(four[i], view.m_dFourParams[static_cast<std::size_t>(i)], 1e-8) << i;
  for (int i = 0; i < 7; ++i) EXPECT_NEAR(seven[i], view.m_dSevenParams[static_cast<std::size_t>(i)], 1e-5) << i;
  view.ShowTool(ToolCode::ZBZHH4CSH);  // K1 is the first common point
  view.OnCompute();
  EXPECT_NEAR(platform::ParseDouble(view.GetCellText(1, 4)), 3375600.812, 0.03);
  EXPECT_NEAR(platform::ParseDouble(view.GetCellText(1, 5)), 531989.211, 0.03);
  view.ShowTool(ToolCode::ZBZHH7CSH);  // G1 is the first common point
  view.OnCompute();
  EXPECT_NEAR(platform::ParseDouble(view.GetCellText(1, 5)), -2267800.123, 0.06);
  EXPECT_NEAR(platform::ParseDouble(view.GetCellText(1, 6)), 5009100.456, 0.06);
  EXPECT_NEAR(platform::ParseDouble(view.GetCellText(1, 7)), 3221350.789, 0.06);
  EXPECT_TRUE(messages.Messages().empty());
}

}  // namespace
