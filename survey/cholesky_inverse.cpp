#include "survey/cholesky_inverse.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <memory>
#include <utility>

#include "survey/parallel_for.h"

namespace survey::detail {
namespace {

int ThreadCount(int n) {
  if (n < 640) return 1;  // below, starting threads costs more than it saves
  return HardwareThreads();
}

inline double Dot(const double* a, const double* b, int len) {
  double s0 = 0, s1 = 0, s2 = 0, s3 = 0;
  int k = 0;
  for (; k + 4 <= len; k += 4) {
    s0 += a[k] * b[k];
    s1 += a[k + 1] * b[k + 1];
    s2 += a[k + 2] * b[k + 2];
    s3 += a[k + 3] * b[k + 3];
  }
  for (; k < len; ++k) s0 += a[k] * b[k];
  return (s0 + s1) + (s2 + s3);
}

constexpr int kBlock = 64;

// Working storage without zero-fill. Small orders (the common networks) reuse
// per-thread buffers: fresh heap blocks cost more in page faults and trimming
// than the arithmetic at those sizes. Large ones are allocated and freed.
class Buffer {
 public:
  Buffer(int slot, std::size_t size) {
    if (size <= kKeep) {
      std::vector<double>& v = Kept(slot);
      if (v.size() < size) v.resize(size);
      p_ = v.data();
    } else {
      own_.reset(new double[size]);
      p_ = own_.get();
    }
  }
  double& operator[](std::size_t i) { return p_[i]; }

 private:
  static constexpr std::size_t kKeep = 512 * 512;
  static std::vector<double>& Kept(int slot) {
    thread_local std::vector<double> kept[3];
    return kept[slot];
  }
  double* p_ = nullptr;
  std::unique_ptr<double[]> own_;
};

// Panels hold four rows (or columns) side by side: p[k*4 + lane]. The 4×4 tile
// acc[a][b] += Σ_k x[k][a]·y[k][b] then runs on contiguous lanes, which the
// compiler turns into vector multiply-adds without reassociating any sum.
inline void Tile(const double* x, const double* y, std::size_t len, double acc[4][4]) {
  double r0[4] = {0, 0, 0, 0}, r1[4] = {0, 0, 0, 0}, r2[4] = {0, 0, 0, 0}, r3[4] = {0, 0, 0, 0};
  for (std::size_t k = 0; k < len; ++k) {
    const double* xk = x + 4 * k;
    const double* yk = y + 4 * k;
    const double x0 = xk[0], x1 = xk[1], x2 = xk[2], x3 = xk[3];
    for (int b = 0; b < 4; ++b) {
      r0[b] += x0 * yk[b];
      r1[b] += x1 * yk[b];
      r2[b] += x2 * yk[b];
      r3[b] += x3 * yk[b];
    }
  }
  for (int b = 0; b < 4; ++b) {
    acc[0][b] = r0[b];
    acc[1][b] = r1[b];
    acc[2][b] = r2[b];
    acc[3][b] = r3[b];
  }
}

}  // namespace

CholeskyResult PivotedCholeskyInverse(std::vector<double>& packed, int n, double minPivot) {
  if (n == 0) return CholeskyResult::Inverted;
  const std::size_t N = static_cast<std::size_t>(n);
  const int threads = ThreadCount(n);
  // Lower triangle of the dense working copy, row-major: a[i*N + j], j <= i.
  Buffer a(0, N * N);
  {
    std::size_t pos = 0;
    for (std::size_t i = 0; i < N; ++i)
      for (std::size_t j = i; j < N; ++j) a[j * N + i] = packed[pos++];
  }
  auto at = [&](std::size_t i, std::size_t j) -> double& { return a[i * N + j]; };
  std::vector<double> d(N);
  std::vector<int> perm(N);
  for (std::size_t i = 0; i < N; ++i) {
    d[i] = at(i, i);
    perm[i] = static_cast<int>(i);
  }

  // Symmetric interchange of rows and columns j < p in the lower triangle.
  auto swapSym = [&](std::size_t j, std::size_t p) {
    for (std::size_t k = 0; k < j; ++k) std::swap(at(j, k), at(p, k));
    for (std::size_t i = j + 1; i < p; ++i) std::swap(at(i, j), at(p, i));
    for (std::size_t i = p + 1; i < N; ++i) std::swap(at(i, j), at(i, p));
    std::swap(at(j, j), at(p, p));
    std::swap(d[j], d[p]);
    std::swap(perm[j], perm[p]);
  };

  for (std::size_t j0 = 0; j0 < N; j0 += kBlock) {
    const std::size_t jEnd = std::min(N, j0 + kBlock);
    for (std::size_t j = j0; j < jEnd; ++j) {
      std::size_t p = j;
      for (std::size_t i = j + 1; i < N; ++i)
        if (d[i] > d[p]) p = i;
      if (!(d[p] >= minPivot) || !(d[p] > 0)) {
        // Full pivoting would look at the whole remaining sub-matrix (the Schur
        // complement, in-block updates still pending): if anything there reaches
        // the threshold the matrix is indefinite, not singular.
        double largest = 0;
        for (std::size_t i = j; i < N; ++i)
          for (std::size_t c = j; c <= i; ++c)
            largest = std::max(largest, std::fabs(at(i, c) - Dot(&at(i, j0), &at(c, j0), static_cast<int>(j - j0))));
        return largest >= minPivot ? CholeskyResult::NotDefinite : CholeskyResult::Singular;
      }
      if (p != j) swapSym(j, p);
      const double ljj = std::sqrt(d[j]);
      at(j, j) = ljj;
      const double inv = 1 / ljj;
      const int len = static_cast<int>(j - j0);
      const double* lj = &at(j, j0);
      for (std::size_t i = j + 1; i < N; ++i) {
        double v = (at(i, j) - Dot(&at(i, j0), lj, len)) * inv;
        at(i, j) = v;
        d[i] -= v * v;
      }
    }
    // Trailing update of the columns beyond the block: A22 -= L21·L21ᵀ, in 4×4
    // tiles of the lower triangle over a packed copy of L21.
    if (jEnd < N) {
      const std::size_t len = jEnd - j0;
      const std::size_t rows = N - jEnd;
      const std::size_t groups = (rows + 3) / 4;
      std::vector<double> panel(groups * 4 * len, 0.0);
      for (std::size_t r = 0; r < rows; ++r)
        for (std::size_t k = 0; k < len; ++k)
          panel[(r / 4) * 4 * len + 4 * k + r % 4] = at(jEnd + r, j0 + k);
      ParallelFor(static_cast<int>(groups), threads, 1, [&](int gi) {
        const std::size_t i0 = jEnd + 4 * static_cast<std::size_t>(gi);
        double acc[4][4];
        for (std::size_t gc = 0; gc <= static_cast<std::size_t>(gi); ++gc) {
          Tile(&panel[gi * 4 * len], &panel[gc * 4 * len], len, acc);
          const std::size_t c0 = jEnd + 4 * gc;
          for (std::size_t a2 = 0; a2 < 4 && i0 + a2 < N; ++a2)
            for (std::size_t b = 0; b < 4 && c0 + b <= i0 + a2; ++b) at(i0 + a2, c0 + b) -= acc[a2][b];
        }
      });
    }
  }

  // X = L⁻¹ in panels of four columns: xp[g][i*4 + lane] = X(i, 4g + lane), with
  // X(i, c) = 0 above the diagonal, so every sum may start at the panel's first
  // row. L is copied into panels of four rows (lp[g][k*4 + lane] = L(4g + lane, k))
  // so that four rows of X come out of one 4×4 tile; the terms inside the four
  // rows follow one by one.
  const std::size_t groups = (N + 3) / 4;
  Buffer lp(1, groups * 4 * N);
  for (std::size_t i = N; i < groups * 4; ++i)  // lanes past the last row
    for (std::size_t k = 0; k < N; ++k) lp[(groups - 1) * 4 * N + 4 * k + i % 4] = 0;
  ParallelFor(static_cast<int>(groups), threads, 4, [&](int g) {
    double* q = &lp[static_cast<std::size_t>(g) * 4 * N];
    for (std::size_t lane = 0; lane < 4; ++lane) {
      std::size_t i = 4 * static_cast<std::size_t>(g) + lane;
      if (i >= N) break;
      for (std::size_t k = 0; k <= i; ++k) q[4 * k + lane] = at(i, k);
    }
  });
  Buffer xp(2, groups * 4 * N);
  for (std::size_t c = N; c < groups * 4; ++c)  // lanes past the last column
    for (std::size_t k = 0; k < N; ++k) xp[(groups - 1) * 4 * N + 4 * k + c % 4] = 0;
  ParallelFor(static_cast<int>(groups), threads, 1, [&](int g) {
    const std::size_t c0 = 4 * static_cast<std::size_t>(g);
    double* p = &xp[static_cast<std::size_t>(g) * 4 * N];
    double acc[4][4];
    for (std::size_t gi = g; gi < groups; ++gi) {
      const std::size_t i0 = 4 * gi;
      const double* q = &lp[gi * 4 * N];
      Tile(q + 4 * c0, p + 4 * c0, i0 - c0, acc);  // k in [c0, i0)
      for (std::size_t a2 = 0; a2 < 4; ++a2) {
        const std::size_t i = i0 + a2;
        if (i >= N) break;
        const double lii = q[4 * i + a2];
        for (std::size_t b = 0; b < 4; ++b) {
          const std::size_t c = c0 + b;
          if (c >= N) break;
          double sum = acc[a2][b];
          for (std::size_t k = i0; k < i; ++k) sum += q[4 * k + a2] * p[4 * k + b];
          p[4 * i + b] = i < c ? 0.0 : i == c ? 1 / lii : -sum / lii;
        }
      }
    }
  });

  // M⁻¹ = Xᵀ·X: M⁻¹(r, c) = Σ_k X(k, r)·X(k, c), the terms below row c being 0
  // for c in a later panel. Results for r <= c go straight to the packed upper
  // triangle of the original order.
  // The factorisation can no longer fail: the result goes straight into packed.
  auto put = [&](std::size_t r, std::size_t c, double v) {
    std::size_t i = static_cast<std::size_t>(perm[r]), k = static_cast<std::size_t>(perm[c]);
    if (i > k) std::swap(i, k);
    packed[(2 * N - i - 1) * i / 2 + k] = v;
  };
  ParallelFor(static_cast<int>(groups), threads, 1, [&](int gr) {
    double acc[4][4];
    const std::size_t r0 = 4 * static_cast<std::size_t>(gr);
    for (std::size_t gc = gr; gc < groups; ++gc) {
      const std::size_t c0 = 4 * gc;
      Tile(&xp[gr * 4 * N + 4 * c0], &xp[gc * 4 * N + 4 * c0], N - c0, acc);
      for (std::size_t a2 = 0; a2 < 4 && r0 + a2 < N; ++a2)
        for (std::size_t b = 0; b < 4 && c0 + b < N; ++b)
          if (r0 + a2 <= c0 + b) put(r0 + a2, c0 + b, acc[a2][b]);
    }
  });
  return CholeskyResult::Inverted;
}

}  // namespace survey::detail
