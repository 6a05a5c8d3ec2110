#include "survey/gauss_jordan.h"

#include <algorithm>
#include <barrier>
#include <cmath>
#include <cstddef>
#include <thread>
#include <utility>

#include "survey/parallel_for.h"

namespace survey::detail {
namespace {

struct Candidate {
  double value = -1;
  int i = -1, j = -1;
};

// Largest |a_ij| of rows [r0, r1) and columns [c0, n), first in row-major order.
// The callers refuse non-finite matrices, so no NaN reaches the comparison.
void SearchRows(const double* a, int n, int r0, int r1, int c0, Candidate* best) {
  for (int i = r0; i < r1; ++i) {
    const double* row = a + static_cast<std::size_t>(i) * n;
    double m = -1;
    for (int j = c0; j < n; ++j) m = std::max(m, std::fabs(row[j]));
    if (m > best->value) {
      for (int j = c0; j < n; ++j)
        if (std::fabs(row[j]) == m) {
          best->value = m;
          best->i = i;
          best->j = j;
          break;
        }
    }
  }
}

// Step k on the rows [r0, r1) other than k: the column swap of the step, the
// elimination, and the search for the next pivot.
void EliminateRows(double* a, int n, int k, int q, int r0, int r1, Candidate* next) {
  const double* pk = a + static_cast<std::size_t>(k) * n;
  const double pkk = pk[k];
  for (int i = r0; i < r1; ++i) {
    if (i == k) continue;
    double* row = a + static_cast<std::size_t>(i) * n;
    if (q != k) std::swap(row[q], row[k]);
    const double f = row[k];
    if (f != 0) {
      for (int j = 0; j < n; ++j) row[j] -= f * pk[j];
    }
    row[k] = -f * pkk;
  }
  *next = Candidate();
  if (k + 1 < n) SearchRows(a, n, std::max(r0, k + 1), r1, k + 1, next);
}

}  // namespace

bool GaussJordanInvert(std::vector<double>& a, int n, double minPivot) {
  if (n <= 0) return true;
  double* m = a.data();
  std::vector<int> pivRow(n), pivCol(n);

  int threads = 1;
  if (n >= 192) {
    threads = std::min(HardwareThreads(), n / 64);
  }
  std::vector<Candidate> found(threads);
  std::vector<int> bounds(threads + 1);
  for (int t = 0; t <= threads; ++t) bounds[t] = static_cast<int>(static_cast<long long>(n) * t / threads);

  int k = 0;
  int q = 0;
  bool failed = false;
  bool finished = false;

  // Serial part of a step: choose the pivot, swap its row into place, swap its
  // column in the pivot row, and scale the pivot row.
  auto serial = [&]() noexcept {
    if (failed || finished) return;
    if (k == n) { finished = true; return; }
    Candidate best;
    for (const Candidate& c : found)
      if (c.i >= 0 && c.value > best.value) best = c;
    if (best.i < 0 || !(best.value >= minPivot) || !(best.value > 0)) {
      failed = true;
      return;
    }
    int p = best.i;
    q = best.j;
    pivRow[k] = p;
    pivCol[k] = q;
    if (p != k)
      std::swap_ranges(m + static_cast<std::size_t>(p) * n, m + static_cast<std::size_t>(p + 1) * n,
                       m + static_cast<std::size_t>(k) * n);
    double* pk = m + static_cast<std::size_t>(k) * n;
    if (q != k) std::swap(pk[q], pk[k]);
    pk[k] = 1.0 / pk[k];
    const double inv = pk[k];
    for (int j = 0; j < n; ++j)
      if (j != k) pk[j] *= inv;
  };

  auto finishStep = [&]() noexcept {
    if (!failed && !finished) ++k;
    serial();
  };

  if (threads == 1) {
    found[0] = Candidate();
    SearchRows(m, n, 0, n, 0, &found[0]);
    serial();
    while (!failed && !finished) {
      EliminateRows(m, n, k, q, 0, n, &found[0]);
      finishStep();
    }
  } else {
    std::barrier sync(threads, finishStep);
    auto work = [&](int t) {
      found[t] = Candidate();
      SearchRows(m, n, bounds[t], bounds[t + 1], 0, &found[t]);
      sync.arrive_and_wait();
      while (!failed && !finished) {
        EliminateRows(m, n, k, q, bounds[t], bounds[t + 1], &found[t]);
        sync.arrive_and_wait();
      }
    };
    k = -1;  // the first completion moves it to 0 and chooses the first pivot
    std::vector<std::thread> pool;
    for (int t = 1; t < threads; ++t) pool.emplace_back(work, t);
    work(0);
    for (auto& th : pool) th.join();
  }
  if (failed) return false;

  // Undo the interchanges in reverse order: column swaps on rows, row swaps on columns.
  for (int s = n - 1; s >= 0; --s) {
    if (pivCol[s] != s)
      std::swap_ranges(m + static_cast<std::size_t>(pivCol[s]) * n,
                       m + static_cast<std::size_t>(pivCol[s] + 1) * n,
                       m + static_cast<std::size_t>(s) * n);
    if (pivRow[s] != s)
      for (int i = 0; i < n; ++i)
        std::swap(m[static_cast<std::size_t>(i) * n + pivRow[s]], m[static_cast<std::size_t>(i) * n + s]);
  }
  return true;
}

}  // namespace survey::detail
