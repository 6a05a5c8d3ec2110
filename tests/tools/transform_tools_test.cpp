// Four- and seven-parameter estimation against a QR least-squares fit of the same
// model (Eigen) on synthetic common points from chosen parameters, and the two
// transformation tools with their refusals.
#include <gtest/gtest.h>

#include <Eigen/Dense>
#include <cmath>
#include <random>

#include "drawing/recording_feed.h"
#include "platform/fake_ports.h"
#include "platform/number.h"
#include "survey/angle.h"
#include "tests/tools/tools_test_util.h"
#include "tools/aux_section.h"

using namespace tools;

namespace {

constexpr double kSec = 206264.806247096;
std::string N(double v) { return platform::FormatFixed(v, 6); }

TEST(FourParameters, MatchALeastSquaresFitWithAndWithoutNoise) {
  platform::FakeMessagePort messages;
  const double X0 = 1234.5, Y0 = -2345.25, theta = 0.0123, k = 1.000035;
  for (double noise : {0.0, 0.01}) {
    std::mt19937 rng(7);
    std::normal_distribution<double> e(0, noise > 0 ? noise : 1);
    std::vector<std::string> pts;
    Eigen::MatrixXd A(2 * 6, 4);
    Eigen::VectorXd l(2 * 6);
    for (int i = 0; i < 6; ++i) {
      const double x = 3400000 + 1500 * i, y = 500000 + 900 * ((i * 7) % 5);
      double X = k * std::cos(theta) * x - k * std::sin(theta) * y + X0;
      double Y = k * std::sin(theta) * x + k * std::cos(theta) * y + Y0;
      if (noise > 0) {
        X += noise * e(rng);
        Y += noise * e(rng);
      }
      pts.push_back(N(x) + "," + N(y) + "," + N(X) + "," + N(Y));
      A.row(2 * i) << x, -y, 1, 0;
      A.row(2 * i + 1) << y, x, 0, 1;
      l(2 * i) = platform::ParseDouble(N(X));
      l(2 * i + 1) = platform::ParseDouble(N(Y));
    }
    double p[4] = {};
    ASSERT_TRUE(EstimateFourParameters(pts, p));
    // The fit in the centred frame: compare through transformed points, which is
    // what the estimate is for.
    const Eigen::Vector4d u = A.colPivHouseholderQr().solve(l);
    const double a = p[3] * std::cos(survey::DmsToRadians(p[2])), b = p[3] * std::sin(survey::DmsToRadians(p[2]));
    for (double x : {3400000.0, 3407000.0}) {
      const double y = 502000;
      EXPECT_NEAR(a * x - b * y + p[0], u(0) * x - u(1) * y + u(2), 1e-4) << noise;
      EXPECT_NEAR(b * x + a * y + p[1], u(1) * x + u(0) * y + u(3), 1e-4) << noise;
    }
    if (noise == 0) {
      EXPECT_NEAR(survey::DmsToRadians(p[2]), theta, 1e-10);
      EXPECT_NEAR(p[3], k, 1e-10);
      EXPECT_NEAR(p[0], X0, 1e-3);
    }
  }
  EXPECT_TRUE(messages.Messages().empty());
}

TEST(FourParameters, TextbookCasesAndRefusals) {
  platform::FakeMessagePort messages;
  double p[4] = {9, 9, 9, 9};
  ASSERT_TRUE(EstimateFourParameters({"1,0,0,1", "0,1,-1,0"}, p));  // turned 90° about the origin
  EXPECT_NEAR(survey::DmsToRadians(p[2]), M_PI / 2, 1e-12);
  EXPECT_NEAR(p[3], 1, 1e-12);
  EXPECT_NEAR(p[0], 0, 1e-12);
  ASSERT_TRUE(EstimateFourParameters({"10,20,10,20", "30,5,30,5"}, p));
  EXPECT_NEAR(p[2], 0, 1e-12);
  EXPECT_NEAR(p[3], 1, 1e-12);
  struct Case {
    std::vector<std::string> pts;
    const char* message;
  };
  const Case cases[] = {{{}, "“项目设置”中四参数公共点坐标尚未设置。"},
                        {{"1,2,3,4"}, "“项目设置”中四参数公共点至少两个。"},
                        {{"5,5,1,1", "5,5,2,2"}, "四参数公共点转换前的坐标重合，无法解算转换参数。"}};
  for (const Case& c : cases) {
    double q[4] = {1, 2, 3, 4};
    messages.events.clear();
    EXPECT_FALSE(EstimateFourParameters(c.pts, q));
    EXPECT_EQ(messages.Messages(), (std::vector<std::string>{c.message}));
    EXPECT_EQ(q[0], 1);  // unchanged
    EXPECT_EQ(q[3], 4);
  }
}

TEST(SevenParameters, MatchALeastSquaresFitOnGeocentricPoints) {
  platform::FakeMessagePort messages;
  const double truth[7] = {-45.2, 110.7, 85.3, 3.2, 0.8, -1.4, 2.1};  // m, ppm, "
  for (double noise : {0.0, 0.02}) {
    std::mt19937 rng(3);
    std::normal_distribution<double> e(0, 1);
    const int n = 8;
    std::vector<std::string> pts;
    Eigen::MatrixXd A(3 * n, 7);
    Eigen::VectorXd l(3 * n);
    const double m = 1 + truth[3] / 1e6, wx = truth[4] / kSec, wy = truth[5] / kSec, wz = truth[6] / kSec;
    for (int i = 0; i < n; ++i) {
      const double x = -2200000 + 3000.0 * i, y = 5000000 + 2000.0 * ((i * 3) % 7), z = 3200000 + 2500.0 * ((i * 5) % 4);
      double X = m * x + wz * y - wy * z + truth[0], Y = m * y - wz * x + wx * z + truth[1],
             Z = m * z + wy * x - wx * y + truth[2];
      if (noise > 0) {
        X += noise * e(rng);
        Y += noise * e(rng);
        Z += noise * e(rng);
      }
      pts.push_back(N(x) + "," + N(y) + "," + N(z) + "," + N(X) + "," + N(Y) + "," + N(Z));
      const double Xr = platform::ParseDouble(N(X)), Yr = platform::ParseDouble(N(Y)), Zr = platform::ParseDouble(N(Z));
      A.row(3 * i) << 1, 0, 0, x, 0, -z, y;
      A.row(3 * i + 1) << 0, 1, 0, y, z, 0, -x;
      A.row(3 * i + 2) << 0, 0, 1, z, -y, x, 0;
      l(3 * i) = Xr - x;
      l(3 * i + 1) = Yr - y;
      l(3 * i + 2) = Zr - z;
    }
    double p[7] = {};
    ASSERT_TRUE(EstimateSevenParameters(pts, p));
    const Eigen::VectorXd u = A.colPivHouseholderQr().solve(l);
    EXPECT_NEAR(p[3], u(3) * 1e6, 1e-4) << noise;
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(p[4 + i], u(4 + i) * kSec, 1e-4) << noise << " w" << i;
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(p[i], u(i), 2e-3) << noise << " shift " << i;
    if (noise == 0) {
      // Coordinates typed to the micrometre, levered by 6000 km over a 20 km net.
      for (int i = 0; i < 3; ++i) EXPECT_NEAR(p[i], truth[i], 2e-3) << i;
      for (int i = 3; i < 7; ++i) EXPECT_NEAR(p[i], truth[i], 1e-4) << i;
    }
  }
  EXPECT_TRUE(messages.Messages().empty());
}

TEST(SevenParameters, OnePointShiftsAndDegenerateSetsAreRefused) {
  platform::FakeMessagePort messages;
  double p[7] = {};
  ASSERT_TRUE(EstimateSevenParameters({"1,2,3,11.5,22,33"}, p));
  EXPECT_EQ(p[0], 10.5);
  EXPECT_EQ(p[1], 20);
  EXPECT_EQ(p[2], 30);
  EXPECT_EQ(p[3], 0);
  const std::vector<std::string> bad[] = {{"1,1,1,2,2,2", "1,1,1,3,3,3", "1,1,1,4,4,4"},
                                          {"0,0,0,1,1,1", "1,2,3,2,3,4", "2,4,6,3,5,7"}};
  for (const auto& pts : bad) {
    double q[7] = {7, 7, 7, 7, 7, 7, 7};
    messages.events.clear();
    EXPECT_FALSE(EstimateSevenParameters(pts, q));
    EXPECT_EQ(messages.Messages().size(), 1u);
    EXPECT_EQ(q[0], 7);
  }
}

struct TransformFixture : ::testing::Test {
  TransformFixture() {
    view.OnInitialUpdate();
    view.SetViewPorts(&ports);
    view.SetDrawingFeed(&feed);
    view.ResetToDefaults();
  }
  platform::FakeMessagePort messages;
  toolstest::FakeToolPorts ports;
  drawing::RecordingFeed feed;
  CAuxView view;
};

TEST_F(TransformFixture, FourParameterToolComputesDrawsAndRemarks) {
  view.m_dFourParams = {100, 200, 90, 1};
  view.m_stores[kStoreZbzhh4csh] = {"A,1,0", ",0,2"};
  view.ShowTool(ToolCode::ZBZHH4CSH);
  view.OnCompute();
  EXPECT_EQ(view.GetCellText(1, 4), "100.0000");
  EXPECT_EQ(view.GetCellText(1, 5), "201.0000");
  EXPECT_EQ(view.GetCellText(2, 4), "98.0000");
  EXPECT_EQ(feed.Count(drawing::FeedOp::AddControlPoint), 2);
  EXPECT_EQ(view.GetSignatureText(1), "坐标平移 X0 = 100.000000m     Y0 = 200.000000m");
  EXPECT_EQ(view.GetSignatureText(2), "旋转角度 = 90 00 00.0000      尺度 = 1.0000000000");
  view.m_dFourParams = {0, 0, -0.0001, 1};
  view.OnCompute();
  EXPECT_EQ(view.GetSignatureText(2).substr(0, std::string("旋转角度 = -0 00 01.0000").size()), "旋转角度 = -0 00 01.0000");
  // k = -1 turns the points by 180° about the origin: (1, 0) -> (-1, 0) and
  // (0, 2) -> (0, -2); a mirror would keep one of them.
  view.m_dFourParams = {0, 0, 0, -1};
  view.OnCompute();
  EXPECT_EQ(view.GetCellText(1, 4), "-1.0000");
  EXPECT_EQ(view.GetCellText(1, 5), "0.0000");
  EXPECT_EQ(view.GetCellText(2, 4), "0.0000");
  EXPECT_EQ(view.GetCellText(2, 5), "-2.0000");
  EXPECT_EQ(ports.settingsDialogs, 0);
}

// The settings dialog and the tool refuse the same scales: a factor near 1 is
// meant, not the ppm.
TEST_F(TransformFixture, FourParameterScaleRuleIsSharedByDialogAndTool) {
  struct Case {
    double k;
    bool usable;
  };
  const Case cases[] = {{1, true},       {0.1, true},    {-1, true},     {10, true},      {-10, true},
                        {0.05, false},   {0, false},     {10.001, false}, {50, false},    {-50, false},
                        {1e6, false},    {NAN, false},   {INFINITY, false}};
  view.m_stores[kStoreZbzhh4csh] = {"A,1,0"};
  view.ShowTool(ToolCode::ZBZHH4CSH);
  for (const Case& c : cases) {
    tools::CAuxSetForm form;
    form.page = tools::kPageFourParams;
    form.fourParams = {0, 0, 0, c.k};
    EXPECT_EQ(form.Validate().empty(), c.usable) << c.k;
    view.m_dFourParams = {0, 0, 0, c.k};
    ports.settingsDialogs = 0;
    view.OnCompute();
    EXPECT_EQ(ports.settingsDialogs, c.usable ? 0 : 1) << c.k;
    EXPECT_EQ(view.GetCellText(1, 4).empty(), !c.usable) << c.k;
  }
}

TEST_F(TransformFixture, UnusableParametersOpenTheDialogOnce) {
  struct Case {
    const char* code;
    int page;
    const char* message;
  };
  const Case cases[] = {
      {ToolCode::ZBZHH4CSH, 15, "未在项目设置中正确输入平面坐标转换参数。\n也可以项目设置中由公共点解算。"},
      {ToolCode::ZBZHH7CSH, 16, "未在项目设置中正确输入坐标转换参数。\n也可以项目设置中由公共点解算。"}};
  for (const Case& c : cases) {
    view.m_dFourParams = {0, 0, 0, 0.05};
    view.m_dSevenParams = {};
    view.m_stores[FindTool(c.code)->store] = {"A,1,2,3"};
    view.ShowTool(c.code);
    ports.settingsDialogs = 0;
    messages.events.clear();
    // The dialog's OK leaves the parameters as they were: the nested computation
    // refuses again but does not open the dialog a second time.
    view.OnCompute();
    EXPECT_EQ(ports.settingsDialogs, 1) << c.code;
    EXPECT_EQ(ports.lastPage, c.page);
    EXPECT_EQ(messages.Messages(), (std::vector<std::string>{c.message, c.message}));
    EXPECT_FALSE(view.m_bComputeOk);
    EXPECT_EQ(view.GetCellText(1, 5), "");
  }
  view.m_dSevenParams = {0, 0, 0.001, 0, 0, 0, 0};
  view.OnCompute();
  EXPECT_EQ(view.GetCellText(1, 7), "3.0010");
  EXPECT_EQ(feed.Count(drawing::FeedOp::AddControlPoint), 0);
}

TEST(SettingsForm, PagesEnableAndOkChecks) {
  CAuxSetForm f;
  f.page = kPageHeighting;
  for (int id : {1035, 1037, 1034, 1300, 1096, 1203}) EXPECT_FALSE(f.Enabled(id)) << id;
  EXPECT_TRUE(f.Enabled(1040));
  EXPECT_TRUE(f.Enabled(1039));
  f.page = kPageGauss;
  f.coordSystem = 0;
  EXPECT_TRUE(f.Enabled(1300));
  f.coordSystem = 3;
  EXPECT_FALSE(f.Enabled(1301));
  EXPECT_EQ(f.Meridian1Caption(), "中央子午线经度(DMS)");
  f.page = kPageZoneChange;
  EXPECT_EQ(f.Meridian1Caption(), "换带前：中央子午线经度(DMS)");
  f.page = kPageFourParams;
  struct Case {
    double k;
    bool ok;
  };
  for (const Case c : {Case{0, false}, Case{0.05, false}, Case{-1, true}, Case{1.00002, true}, Case{NAN, false}}) {
    f.fourParams[3] = c.k;
    EXPECT_EQ(f.Validate().empty(), c.ok) << c.k;
  }
  f.fourParams[3] = 1;
  f.ellipsoidA = 100;
  EXPECT_FALSE(f.Validate().empty());
}

}  // namespace
