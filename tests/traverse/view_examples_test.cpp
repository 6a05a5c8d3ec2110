// The sample jobs in examples/: made up from chosen true coordinates and heights
// with a few seconds and millimetres of observation noise, written through the
// section writer, and checked here: each file is exactly what the writer makes of
// its job, computes without a stop, and lands within the noise on the truth.
// QUINTAR_WRITE_EXAMPLES=1 (re)writes the files.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/fake_ports.h"
#include "platform/number.h"
#include "platform/textfile.h"
#include "traverse/view/dx_view.h"
#include "traverse/file/traverse_section.h"

namespace t = traverse;

namespace {

struct Pt {
  std::string name;
  double x, y, h;
};

double Az(const Pt& a, const Pt& b) {
  double az = std::atan2(b.y - a.y, b.x - a.x);
  return az < 0 ? az + 2 * M_PI : az;
}
double Dist(const Pt& a, const Pt& b) { return std::hypot(b.x - a.x, b.y - a.y); }

// Repeatable noise in [-1, 1].
double Noise(int i) { return std::sin(i * 12.9898 + 78.233) * 0.9; }

std::string Dms(double rad) {
  double sec = std::round(rad * 180.0 / M_PI * 3600.0 * 10.0) / 10.0;  // 0.1" as read
  int d = static_cast<int>(sec / 3600);
  sec -= d * 3600.0;
  int m = static_cast<int>(sec / 60);
  sec -= m * 60.0;
  char buf[40];
  std::snprintf(buf, sizeof buf, "%d %02d %04.1f", d, m, sec);
  std::string s = buf;
  for (char& c : s)
    if (c == ',') c = '.';
  return s;
}
std::string F(double v, int d) { return platform::FormatFixed(v, d); }

t::SectionRow Row(const std::string& name) {
  t::SectionRow r;
  r[0] = name;
  return r;
}

// A traverse row sequence: angles at stations, sides and height differences of
// the legs, with noise; known points carry their coordinates / heights.
struct Job {
  std::string file;
  t::TraverseSectionData data;
  std::vector<Pt> truth;  // per row
  double tolXY = 0.03, tolH = 0.02;
};

void Observe(Job& job, const std::vector<Pt>& pts, const std::vector<bool>& knownXY, const std::vector<bool>& knownH,
             int firstAngle, int lastAngle, int firstLeg, int lastLeg, bool heights, bool stations, int seed) {
  job.truth = pts;
  const int n = static_cast<int>(pts.size());
  for (int i = 0; i < n; ++i) {
    t::SectionRow r = Row(pts[i].name);
    if (i >= firstAngle && i <= lastAngle) {
      double a = Az(pts[i], pts[i + 1]) - Az(pts[i], pts[i - 1]);
      if (a < 0) a += 2 * M_PI;
      r[1] = Dms(a + Noise(seed + i) * 3.0 / 206264.806);
    }
    if (i >= firstLeg && i <= lastLeg) {
      const double d = Dist(pts[i], pts[i + 1]);
      r[2] = F(d + Noise(seed + 50 + i) * 0.003, 3);
      if (heights) {
        r[3] = F(pts[i + 1].h - pts[i].h + Noise(seed + 90 + i) * 0.003, 3);
        r[4] = stations ? std::to_string(2 + static_cast<int>(d / 120)) : F(d, 1);
      }
    }
    if (knownXY[i]) r[5] = F(pts[i].x, 3), r[6] = F(pts[i].y, 3);
    if (knownH[i]) r[7] = F(pts[i].h, 3);
    job.data.rows.push_back(r);
  }
}

void Header(t::TraverseSectionData& d, const char* project, const char* grade) {
  d.headerItems[0] = std::string("工程名称：") + project;
  d.headerItems[1] = "测量单位：城建勘测院";
  d.headerItems[2] = std::string("等级：") + grade;
  d.headerItems[9] = "计算：";
  d.headerItems[10] = "校核：";
  d.headerItems[11] = "日期：";
}

std::vector<Job> Jobs() {
  std::vector<Job> jobs;
  const Pt A{"GP01", 3381522.416, 512384.902, 0}, B{"GP02", 3381307.205, 512660.318, 41.562};
  {  // Closed loop from GP02, oriented on GP01.
    Job j;
    j.file = "closed-traverse.qvt";
    Header(j.data, "滨河新区一级导线", "一级");
    std::vector<Pt> p = {A,
                         B,
                         {"D1", 3381418.733, 512889.410, 42.118},
                         {"D2", 3381302.561, 513127.054, 40.907},
                         {"D3", 3381074.880, 513051.227, 39.764},
                         {"D4", 3380996.415, 512800.983, 40.215},
                         {"D5", 3381120.036, 512594.622, 41.030},
                         B,
                         {"D1", 3381418.733, 512889.410, 42.118}};
    Observe(j, p, {true, true, false, false, false, false, false, false, false},
            {false, true, false, false, false, false, false, false, false}, 1, 7, 1, 6, true, false, 11);
    jobs.push_back(j);
  }
  {  // Connecting GP02 -> GP05, oriented on GP01 and GP06.
    Job j;
    j.file = "connecting-traverse.qvt";
    Header(j.data, "滨河新区二级附合导线", "二级");
    j.data.scheme.m_nPlaneGrade = 3;
    j.data.scheme.m_dAngleRms = 8.0;
    j.data.scheme.m_dAzClosureCoef = 16.0;
    j.data.scheme.m_nRelClosureLimit = 10000;
    j.data.scheme.m_bRigorous = 0;
    std::vector<Pt> p = {A,
                         B,
                         {"E1", 3381211.640, 512881.775, 40.320},
                         {"E2", 3381245.902, 513130.448, 39.871},
                         {"E3", 3381148.117, 513352.690, 38.640},
                         {"GP05", 3381201.350, 513598.047, 38.905},
                         {"GP06", 3381420.772, 513760.511, 0}};
    Observe(j, p, {true, true, false, false, false, true, true}, {false, true, false, false, false, true, false}, 1,
            5, 1, 4, true, false, 23);
    jobs.push_back(j);
  }
  {  // Open traverse from GP02.
    Job j;
    j.file = "open-traverse.qvt";
    Header(j.data, "厂区支导线", "图根");
    j.data.scheme.m_nTraverseType = 2;
    j.data.scheme.m_bRigorous = 0;
    std::vector<Pt> p = {A, B, {"Z1", 3381190.447, 512822.130, 40.880}, {"Z2", 3381047.293, 512905.561, 40.012},
                         {"Z3", 3380921.600, 512864.007, 39.477}};
    Observe(j, p, {true, true, false, false, false}, {false, true, false, false, false}, 1, 3, 1, 3, true, false,
            37);
    jobs.push_back(j);
  }
  {  // No-orientation traverse GP02 -> GP05, heights weighted by stations.
    Job j;
    j.file = "no-orientation-traverse.qvt";
    Header(j.data, "老城区无定向导线", "一级");
    j.data.scheme.m_nTraverseType = 1;
    j.data.scheme.m_nLevelWeight = 1;
    j.data.scheme.m_dHeightClosureCoef = 6.0;
    std::vector<Pt> p = {B,
                         {"W1", 3381211.640, 512881.775, 40.320},
                         {"W2", 3381245.902, 513130.448, 39.871},
                         {"W3", 3381148.117, 513352.690, 38.640},
                         {"GP05", 3381201.350, 513598.047, 38.905}};
    Observe(j, p, {true, false, false, false, true}, {true, false, false, false, true}, 1, 3, 0, 3, true, true, 41);
    jobs.push_back(j);
  }
  {  // Network: a traverse between four known points, rigorous with Helmert.
    Job j;
    j.file = "network.qvt";
    Header(j.data, "桥梁施工控制网", "一级");
    j.data.scheme.m_nTraverseType = 3;
    j.data.scheme.m_bHelmert = 0;
    std::vector<Pt> p = {A,
                         B,
                         {"N1", 3381211.640, 512881.775, 40.320},
                         {"N2", 3381245.902, 513130.448, 39.871},
                         {"N3", 3381148.117, 513352.690, 38.640},
                         {"GP05", 3381201.350, 513598.047, 38.905},
                         {"GP06", 3381420.772, 513760.511, 0}};
    Observe(j, p, {true, true, false, false, false, true, true}, {false, true, false, false, false, true, false}, 1,
            5, 1, 4, true, false, 53);
    jobs.push_back(j);
  }
  {  // Coordinate traverse: RTK-observed points between two known points.
    Job j;
    j.file = "coordinate-traverse.qvt";
    Header(j.data, "管线坐标导线", "图根");
    j.data.scheme.m_nTraverseType = 4;
    j.data.scheme.m_bRigorous = 0;
    j.data.scheme.m_nHeightRouteType = 1;
    j.data.scheme.m_nClosureDistribution = 1;
    std::vector<Pt> p = {{"K1", 3381307.205, 512660.318, 41.562},
                         {"C1", 3381251.019, 512874.233, 40.870},
                         {"C2", 3381190.402, 513091.566, 40.114},
                         {"C3", 3381122.785, 513307.120, 39.552},
                         {"K2", 3381060.300, 513521.904, 39.018}};
    j.truth = p;
    // Observed coordinates carry a drift of 18 mm / 12 mm / 9 mm towards the end.
    for (std::size_t i = 0; i < p.size(); ++i) {
      t::SectionRow r = Row(p[i].name);
      const double f = static_cast<double>(i) / (p.size() - 1);
      if (i > 0) {
        r[9] = F(p[i].x + 0.018 * f + Noise(70 + static_cast<int>(i)) * 0.002, 3);
        r[10] = F(p[i].y - 0.012 * f + Noise(80 + static_cast<int>(i)) * 0.002, 3);
        r[11] = F(p[i].h + 0.009 * f, 3);
      }
      if (i == 0 || i + 1 == p.size()) {
        r[5] = F(p[i].x, 3);
        r[6] = F(p[i].y, 3);
        r[7] = F(p[i].h, 3);
      }
      j.data.rows.push_back(r);
    }
    jobs.push_back(j);
  }
  {  // Single-run levelling BM1 -> BM2 with turning points and one intermediate sight.
    Job j;
    j.file = "levelling.qvt";
    Header(j.data, "道路纵断面水准", "四等");
    j.data.scheme.m_nTraverseType = 5;
    j.data.scheme.m_bRigorous = 0;
    // True heights; readings made up from them with a 4 mm misclosure spread over 4 stations.
    const std::vector<Pt> p = {{"BM1", 0, 0, 45.213}, {"TP1", 0, 0, 46.027}, {"K0+050", 0, 0, 45.388},
                               {"TP2", 0, 0, 44.801}, {"TP3", 0, 0, 43.964}, {"BM2", 0, 0, 44.550}};
    j.truth = p;
    const double bs[] = {1.532, 0.911, 0, 1.240, 1.788, 0};
    auto row = [&](int i, const std::string& b, const std::string& m, const std::string& f, bool known) {
      t::SectionRow r = Row(p[i].name);
      r[12] = b;
      r[13] = m;
      r[14] = f;
      if (known) r[7] = F(p[i].h, 3);
      j.data.rows.push_back(r);
    };
    // Each foresight = previous sight line - true height + 1 mm of error per station.
    double sight = p[0].h + bs[0];
    row(0, F(bs[0], 3), "", "", true);
    double fs1 = sight - p[1].h + 0.001;
    row(1, F(bs[1], 3), "", F(fs1, 3), false);
    sight = p[1].h - 0.001 + bs[1];
    row(2, "", F(sight - p[2].h, 3), "", false);
    double fs3 = sight - p[3].h + 0.001;
    row(3, F(bs[3], 3), "", F(fs3, 3), false);
    sight = p[3].h - 0.002 + bs[3];
    double fs4 = sight - p[4].h + 0.001;
    row(4, F(bs[4], 3), "", F(fs4, 3), false);
    sight = p[4].h - 0.003 + bs[4];
    double fs5 = sight - p[5].h + 0.001;
    row(5, "", "", F(fs5, 3), true);
    j.tolH = 0.005;
    jobs.push_back(j);
  }
  return jobs;
}

// examples/ beside tests/ in the source tree.
std::string ExamplesDir() {
  std::string here = __FILE__;
  return here.substr(0, here.rfind("/tests/")) + "/examples/";
}

std::string FileBytes(const t::TraverseSectionData& d) {
  std::vector<std::string> lines = {"Quintar计算文件", "520"};
  for (std::string& l : t::WriteTraverseSectionLines(d)) lines.push_back(l);
  return platform::EncodeGbkLines(lines).value_or("");
}

}  // namespace

TEST(ExamplesTest, FilesAreTheWritersTextAndComputeOnTheTruth) {
  const bool write = std::getenv("QUINTAR_WRITE_EXAMPLES") != nullptr;
  for (const Job& job : Jobs()) {
    SCOPED_TRACE(job.file);
    const std::string path = ExamplesDir() + job.file;
    const std::string bytes = FileBytes(job.data);
    if (write) {
      ASSERT_TRUE(platform::WriteFileAtomic(path, bytes));
    }
    auto onDisk = platform::ReadFileBytes(path);
    ASSERT_TRUE(onDisk.has_value()) << path;
    EXPECT_EQ(*onDisk, bytes);

    // Read as the document does (without a word) and compute.
    platform::FakeMessagePort messages;
    std::vector<std::string> lines = platform::SplitGbkLines(*onDisk);
    t::TraverseSectionData d;
    std::size_t pos = 3;  // after header, version and banner
    t::ReadTraverseSectionLines(lines, pos, 520, d);
    CDxView view;
    view.ResetScheme();
    view.ApplySectionData(d);
    ASSERT_EQ(view.Compute(), 1) << (messages.Texts().empty() ? "" : messages.Texts()[0]);
    EXPECT_TRUE(messages.Texts().empty()) << messages.Texts()[0];
    for (std::size_t i = 0; i < job.truth.size(); ++i) {
      const CDxView::CUnit& u = view.m_arrUnit[i];
      if (view.m_bPlane && u.planeIndex >= 0) {
        EXPECT_NEAR(u.x, job.truth[i].x, job.tolXY) << job.truth[i].name;
        EXPECT_NEAR(u.y, job.truth[i].y, job.tolXY) << job.truth[i].name;
      }
      if (view.m_bHeight && u.heightIndex >= 0 && job.truth[i].h != 0) {
        EXPECT_NEAR(u.h, job.truth[i].h, job.tolH) << job.truth[i].name;
      }
    }
    // The closures keep within the grade limits of the job.
    if (view.m_nTraverseType == 0) {
      int n = view.m_nAngleCount - (view.IsClosedTraverse() ? 1 : 0);
      EXPECT_LT(std::fabs(view.m_dFBeta), view.m_dAzClosureCoef * std::sqrt(n));
    }
    if (view.m_nTraverseType <= 1) {
      const int k = view.m_bClosureBeforeAngleCorrection || view.m_nTraverseType == 1 ? view.m_nRelClosureT
                                                                                       : view.m_nRelClosureK;
      EXPECT_GT(k, view.m_nRelClosureLimit);
    }
  }
}
