// Each plane, heighting, intersection and detail-survey tool computing a table of
// 10,000 rows (the detail survey 5,000 points), drawing into the recording feed.
// Rows are valid problems, so every row is computed, written and drawn.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "drawing/recording_feed.h"
#include "platform/fake_ports.h"
#include "tools/aux_view.h"

namespace {

std::string F(double v) {
  char b[48];
  std::snprintf(b, sizeof b, "%.4f", v);
  return b;
}

std::vector<std::string> Rows(const std::string& code, int n) {
  std::vector<std::string> rows;
  rows.reserve(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) {
    const double x = 3456789.0 + (i % 97) * 13.1, y = 512345.0 + (i % 89) * 17.3;
    const std::string X = F(x), Y = F(y), a = std::to_string(10 + i % 300) + ".2030";
    std::string r;
    if (code == "PMZBZHSH") r = "S" + std::to_string(i) + "," + X + "," + Y + ",50," + a + ",123.45,1.5,E";
    else if (code == "PMZBFSH") r = "S," + X + "," + Y + ",50,E," + F(x + 120) + "," + F(y - 35) + ",52";
    else if (code == "JZB") r = X + "," + Y + "," + F(x + 500) + "," + F(y + 20) + ",P," + F(x - 40) + "," + F(y + 77);
    else if (code == "ZBXZH") r = X + "," + Y + "," + a + ",P," + F(x + 40) + "," + F(y - 30);
    else if (code == "JJZHJ") r = X + "," + Y + "," + F(x + 100) + "," + F(y) + "," + F(x + 150) + "," + F(y + 60);
    else if (code == "SJGCH") r = "A,B," + std::to_string(i % 20) + ".1520,456.789,1.5,1.6";
    else if (code == "MJJSH") r = "V," + F(3456789.0 + 1000 * std::cos(i * 2 * M_PI / n)) + "," +
                                   F(512345.0 + 1000 * std::sin(i * 2 * M_PI / n));
    else if (code == "ZHDX") r = i == 0 ? "K," + a + ",12.5," + X + "," + Y : "P," + a + ",12.5,,";
    else if (code == "QFJH") r = X + "," + Y + ",45.3010," + F(x + 200) + "," + Y + ",50.1020";
    else if (code == "CFJH") r = X + "," + Y + ",45.3010," + F(x + 200) + "," + Y + ",,80.1020";
    else if (code == "FWJH") r = X + "," + Y + ",315.1020," + F(x + 200) + "," + Y + ",225.3040";
    else if (code == "BCHJH") r = X + "," + Y + ",150.5," + F(x + 200) + "," + Y + ",160.25";
    else if (code == "HFJH") r = F(x + 2000) + "," + F(y - 4000) + "," + F(x + 3000) + "," + F(y - 1000) + "," +
                                  F(x) + "," + F(y + 1000) + ",40.1010,35.2020";
    else if (code == "BJHFJH") r = "0,0,70.7107,100,0,70.7107,90";
    else if (code == "SBCLDATA") r = "p" + std::to_string(i) + "," + a + ",85.25,88.3010,1.6";
    rows.push_back(r);
  }
  return rows;
}

void Compute(benchmark::State& state, const std::string& code, int rows) {
  platform::FakeMessagePort messages;
  drawing::RecordingFeed feed;
  CAuxView view;
  view.SetDrawingFeed(&feed);
  view.ResetToDefaults();
  view.m_strStation = "K1";
  view.m_dStationX = 3456789.0;
  view.m_dStationY = 512345.0;
  view.m_dBacksightX = 3457000.0;
  view.m_dBacksightY = 512400.0;
  view.m_nDetailMode = 0;
  *view.StoreOf(code) = Rows(code, rows);
  view.ShowTool(code);
  for (auto _ : state) {
    state.PauseTiming();
    feed.calls.clear();
    state.ResumeTiming();
    view.OnCompute();
  }
  state.counters["rows"] = view.GetRowCount();
  state.counters["ok"] = view.m_bComputeOk ? 1 : 0;
  state.counters["drawn"] = static_cast<double>(feed.calls.size());
}

}  // namespace

#define TOOL(code, rows) \
  BENCHMARK_CAPTURE(Compute, code, #code, rows)->Unit(benchmark::kMillisecond)
TOOL(PMZBZHSH, 10000);
TOOL(PMZBFSH, 10000);
TOOL(JZB, 10000);
TOOL(ZBXZH, 10000);
TOOL(JJZHJ, 10000);
TOOL(SJGCH, 10000);
TOOL(MJJSH, 10000);
TOOL(ZHDX, 10000);
TOOL(QFJH, 10000);
TOOL(CFJH, 10000);
TOOL(FWJH, 10000);
TOOL(BCHJH, 10000);
TOOL(HFJH, 10000);
TOOL(BJHFJH, 10000);
TOOL(SBCLDATA, 5000);
