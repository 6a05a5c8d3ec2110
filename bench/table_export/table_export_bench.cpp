// Exports of a 10,000-row, 12-column result table: the text table (format 0), the
// CSV, the workbook in the plain and the half-row mode (two staggered columns), the
// DXF drawing of its printed pages, and the document as one table and split per page.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <filesystem>
#include <string>

#include "table/export/dxf_export.h"
#include "table/export/odt_export.h"
#include "table/export/text_export.h"
#include "table/export/xlsx_export.h"
#include "table/table_view.h"

namespace {

constexpr int kRows = 10000, kCols = 12;

void Fill(CTableView& v, bool stagger) {
  v.OnInitialUpdate();
  v.NewTable(kRows, kCols, "平差结果表", true);
  for (int c = 1; c <= kCols; ++c) v.SetColumnHeader(c, "列" + std::to_string(c), "(m)");
  v.SetColumnHeader(3, "坐标增量", "ΔX", 2);
  v.SetColumnHeader(4, "", "ΔY");
  if (stagger) {
    v.SetColumnStagger(2, true);
    v.SetColumnStagger(5, true);
  }
  for (int r = 1; r <= kRows; ++r) {
    v.SetCellText(r, 1, "P" + std::to_string(r));
    for (int c = 2; c <= kCols; ++c) v.SetCellDouble(r, c, r * 1.001 + c * 1000.0, 3, false);
  }
}

std::string Target(const char* name) {
  return (std::filesystem::temp_directory_path() / (std::string("quintar-bench-") + std::to_string(::getpid()) + name))
      .string();
}

void BM_TextExport(benchmark::State& state) {
  CTableView v;
  Fill(v, false);
  const int format = static_cast<int>(state.range(0));
  const std::string path = Target(".txt");
  for (auto _ : state) {
    std::filesystem::remove(path);
    std::string error;
    if (!table::WriteTextExport(v, path, format, &error)) state.SkipWithError(error.c_str());
  }
  std::filesystem::remove(path);
}
BENCHMARK(BM_TextExport)->Arg(0)->Arg(2)->Unit(benchmark::kMillisecond);

void BM_XlsxExport(benchmark::State& state) {
  const bool half = state.range(0) != 0;
  CTableView v;
  Fill(v, half);
  const std::string path = Target(".xlsx");
  for (auto _ : state) {
    std::vector<table::XlsxSheet> sheets{table::BuildXlsxSheet(v, half)};
    sheets[0].name = "平差结果表";
    std::string error;
    if (!table::WriteXlsx(path, sheets, &error)) state.SkipWithError(error.c_str());
  }
  std::filesystem::remove(path);
}
BENCHMARK(BM_XlsxExport)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_DxfExport(benchmark::State& state) {
  CTableView v;
  Fill(v, false);
  const std::string path = Target(".dxf");
  for (auto _ : state) {
    std::string error;
    if (!v.ExportToDxf(path, &error)) state.SkipWithError(error.c_str());
  }
  state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(path));
  std::filesystem::remove(path);
}
BENCHMARK(BM_DxfExport)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_OdtExport(benchmark::State& state) {
  const bool split = state.range(0) != 0;
  CTableView v;
  Fill(v, false);
  const std::string path = Target(".odt");
  for (auto _ : state) {
    std::string error;
    if (!table::WriteOdt(path, table::BuildOdtTables(v, split, false), &error)) state.SkipWithError(error.c_str());
  }
  std::filesystem::remove(path);
}
BENCHMARK(BM_OdtExport)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
