#pragma once
// CLsqSolver: the error-equation system the rigorous adjustments talk to, and the
// one place that picks a solver for a network's size.
//
// What every solver computes: error equations v = A·x + l with weights p in two
// groups (angles or height differences in group 1, sides in group 2), normal
// equations N·x + u = 0, the solution x = −N⁻¹u, the weighted sums of squared
// residuals [pvv] per group, σ0 = √([pvv]/r) with r = m1 + m2 − t, cofactors
// Q = N⁻¹, and one Helmert variance-component step (Koch, "Parameter Estimation
// and Hypothesis Testing in Linear Models", §3.6). Weights of a group whose size
// is unchanged survive `Init`: the Helmert loop carries them from pass to pass.
//
// Implementations: CWchFch (least_squares.h), dense normals and a full inverse,
// for small systems; CSparseLsq (sparse_least_squares.h), a sparse LDLᵀ factor and
// the selected inverse on its pattern, for everything larger. The shared test
// suite (tests/survey/lsq_solver_test.cpp) runs the same systems through each and
// expects the same x, Q, [pvv], σ0 and Helmert factors to 1e-9 relative.
#include <cstddef>
#include <memory>
#include <utility>
#include <vector>

namespace survey {

// Shown after the pivot message when a system cannot be solved, and alone when a
// row names an unknown the system does not have: the plane text for systems with
// sides, the height text for levelling networks.
inline constexpr char kPlaneSystemFailedMessage[] =
    "给定的平面网数据不合理，无法完成平差!\n请检查平面数据。";
inline constexpr char kHeightSystemFailedMessage[] =
    "给定的高程网数据不合理，无法完成平差!\n请检查高差数据。";

// σ0 = √([pvv]/r); −1 without redundancy (r ≤ 0).
double UnitWeightRms(double pvv, int redundancy);

// A variance factor not above this says the group has no residuals: they are
// below a millionth of their prior errors, rounding rather than observation
// (data typed from design figures). Re-scaling by its inverse would blow the
// group's weights up by 1e20 and more and make the normals singular.
inline constexpr double kNoResidualFactor = 1e-12;

// Helmert's variance factors of two observation groups, s_g = [pvv]_g / r_g with
// the redundancy shares r_g = m_g − tr(N_g·Q). Returns −1 (s1, s2 untouched) when
// a share is below 1e-6 or a factor is not finite. A group without residuals
// (kNoResidualFactor) has no variance to estimate: its factor is exactly 1, so
// that its weights are kept while the other group is re-scaled. Else stores the
// factors and returns |s1 − s2| (0 when neither group has residuals).
double HelmertFactors(double pvv1, double r1, double pvv2, double r2, double& s1, double& s2);

// Which failure text a singular system shows. ByGroups is the rule of the dense
// system: the plane text when there are sides, else the height text.
enum class LsqNetwork { ByGroups, Plane, Height };

class CLsqSolver {
 public:
  virtual ~CLsqSolver() = default;

  // t unknowns, m1 rows in group 1, m2 in group 2. Rows are emptied, misclosures
  // zeroed, results cleared; weights are only resized (new entries 0).
  virtual void Init(int t, int m1, int m2) = 0;
  virtual int Unknowns() const = 0;
  virtual int Rows(int group) const = 0;
  // Weight and misclosure of a row, written by index after Init.
  virtual double& Weight(int group, int row) = 0;
  virtual double& Misclosure(int group, int row) = 0;
  // Appends (idx, coef) pairs to a row; negative indices (known points) are
  // skipped, an unknown named twice is one term. A group, row or index that does
  // not exist is a programming error: it asserts in debug builds, adds nothing,
  // returns false and makes the next Solve fail with the failure text.
  virtual bool AddToRow(int group, int row, const int* idx, const double* coef, int count) = 0;
  // Pairs (i, j) whose cofactor the caller will read after the coming solutions
  // (the precision of a leg between two points no observation joins). The sparse
  // solvers keep them inside the factor's pattern; a dense one has them anyway.
  virtual void NeedCofactors(const std::vector<std::pair<int, int>>& pairs) = 0;
  // Forms and solves. Returns max |x_i|, or −1e10 when the system cannot be
  // solved (after the failure messages).
  virtual double Solve() = 0;
  virtual double X(int i) const = 0;
  // Cofactor Q(i, j) of the last solution; 0 for an index outside the system.
  virtual double Q(int i, int j) = 0;
  // Q of many pairs at once, out[k] = Q(pairs[k]); the sparse solver spreads the
  // costly ones over the cores.
  virtual void Cofactors(const std::vector<std::pair<int, int>>& pairs, std::vector<double>& out) {
    out.resize(pairs.size());
    for (std::size_t k = 0; k < pairs.size(); ++k) out[k] = Q(pairs[k].first, pairs[k].second);
  }
  // Residual v = a·x + l of a row of group 1 or 2 after the last solution.
  virtual double Residual(int group, int row) const = 0;
  // √([pvv]/r), −1 when r ≤ 0.
  virtual double Sigma0() const = 0;
  virtual double Pvv(int group) const = 0;
  // Helmert step: 0 when a group is empty (nothing changes), −1 when a redundancy
  // share is below 1e-6 or a factor is not finite (weights unchanged), else
  // |s1 − s2| after re-scaling the weights of each group by 1/s_g. A group
  // without residuals keeps its weights (factor 1).
  virtual double HelmertStep() = 0;
  // Variance factor of a group found by the last HelmertStep (1 before any).
  virtual double LastFactor(int group) const = 0;
};

// Up to this many unknowns the dense system is the faster one; above it the
// sparse factor.
inline constexpr int kDenseSolverLimit = 50;

// Which solver MakeLsqSolver returns: the one for the size (what the program
// runs), or the dense or the sparse one whatever the size (for comparing them).
enum class LsqSolverKind { BySize, Dense, Sparse };

// The solver for a system of `unknowns` unknowns: the only place that chooses.
std::unique_ptr<CLsqSolver> MakeLsqSolver(int unknowns, LsqNetwork network,
                                          LsqSolverKind kind = LsqSolverKind::BySize);

}  // namespace survey
