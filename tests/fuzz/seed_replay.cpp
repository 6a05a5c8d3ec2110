// A fuzz target's seeds as a plain test: every file of the folders (or the files)
// named on the command line goes through the target once, in name order. A seed
// that crashes, or a property that no longer holds after a change to the code under
// test, then fails the ordinary test run, not only a later fuzzing session.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int* argc, char*** argv);

int main(int argc, char** argv) {
  if (LLVMFuzzerInitialize) LLVMFuzzerInitialize(&argc, &argv);
  namespace fs = std::filesystem;
  std::vector<fs::path> seeds;
  for (int i = 1; i < argc; ++i) {
    std::error_code ec;
    if (fs::is_directory(argv[i], ec)) {
      for (const auto& e : fs::directory_iterator(argv[i], ec))
        if (e.is_regular_file(ec)) seeds.push_back(e.path());
    } else if (fs::is_regular_file(argv[i], ec)) {
      seeds.emplace_back(argv[i]);
    } else {
      std::fprintf(stderr, "no seeds at %s\n", argv[i]);
      return 1;
    }
  }
  std::sort(seeds.begin(), seeds.end());
  for (const fs::path& p : seeds) {
    std::ifstream in(p, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in.good() && !in.eof()) {
      std::fprintf(stderr, "cannot read seed %s\n", p.c_str());
      return 1;
    }
    std::printf("%s\n", p.filename().c_str());
    std::fflush(stdout);
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
  }
  std::printf("replayed %zu seeds\n", seeds.size());
  return seeds.empty() ? 1 : 0;
}
