// Decoding job files: sound GBK text, and a damaged line (bytes that are not GBK),
// which must stay linear in its length.
#include <benchmark/benchmark.h>

#include <string>

#include "platform/gbk.h"
#include "platform/textfile.h"

static void BM_DecodeSoundText(benchmark::State& state) {
  std::string line = *platform::Utf8ToGbk("GP01,116 02 18.7,254.795,0.558,254.8,3381522.416,512384.902,41.562,导线点");
  std::string bytes;
  while (bytes.size() < static_cast<std::size_t>(state.range(0))) bytes += line + "\r\n";
  for (auto _ : state) benchmark::DoNotOptimize(platform::SplitGbkLines(bytes));
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes.size()));
}
BENCHMARK(BM_DecodeSoundText)->Arg(1 << 20)->Arg(10 << 20)->Unit(benchmark::kMillisecond);

static void BM_DecodeDamagedLine(benchmark::State& state) {
  std::string bytes(static_cast<std::size_t>(state.range(0)), '\xff');
  for (auto _ : state) benchmark::DoNotOptimize(platform::GbkToUtf8(bytes));
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes.size()));
}
BENCHMARK(BM_DecodeDamagedLine)->Arg(1 << 20)->Arg(10 << 20)->Unit(benchmark::kMillisecond);
