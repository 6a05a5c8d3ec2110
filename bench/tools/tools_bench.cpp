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

// ---- the geodetic side and the table paths ------------------------------------------

namespace {

// 10,000 latitude/longitude rows within 3° of meridian 114 (the default system).
std::vector<std::string> GeodeticRows(int n) {
  std::vector<std::string> rows;
  rows.reserve(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) {
    const int lat = 20 + i % 30, lon = 111 + i % 6;
    rows.push_back("P" + std::to_string(i) + "," + std::to_string(lat) + "." + std::to_string(10 + i % 49) + "12," +
                   std::to_string(lon) + ".2" + std::to_string(i % 10) + "30");
  }
  return rows;
}

struct GeodeticView {
  platform::FakeMessagePort messages;
  drawing::RecordingFeed feed;
  CAuxView view;
  explicit GeodeticView(int rows) {
    view.OnInitialUpdate();
    view.SetDrawingFeed(&feed);
    view.ResetToDefaults();
    *view.StoreOf("GSZHSH") = GeodeticRows(rows);
    view.ShowTool("GSZHSH");
  }
};

void GaussForward10k(benchmark::State& state) {
  GeodeticView g(10000);
  for (auto _ : state) {
    state.PauseTiming();
    g.feed.calls.clear();
    state.ResumeTiming();
    g.view.OnCompute();
  }
  state.counters["ok"] = g.view.m_bComputeOk ? 1 : 0;
  state.counters["drawn"] = static_cast<double>(g.feed.calls.size());
}
BENCHMARK(GaussForward10k)->Unit(benchmark::kMillisecond);

// ShowTool refilling the grid from 10,000 stored rows.
void ShowToolRefill10k(benchmark::State& state) {
  GeodeticView g(10000);
  for (auto _ : state) {
    g.view.ShowTool("");
    g.view.ShowTool("GSZHSH");
  }
  state.counters["rows"] = g.view.GetRowCount();
}
BENCHMARK(ShowToolRefill10k)->Unit(benchmark::kMillisecond);

// ClearResults on 10,000 computed rows (one pass over the grid).
void ClearResults10k(benchmark::State& state) {
  GeodeticView g(10000);
  for (auto _ : state) {
    state.PauseTiming();
    g.view.OnCompute();
    state.ResumeTiming();
    g.view.ClearResults();
  }
}
BENCHMARK(ClearResults10k)->Unit(benchmark::kMillisecond);

// One keystroke's path at 10,000 computed rows: an edit of a cell ending, the table
// change with its stale-result check.
void Keystroke10k(benchmark::State& state) {
  GeodeticView g(10000);
  g.view.OnCompute();
  int i = 0;
  for (auto _ : state) {
    const int row = 1 + (i++ % 9000);
    g.view.SelectCell(row, 2);
    g.view.BeginEdit();
    g.view.SetEditorText(i % 2 ? "30.1012" : "30.1013");
    g.view.EndEdit();
  }
  // The edited rows lost their results, the others kept them.
  state.counters["edited_empty"] = g.view.GetCellText(1, 4).empty() ? 1 : 0;
  state.counters["other_kept"] = g.view.GetCellText(9500, 4).empty() ? 0 : 1;
}
BENCHMARK(Keystroke10k)->Unit(benchmark::kMillisecond);

// A seven-parameter estimate from 1,000 common points.
void SevenParameters1000(benchmark::State& state) {
  CAuxView view;
  view.ResetToDefaults();
  auto& store = view.m_stores[tools::kStoreSevenCommonPoints];
  store.clear();
  for (int i = 0; i < 1000; ++i) {
    const double x = -2267749.0 + (i % 37) * 913.0, y = 5009154.0 + (i % 41) * 787.0, z = 3221290.0 + (i % 43) * 651.0;
    const double k = 1 + 2.5e-6, r = 1e-6;
    store.push_back(F(x) + "," + F(y) + "," + F(z) + "," + F(-51.1 + k * (x + r * y - r * z)) + "," +
                    F(-53.5 + k * (-r * x + y + r * z)) + "," + F(60.8 + k * (r * x - r * y + z)));
  }
  double p[7];
  bool ok = false;
  for (auto _ : state) {
    ok = view.SolveSevenParameters(p);
    benchmark::DoNotOptimize(p);
  }
  state.counters["ok"] = ok ? 1 : 0;
}
BENCHMARK(SevenParameters1000)->Unit(benchmark::kMillisecond);

}  // namespace
