// The largest job a file may hold, end to end as the program runs it: a traverse
// network of about 200,000 rows (tests/traverse/traverse_grid.h, four known corners,
// 5″ and 5 mm + 5 ppm) opened through the document, computed (rigorous adjustment
// with precision) and saved through the document. Targets in a Release build: open
// under 0.5 s, compute under 6 s, save under 1 s, peak under 1.5 GB.
//
// The job is written by a child process first, so the parent's peak resident size
// ("peak_MB", getrusage) is that of open, compute and save alone. One iteration:
// the figures are "open_ms", "compute_ms", "save_ms" (wall clock) and the same with
// "_cpu" (this thread's processor time, the fairer figure on a shared machine).
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <ctime>
#include <string>

#include "app/doc.h"
#include "bench/app/job_bench.h"
#include "platform/fake_ports.h"
#include "platform/services.h"
#include "platform/textfile.h"
#include "tests/traverse/traverse_grid.h"
#include "traverse/file/traverse_section.h"
#include "traverse/view/dx_view.h"

namespace {

using namespace job_bench;

tgrid::Options GridOptions() {
  tgrid::Options o;
  o.points = 138000;  // about 200,000 rows with the junction fragments
  return o;
}

// The grid as a network job, saved through the document.
void WriteJob(const std::string& path) {
  platform::FakeMessagePort msg;
  platform::ScopedMemoryServices services;
  const tgrid::Options o = GridOptions();
  const tgrid::Grid g = tgrid::Make(o);
  CDxView view;
  traverse::CTraverseDocSection section(view);
  app::CVornDoc doc;
  app::DocParts parts;
  parts.traverse = &section;
  doc.SetParts(parts);
  view.m_nTraverseType = 3;
  view.m_bRigorous = 1;
  view.m_dAngleRms = o.angleSec;
  view.m_dDistA = o.sideMm;
  view.m_dDistB = o.sidePpm;
  view.SetInputRows(g.rows);
  doc.OnSaveDocument(path);
}

struct Facts final : app::ITraverseFacts {
  explicit Facts(const CDxView& v) : view(v) {}
  int TraverseType() const override { return view.m_nTraverseType; }
  int InputRowCount() const override { return static_cast<int>(view.m_arrUnit.size()); }
  const CDxView& view;
};

double CpuMs() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

void BM_OpenComputeSaveNetworkJob(benchmark::State& state) {
  const std::string path = JobPath("network_bench", ".qvt"), saved = JobPath("network_bench", "_saved.qvt");
  if (!WriteJobInChild(state, path, WriteJob)) return;

  platform::FakeMessagePort msg;
  platform::ScopedMemoryServices services;
  double open = 0, compute = 0, save = 0, openCpu = 0, computeCpu = 0, saveCpu = 0;
  int rows = 0, ok = 0;
  double sigma0 = 0;
  for (auto _ : state) {
    CDxView view;
    traverse::CTraverseDocSection part(view);
    Facts facts(view);
    app::CVornDoc doc;
    app::DocParts parts;
    parts.traverse = &part;
    parts.traverseFacts = &facts;
    doc.SetParts(parts);

    const double c0 = CpuMs();
    const auto t0 = std::chrono::steady_clock::now();
    const bool opened = doc.OnOpenDocument(path);
    const auto t1 = std::chrono::steady_clock::now();
    const double c1 = CpuMs();
    ok = opened ? view.Compute() : 0;
    const auto t2 = std::chrono::steady_clock::now();
    const double c2 = CpuMs();
    const bool written = doc.OnSaveDocument(saved);
    const auto t3 = std::chrono::steady_clock::now();
    const double c3 = CpuMs();
    openCpu += c1 - c0;
    computeCpu += c2 - c1;
    saveCpu += c3 - c2;
    if (!opened || !written) {
      state.SkipWithError(msg.Texts().empty() ? "open or save failed" : msg.Texts()[0].c_str());
      break;
    }
    rows = static_cast<int>(view.m_arrUnit.size());
    sigma0 = view.m_dSigma0Plane;
    open += Ms(t0, t1);
    compute += Ms(t1, t2);
    save += Ms(t2, t3);
    state.SetIterationTime(Ms(t0, t3) / 1000.0);
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["open_ms"] = open / n;
  state.counters["compute_ms"] = compute / n;
  state.counters["save_ms"] = save / n;
  state.counters["open_ms_cpu"] = openCpu / n;
  state.counters["compute_ms_cpu"] = computeCpu / n;
  state.counters["save_ms_cpu"] = saveCpu / n;
  state.counters["rows"] = rows;
  state.counters["ok"] = ok;
  state.counters["sigma0"] = sigma0;
  state.counters["messages"] = static_cast<double>(msg.Texts().size());
  state.counters["peak_MB"] = PeakMb();
  ::unlink(path.c_str());
  ::unlink(saved.c_str());
}
BENCHMARK(BM_OpenComputeSaveNetworkJob)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
