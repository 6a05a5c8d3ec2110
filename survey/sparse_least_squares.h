#pragma once
// CSparseLsq: the error-equation system of the rigorous plane and height
// adjustments, solved sparse (the CLsqSolver of every network above the dense
// limit, lsq_solver.h).
//
// What: the system of CLsqSolver: x = −N⁻¹u, [pvv] per group, σ0, cofactors and
// the Helmert step, with the formulas and messages of the dense CWchFch.
//
// How: the unknowns are ordered to keep the factor sparse, by approximate minimum
// degree (Amestoy, Davis & Duff, "An approximate minimum degree ordering
// algorithm", 1996; Eigen's implementation) or, on request, by reverse
// Cuthill–McKee; N = L·D·Lᵀ is factored left-looking by supernodes, runs of
// columns with one row pattern that are factored as dense panels (Davis, "Direct
// Methods for Sparse Linear Systems", 2006, §4.8); cofactors come from the
// selected inverse on L's own pattern by the Takahashi recurrence (Takahashi,
// Fagan & Chen, 1973; Erisman & Tinney, "On computing certain elements of the
// inverse of a sparse matrix", 1975), formed by the same supernodes, so only the
// entries of Q inside the pattern are formed, and no column of N⁻¹ is ever kept.
// Pairs a caller names beforehand (NeedCofactors) are added to the pattern as
// zeros; a pair outside it is computed on demand from the selected inverse at the
// first common ancestor of i and j in the elimination tree and the two sparse
// solves L⁻¹e_i and L⁻¹e_j along the paths up to it (SolveEntry), and the last few
// of those are kept for the neighbouring entries of the same leg.
// The ordering and the symbolic factor are reused while the pattern stays the
// same (the passes of a Gauss-Newton or Helmert loop). Above some ten million
// operations the work is spread over the cores: subtrees of the elimination tree
// that share nothing are factored and inverted on separate threads, the largest
// products of the inverse are split by columns, and many entries outside the
// pattern (Cofactors) are solved at once; every figure is that of one thread.
// The large arrays are mapped with their pages present (platform/memory.h).
//
// Accuracy proved by the tests: on random systems of 40 to 300 unknowns x, every
// Q(i, j) (inside and outside the pattern), [pvv], σ0 and the Helmert factors
// agree with a dense solve to 1e-9 relative; whole traverse networks of a few
// thousand points give the coordinates, σ0, mx, my and ellipses of the dense
// system to 1e-9. Range: positive definite normals; a pivot at or below 1e-12 of
// its original diagonal (datum defect, unobserved unknown) is refused with the two
// messages of CWchFch ("非可逆阵…", then the plane or height text). Cost on
// traverse grids with the precision (bench/traverse, 1,000 to 100,000 points):
// memory linear in the number of unknowns, work growing as about its 1.35th
// power; a grid of 138,000 points (bench/app/network_job_bench.cpp) computes
// with its precision in under 5 s on eight cores.
#include <cstddef>
#include <utility>
#include <vector>

#include "platform/memory.h"
#include "survey/lsq_solver.h"

namespace survey {

class CSparseLsq : public CLsqSolver {
 public:
  enum class Ordering { MinimumDegree, ReverseCuthillMcKee };

  // heightNetwork picks the second failure message of a singular system.
  explicit CSparseLsq(bool heightNetwork = false, Ordering ordering = Ordering::MinimumDegree)
      : height_(heightNetwork), ordering_(ordering) {}

  void Init(int t, int m1, int m2) override;
  int Unknowns() const override { return t_; }
  int Rows(int group) const override {
    return group == 1 ? static_cast<int>(rows1_.size()) : group == 2 ? static_cast<int>(rows2_.size()) : 0;
  }
  double& Weight(int group, int row) override { return group == 1 ? p1_[row] : p2_[row]; }
  double& Misclosure(int group, int row) override { return group == 1 ? l1_[row] : l2_[row]; }
  bool AddToRow(int group, int row, const int* idx, const double* coef, int count) override;
  void NeedCofactors(const std::vector<std::pair<int, int>>& pairs) override;
  double Solve() override;
  double X(int i) const override { return i >= 0 && i < t_ ? x_[i] : 0.0; }
  double Q(int i, int j) override;
  void Cofactors(const std::vector<std::pair<int, int>>& pairs, std::vector<double>& out) override;
  double Residual(int group, int row) const override;
  double Sigma0() const override { return sigma0_; }
  double Pvv(int group) const override { return group == 1 ? pvv1_ : pvv2_; }
  double HelmertStep() override;
  double LastFactor(int group) const override { return group == 1 ? s1_ : s2_; }

  // Entries of L below the diagonal after the last Solve (for the benchmarks).
  std::size_t FactorSize() const { return li_.size(); }
  // The work, in operations, from which the factor and the inverse are spread
  // over threads (about ten million; the tests set 0 to run small systems so).
  // Takes effect at the next analysis.
  void SetThreadedFrom(double work) {
    threadedFrom_ = work;
    analysedValid_ = false;
  }

 private:
  struct Row {
    std::vector<int> idx;
    std::vector<double> coef;
  };
  bool PatternUnchanged() const;
  void Analyse();
  void SplitTree();
  struct FactorWork;
  bool Factor();
  bool FactorSupernode(int s, FactorWork& work);
  struct InverseWork;
  void SelectedInverse();
  void InvertSupernode(int s, InverseWork& work, int threads);
  int DenseThreads(int s) const;
  struct PathSolve {
    int start = -1, stop = -1;
    std::vector<double> v;  // on `stop` and the rows of its column
    std::vector<double> zv;  // Z·v there, once asked (empty before)
  };
  // What the entries outside the pattern are worked out with: the last few solves
  // (the four cofactors of a leg share them) and a vector kept zero between solves.
  // One per thread.
  struct EntryWork {
    std::vector<PathSolve> paths = std::vector<PathSolve>(4);
    std::size_t next = 0;
    std::vector<double> work;
  };
  bool HaveInverse();
  int CommonAncestor(int a, int b) const;  // permuted; -1 in different trees
  // The slot of (s, c) in w, never `keep`.
  std::size_t SolveUpTo(EntryWork& w, int s, int c, std::size_t keep) const;
  void CliqueProduct(int c, const std::vector<double>& v, std::vector<double>& zv) const;
  double SolveEntry(EntryWork& w, int a, int b) const;  // permuted, outside the pattern
  const double* PatternEntry(int a, int b) const;  // permuted, a < b; null outside
  double TraceGroup(const std::vector<Row>& rows, const std::vector<double>& p);

  bool height_;
  Ordering ordering_;
  double threadedFrom_ = 1e7;
  int t_ = 0;
  bool badRow_ = false;
  std::vector<Row> rows1_, rows2_;
  std::vector<double> p1_, p2_, l1_, l2_;
  std::vector<std::pair<int, int>> pairs_;  // NeedCofactors, original numbering
  std::vector<double> x_;
  double pvv1_ = 0, pvv2_ = 0, sigma0_ = 0;
  double s1_ = 1, s2_ = 1;

  // The pattern the analysis below was made for: row lengths, then indices.
  std::vector<int> analysed_;
  bool analysedValid_ = false;
  // Ordering: perm_[new] = old, iperm_[old] = new.
  std::vector<int> perm_, iperm_;
  // Upper triangle of the permuted N by columns (diagonal last in each column).
  std::vector<std::size_t> ap_;
  platform::PopulatedVector<int> ai_;
  platform::PopulatedVector<double> ax_;
  // Elimination tree and L by columns (strictly lower, rows ascending), D.
  std::vector<int> parent_;
  std::vector<std::size_t> lp_;
  platform::PopulatedVector<int> li_;
  platform::PopulatedVector<double> lx_;
  std::vector<double> d_;
  // Supernodes (first columns, and the supernode of each column) and N's lower
  // triangle by columns as rows and positions in ax_.
  std::vector<int> superStart_, superOf_;
  std::vector<std::size_t> lowerStart_;
  platform::PopulatedVector<std::size_t> lowerAt_;
  platform::PopulatedVector<int> lowerRow_;
  // Subtrees of supernodes worked on by separate threads (each ascending), the
  // supernodes above them (ascending) and the subtree of each supernode (−1 above).
  std::vector<std::vector<int>> subtrees_;
  std::vector<int> top_, owner_;
  // The factor's lists: supernodes whose next update goes to a supernode, and how
  // far down their rows the updates have gone.
  std::vector<int> head_, link_, done_;
  // Selected inverse on L's pattern (zx_ beside lx_) and its diagonal.
  platform::PopulatedVector<double> zx_;
  std::vector<double> zd_;
  bool factored_ = false, haveInverse_ = false;
  EntryWork entry_;  // Q's, one entry at a time
};

}  // namespace survey
