// Rigorous plane adjustment (traverse type 3) of synthetic traverse networks of
// 100, 500 and 1,000 new points, precision evaluation included. The network is
// a meandering connecting traverse between two known pairs (20 points a line),
// crossed by a traverse along every fifth column that ties the lines together,
// so the normal matrix is not a simple band. Observations are exact: the
// counter "maxErr_mm" is the largest distance of an adjusted point from its truth.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "platform/fake_ports.h"
#include "tests/traverse/synthetic.h"
#include "traverse/view/dx_view.h"

namespace {

struct Job {
  std::vector<std::vector<std::string>> cells;
  std::map<std::string, synth::Pt> truth;
};

Job Network(int points) {
  const int perRow = 20;
  std::vector<synth::Pt> pts;
  pts.push_back({"A", 10000.0, 9800.0, 0});
  pts.push_back({"B", 10000.0, 10000.0, 0});
  std::vector<std::vector<synth::Pt>> grid((points + perRow - 1) / perRow,
                                           std::vector<synth::Pt>(perRow));
  for (int i = 0; i < points; ++i) {
    const int row = i / perRow, col = i % perRow;
    const int c = row % 2 == 0 ? col : perRow - 1 - col;
    // A gentle wobble keeps the angles away from 180°.
    const double x = 10000.0 - 250.0 * (row + 1) + 30.0 * std::sin(0.7 * i);
    const double y = 10000.0 + 260.0 * c + 25.0 * std::cos(1.3 * i);
    pts.push_back({"P" + std::to_string(i + 1), x, y, 0});
    grid[static_cast<std::size_t>(row)][static_cast<std::size_t>(c)] = pts.back();
  }
  const synth::Pt last = pts.back();
  pts.push_back({"C", last.x - 240.0, last.y + 15.0, 0});
  pts.push_back({"D", last.x - 240.0, last.y + 215.0, 0});
  std::vector<synth::ChainRow> rows = synth::Connecting(pts, true, false);

  // Cross traverses down every fifth column (full lines only).
  const int fullRows = points / perRow;
  for (int c = 0; c < perRow && fullRows >= 3; c += 5) {
    for (int r = 0; r < fullRows; ++r) {
      synth::ChainRow cr;
      cr.p = grid[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)];
      cr.angle = r > 0 && r + 1 < fullRows;
      cr.side = r + 1 < fullRows;
      rows.push_back(cr);
    }
  }
  Job job;
  job.cells = synth::ChainRows(rows);
  for (const auto& p : pts) job.truth[p.name] = p;
  return job;
}

void BM_RigorousNetwork(benchmark::State& state) {
  const int points = static_cast<int>(state.range(0));
  const Job job = Network(points);
  platform::FakeMessagePort port;
  CDxView view;
  view.ResetScheme();
  view.m_nTraverseType = 3;
  for (auto _ : state) {
    view.SetInputRows(job.cells);
    if (!view.Compute()) {
      state.SkipWithError(port.Messages().empty() ? "failed" : port.Messages()[0].c_str());
      break;
    }
    benchmark::DoNotOptimize(view.m_dSigma0Plane);
  }
  double maxErr = 0;
  for (const auto& p : view.m_arrUnknownPd) {
    const synth::Pt& t = job.truth.at(p.name);
    maxErr = std::max(maxErr, std::hypot(p.x - t.x, p.y - t.y));
  }
  state.counters["unknowns"] = 2.0 * static_cast<double>(view.m_arrUnknownPd.size());
  state.counters["maxErr_mm"] = maxErr * 1000.0;
  state.counters["sigma0"] = view.m_dSigma0Plane;
}

BENCHMARK(BM_RigorousNetwork)->Arg(100)->Arg(500)->Arg(1000)->Unit(benchmark::kMillisecond)
    ->Iterations(1);

// The same networks, small, on the dense (0) and on the sparse (1) solver: where
// their times cross is survey::kDenseSolverLimit (unknowns = 2 × points).
void BM_RigorousNetworkSolver(benchmark::State& state) {
  const int points = static_cast<int>(state.range(0));
  const Job job = Network(points);
  platform::FakeMessagePort port;
  CDxView view;
  view.ResetScheme();
  view.m_nTraverseType = 3;
  view.m_solverKind = state.range(1) == 0 ? survey::LsqSolverKind::Dense : survey::LsqSolverKind::Sparse;
  for (auto _ : state) {
    view.SetInputRows(job.cells);
    if (!view.Compute()) {
      state.SkipWithError(port.Messages().empty() ? "failed" : port.Messages()[0].c_str());
      break;
    }
    benchmark::DoNotOptimize(view.m_dSigma0Plane);
  }
  state.counters["unknowns"] = 2.0 * static_cast<double>(view.m_arrUnknownPd.size());
}

BENCHMARK(BM_RigorousNetworkSolver)
    ->ArgsProduct({{10, 20, 30, 40, 50, 60, 80, 100, 150}, {0, 1}})
    ->Unit(benchmark::kMicrosecond);

}  // namespace
