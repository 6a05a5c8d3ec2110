// Rigorous adjustment with precision of city-sized traverse grids
// (tests/traverse/traverse_grid.h: 5″ and 5 mm + 5 ppm noise, four known corners),
// from 1,000 to 100,000 points. Counters: σ0, the number of messages (0 expected)
// and the process's peak resident memory so far — run the sizes in ascending order,
// one process a size for a clean figure (--benchmark_filter=.../50000).
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include "platform/fake_ports.h"
#include "tests/traverse/traverse_grid.h"
#include "traverse/engine/traverse_job.h"

namespace {

void BM_GridNetwork(benchmark::State& state) {
  tgrid::Options o;
  o.points = static_cast<int>(state.range(0));
  const tgrid::Grid g = tgrid::Make(o);
  platform::FakeMessagePort port;
  traverse::CTraverseJob job;
  int ok = 0;
  for (auto _ : state) {
    state.PauseTiming();
    job.ResetJob();
    job.m_nTraverseType = 3;
    job.m_dAngleRms = o.angleSec;
    job.m_dDistA = o.sideMm;
    job.m_dDistB = o.sidePpm;
    job.SetInputRows(g.rows);
    port.Clear();
    state.ResumeTiming();
    ok = job.Compute();
    benchmark::DoNotOptimize(ok);
  }
  rusage ru{};
  getrusage(RUSAGE_SELF, &ru);
  state.counters["unknownPoints"] = g.Unknowns();
  state.counters["ok"] = ok;
  state.counters["messages"] = static_cast<double>(port.Messages().size());
  state.counters["sigma0"] = job.m_dSigma0Plane;
  state.counters["peak_MB"] = static_cast<double>(ru.ru_maxrss) / 1024.0;
}
BENCHMARK(BM_GridNetwork)->Arg(1000)->Arg(5000)->Arg(20000)->Arg(50021)->Arg(100000)
    ->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
