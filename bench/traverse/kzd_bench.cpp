// The control-point store at 100,000 lines: 1,000 names looked up (the store read and
// indexed once), and 1,000 points stored into it (read once, applied in memory, one
// atomic write). Targets: under 200 ms and under 500 ms.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/fake_ports.h"
#include "platform/textfile.h"
#include "traverse/kzd/kzd_file.h"

namespace {

constexpr int kLines = 100000;

std::string StoreBytes() {
  std::string s;
  for (int i = 0; i < kLines; ++i)
    s += "P" + std::to_string(i) + "," + std::to_string(3381000 + i) + ".1234," + std::to_string(512000 + i) +
         ".5678,41.5620,\r\n";
  return s;
}

struct Store {
  Store() {
    char tmpl[] = "/tmp/kzd_bench_XXXXXX";
    dir = ::mkdtemp(tmpl);
    path = dir + "/store.kzd";
    bytes = StoreBytes();
  }
  ~Store() {
    std::remove(path.c_str());
    ::rmdir(dir.c_str());
  }
  void Reset() const { platform::WriteFileAtomic(path, bytes); }
  std::string dir, path, bytes;
};

const Store& TheStore() {
  static Store s;
  return s;
}

void BM_Read1000Names(benchmark::State& state) {
  const Store& s = TheStore();
  s.Reset();
  platform::FakeMessagePort messages;
  std::vector<std::string> values;
  for (auto _ : state) {
    traverse::CKzdFile f;
    if (!f.OpenForRead(s.path)) state.SkipWithError("open");
    int found = 0;
    for (int i = 0; i < 1000; ++i) found += f.FindPoint("P" + std::to_string(i * 97 + 13), values);
    benchmark::DoNotOptimize(found);
  }
}
BENCHMARK(BM_Read1000Names)->Unit(benchmark::kMillisecond);

void BM_Store1000Points(benchmark::State& state) {
  const Store& s = TheStore();
  platform::FakeMessagePort messages;
  for (auto _ : state) {
    state.PauseTiming();
    s.Reset();
    state.ResumeTiming();
    traverse::CKzdFile f;
    if (!f.OpenForWrite(s.path, traverse::kKzdOverwriteAll)) state.SkipWithError("open");
    // Half replace existing points, half are new.
    for (int i = 0; i < 1000; ++i) {
      const std::string name = i % 2 ? "N" + std::to_string(i) : "P" + std::to_string(i * 97);
      f.WritePoint(name, name + ",1.0000,2.0000,3.0000,\n");
    }
    if (!f.Close()) state.SkipWithError("close");
  }
}
BENCHMARK(BM_Store1000Points)->Unit(benchmark::kMillisecond);

}  // namespace
