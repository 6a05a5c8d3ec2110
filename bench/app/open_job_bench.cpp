// Opening a 100,000-row traverse job as the program does: the file read, split into
// lines and decoded from GBK, the traverse section read, the data-input table
// filled. Target in a Release build: under 1 s and under 200 MB peak memory.
//
// The job is written by a child process first, so the parent's peak resident size
// ("peak_MB", getrusage) is that of opening alone. The phases are timed inside
// one open: "read_ms" (bytes), "split_ms" (lines, GBK), "section_ms" (document
// and section reader), "table_ms" (the input table).
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <string>

#include "app/doc.h"
#include "bench/app/job_bench.h"
#include "platform/fake_ports.h"
#include "platform/services.h"
#include "platform/textfile.h"
#include "traverse/codes.h"
#include "traverse/file/traverse_section.h"
#include "traverse/view/dx_view.h"

namespace {

using namespace job_bench;

constexpr int kRows = 100000;


// A connecting traverse going east with a zigzag, every row with its angle, side and
// height difference; both ends known.
void WriteJob(const std::string& path) {
  platform::FakeMessagePort msg;
  platform::ScopedMemoryServices services;
  CDxView view;
  traverse::CTraverseDocSection section(view);
  app::CVornDoc doc;
  app::DocParts parts;
  parts.traverse = &section;
  doc.SetParts(parts);
  view.m_arrUnit.assign(kRows, CDxView::CUnit());
  for (int i = 0; i < kRows; ++i) {
    CDxView::CUnit& u = view.m_arrUnit[static_cast<std::size_t>(i)];
    u.name = "P" + std::to_string(i);
    if (i >= 1 && i <= kRows - 2) u.angleText = (i % 2 ? "167 22 14.3" : "192 37 45.7");
    if (i >= 1 && i <= kRows - 3) {
      u.distanceText = "154.0" + std::to_string(i % 100);
      u.dhText = i % 2 ? "1.234" : "-1.230";
    }
    if (i <= 1 || i >= kRows - 2) {
      u.xText = std::to_string(3381000 + i);
      u.yText = std::to_string(500000 + 150 * i);
      u.hText = "45.678";
    }
  }
  view.ShowTable(traverse::kTableInput);
  doc.OnSaveDocument(path);
}

void BM_OpenHundredThousandRowJob(benchmark::State& state) {
  const std::string path = JobPath("open_bench", ".qvt");
  if (!WriteJobInChild(state, path, WriteJob)) return;

  platform::FakeMessagePort msg;
  platform::ScopedMemoryServices services;
  double read = 0, split = 0, section = 0, table = 0;
  int rows = 0;
  for (auto _ : state) {
    CDxView view;
    traverse::CTraverseDocSection part(view);
    app::CVornDoc doc;
    app::DocParts parts;
    parts.traverse = &part;
    doc.SetParts(parts);

    // The phases the document runs, timed apart once per iteration...
    const auto t0 = std::chrono::steady_clock::now();
    auto bytes = platform::ReadFileBytes(path, app::kMaxJobFileBytes);
    const auto t1 = std::chrono::steady_clock::now();
    auto lines = platform::SplitGbkLines(*bytes);
    const auto t2 = std::chrono::steady_clock::now();
    benchmark::DoNotOptimize(lines.data());
    bytes.reset();
    lines = {};
    // ...and then the open itself, which does all of them, and the table fill.
    const auto t3 = std::chrono::steady_clock::now();
    doc.OnOpenDocument(path);
    const auto t4 = std::chrono::steady_clock::now();
    view.ShowTable(traverse::kTableInput);
    const auto t5 = std::chrono::steady_clock::now();
    rows = view.GetRowCount();
    read += Ms(t0, t1);
    split += Ms(t1, t2);
    section += Ms(t3, t4) - Ms(t0, t2);
    table += Ms(t4, t5);
    state.SetIterationTime((Ms(t3, t5)) / 1000.0);
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["read_ms"] = read / n;
  state.counters["split_ms"] = split / n;
  state.counters["section_ms"] = section / n;
  state.counters["table_ms"] = table / n;
  state.counters["rows"] = rows;
  state.counters["peak_MB"] = PeakMb();
  ::unlink(path.c_str());
}
BENCHMARK(BM_OpenHundredThousandRowJob)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
