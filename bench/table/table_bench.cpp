// Costs of the grid on big tables: painting one screen, pasting, one snapshot.
#include <benchmark/benchmark.h>

#include <string>

#include "platform/fake_ports.h"
#include "platform/services.h"
#include "table/canvas.h"
#include "table/table_view.h"

namespace {

constexpr int kCols = 15;

void Fill(CTableView& v, int rows) {
  v.OnInitialUpdate();
  v.SetReadOnly(false, true, false);
  v.SetInterfaceRowHeight(22);
  v.SetClientSize(1600, 1000);
  v.NewTable(rows, kCols, "基准表", true);
  for (int c = 1; c <= kCols; ++c) v.SetColumnHeader(c, "列" + std::to_string(c), "(m)", 0, 4);
  for (int r = 1; r <= rows; ++r)
    for (int c = 1; c <= kCols; ++c) {
      v.SetCellDouble(r, c, r * 1.001 + c, 3, false);
      v.SetCellLocked(r, c, false);
    }
}

// A screen repaint with the layout up to date.
void BM_PaintScreen100k(benchmark::State& state) {
  CTableView v;
  Fill(v, 100000);
  table::NullCanvas canvas;
  v.OnDraw(canvas);  // widths, layout and the first snapshot
  v.SelectCell(50000, 3);
  v.OnDraw(canvas);
  const long before = canvas.calls;
  v.OnDraw(canvas);
  state.counters["canvas_calls"] = static_cast<double>(canvas.calls - before);
  state.counters["rows_painted"] = v.GetVisibleRows();
  for (auto _ : state) {
    v.OnDraw(canvas);
    benchmark::DoNotOptimize(canvas.calls);
  }
}
BENCHMARK(BM_PaintScreen100k)->Unit(benchmark::kMillisecond);

// Scroll one row and repaint: the visible rows are laid out again.
void BM_ScrollAndPaint100k(benchmark::State& state) {
  CTableView v;
  Fill(v, 100000);
  table::NullCanvas canvas;
  v.OnDraw(canvas);
  v.SelectCell(50000, 3);
  bool down = true;
  for (auto _ : state) {
    v.OnVScroll(down ? table::ScrollAction::LineDown : table::ScrollAction::LineUp);
    down = !down;
    v.OnDraw(canvas);
    benchmark::DoNotOptimize(canvas.calls);
  }
}
BENCHMARK(BM_ScrollAndPaint100k)->Unit(benchmark::kMillisecond);

// After a change: every column width is measured again over all rows.
void BM_RepaintAfterChange100k(benchmark::State& state) {
  CTableView v;
  Fill(v, 100000);
  table::NullCanvas canvas;
  v.OnDraw(canvas);
  for (auto _ : state) {
    v.SetCellText(1, 1, "1.000");
    v.OnDraw(canvas);
    benchmark::DoNotOptimize(canvas.calls);
  }
}
BENCHMARK(BM_RepaintAfterChange100k)->Unit(benchmark::kMillisecond);

// Paste of 10,000 rows × 15 cells into one selected cell of a one-row table,
// answering Yes to the overflow question: the table grows to 10,000 rows.
void BM_Paste10k(benchmark::State& state) {
  std::string clip;
  for (int r = 1; r <= 10000; ++r) {
    for (int c = 1; c <= kCols; ++c) {
      if (c > 1) clip += '\t';
      clip += std::to_string(r * 1.001 + c).substr(0, 9);
    }
    clip += "\r\n";
  }
  platform::FakeMessagePort msgs;
  platform::ScopedMemoryServices services;
  services.clipboard.text = clip;
  for (auto _ : state) {
    state.PauseTiming();
    CTableView v;
    Fill(v, 1);
    table::NullCanvas canvas;
    v.OnDraw(canvas);
    v.SelectCell(1, 1);
    msgs.Script({platform::Answer::Yes, platform::Answer::Yes});
    state.ResumeTiming();
    v.OnPaste();
    benchmark::DoNotOptimize(v.GetRowCount());
    state.PauseTiming();
    if (v.GetRowCount() != 10000) state.SkipWithError("paste did not grow the table");
    state.ResumeTiming();
  }
}
BENCHMARK(BM_Paste10k)->Unit(benchmark::kMillisecond);

// One undo snapshot of 10,000 × 15 cells.
void BM_Snapshot10kx15(benchmark::State& state) {
  CTableView v;
  Fill(v, 10000);
  for (auto _ : state) {
    v.PushUndo();
    state.PauseTiming();
    v.ClearUndo();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_Snapshot10kx15)->Unit(benchmark::kMillisecond);

}  // namespace
