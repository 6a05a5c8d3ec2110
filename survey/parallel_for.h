#pragma once
// ParallelFor: the survey code's one way of spreading independent work over the
// processor's cores.
#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace survey::detail {

// Runs f(i, thread) for i in [0, count) on up to `threads` threads, thread in
// [0, threads) naming the one that runs it, in chunks taken in order (dynamic
// scheduling evens out uneven work).
template <class F>
void ParallelForOnThreads(int count, int threads, int chunk, F&& f) {
  if (threads <= 1 || count <= chunk) {
    for (int i = 0; i < count; ++i) f(i, 0);
    return;
  }
  std::atomic<int> next{0};
  auto work = [&](int thread) {
    for (;;) {
      int start = next.fetch_add(chunk);
      if (start >= count) break;
      int end = std::min(count, start + chunk);
      for (int i = start; i < end; ++i) f(i, thread);
    }
  };
  std::vector<std::thread> pool;
  for (int t = 1; t < threads; ++t) pool.emplace_back(work, t);
  work(0);
  for (auto& th : pool) th.join();
}

// Runs f(i) for i in [0, count) as above.
template <class F>
void ParallelFor(int count, int threads, int chunk, F&& f) {
  ParallelForOnThreads(count, threads, chunk, [&](int i, int) { f(i); });
}

// The cores to use, at most eight (more gain little on the sizes met here).
inline int HardwareThreads() {
  const unsigned hw = std::thread::hardware_concurrency();
  return static_cast<int>(std::clamp(hw == 0 ? 1u : hw, 1u, 8u));
}

}  // namespace survey::detail
