#pragma once
// CSparseLsq: the error-equation system of the rigorous plane and height
// adjustments, solved sparse.
//
// What: error equations v = A·x + l with weights p in two groups (angles or height
// differences in group 1, sides in group 2), normal equations N·x + u = 0, the
// solution x = −N⁻¹u, the weighted sums of squared residuals per group, σ0 =
// √([pvv]/r) with r = m1 + m2 − t, cofactors Q = N⁻¹ and one Helmert
// variance-component step (the same estimate as CWchFch, least_squares.h). Weights
// of a group whose size is unchanged survive `Init`, which the Helmert loop relies
// on. The adjustment steps talk to the `CLsqSolver` interface only.
//
// How: an LDLᵀ factor in envelope (skyline) storage after a reverse Cuthill–McKee
// ordering of the unknowns; cofactors inside the envelope by the Takahashi
// recurrence (Takahashi, Fagan & Chen, "Formation of a sparse bus impedance matrix
// and its application to short circuit study", 1973), single columns of N⁻¹ by two
// triangular solves for pairs outside it. See George & Liu, "Computer Solution of
// Large Sparse Positive Definite Systems", ch. 4, for the envelope method.
//
// Accuracy proved by the tests: on a random system of 40 unknowns and 120 rows x
// and every Q(i, j) (inside and outside the envelope) agree with a dense Eigen
// solve to 1e-9 relative, σ0 to 1e-10, the Helmert step and the re-scaled weights
// to 1e-9 / 1e-12; the rigorous traverse tests check whole networks against a
// dense reference. Range: positive definite normals; a pivot at or below 1e-12 of
// its original diagonal (datum defect, unobserved unknown) is refused with the two
// messages of CWchFch ("非可逆阵…", then the plane or height text). Cost: a
// traverse network keeps a narrow envelope under the ordering, so time and memory
// grow with t × envelope width instead of t³ and t² (bench/traverse times networks
// of 100 to 1,000 new points).
#include <cstddef>
#include <map>
#include <vector>

namespace survey {

class CLsqSolver {
 public:
  virtual ~CLsqSolver() = default;
  // t unknowns, m1 rows in group 1, m2 in group 2. Rows are emptied, misclosures
  // zeroed; weights are only resized.
  virtual void Init(int t, int m1, int m2) = 0;
  virtual double& Weight(int group, int row) = 0;
  virtual double& Misclosure(int group, int row) = 0;
  // Appends (idx, coef) pairs to a row; negative indices (known points) are skipped.
  virtual void AddToRow(int group, int row, const int* idx, const double* coef, int count) = 0;
  // Forms and solves. Returns max |x_i|, or −1e10 for a singular system (after the
  // two messages of the failure).
  virtual double Solve() = 0;
  virtual double X(int i) const = 0;
  // Cofactor Q(i, j) of the last solution.
  virtual double Q(int i, int j) = 0;
  // √([pvv]/r), −1 when r ≤ 0.
  virtual double Sigma0() const = 0;
  virtual double Pvv(int group) const = 0;
  // Helmert step: 0 when a group is empty (nothing changes), −1 when a redundancy
  // share or a variance factor is not positive, else |s1 − s2| after re-scaling
  // the weights of each group by 1/s_g.
  virtual double HelmertStep() = 0;
};

class CSparseLsq : public CLsqSolver {
 public:
  // heightNetwork picks the second failure message of a singular system.
  explicit CSparseLsq(bool heightNetwork = false) : height_(heightNetwork) {}

  void Init(int t, int m1, int m2) override;
  double& Weight(int group, int row) override { return group == 1 ? p1_[row] : p2_[row]; }
  double& Misclosure(int group, int row) override { return group == 1 ? l1_[row] : l2_[row]; }
  void AddToRow(int group, int row, const int* idx, const double* coef, int count) override;
  double Solve() override;
  double X(int i) const override { return x_[i]; }
  double Q(int i, int j) override;
  double Sigma0() const override { return sigma0_; }
  double Pvv(int group) const override { return group == 1 ? pvv1_ : pvv2_; }
  double HelmertStep() override;

  int Unknowns() const { return t_; }
  // Variance factors s1, s2 found by the last HelmertStep (1 before any).
  double LastFactor(int group) const { return group == 1 ? s1_ : s2_; }
  // Size of the envelope of the last factor (diagnostic for the benchmark).
  std::size_t EnvelopeSize() const { return val_.size(); }

 private:
  struct Row {
    std::vector<int> idx;
    std::vector<double> coef;
  };
  void Order();
  bool Factor();
  void SelectedInverse();
  // Column j of N⁻¹ in original numbering (for a pair outside the envelope).
  const std::vector<double>& Column(int j);
  double TraceGroup(const std::vector<Row>& rows, const std::vector<double>& p);
  double EnvGet(const std::vector<double>& store, int i, int j) const;  // permuted, i ≥ j

  bool height_;
  int t_ = 0;
  std::vector<Row> rows1_, rows2_;
  std::vector<double> p1_, p2_, l1_, l2_;
  std::vector<double> x_;
  double pvv1_ = 0, pvv2_ = 0, sigma0_ = 0;
  double s1_ = 1, s2_ = 1;

  // Ordering: perm_[new] = old, iperm_[old] = new.
  std::vector<int> perm_, iperm_;
  // Envelope of the permuted matrix: row i holds columns first_[i] … i at
  // val_[off_[i] + (j − first_[i])].
  std::vector<int> first_;
  std::vector<std::size_t> off_;
  std::vector<double> val_;   // L below the diagonal, D on it (after Factor)
  std::vector<double> zinv_;  // selected inverse in the same layout
  bool haveInverse_ = false;
  std::map<int, std::vector<double>> columns_;
};

}  // namespace survey
