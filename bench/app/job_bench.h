#pragma once
// What the job benchmarks share: a job written by a child process, so that the
// measuring process's peak resident size is that of what it measures alone, and
// the clocks and the peak it reports.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>

#include "platform/textfile.h"

namespace job_bench {

// A file name of this process in /tmp: "/tmp/quintar_<what>_<pid><suffix>".
inline std::string JobPath(const std::string& what, const std::string& suffix) {
  return "/tmp/quintar_" + what + "_" + std::to_string(::getpid()) + suffix;
}

// Runs write(path) in a child process and reports the file's size as "file_MB";
// false (the benchmark skipped with an error) when no file came of it.
template <class Write>
bool WriteJobInChild(benchmark::State& state, const std::string& path, Write write) {
  if (pid_t child = ::fork(); child == 0) {
    write(path);
    ::_exit(0);
  } else {
    int status = 0;
    ::waitpid(child, &status, 0);
  }
  auto bytes = platform::ReadFileBytes(path);
  if (!bytes) {
    state.SkipWithError("the job could not be written");
    return false;
  }
  state.counters["file_MB"] = static_cast<double>(bytes->size()) / (1 << 20);
  return true;
}

inline double PeakMb() {
  rusage ru{};
  getrusage(RUSAGE_SELF, &ru);
  return static_cast<double>(ru.ru_maxrss) / 1024.0;  // kilobytes on Linux
}

inline double Ms(std::chrono::steady_clock::time_point a, std::chrono::steady_clock::time_point b) {
  return std::chrono::duration<double, std::milli>(b - a).count();
}

}  // namespace job_bench
