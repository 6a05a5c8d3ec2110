// The sample job examples/survey-tools.qvt: one table per plane, heighting,
// intersection and detail-survey tool. Its observations were made up from the chosen
// points below (azimuths and angles to 0.001", lengths to 0.1 mm), so every tool must
// give these points back; the trigonometric heights follow their closed form.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>

#include "drawing/recording_feed.h"
#include "platform/fake_ports.h"
#include "platform/gbk.h"
#include "platform/number.h"
#include "survey/angle.h"
#include "tests/tools/tools_test_util.h"
#include "tools/aux_section.h"

using namespace tools;

namespace {

struct Pt {
  double x, y, h;
};
const Pt K1{3375600.000, 531950.000, 45.210}, K2{3375850.000, 532120.000, 47.835}, K3{3375420.000, 532300.000, 44.100};
const Pt P1{3375712.345, 531801.234, 46.502}, P2{3375530.120, 531760.480, 43.877}, P3{3375905.660, 531985.015, 48.260};
const Pt Q{3375300.000, 531500.000, 0};  // the resected station
const Pt kDetail[20] = {
    {3375619.831, 531952.593, 45.343}, {3375624.832, 531961.817, 45.570}, {3375625.410, 531974.070, 45.517},
    {3375620.313, 531987.331, 45.243}, {3375609.156, 531999.155, 44.992}, {3375592.546, 532007.015, 44.986},
    {3375572.070, 532008.693, 45.247}, {3375550.142, 532002.635, 45.577}, {3375529.729, 531988.236, 45.719},
    {3375513.980, 531966.023, 45.574}, {3375505.802, 531937.685, 45.277}, {3375507.445, 531905.956, 45.090},
    {3375520.141, 531874.353, 45.183}, {3375543.841, 531846.789, 45.497}, {3375577.110, 531827.114, 45.788},
    {3375617.177, 531818.618, 45.834}, {3375660.158, 531823.584, 45.613}, {3375701.436, 531842.916, 45.323},
    {3375736.150, 531875.918, 45.221}, {3375759.752, 531920.243, 45.406},
};
constexpr double kMm = 1e-3;
constexpr double kTenthSecond = 0.06 / 206264.806247096;

double Az(Pt a, Pt b) {
  const double t = std::atan2(b.y - a.y, b.x - a.x);
  return t < 0 ? t + 2 * M_PI : t;
}
double Fold(double a) {
  a = std::fmod(a, 2 * M_PI);
  return a < 0 ? a + 2 * M_PI : a;
}

std::string FileBytes(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::stringstream ss;
  ss << f.rdbuf();
  return ss.str();
}

std::vector<std::string> Lines(const std::string& gbk) {
  std::vector<std::string> lines;
  std::istringstream in(platform::GbkToUtf8(gbk));
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

class SurveyToolsJob : public ::testing::Test {
 protected:
  void SetUp() override {
    bytes_ = FileBytes(std::string(QUINTAR_SOURCE_DIR) + "/examples/survey-tools.qvt");
    lines_ = Lines(bytes_);
    ASSERT_GT(lines_.size(), 10u);
    ASSERT_EQ(lines_[2], app::kToolsBanner);
    app::LineReader in(lines_);
    in.Seek(3);
    ReadToolsSectionLines(in, 520, data_);
    ASSERT_EQ(in.Position(), lines_.size());
    view_.OnInitialUpdate();
    view_.SetViewPorts(&ports_);
    view_.SetDrawingFeed(&feed_);
    view_.ResetToDefaults();
    data_.ApplyTo(view_);
  }
  // Shows and computes one tool (its rows and the empty input row); the run must end
  // without a message.
  void Run(const char* code, int rows) {
    EXPECT_TRUE(view_.ShowTool(code));
    EXPECT_EQ(view_.GetRowCount(), rows + 1) << code;
    feed_.calls.clear();
    view_.OnCompute();
    EXPECT_TRUE(messages_.Messages().empty()) << code << ": " << messages_.Messages().back();
    EXPECT_TRUE(view_.m_bComputeOk) << code;
    EXPECT_GT(feed_.calls.size(), 0u) << code << " draws nothing";
  }
  double N(int row, int col) const { return platform::ParseDouble(view_.GetCellText(row, col)); }
  double A(int row, int col) const { return survey::ParseAngleText(view_.GetCellText(row, col)); }
  void ExpectXY(const char* code, int row, int col, Pt p) const {
    EXPECT_NEAR(N(row, col), p.x, kMm) << code << " row " << row;
    EXPECT_NEAR(N(row, col + 1), p.y, kMm) << code << " row " << row;
  }

  std::string bytes_;
  std::vector<std::string> lines_;
  ToolsSectionData data_;
  platform::FakeMessagePort messages_;
  toolstest::FakeToolPorts ports_;
  drawing::RecordingFeed feed_;
  CAuxView view_;
};

TEST_F(SurveyToolsJob, SectionWritesBackByteForByte) {
  const std::vector<std::string> written = WriteToolsSectionLines(data_);
  std::string out;
  for (std::size_t i = 0; i < 3; ++i) out += *platform::Utf8ToGbk(lines_[i]) + "\r\n";
  for (std::size_t i = 1; i < written.size(); ++i) out += *platform::Utf8ToGbk(written[i]) + "\r\n";
  EXPECT_EQ(out, bytes_);
  EXPECT_EQ(data_.detail.station, "K1");
  EXPECT_EQ(data_.detail.backsight, "K2");
  EXPECT_EQ(data_.stores[kStoreSbcldata].size(), 20u);
}

TEST_F(SurveyToolsJob, PlaneToolsGiveTheChosenPoints) {
  Run(ToolCode::PMZBZHSH, 3);
  ExpectXY("PMZBZHSH", 1, 9, P1);
  ExpectXY("PMZBZHSH", 2, 9, P2);  // carried start K1
  ExpectXY("PMZBZHSH", 3, 9, P3);
  EXPECT_EQ(view_.GetCellText(1, 11), "46.5020");
  EXPECT_EQ(view_.GetCellText(2, 11), "43.8770");

  Run(ToolCode::PMZBFSH, 3);
  const Pt legs[3][2] = {{K1, K2}, {K2, K3}, {K3, K1}};
  for (int r = 1; r <= 3; ++r) {
    const Pt a = legs[r - 1][0], b = legs[r - 1][1];
    EXPECT_NEAR(A(r, 9), Az(a, b), kTenthSecond) << r;
    EXPECT_NEAR(N(r, 10), std::hypot(b.x - a.x, b.y - a.y), 1e-4) << r;
    EXPECT_NEAR(N(r, 11), b.h - a.h, 1e-4) << r;
  }
  EXPECT_EQ(view_.GetCellText(1, 9), " 34 12 56.5");  // atan2(170, 250)
  EXPECT_EQ(view_.GetCellText(1, 10), "302.3243");

  Run(ToolCode::JZB, 3);
  const Pt staked[3] = {P1, P2, P3};
  for (int r = 1; r <= 3; ++r) {
    const Pt p = staked[r - 1];
    EXPECT_NEAR(A(r, 8), Az(K1, p), kTenthSecond) << r;
    EXPECT_NEAR(A(r, 9), Fold(Az(K1, p) - Az(K1, K2)), kTenthSecond) << r;
    EXPECT_NEAR(N(r, 10), std::hypot(p.x - K1.x, p.y - K1.y), 1e-4) << r;
  }

  Run(ToolCode::ZBXZH, 3);
  const double th = survey::DmsToRadians(30.1520);
  for (int r = 1; r <= 3; ++r) {
    const Pt p = staked[r - 1];
    const double dx = p.x - K1.x, dy = p.y - K1.y;
    ExpectXY("ZBXZH", r, 7, {K1.x + dx * std::cos(th) - dy * std::sin(th), K1.y + dx * std::sin(th) + dy * std::cos(th), 0});
  }

  Run(ToolCode::JJZHJ, 2);
  const Pt corners[2][3] = {{K1, K2, K3}, {K2, K3, P1}};
  for (int r = 1; r <= 2; ++r) {
    const Pt a = corners[r - 1][0], b = corners[r - 1][1], c = corners[r - 1][2];
    const double left = Fold(Az(b, c) - Az(b, a));  // at B, from A round to C
    EXPECT_NEAR(A(r, 7), left, kTenthSecond) << r;
    EXPECT_NEAR(A(r, 8), 2 * M_PI - left, kTenthSecond) << r;
  }
}

TEST_F(SurveyToolsJob, HeightsAreaAndOpenTraverse) {
  Run(ToolCode::SJGCH, 3);
  ASSERT_EQ(view_.GetColCount(), 8);  // slope distances: 平距 and 高差
  struct Obs {
    double dms, s, i, v;
  } obs[] = {{2.3, 302.6115, 1.52, 1.80}, {-1.15, 406.2, 1.52, 2.00}, {0.45, 3120.455, 1.45, 1.65}};
  const double f = (1 - 0.14) / 12742029.4;
  for (int r = 1; r <= 3; ++r) {
    const Obs& o = obs[r - 1];
    const double a = survey::DmsToRadians(o.dms), c = std::cos(a);
    EXPECT_NEAR(N(r, 7), o.s * std::cos(a + o.s * c * f), 1e-4) << r;
    EXPECT_NEAR(N(r, 8), o.s * std::sin(a) + o.s * o.s * c * c * f + o.i - o.v, 1e-4) << r;
  }

  Run(ToolCode::MJJSH, 6);
  // An L-shaped parcel 40 m × 60 m less a 20 m × 30 m corner.
  EXPECT_EQ(view_.GetSignatureText(1), "1800.000平方米，2.700亩");

  Run(ToolCode::ZHDX, 4);
  ExpectXY("ZHDX", 2, 4, P1);
  ExpectXY("ZHDX", 3, 4, P2);
  ExpectXY("ZHDX", 4, 4, P3);
}

TEST_F(SurveyToolsJob, IntersectionsAndResectionsFindTheirPoints) {
  // Each figure's A and B in the order that keeps P on the left of A->B.
  const Pt want[3] = {P1, P3, P2};
  struct Tool {
    const char* code;
    int col;
  } tools[] = {{ToolCode::QFJH, 7}, {ToolCode::CFJH, 8}, {ToolCode::FWJH, 7}, {ToolCode::BCHJH, 7}, {ToolCode::BJHFJH, 8}};
  for (const Tool& t : tools) {
    Run(t.code, 3);
    for (int r = 1; r <= 3; ++r) ExpectXY(t.code, r, t.col, want[r - 1]);
  }
  Run(ToolCode::HFJH, 1);
  ExpectXY("HFJH", 1, 9, Q);
}

TEST_F(SurveyToolsJob, DetailStationGivesTwentyPoints) {
  Run(ToolCode::SBCLDATA, 20);
  ASSERT_EQ(view_.GetColCount(), 10);
  for (int r = 1; r <= 20; ++r) {
    ExpectXY("SBCLDATA", r, 8, kDetail[r - 1]);
    EXPECT_NEAR(N(r, 10), kDetail[r - 1].h, kMm) << r;
  }
  EXPECT_EQ(view_.GetCellText(1, 1), "d1");
  EXPECT_EQ(feed_.Count(drawing::FeedOp::AddDetailPoint), 20);
}

}  // namespace
