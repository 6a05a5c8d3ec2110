// "table.cus" with ten full definitions (every choice ticked): loading it from the
// program and user folders, and saving it atomically (target: each under 5 ms).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "platform/fake_ports.h"
#include "traverse/view/cus_table.h"
#include "traverse/view/dx_view.h"

namespace {

struct Folders {
  std::filesystem::path root;
  std::string program, user;
  Folders() {
    root = std::filesystem::temp_directory_path() / ("quintar-custable-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(root / "program");
    std::filesystem::create_directories(root / "user");
    program = (root / "program").string() + "/";
    user = (root / "user").string() + "/";
  }
  ~Folders() {
    std::error_code ec;
    std::filesystem::remove_all(root, ec);
  }
};

void FillAll(CDxView& v) {
  traverse::CCusTableSetForm f;
  f.ticked.fill(true);
  for (int i = 0; i < traverse::kCustomTables; ++i) {
    f.name = "导线平差成果表" + std::to_string(i + 1);
    v.m_cusTables[static_cast<std::size_t>(i)] = f.ToTable();
  }
}

void BM_CustomTablesSave(benchmark::State& state) {
  platform::FakeMessagePort quiet;
  Folders dirs;
  CDxView v;
  v.SetCustomTableFolders(dirs.program, dirs.user);
  FillAll(v);
  for (auto _ : state) benchmark::DoNotOptimize(v.SaveCustomTables());
}
BENCHMARK(BM_CustomTablesSave)->Unit(benchmark::kMillisecond);

void BM_CustomTablesLoad(benchmark::State& state) {
  platform::FakeMessagePort quiet;
  Folders dirs;
  {
    CDxView writer;
    FillAll(writer);
    writer.SetCustomTableFolders("", dirs.program);
    writer.SaveCustomTables();
    writer.SetCustomTableFolders("", dirs.user);
    writer.SaveCustomTables();
  }
  CDxView v;
  v.SetCustomTableFolders(dirs.program, dirs.user);
  for (auto _ : state) benchmark::DoNotOptimize(v.LoadCustomTables());
}
BENCHMARK(BM_CustomTablesLoad)->Unit(benchmark::kMillisecond);

}  // namespace
