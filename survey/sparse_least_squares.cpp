#include "survey/sparse_least_squares.h"

#include <Eigen/OrderingMethods>
#include <Eigen/SparseCore>

#include <algorithm>
#include <cassert>
#include <cmath>

#include "platform/ports.h"
#include "survey/sym_matrix.h"

namespace survey {

namespace {

// Neighbours of every unknown in the graph of N: unknowns that share a row (or a
// named cofactor pair). Lists are sorted and hold no unknown itself.
std::vector<std::vector<int>> Neighbours(int t, const std::vector<const std::vector<int>*>& cliques) {
  std::vector<int> count(t + 1, 0);
  for (const std::vector<int>* c : cliques)
    for (int v : *c) ++count[v + 1];
  std::vector<int> start(count);
  for (int v = 0; v < t; ++v) start[v + 1] += start[v];
  std::vector<int> incidence(start[t]);
  std::vector<int> fill(start.begin(), start.end() - 1);
  for (std::size_t c = 0; c < cliques.size(); ++c)
    for (int v : *cliques[c]) incidence[fill[v]++] = static_cast<int>(c);
  std::vector<std::vector<int>> adj(t);
  std::vector<int> mark(t, -1);
  for (int v = 0; v < t; ++v) {
    mark[v] = v;
    for (int k = start[v]; k < start[v + 1]; ++k)
      for (int w : *cliques[incidence[k]])
        if (mark[w] != v) {
          mark[w] = v;
          adj[v].push_back(w);
        }
    std::sort(adj[v].begin(), adj[v].end());
  }
  return adj;
}

// perm[new] = old by approximate minimum degree.
std::vector<int> MinimumDegreeOrder(const std::vector<std::vector<int>>& adj) {
  const int t = static_cast<int>(adj.size());
  std::size_t nnz = 0;
  for (const auto& a : adj) nnz += a.size() + 1;
  Eigen::SparseMatrix<double, Eigen::ColMajor, int> pattern(t, t);
  pattern.resizeNonZeros(static_cast<Eigen::Index>(nnz));
  int* outer = pattern.outerIndexPtr();
  int* inner = pattern.innerIndexPtr();
  double* values = pattern.valuePtr();
  std::size_t k = 0;
  for (int v = 0; v < t; ++v) {
    // With the diagonal: the ordering takes a column without one for a dense one.
    outer[v] = static_cast<int>(k);
    bool diagonal = false;
    for (int w : adj[v]) {
      if (!diagonal && w > v) {
        inner[k] = v;
        values[k++] = 1.0;
        diagonal = true;
      }
      inner[k] = w;
      values[k++] = 1.0;
    }
    if (!diagonal) {
      inner[k] = v;
      values[k++] = 1.0;
    }
  }
  outer[t] = static_cast<int>(k);
  Eigen::PermutationMatrix<Eigen::Dynamic, Eigen::Dynamic, int> p;
  Eigen::AMDOrdering<int> amd;
  amd(pattern, p);
  return std::vector<int>(p.indices().data(), p.indices().data() + t);
}

// perm[new] = old by reverse Cuthill–McKee; each connected component starts from a
// pseudo-peripheral node of least degree.
std::vector<int> CuthillMcKeeOrder(const std::vector<std::vector<int>>& adj) {
  const int t = static_cast<int>(adj.size());
  std::vector<int> level(t, -1);
  auto bfs = [&](int start, std::vector<int>& order) {
    order.clear();
    order.push_back(start);
    level[start] = 0;
    for (std::size_t h = 0; h < order.size(); ++h) {
      const int v = order[h];
      const std::size_t from = order.size();
      for (int w : adj[v])
        if (level[w] < 0) {
          level[w] = level[v] + 1;
          order.push_back(w);
        }
      std::sort(order.begin() + static_cast<std::ptrdiff_t>(from), order.end(),
                [&](int a, int b) { return adj[a].size() < adj[b].size(); });
    }
  };
  std::vector<char> placed(t, 0);
  std::vector<int> result, order;
  result.reserve(t);
  for (int seed = 0; seed < t; ++seed) {
    if (placed[seed]) continue;
    int start = seed, depth = -1;
    for (int pass = 0; pass < 4; ++pass) {
      bfs(start, order);
      const int d = level[order.back()];
      int best = order.back();
      for (int v : order)
        if (level[v] == d && adj[v].size() < adj[best].size()) best = v;
      for (int v : order) level[v] = -1;
      if (d <= depth) break;
      depth = d;
      start = best;
    }
    bfs(start, order);
    for (int v : order) {
      placed[v] = 1;
      result.push_back(v);
    }
  }
  std::reverse(result.begin(), result.end());
  return result;
}

}  // namespace

void CSparseLsq::Init(int t, int m1, int m2) {
  t_ = std::max(t, 0);
  rows1_.assign(std::max(m1, 0), Row{});
  rows2_.assign(std::max(m2, 0), Row{});
  p1_.resize(rows1_.size(), 0.0);
  p2_.resize(rows2_.size(), 0.0);
  l1_.assign(rows1_.size(), 0.0);
  l2_.assign(rows2_.size(), 0.0);
  x_.assign(t_, 0.0);
  pvv1_ = pvv2_ = sigma0_ = 0.0;
  badRow_ = false;
  factored_ = haveInverse_ = false;
}

bool CSparseLsq::AddToRow(int group, int row, const int* idx, const double* coef, int count) {
  std::vector<Row>* rows = group == 1 ? &rows1_ : group == 2 ? &rows2_ : nullptr;
  bool valid = rows && row >= 0 && row < static_cast<int>(rows->size()) && count >= 0;
  for (int k = 0; valid && k < count; ++k)
    if (idx[k] >= t_) valid = false;
  assert(valid && "error-equation row or unknown out of range");
  if (!valid) {
    badRow_ = true;
    return false;
  }
  Row& r = (*rows)[row];
  for (int k = 0; k < count; ++k) {
    if (idx[k] < 0) continue;  // a known point
    auto it = std::find(r.idx.begin(), r.idx.end(), idx[k]);
    if (it != r.idx.end()) {
      r.coef[static_cast<std::size_t>(it - r.idx.begin())] += coef[k];
    } else {
      r.idx.push_back(idx[k]);
      r.coef.push_back(coef[k]);
    }
  }
  return true;
}

void CSparseLsq::NeedCofactors(const std::vector<std::pair<int, int>>& pairs) {
  pairs_.clear();
  for (const auto& [i, j] : pairs)
    if (i != j) pairs_.push_back({std::min(i, j), std::max(i, j)});
  std::sort(pairs_.begin(), pairs_.end());
  pairs_.erase(std::unique(pairs_.begin(), pairs_.end()), pairs_.end());
  haveInverse_ = false;
}

bool CSparseLsq::PatternUnchanged() const {
  if (!analysedValid_ || static_cast<int>(perm_.size()) != t_) return false;
  std::size_t k = 0;
  auto same = [&](int v) { return k < analysed_.size() && analysed_[k++] == v; };
  for (const std::vector<Row>* rows : {&rows1_, &rows2_}) {
    if (!same(static_cast<int>(rows->size()))) return false;
    for (const Row& r : *rows) {
      if (!same(static_cast<int>(r.idx.size()))) return false;
      for (int v : r.idx)
        if (!same(v)) return false;
    }
  }
  if (!same(static_cast<int>(pairs_.size()))) return false;
  for (const auto& [i, j] : pairs_)
    if (!same(i) || !same(j)) return false;
  return k == analysed_.size();
}

// Ordering, the permuted pattern of N, the elimination tree and the column counts
// of L (Davis, §4.1 and §4.7).
void CSparseLsq::Analyse() {
  analysed_.clear();
  std::vector<const std::vector<int>*> cliques;
  for (const std::vector<Row>* rows : {&rows1_, &rows2_}) {
    analysed_.push_back(static_cast<int>(rows->size()));
    for (const Row& r : *rows) {
      analysed_.push_back(static_cast<int>(r.idx.size()));
      analysed_.insert(analysed_.end(), r.idx.begin(), r.idx.end());
      cliques.push_back(&r.idx);
    }
  }
  std::vector<std::vector<int>> pairCliques;
  pairCliques.reserve(pairs_.size());
  analysed_.push_back(static_cast<int>(pairs_.size()));
  for (const auto& [i, j] : pairs_) {
    analysed_.push_back(i);
    analysed_.push_back(j);
    if (i >= 0 && j < t_) pairCliques.push_back({i, j});
  }
  for (const auto& c : pairCliques) cliques.push_back(&c);
  analysedValid_ = true;

  const std::vector<std::vector<int>> adj = Neighbours(t_, cliques);
  perm_ = ordering_ == Ordering::MinimumDegree ? MinimumDegreeOrder(adj) : CuthillMcKeeOrder(adj);
  iperm_.assign(t_, 0);
  for (int i = 0; i < t_; ++i) iperm_[perm_[i]] = i;

  // Upper triangle by columns of the permuted matrix, rows ascending, so the
  // diagonal comes last in each column.
  ap_.assign(t_ + 1, 0);
  ai_.clear();
  for (int k = 0; k < t_; ++k) {
    ap_[k] = ai_.size();
    for (int w : adj[perm_[k]])
      if (iperm_[w] < k) ai_.push_back(iperm_[w]);
    std::sort(ai_.begin() + static_cast<std::ptrdiff_t>(ap_[k]), ai_.end());
    ai_.push_back(k);
  }
  ap_[t_] = ai_.size();
  ax_.assign(ai_.size(), 0.0);

  parent_.assign(t_, -1);
  std::vector<int> flag(t_), lnz(t_, 0);
  for (int k = 0; k < t_; ++k) {
    flag[k] = k;
    for (std::size_t p = ap_[k]; p + 1 < ap_[k + 1]; ++p)
      for (int i = ai_[p]; flag[i] != k; i = parent_[i]) {
        if (parent_[i] == -1) parent_[i] = k;
        ++lnz[i];
        flag[i] = k;
      }
  }
  lp_.assign(t_ + 1, 0);
  for (int k = 0; k < t_; ++k) lp_[k + 1] = lp_[k] + static_cast<std::size_t>(lnz[k]);
  li_.assign(lp_[t_], 0);
  lx_.assign(lp_[t_], 0.0);
  d_.assign(t_, 0.0);
}

// Assembles N and factors it up-looking: row k of L from a sparse triangular
// solve along the elimination tree. A pivot that is not clearly positive relative
// to its diagonal means a datum defect or an unobserved unknown.
bool CSparseLsq::Factor() {
  std::fill(ax_.begin(), ax_.end(), 0.0);
  auto slot = [&](int a, int b) -> double& {  // a <= b, permuted
    const auto first = ai_.begin() + static_cast<std::ptrdiff_t>(ap_[b]);
    const auto last = ai_.begin() + static_cast<std::ptrdiff_t>(ap_[b + 1]);
    return ax_[static_cast<std::size_t>(std::lower_bound(first, last, a) - ai_.begin())];
  };
  auto assemble = [&](const std::vector<Row>& rows, const std::vector<double>& p) {
    for (std::size_t r = 0; r < rows.size(); ++r) {
      const Row& row = rows[r];
      for (std::size_t a = 0; a < row.idx.size(); ++a) {
        const int ia = iperm_[row.idx[a]];
        const double pa = p[r] * row.coef[a];
        for (std::size_t b = a; b < row.idx.size(); ++b) {
          const int ib = iperm_[row.idx[b]];
          slot(std::min(ia, ib), std::max(ia, ib)) += pa * row.coef[b];
        }
      }
    }
  };
  assemble(rows1_, p1_);
  assemble(rows2_, p2_);

  std::vector<double> y(t_, 0.0);
  std::vector<int> pattern(t_), flag(t_), lnz(t_, 0);
  for (int k = 0; k < t_; ++k) {
    int top = t_;
    flag[k] = k;
    for (std::size_t p = ap_[k]; p < ap_[k + 1]; ++p) {
      int i = ai_[p];
      y[i] += ax_[p];
      int len = 0;
      for (; flag[i] != k; i = parent_[i]) {
        pattern[len++] = i;
        flag[i] = k;
      }
      while (len > 0) pattern[--top] = pattern[--len];
    }
    const double diag0 = ax_[ap_[k + 1] - 1];
    double d = y[k];
    y[k] = 0.0;
    for (; top < t_; ++top) {
      const int i = pattern[top];
      const double yi = y[i];
      y[i] = 0.0;
      const std::size_t end = lp_[i] + static_cast<std::size_t>(lnz[i]);
      for (std::size_t p = lp_[i]; p < end; ++p) y[li_[p]] -= lx_[p] * yi;
      const double lki = yi / d_[i];
      d -= lki * yi;
      li_[end] = k;
      lx_[end] = lki;
      ++lnz[i];
    }
    if (!std::isfinite(d) || !(diag0 > 0.0) || d <= 1e-12 * diag0) return false;
    d_[k] = d;
  }
  return true;
}

double CSparseLsq::Solve() {
  factored_ = haveInverse_ = false;
  x_.assign(t_, 0.0);
  if (badRow_) {
    platform::Messages().ShowMessage(height_ ? kHeightSystemFailedMessage : kPlaneSystemFailedMessage);
    sigma0_ = -1.0;
    return -1e10;
  }
  if (!PatternUnchanged()) Analyse();
  if (!Factor()) {
    platform::Messages().ShowMessage(kSingularNormalMessage);
    platform::Messages().ShowMessage(height_ ? kHeightSystemFailedMessage : kPlaneSystemFailedMessage);
    sigma0_ = -1.0;
    return -1e10;
  }
  factored_ = true;
  // N·y = −u with N = L·D·Lᵀ, in the permuted numbering.
  std::vector<double> y(t_, 0.0);
  auto rhs = [&](const std::vector<Row>& rows, const std::vector<double>& p, const std::vector<double>& l) {
    for (std::size_t r = 0; r < rows.size(); ++r)
      for (std::size_t a = 0; a < rows[r].idx.size(); ++a)
        y[iperm_[rows[r].idx[a]]] -= p[r] * rows[r].coef[a] * l[r];
  };
  rhs(rows1_, p1_, l1_);
  rhs(rows2_, p2_, l2_);
  for (int j = 0; j < t_; ++j)
    for (std::size_t p = lp_[j]; p < lp_[j + 1]; ++p) y[li_[p]] -= lx_[p] * y[j];
  for (int j = 0; j < t_; ++j) y[j] /= d_[j];
  for (int j = t_ - 1; j >= 0; --j)
    for (std::size_t p = lp_[j]; p < lp_[j + 1]; ++p) y[j] -= lx_[p] * y[li_[p]];
  double maxAbs = 0.0;
  for (int i = 0; i < t_; ++i) {
    x_[perm_[i]] = y[i];
    maxAbs = std::max(maxAbs, std::fabs(y[i]));
  }
  // [pvv] from the residuals themselves: never negative, even for exact data.
  auto pvv = [&](const std::vector<Row>& rows, const std::vector<double>& p, int group) {
    double s = 0.0;
    for (std::size_t r = 0; r < rows.size(); ++r) {
      const double v = Residual(group, static_cast<int>(r));
      s += p[r] * v * v;
    }
    return s;
  };
  pvv1_ = pvv(rows1_, p1_, 1);
  pvv2_ = pvv(rows2_, p2_, 2);
  sigma0_ = UnitWeightRms(pvv1_ + pvv2_, static_cast<int>(rows1_.size() + rows2_.size()) - t_);
  return maxAbs;
}

double CSparseLsq::Residual(int group, int row) const {
  const std::vector<Row>* rows = group == 1 ? &rows1_ : group == 2 ? &rows2_ : nullptr;
  if (!rows || row < 0 || row >= static_cast<int>(rows->size())) return 0.0;
  const Row& r = (*rows)[row];
  double v = group == 1 ? l1_[row] : l2_[row];
  for (std::size_t a = 0; a < r.idx.size(); ++a) v += r.coef[a] * x_[r.idx[a]];
  return v;
}

// Takahashi: Z = D⁻¹L⁻¹ + (I − Lᵀ)Z. Column j of Z below the diagonal needs Z only
// on rows and columns of L's column j, which the pattern holds (if L(k, j) and
// L(m, j) are entries with k < m, so is L(m, k)); so the columns are formed from
// the last to the first, each from the ones already done.
void CSparseLsq::SelectedInverse() {
  zx_.assign(lx_.size(), 0.0);
  zd_.assign(t_, 0.0);
  std::vector<int> pos(t_, -1);
  std::vector<double> acc;
  for (int j = t_ - 1; j >= 0; --j) {
    const std::size_t b0 = lp_[j], n = lp_[j + 1] - b0;
    const int* rows = li_.data() + b0;
    const double* l = lx_.data() + b0;
    acc.assign(n, 0.0);
    for (std::size_t b = 0; b < n; ++b) pos[rows[b]] = static_cast<int>(b);
    for (std::size_t a = 0; a < n; ++a) {
      const int k = rows[a];
      acc[a] += l[a] * zd_[k];
      const std::size_t rest = n - a - 1, width = lp_[k + 1] - lp_[k];
      if (rest * 16 < width) {
        // A short column j against a long column k (a separator far up the
        // tree): look its few rows up instead of scanning all of column k.
        auto from = li_.begin() + static_cast<std::ptrdiff_t>(lp_[k]);
        const auto end = li_.begin() + static_cast<std::ptrdiff_t>(lp_[k + 1]);
        for (std::size_t b = a + 1; b < n; ++b) {
          from = std::lower_bound(from, end, rows[b]);
          const double z = zx_[static_cast<std::size_t>(from - li_.begin())];
          acc[a] += l[b] * z;
          acc[b] += l[a] * z;
        }
        continue;
      }
      for (std::size_t p = lp_[k]; p < lp_[k + 1]; ++p) {
        const int b = pos[li_[p]];
        if (b < 0) continue;
        acc[a] += l[b] * zx_[p];
        acc[b] += l[a] * zx_[p];
      }
    }
    double diag = 1.0 / d_[j];
    for (std::size_t b = 0; b < n; ++b) {
      zx_[b0 + b] = -acc[b];
      diag += l[b] * acc[b];
      pos[rows[b]] = -1;
    }
    zd_[j] = diag;
  }
  haveInverse_ = true;
}

// Q(a, b) = (L⁻¹e_a)ᵀ D⁻¹ (L⁻¹e_b), both solves started at their own column.
double CSparseLsq::SolveEntry(int a, int b) const {
  auto forward = [&](int s) {
    std::vector<double> y(t_, 0.0);
    y[s] = 1.0;
    for (int j = s; j < t_; ++j) {
      if (y[j] == 0.0) continue;
      for (std::size_t p = lp_[j]; p < lp_[j + 1]; ++p) y[li_[p]] -= lx_[p] * y[j];
    }
    return y;
  };
  const std::vector<double> ya = forward(a), yb = forward(b);
  double q = 0.0;
  for (int k = std::max(a, b); k < t_; ++k) q += ya[k] * yb[k] / d_[k];
  return q;
}

double CSparseLsq::Q(int i, int j) {
  if (i < 0 || j < 0 || i >= t_ || j >= t_ || !factored_) return 0.0;
  if (!haveInverse_) {
    // Pairs named after the factor may lie outside its pattern: refactor once.
    if (!PatternUnchanged()) {
      Analyse();
      if (!Factor()) return 0.0;
    }
    SelectedInverse();
  }
  int a = iperm_[i], b = iperm_[j];
  if (a == b) return zd_[a];
  if (a > b) std::swap(a, b);
  const auto first = li_.begin() + static_cast<std::ptrdiff_t>(lp_[a]);
  const auto last = li_.begin() + static_cast<std::ptrdiff_t>(lp_[a + 1]);
  const auto it = std::lower_bound(first, last, b);
  if (it != last && *it == b) return zx_[static_cast<std::size_t>(it - li_.begin())];
  return SolveEntry(a, b);
}

double CSparseLsq::TraceGroup(const std::vector<Row>& rows, const std::vector<double>& p) {
  // tr(N_g·Q) = Σ_k p_k·a_kᵀ·Q·a_k; every pair of one row lies inside the pattern.
  double tr = 0.0;
  for (std::size_t k = 0; k < rows.size(); ++k) {
    const Row& r = rows[k];
    double s = 0.0;
    for (std::size_t a = 0; a < r.idx.size(); ++a)
      for (std::size_t b = 0; b < r.idx.size(); ++b) s += r.coef[a] * r.coef[b] * Q(r.idx[a], r.idx[b]);
    tr += p[k] * s;
  }
  return tr;
}

double CSparseLsq::HelmertStep() {
  if (rows1_.empty() || rows2_.empty()) return 0.0;
  const double r1 = static_cast<double>(rows1_.size()) - TraceGroup(rows1_, p1_);
  const double r2 = static_cast<double>(rows2_.size()) - TraceGroup(rows2_, p2_);
  double s1 = 0, s2 = 0;
  const double step = HelmertFactors(pvv1_, r1, pvv2_, r2, s1, s2);
  if (step < 0) return step;
  s1_ = s1;
  s2_ = s2;
  for (double& p : p1_) p /= s1;
  for (double& p : p2_) p /= s2;
  return step;
}

}  // namespace survey
