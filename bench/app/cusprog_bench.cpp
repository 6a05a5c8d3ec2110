// Loading an 8 MB custom programs file of valid blocks (target: under 300 ms).
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "app/cusprog.h"

namespace {

std::string EightMegabytes() {
  std::string block = "[BEGIN]\r\n坐标计算\r\n10\r\n6\r\n3\r\n";
  for (int c = 0; c < 6; ++c) block += "列" + std::to_string(c) + "\r\n(m)\r\n1\r\n0\r\n";
  block += "PROGRAM\r\n";
  for (int l = 0; l < 40; ++l) block += "x" + std::to_string(l) + " = s*cos(a) + y*sin(b) - z;\r\n";
  block += "[END]\r\n";
  std::string file;
  while (file.size() < std::size_t(8) << 20) file += block;
  return file;
}

void BM_CustomPrograms8MB(benchmark::State& state) {
  const std::string file = EightMegabytes();
  for (auto _ : state) {
    std::vector<app::CCusProg> out;
    app::ParseCustomPrograms(file, out);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(file.size()));
}
BENCHMARK(BM_CustomPrograms8MB)->Unit(benchmark::kMillisecond);

}  // namespace
