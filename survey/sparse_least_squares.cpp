#include "survey/sparse_least_squares.h"

#include <algorithm>
#include <cmath>
#include <deque>
#include <numeric>

#include "platform/ports.h"
#include "survey/least_squares.h"

namespace survey {

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
  haveInverse_ = false;
  columns_.clear();
}

void CSparseLsq::AddToRow(int group, int row, const int* idx, const double* coef, int count) {
  Row& r = group == 1 ? rows1_[row] : rows2_[row];
  for (int k = 0; k < count; ++k) {
    if (idx[k] < 0 || idx[k] >= t_) continue;
    r.idx.push_back(idx[k]);
    r.coef.push_back(coef[k]);
  }
}

// Reverse Cuthill–McKee over the graph of unknowns that share an observation; each
// connected component starts from a pseudo-peripheral node of least degree.
void CSparseLsq::Order() {
  std::vector<std::vector<int>> adj(t_);
  auto link = [&](const std::vector<Row>& rows) {
    for (const Row& r : rows)
      for (std::size_t a = 0; a < r.idx.size(); ++a)
        for (std::size_t b = 0; b < r.idx.size(); ++b)
          if (r.idx[a] != r.idx[b]) adj[r.idx[a]].push_back(r.idx[b]);
  };
  link(rows1_);
  link(rows2_);
  for (auto& a : adj) {
    std::sort(a.begin(), a.end());
    a.erase(std::unique(a.begin(), a.end()), a.end());
  }
  std::vector<int> level(t_, -1);
  auto bfs = [&](int start, std::vector<int>& order) {
    order.clear();
    order.push_back(start);
    level[start] = 0;
    for (std::size_t h = 0; h < order.size(); ++h) {
      int v = order[h];
      std::vector<int> next;
      for (int w : adj[v])
        if (level[w] < 0) {
          level[w] = level[v] + 1;
          next.push_back(w);
        }
      std::sort(next.begin(), next.end(),
                [&](int a, int b) { return adj[a].size() < adj[b].size(); });
      order.insert(order.end(), next.begin(), next.end());
    }
  };
  std::vector<char> placed(t_, 0);
  std::vector<int> result;
  result.reserve(t_);
  std::vector<int> order;
  for (int seed = 0; seed < t_; ++seed) {
    if (placed[seed]) continue;
    // Pseudo-peripheral start: repeat BFS from the farthest node of least degree.
    int start = seed;
    int depth = -1;
    for (int pass = 0; pass < 4; ++pass) {
      bfs(start, order);
      int far = order.back();
      int d = level[far];
      int best = far;
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
  perm_ = result;
  iperm_.assign(t_, 0);
  for (int i = 0; i < t_; ++i) iperm_[perm_[i]] = i;
}

double CSparseLsq::EnvGet(const std::vector<double>& store, int i, int j) const {
  if (i < j) std::swap(i, j);
  if (j < first_[i]) return 0.0;
  return store[off_[i] + (j - first_[i])];
}

// LDLᵀ in envelope storage. A pivot that is not clearly positive relative to its
// diagonal means the network has a datum defect or an unreachable point.
bool CSparseLsq::Factor() {
  std::vector<double> diag0(t_);
  for (int i = 0; i < t_; ++i) diag0[i] = val_[off_[i] + (i - first_[i])];
  std::vector<double> g;
  for (int i = 0; i < t_; ++i) {
    const int fi = first_[i];
    double* ri = &val_[off_[i]];
    g.assign(ri, ri + (i - fi));
    for (int j = fi; j < i; ++j) {
      const int fj = first_[j];
      const int k0 = std::max(fi, fj);
      const double* rj = &val_[off_[j]];
      double s = g[j - fi];
      for (int k = k0; k < j; ++k) s -= g[k - fi] * rj[k - fj];
      g[j - fi] = s;
    }
    double d = ri[i - fi];
    for (int j = fi; j < i; ++j) {
      const double dj = val_[off_[j] + (j - first_[j])];
      const double lij = g[j - fi] / dj;
      d -= g[j - fi] * lij;
      ri[j - fi] = lij;
    }
    const double scale = std::max(std::fabs(diag0[i]), 1e-300);
    if (!std::isfinite(d) || d <= 1e-12 * scale || diag0[i] <= 0.0) return false;
    ri[i - fi] = d;
  }
  return true;
}

double CSparseLsq::Solve() {
  haveInverse_ = false;
  columns_.clear();
  x_.assign(t_, 0.0);
  Order();
  // Envelope of the permuted normal matrix.
  first_.resize(t_);
  for (int i = 0; i < t_; ++i) first_[i] = i;
  auto widen = [&](const std::vector<Row>& rows) {
    for (const Row& r : rows) {
      int lo = t_;
      for (int c : r.idx) lo = std::min(lo, iperm_[c]);
      for (int c : r.idx) first_[iperm_[c]] = std::min(first_[iperm_[c]], lo);
    }
  };
  widen(rows1_);
  widen(rows2_);
  off_.resize(t_ + 1);
  off_[0] = 0;
  for (int i = 0; i < t_; ++i) off_[i + 1] = off_[i] + static_cast<std::size_t>(i - first_[i] + 1);
  val_.assign(off_[t_], 0.0);
  std::vector<double> u(t_, 0.0);
  auto assemble = [&](const std::vector<Row>& rows, const std::vector<double>& p,
                      const std::vector<double>& l) {
    for (std::size_t k = 0; k < rows.size(); ++k) {
      const Row& r = rows[k];
      for (std::size_t a = 0; a < r.idx.size(); ++a) {
        const int ia = iperm_[r.idx[a]];
        u[ia] += p[k] * r.coef[a] * l[k];
        for (std::size_t b = 0; b < r.idx.size(); ++b) {
          const int ib = iperm_[r.idx[b]];
          if (ib > ia) continue;
          val_[off_[ia] + (ib - first_[ia])] += p[k] * r.coef[a] * r.coef[b];
        }
      }
    }
  };
  assemble(rows1_, p1_, l1_);
  assemble(rows2_, p2_, l2_);
  if (!Factor()) {
    platform::Messages().ShowMessage(kSingularNormalMessage);
    platform::Messages().ShowMessage(height_ ? kHeightSystemFailedMessage : kPlaneSystemFailedMessage);
    sigma0_ = -1.0;
    return -1e10;
  }
  // N·y = −u with N = L·D·Lᵀ.
  std::vector<double> y(t_);
  for (int i = 0; i < t_; ++i) {
    double s = -u[i];
    const double* ri = &val_[off_[i]];
    for (int j = first_[i]; j < i; ++j) s -= ri[j - first_[i]] * y[j];
    y[i] = s;
  }
  for (int i = 0; i < t_; ++i) y[i] /= val_[off_[i] + (i - first_[i])];
  for (int i = t_ - 1; i >= 0; --i) {
    const double yi = y[i];
    const double* ri = &val_[off_[i]];
    for (int j = first_[i]; j < i; ++j) y[j] -= ri[j - first_[i]] * yi;
  }
  double maxAbs = 0.0;
  for (int i = 0; i < t_; ++i) {
    x_[perm_[i]] = y[i];
    maxAbs = std::max(maxAbs, std::fabs(y[i]));
  }
  // [pvv] from the residuals themselves: never negative, even for exact data.
  auto pvv = [&](const std::vector<Row>& rows, const std::vector<double>& p,
                 const std::vector<double>& l) {
    double s = 0.0;
    for (std::size_t k = 0; k < rows.size(); ++k) {
      double v = l[k];
      for (std::size_t a = 0; a < rows[k].idx.size(); ++a) v += rows[k].coef[a] * x_[rows[k].idx[a]];
      s += p[k] * v * v;
    }
    return s;
  };
  pvv1_ = pvv(rows1_, p1_, l1_);
  pvv2_ = pvv(rows2_, p2_, l2_);
  sigma0_ = UnitWeightRms(pvv1_ + pvv2_, static_cast<int>(rows1_.size() + rows2_.size()) - t_);
  return maxAbs;
}

// Takahashi: Z = D⁻¹L⁻¹ + (I − Lᵀ)Z, evaluated from the last row up over the
// envelope, which is closed under the recurrence.
void CSparseLsq::SelectedInverse() {
  zinv_.assign(val_.size(), 0.0);
  // Column structure of L: rows k > i whose envelope reaches column i.
  std::vector<std::vector<int>> below(t_);
  for (int k = 0; k < t_; ++k)
    for (int i = first_[k]; i < k; ++i) below[i].push_back(k);
  for (int i = t_ - 1; i >= 0; --i) {
    const std::vector<int>& ks = below[i];
    // Off-diagonal entries Z(j, i) for j in the structure, then the diagonal.
    for (std::size_t a = ks.size(); a-- > 0;) {
      const int j = ks[a];
      double s = 0.0;
      for (int k : ks) s += val_[off_[k] + (i - first_[k])] * EnvGet(zinv_, k, j);
      zinv_[off_[j] + (i - first_[j])] = -s;
    }
    double s = 1.0 / val_[off_[i] + (i - first_[i])];
    for (int k : ks) s -= val_[off_[k] + (i - first_[k])] * zinv_[off_[k] + (i - first_[k])];
    zinv_[off_[i] + (i - first_[i])] = s;
  }
  haveInverse_ = true;
}

const std::vector<double>& CSparseLsq::Column(int j) {
  auto it = columns_.find(j);
  if (it != columns_.end()) return it->second;
  std::vector<double> y(t_, 0.0);
  y[iperm_[j]] = 1.0;
  for (int i = 0; i < t_; ++i) {
    double s = y[i];
    for (int c = first_[i]; c < i; ++c) s -= val_[off_[i] + (c - first_[i])] * y[c];
    y[i] = s;
  }
  for (int i = 0; i < t_; ++i) y[i] /= val_[off_[i] + (i - first_[i])];
  for (int i = t_ - 1; i >= 0; --i)
    for (int c = first_[i]; c < i; ++c) y[c] -= val_[off_[i] + (c - first_[i])] * y[i];
  std::vector<double> col(t_);
  for (int i = 0; i < t_; ++i) col[perm_[i]] = y[i];
  return columns_[j] = std::move(col);
}

double CSparseLsq::Q(int i, int j) {
  if (i < 0 || j < 0 || i >= t_ || j >= t_ || val_.empty()) return 0.0;
  if (!haveInverse_) SelectedInverse();
  int a = iperm_[i], b = iperm_[j];
  if (a < b) std::swap(a, b);
  if (b >= first_[a]) return zinv_[off_[a] + (b - first_[a])];
  return Column(j)[i];
}

double CSparseLsq::TraceGroup(const std::vector<Row>& rows, const std::vector<double>& p) {
  // tr(N_g·Q) = Σ_k p_k·a_kᵀ·Q·a_k; every pair of one row lies inside the envelope.
  double tr = 0.0;
  for (std::size_t k = 0; k < rows.size(); ++k) {
    const Row& r = rows[k];
    double s = 0.0;
    for (std::size_t a = 0; a < r.idx.size(); ++a)
      for (std::size_t b = 0; b < r.idx.size(); ++b)
        s += r.coef[a] * r.coef[b] * Q(r.idx[a], r.idx[b]);
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
