#include "survey/sparse_least_squares.h"

#include <Eigen/OrderingMethods>
#include <Eigen/SparseCore>

#include <algorithm>
#include <array>
#include <atomic>
#include <cassert>
#include <cmath>

#include "platform/ports.h"
#include "survey/parallel_for.h"
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
  // Room for the ordering's work beside the pattern, so it need not move it.
  pattern.resizeNonZeros(static_cast<Eigen::Index>(nnz + nnz / 5 + 2 * static_cast<std::size_t>(t)));
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
  // The pattern is symmetric already: the ordering proper, without the A + Aᵀ that
  // AMDOrdering forms first (a transpose and a sum as costly as the ordering).
  Eigen::PermutationMatrix<Eigen::Dynamic, Eigen::Dynamic, int> p;
  Eigen::internal::minimum_degree_ordering(pattern, p);
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
  // The rows keep their storage for the next pass of a Gauss-Newton loop.
  for (auto [rows, m] : {std::pair{&rows1_, m1}, {&rows2_, m2}}) {
    rows->resize(static_cast<std::size_t>(std::max(m, 0)));
    for (Row& r : *rows) {
      r.idx.clear();
      r.coef.clear();
    }
  }
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

  // The rows of L: row k holds the columns on the tree paths from the entries of
  // column k of N's upper triangle, so the rows of each column come ascending.
  std::fill(lnz.begin(), lnz.end(), 0);
  for (int k = 0; k < t_; ++k) {
    flag[k] = k;
    for (std::size_t p = ap_[k]; p + 1 < ap_[k + 1]; ++p)
      for (int i = ai_[p]; flag[i] != k; i = parent_[i]) {
        li_[lp_[i] + static_cast<std::size_t>(lnz[i]++)] = k;
        flag[i] = k;
      }
  }
  // Supernodes: runs of columns where each column's rows are the next column and
  // that column's rows.
  superStart_.clear();
  superOf_.assign(t_, 0);
  for (int j = 0; j < t_; ++j) {
    if (j == 0 || !(parent_[j - 1] == j && lp_[j] - lp_[j - 1] == lp_[j + 1] - lp_[j] + 1))
      superStart_.push_back(j);
    superOf_[j] = static_cast<int>(superStart_.size()) - 1;
  }
  superStart_.push_back(t_);
  // N's lower triangle by columns, as positions in the upper one.
  lowerStart_.assign(t_ + 1, 0);
  for (int k = 0; k < t_; ++k)
    for (std::size_t p = ap_[k]; p < ap_[k + 1]; ++p) ++lowerStart_[ai_[p] + 1];
  for (int k = 0; k < t_; ++k) lowerStart_[k + 1] += lowerStart_[k];
  lowerRow_.resize(ai_.size());
  lowerAt_.resize(ai_.size());
  std::vector<std::size_t> next(lowerStart_.begin(), lowerStart_.end() - 1);
  for (int k = 0; k < t_; ++k)
    for (std::size_t p = ap_[k]; p < ap_[k + 1]; ++p) {
      const std::size_t q = next[ai_[p]]++;
      lowerRow_[q] = k;
      lowerAt_[q] = p;
    }
  SplitTree();
}

// Splits the tree of supernodes for the threads: the subtree of the most work is
// split at its root until each holds at most a 64th of all work. The split does
// not depend on the number of threads, nor do the figures (see Factor). Small
// systems are not split.
void CSparseLsq::SplitTree() {
  const int ns = static_cast<int>(superStart_.size()) - 1;
  std::vector<double> work(ns, 0.0);
  std::vector<int> parent(ns, -1), childCount(ns + 1, 0);
  double total = 0;
  for (int s = 0; s < ns; ++s) {
    const int j0 = superStart_[s], j1 = superStart_[s + 1] - 1;
    const double w = j1 - j0 + 1, r = static_cast<double>(lp_[j1 + 1] - lp_[j1]);
    const double own = w * w * (w / 3 + r) + r * r * w;  // the panel and the rows below it
    work[s] += own;
    total += own;
    if (r > 0) {
      parent[s] = superOf_[li_[lp_[j1]]];
      work[parent[s]] += work[s];  // children come first: work becomes the subtree's
      ++childCount[parent[s] + 1];
    }
  }
  for (int s = 0; s < ns; ++s) childCount[s + 1] += childCount[s];
  std::vector<int> children(childCount[ns]), fill(childCount.begin(), childCount.end() - 1);
  for (int s = 0; s < ns; ++s)
    if (parent[s] >= 0) children[fill[parent[s]]++] = s;

  top_.clear();
  subtrees_.clear();
  owner_.assign(ns, -1);
  // Below some ten million operations threads cost more than they save.
  if (total < threadedFrom_) {
    for (int s = 0; s < ns; ++s) top_.push_back(s);
    return;
  }
  std::vector<std::pair<double, int>> heap;
  for (int s = 0; s < ns; ++s)
    if (parent[s] < 0) heap.push_back({work[s], s});
  std::make_heap(heap.begin(), heap.end());
  while (!heap.empty() && heap.front().first > total / 64) {
    std::pop_heap(heap.begin(), heap.end());
    const int s = heap.back().second;
    heap.pop_back();
    top_.push_back(s);
    for (int c = childCount[s]; c < childCount[s + 1]; ++c) {
      heap.push_back({work[children[c]], children[c]});
      std::push_heap(heap.begin(), heap.end());
    }
  }
  std::sort(top_.begin(), top_.end());
  // Largest first, so that the threads end together.
  std::sort(heap.begin(), heap.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
  for (const auto& [w, root] : heap) {
    std::vector<int> nodes = {root};
    for (std::size_t k = 0; k < nodes.size(); ++k)
      for (int c = childCount[nodes[k]]; c < childCount[nodes[k] + 1]; ++c) nodes.push_back(children[c]);
    std::sort(nodes.begin(), nodes.end());
    for (int n : nodes) owner_[n] = static_cast<int>(subtrees_.size());
    subtrees_.push_back(std::move(nodes));
  }
}

struct CSparseLsq::FactorWork {
  std::vector<int> rel;
  // The panel of a supernode (its rows by its columns) and the update of one
  // column, both dense; the columns of a descendant scaled by its pivots.
  std::vector<double> F, lt, col, diag0;
  // Links into the lists of supernodes above the subtree: (the supernode being
  // factored when it was made, the list, the supernode linked).
  std::vector<std::array<int, 3>> later;
};

// Assembles N and factors it left-looking by supernodes (Davis, §4.8; Ng & Peyton
// 1993): each run of columns is gathered dense with the updates of the runs below
// it and factored as one panel. A pivot that is not clearly positive relative to
// its diagonal means a datum defect or an unobserved unknown.
//
// The subtrees of SplitTree share nothing below their roots and are factored on
// separate threads, then the supernodes above them in order on one. A link into a
// list above a subtree is made there just before the first supernode above that
// follows the one that made it, so every list, and with it the order of the
// updates and every figure, is that of one thread going through in order.
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

  const int ns = static_cast<int>(superStart_.size()) - 1;
  head_.assign(ns, -1);
  link_.assign(ns, -1);
  done_.assign(ns, 0);
  const int threads = std::min(detail::HardwareThreads(), static_cast<int>(subtrees_.size()));
  std::vector<FactorWork> works(static_cast<std::size_t>(std::max(threads, 1)));
  std::atomic<bool> failed{false};
  detail::ParallelForOnThreads(static_cast<int>(subtrees_.size()), threads, 1, [&](int tree, int thread) {
    FactorWork& w = works[static_cast<std::size_t>(thread)];
    for (int s : subtrees_[static_cast<std::size_t>(tree)])
      if (failed || !FactorSupernode(s, w)) {
        failed = true;
        return;
      }
  });
  if (failed) return false;
  std::vector<std::array<int, 3>> later;
  for (FactorWork& w : works) later.insert(later.end(), w.later.begin(), w.later.end());
  std::stable_sort(later.begin(), later.end(), [](const auto& a, const auto& b) { return a[0] < b[0]; });
  std::size_t next = 0;
  for (int s : top_) {
    for (; next < later.size() && later[next][0] < s; ++next) {
      link_[later[next][2]] = head_[later[next][1]];
      head_[later[next][1]] = later[next][2];
    }
    if (!FactorSupernode(s, works[0])) return false;
  }
  return true;
}

// Factors supernode s, all below it done.
bool CSparseLsq::FactorSupernode(int s, FactorWork& work) {
  std::vector<int>& rel = work.rel;
  if (rel.size() != static_cast<std::size_t>(t_)) rel.assign(t_, 0);
  std::vector<double>&F = work.F, &lt = work.lt, &col = work.col, &diag0 = work.diag0;
  // Puts supernode k on the list of `to`, or keeps the link for later when `to`
  // lies above the subtree of s.
  auto linkTo = [&](int to, int k) {
    if (owner_[s] >= 0 && owner_[to] != owner_[s]) {
      work.later.push_back({s, to, k});
    } else {
      link_[k] = head_[to];
      head_[to] = k;
    }
  };
  const int j0 = superStart_[s], w = superStart_[s + 1] - j0, j1 = j0 + w - 1;
  const int r = static_cast<int>(lp_[j1 + 1] - lp_[j1]), m = w + r;
  const int* rows = li_.data() + lp_[j1];
  for (int c = 0; c < w; ++c) rel[j0 + c] = c;
  for (int q = 0; q < r; ++q) rel[rows[q]] = w + q;
  F.assign(static_cast<std::size_t>(m) * w, 0.0);
  auto f = [&](int i, int c) -> double& { return F[static_cast<std::size_t>(c) * m + i]; };
  diag0.resize(w);
  for (int c = 0; c < w; ++c) {
    for (std::size_t e = lowerStart_[j0 + c]; e < lowerStart_[j0 + c + 1]; ++e)
      f(rel[lowerRow_[e]], c) += ax_[lowerAt_[e]];
    diag0[c] = f(c, c);
  }
  // Left-looking: each supernode whose rows reach into this one subtracts
  // L(tail, K)·D_K·L(head, K)ᵀ, its rows from here on against those inside.
  for (int K = head_[s]; K != -1;) {
    const int nextK = link_[K];
    const int k0 = superStart_[K], wk = superStart_[K + 1] - k0, k1 = k0 + wk - 1;
    const int rk = static_cast<int>(lp_[k1 + 1] - lp_[k1]);
    const int* krows = li_.data() + lp_[k1];
    const int o = done_[K], nt = rk - o;
    int nj = 0;
    while (nj < nt && krows[o + nj] <= j1) ++nj;
    lt.resize(static_cast<std::size_t>(nt) * wk);
    for (int c = 0; c < wk; ++c) {
      const double* l = lx_.data() + lp_[k0 + c] + (wk - 1 - c) + o;
      std::copy(l, l + nt, lt.begin() + static_cast<std::ptrdiff_t>(c) * nt);
    }
    col.resize(nt);
    for (int b = 0; b < nj; ++b) {
      std::fill(col.begin() + b, col.end(), 0.0);
      for (int c = 0; c < wk; ++c) {
        const double* l = lt.data() + static_cast<std::size_t>(c) * nt;
        const double g = l[b] * d_[k0 + c];
        for (int a = b; a < nt; ++a) col[a] += l[a] * g;
      }
      const int target = krows[o + b] - j0;
      for (int a = b; a < nt; ++a) f(rel[krows[o + a]], target) -= col[a];
    }
    done_[K] = o + nj;
    if (o + nj < rk) linkTo(superOf_[krows[o + nj]], K);
    K = nextK;
  }
  // The panel: its own LDLᵀ, then the rows below.
  for (int c = 0; c < w; ++c) {
    const double d = f(c, c);
    if (!std::isfinite(d) || !(diag0[c] > 0.0) || d <= 1e-12 * diag0[c]) return false;
    d_[j0 + c] = d;
    double* fc = &f(0, c);
    for (int i = c + 1; i < m; ++i) fc[i] /= d;
    for (int c2 = c + 1; c2 < w; ++c2) {
      const double g = fc[c2] * d;
      double* fc2 = &f(0, c2);
      for (int i = c2; i < m; ++i) fc2[i] -= fc[i] * g;
    }
    std::copy(fc + c + 1, fc + m, lx_.begin() + static_cast<std::ptrdiff_t>(lp_[j0 + c]));
  }
  if (r > 0) linkTo(superOf_[rows[0]], s);
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

// Takahashi: Z = D⁻¹L⁻¹ + (I − Lᵀ)Z, so column j of Z below the diagonal is
// −Z(S, S)·L(S, j) over the rows S of L's column j, and Z(S, S) lies inside the
// pattern (the rows of a column are a clique of the filled graph). Supernodes are
// taken from the last: the block Z(R, R) of the rows R below a supernode is
// gathered once and multiplied densely with all its columns of L, and the
// supernode is finished column by column from its last.
// Threads for the product G of one supernode above the subtrees: all of them
// where it is large enough to pay for starting them.
int CSparseLsq::DenseThreads(int s) const {
  const double w = superStart_[s + 1] - superStart_[s];
  const double r = static_cast<double>(lp_[superStart_[s + 1]] - lp_[superStart_[s + 1] - 1]);
  return w * r * r >= threadedFrom_ ? std::min(detail::HardwareThreads(), static_cast<int>(w)) : 1;
}

struct CSparseLsq::InverseWork {
  std::vector<double> zrr, lr, g, zr, zjj;
};

// The subtrees of SplitTree need only what lies above them: that is done first on
// one thread, then the subtrees on separate threads.
void CSparseLsq::SelectedInverse() {
  zx_.assign(lx_.size(), 0.0);
  zd_.assign(t_, 0.0);
  const int threads = std::min(detail::HardwareThreads(), static_cast<int>(subtrees_.size()));
  std::vector<InverseWork> works(static_cast<std::size_t>(std::max(threads, 1)));
  for (auto s = top_.rbegin(); s != top_.rend(); ++s) InvertSupernode(*s, works[0], DenseThreads(*s));
  detail::ParallelForOnThreads(static_cast<int>(subtrees_.size()), threads, 1, [&](int tree, int thread) {
    const std::vector<int>& nodes = subtrees_[static_cast<std::size_t>(tree)];
    for (auto s = nodes.rbegin(); s != nodes.rend(); ++s) InvertSupernode(*s, works[static_cast<std::size_t>(thread)], 1);
  });
  haveInverse_ = true;
}

// The columns of supernode s of Z, all above it done.
void CSparseLsq::InvertSupernode(int s, InverseWork& work, int threads) {
  std::vector<double>&zrr = work.zrr, &lr = work.lr, &g = work.g, &zr = work.zr, &zjj = work.zjj;
  const int j0 = superStart_[s], w = superStart_[s + 1] - j0, j1 = j0 + w - 1;
  const std::size_t r = lp_[j1 + 1] - lp_[j1];
  const int* rows = li_.data() + lp_[j1];

  // Z(R, R), lower triangle, column by column from column R[p] of Z.
  zrr.resize(r * r);  // only the lower triangle is written and read
  for (std::size_t p = 0; p < r; ++p) {
    const int k = rows[p];
    zrr[p * r + p] = zd_[k];
    const std::size_t rest = r - p - 1;
    if (rest == 0) continue;
    auto it = li_.begin() + static_cast<std::ptrdiff_t>(lp_[k]);
    const auto end = li_.begin() + static_cast<std::ptrdiff_t>(lp_[k + 1]);
    const bool search = rest * 16 < static_cast<std::size_t>(end - it);
    for (std::size_t q = p + 1; q < r; ++q) {
      if (search)
        it = std::lower_bound(it, end, rows[q]);
      else
        while (*it < rows[q]) ++it;
      zrr[p * r + q] = zx_[static_cast<std::size_t>(it - li_.begin())];
    }
  }
  // L(R, J) and G = Z(R, R)·L(R, J).
  lr.resize(r * w);
  for (int c = 0; c < w; ++c) {
    const double* l = lx_.data() + lp_[j0 + c] + (w - 1 - c);
    std::copy(l, l + r, lr.begin() + static_cast<std::ptrdiff_t>(r * c));
  }
  g.assign(r * w, 0.0);
  detail::ParallelFor(w, threads, 1, [&](int c) {
    const double* l = lr.data() + r * c;
    double* gc = g.data() + r * c;
    for (std::size_t p = 0; p < r; ++p) {
      const double* z = zrr.data() + p * r;  // Z(R[q], R[p]) for q >= p
      double acc = z[p] * l[p];
      const double lp = l[p];
      for (std::size_t q = p + 1; q < r; ++q) {
        acc += z[q] * l[q];
        gc[q] += z[q] * lp;
      }
      gc[p] += acc;
    }
  });
  // The supernode's columns from the last: Z(R, j) and Z(J, j) from what is done.
  zr.resize(r * w);
  zjj.resize(static_cast<std::size_t>(w) * w);
  for (int c = w - 1; c >= 0; --c) {
    const int j = j0 + c, nJ = w - 1 - c;
    const double* lJ = lx_.data() + lp_[j];
    const double* lR = lr.data() + r * c;
    double* zrc = zr.data() + r * c;
    for (std::size_t p = 0; p < r; ++p) zrc[p] = -g[r * c + p];
    for (int i = 0; i < nJ; ++i) {
      const double* zro = zr.data() + r * (c + 1 + i);
      for (std::size_t p = 0; p < r; ++p) zrc[p] -= lJ[i] * zro[p];
    }
    double diag = 1.0 / d_[j];
    for (int i = 0; i < nJ; ++i) {
      const int m = c + 1 + i;
      double z = 0.0;
      for (int i2 = 0; i2 < nJ; ++i2) z -= zjj[static_cast<std::size_t>(m) * w + (c + 1 + i2)] * lJ[i2];
      const double* zrm = zr.data() + r * m;
      for (std::size_t p = 0; p < r; ++p) z -= zrm[p] * lR[p];
      zjj[static_cast<std::size_t>(m) * w + c] = zjj[static_cast<std::size_t>(c) * w + m] = z;
      zx_[lp_[j] + i] = z;
      diag -= lJ[i] * z;
    }
    for (std::size_t p = 0; p < r; ++p) {
      zx_[lp_[j] + nJ + p] = zrc[p];
      diag -= lR[p] * zrc[p];
    }
    zd_[j] = diag;
    zjj[static_cast<std::size_t>(c) * w + c] = diag;
  }
}

// The first common ancestor of a and b. Parents come after their children, so
// the smaller of the two can never be it and moves up; inside a supernode the
// columns form a chain, passed in one step.
int CSparseLsq::CommonAncestor(int a, int b) const {
  while (a != b && a >= 0 && b >= 0) {
    if (a > b) std::swap(a, b);
    const int last = superStart_[superOf_[a] + 1] - 1;
    a = b <= last ? b : parent_[last];
  }
  return a == b ? a : -1;
}

// L·y = e_s along the path from s up to c, its ancestor, not including c: the
// part of y below c. What that part feeds into c and above, −L(C, A)·y_A, lies on
// c and the rows of column c only (a column's rows above c are rows of c's
// column: the rows of every column pass on to its parent), and is kept there.
std::size_t CSparseLsq::SolveUpTo(EntryWork& w, int s, int c, std::size_t keep) const {
  std::vector<PathSolve>& paths = w.paths;
  for (std::size_t i = 0; i < paths.size(); ++i)
    if (paths[i].start == s && paths[i].stop == c) return i;
  if (w.next == keep) w.next = (w.next + 1) % paths.size();
  const std::size_t slot = w.next;
  w.next = (w.next + 1) % paths.size();
  PathSolve& ps = paths[slot];
  ps.start = s;
  ps.stop = c;
  ps.zv.clear();
  std::vector<double>& work = w.work;
  if (work.size() != static_cast<std::size_t>(t_)) work.assign(t_, 0.0);
  work[s] = 1.0;
  for (int j = s; j != c; j = parent_[j]) {
    const double yj = work[j];
    work[j] = 0.0;
    if (yj == 0.0) continue;
    for (std::size_t p = lp_[j]; p < lp_[j + 1]; ++p) work[li_[p]] -= lx_[p] * yj;
  }
  const std::size_t r = lp_[c + 1] - lp_[c];
  ps.v.resize(r + 1);
  ps.v[0] = work[c];
  work[c] = 0.0;
  for (std::size_t k = 0; k < r; ++k) {
    double& y = work[li_[lp_[c] + k]];
    ps.v[k + 1] = y;
    y = 0.0;
  }
  return slot;
}

// Q(a, b) = (L⁻¹e_a)ᵀ D⁻¹ (L⁻¹e_b), and both solves are nonzero only on their
// paths up the elimination tree. Below c, the first common ancestor, the paths
// part; with C = c and its ancestors, what each solve feeds into C is v_a and v_b
// (SolveUpTo), and Q(a, b) = v_aᵀ·Z(C, C)·v_b. Both lie on c and the rows of
// column c, a clique of the filled graph, so the entries of Z they need are in
// the selected inverse, and the solves stop at c instead of running to the root.
double CSparseLsq::SolveEntry(EntryWork& w, int a, int b) const {
  const int c = CommonAncestor(a, b);
  if (c < 0) return 0.0;  // separate blocks of N
  const std::size_t sa = SolveUpTo(w, a, c, w.paths.size());
  PathSolve& pa = w.paths[sa];
  PathSolve& pb = w.paths[SolveUpTo(w, b, c, sa)];
  // The four cofactors of a leg pair each end's two solves with the other's: one
  // product Z·v for each solve on one side serves them all.
  const bool useA = !pa.zv.empty() && pb.zv.empty();
  PathSolve& with = useA ? pa : pb;
  if (with.zv.empty()) CliqueProduct(c, with.v, with.zv);
  const std::vector<double>& v = useA ? pb.v : pa.v;
  double q = 0.0;
  for (std::size_t k = 0; k < v.size(); ++k) q += v[k] * with.zv[k];
  return q;
}

// zv = Z(S, S)·v on the clique S of c: c, then the rows of column c. Each column
// of Z there holds every later row of S: often those alone (a column of c's own
// supernode, or of one with the same rows), in order, else among others.
void CSparseLsq::CliqueProduct(int c, const std::vector<double>& v, std::vector<double>& zv) const {
  const std::size_t n = v.size();
  const int* rows = li_.data() + lp_[c];
  zv.assign(n, 0.0);
  for (std::size_t p = 0; p < n; ++p) {
    const int x = p == 0 ? c : rows[p - 1];
    const double vp = v[p];
    double acc = zd_[x] * vp;
    if (lp_[x + 1] - lp_[x] == n - 1 - p) {
      const double* z = zx_.data() + lp_[x] - (p + 1);
      for (std::size_t k = p + 1; k < n; ++k) {
        acc += z[k] * v[k];
        zv[k] += z[k] * vp;
      }
    } else {
      auto it = li_.begin() + static_cast<std::ptrdiff_t>(lp_[x]);
      const auto end = li_.begin() + static_cast<std::ptrdiff_t>(lp_[x + 1]);
      const bool search = (n - p) * 16 < static_cast<std::size_t>(end - it);
      for (std::size_t k = p + 1; k < n; ++k) {
        if (search)
          it = std::lower_bound(it, end, rows[k - 1]);
        else
          while (*it < rows[k - 1]) ++it;
        const double z = zx_[static_cast<std::size_t>(it - li_.begin())];
        acc += z * v[k];
        zv[k] += z * vp;
      }
    }
    zv[p] += acc;
  }
}

bool CSparseLsq::HaveInverse() {
  if (!factored_) return false;
  if (!haveInverse_) {
    // Pairs named after the factor may lie outside its pattern: refactor once.
    if (!PatternUnchanged()) {
      Analyse();
      if (!Factor()) return false;
    }
    SelectedInverse();
    for (PathSolve& c : entry_.paths) c.start = c.stop = -1;
  }
  return true;
}

const double* CSparseLsq::PatternEntry(int a, int b) const {
  const auto first = li_.begin() + static_cast<std::ptrdiff_t>(lp_[a]);
  const auto last = li_.begin() + static_cast<std::ptrdiff_t>(lp_[a + 1]);
  const auto it = std::lower_bound(first, last, b);
  return it != last && *it == b ? &zx_[static_cast<std::size_t>(it - li_.begin())] : nullptr;
}

double CSparseLsq::Q(int i, int j) {
  if (i < 0 || j < 0 || i >= t_ || j >= t_ || !HaveInverse()) return 0.0;
  int a = iperm_[i], b = iperm_[j];
  if (a == b) return zd_[a];
  if (a > b) std::swap(a, b);
  if (const double* z = PatternEntry(a, b)) return *z;
  return SolveEntry(entry_, a, b);
}

// The entries outside the pattern cost two sparse solves each and depend on
// nothing but the factor and Z: they are spread over the cores in fixed runs of
// pairs, each run starting with no solves kept, so every figure is the same
// whatever the number of threads.
void CSparseLsq::Cofactors(const std::vector<std::pair<int, int>>& pairs, std::vector<double>& out) {
  out.assign(pairs.size(), 0.0);
  if (pairs.empty() || !HaveInverse()) return;
  std::vector<std::pair<int, int>> outside;  // permuted (a, b), a < b
  std::vector<std::size_t> at;
  for (std::size_t k = 0; k < pairs.size(); ++k) {
    const auto [i, j] = pairs[k];
    if (i < 0 || j < 0 || i >= t_ || j >= t_) continue;
    int a = iperm_[i], b = iperm_[j];
    if (a > b) std::swap(a, b);
    if (a == b) {
      out[k] = zd_[a];
    } else if (const double* z = PatternEntry(a, b)) {
      out[k] = *z;
    } else {
      outside.push_back({a, b});
      at.push_back(k);
    }
  }
  constexpr int kRun = 16;
  const int runs = static_cast<int>((outside.size() + kRun - 1) / kRun);
  const int threads = outside.size() < 4 * kRun && threadedFrom_ > 0 ? 1 : std::min(detail::HardwareThreads(), runs);
  std::vector<EntryWork> works(static_cast<std::size_t>(threads));
  detail::ParallelForOnThreads(runs, threads, 1, [&](int run, int thread) {
    EntryWork& w = works[static_cast<std::size_t>(thread)];
    for (PathSolve& c : w.paths) c.start = c.stop = -1;
    w.next = 0;
    const std::size_t from = static_cast<std::size_t>(run) * kRun;
    const std::size_t to = std::min(outside.size(), from + kRun);
    for (std::size_t k = from; k < to; ++k) out[at[k]] = SolveEntry(w, outside[k].first, outside[k].second);
  });
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
