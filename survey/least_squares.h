#pragma once
// CWchFch: the error-equation system v = A·x + l with weights p, solved through
// the normal equations N·x + u = 0 (N = AᵀPA, u = AᵀPl), x = −Q·u, Q = N⁻¹.
//
// Rows belong to three groups: 1 (angles, or height differences), 2 (sides),
// 3 (constraint rows C·x + l3 = 0, bordered onto N as extra rows and columns, so
// x then holds t + m3 entries: the t unknowns, then the multipliers). Each row is
// sparse: only the unknowns it touches. The caller writes weights p1, p2 and
// misclosures l1, l2, l3 by index after Init.
//
// Results after Solve: x, Q (q), the weighted square sums [pvv] of groups 1 and 2
// computed from the residuals of this solution (pvv1, pvv2), σ0 (sigma0, −1
// without redundancy). HelmertStep re-scales the two groups' weights by their
// variance factors (Helmert's estimate of variance components; see Koch,
// "Parameter Estimation and Hypothesis Testing in Linear Models", §3.6, or
// Niemeier, "Ausgleichungsrechnung", §9.4).
//
// Accuracy proved by the tests: x, Q, [pvv] and σ0 agree with an independent
// dense solve (Eigen, full-pivoting LU) to 1e-9 relative on random sparse systems
// of 40 unknowns with weights spread over four orders of magnitude and at weight
// scales 1e-2 .. 1e4, to 1e-8 on 300 unknowns, with either inverter; the bordered
// system matches the dense KKT solve. Singular systems (datum defect, repeated
// rows) are refused at weight scales 1e-2 .. 1e4: the pivot test is relative to
// the largest entry of N (1e-12), so the unit of the weights does not matter.
// Cost: the dense inverse takes O((t+m3)³) time and 3-4 (t+m3)² doubles of
// memory; 2000 unknowns take about a second (bench/survey).
//
// Failures show their messages through platform::Messages(): the pivot message
// of the inverter, then "给定的平面网数据不合理，无法完成平差!\n请检查平面数据。" (m2 > 0
// or k > 0) or "给定的高程网数据不合理，无法完成平差!\n请检查高差数据。".
// CSparseLsq (sparse_least_squares.h) is the envelope-factor counterpart for large
// networks; it shares these messages and the Helmert and σ0 formulas below.
#include <vector>

#include "survey/sym_matrix.h"

namespace survey {

// Shown after kSingularNormalMessage when a system cannot be solved: the plane text
// for systems with sides, the height text for levelling networks.
inline constexpr char kPlaneSystemFailedMessage[] =
    "给定的平面网数据不合理，无法完成平差!\n请检查平面数据。";
inline constexpr char kHeightSystemFailedMessage[] =
    "给定的高程网数据不合理，无法完成平差!\n请检查高差数据。";

// σ0 = √([pvv]/r); −1 without redundancy (r ≤ 0).
double UnitWeightRms(double pvv, int redundancy);

// Helmert's variance factors of two observation groups, s_g = [pvv]_g / r_g with
// the redundancy shares r_g = m_g − tr(N_g·Q). Returns −1 (s1, s2 untouched) when
// a share is below 1e-6 or a factor is not above 1e-30 and finite: a group without
// residuals has no variance to estimate, and re-scaling by 1/0 would poison every
// weight. Else stores the factors and returns |s1 − s2|.
double HelmertFactors(double pvv1, double r1, double pvv2, double r2, double& s1, double& s2);

// The step that turns the normal matrix into its inverse. The dense Gauss-Jordan
// inverter is the default; a sparse factorisation for large networks can take its
// place without changing the system.
class INormalInverter {
 public:
  virtual ~INormalInverter() = default;
  // Inverts n in place; on failure shows its own message, leaves n unchanged and
  // returns false.
  virtual bool Invert(CSymMatrix& n) = 0;
};

// Gauss-Jordan with full pivoting on a dense copy (CSymMatrix::Invert): any
// regular matrix, the bordered ones included. 2n³ flops over a matrix streamed
// from memory n times.
class CGaussJordanInverter final : public INormalInverter {
 public:
  bool Invert(CSymMatrix& n) override { return n.Invert(); }
};

// Cholesky with diagonal pivoting (cholesky_inverse.h) for the positive
// semi-definite normals AᵀPA: the same pivots and the same singularity test as
// full-pivoting Gauss-Jordan, at a fraction of the time. An indefinite matrix is
// handed to Gauss-Jordan.
class CCholeskyInverter final : public INormalInverter {
 public:
  bool Invert(CSymMatrix& n) override;
};

class CWchFch {
 public:
  // One sparse error-equation row: unknown numbers and their coefficients.
  struct CWchFchCol {
    std::vector<int> indices;
    std::vector<double> coefficients;
  };

  CWchFch() = default;

  // Stores the counts and clears everything but the weights: p1 and p2 are only
  // resized (weights of unchanged groups survive; new entries are 0).
  void Init(int t, int m1, int m2, int m3, int k);

  // Appends (idx[i], coef[i]) to row `row` of `group` (1, 2 or 3). Negative
  // indices (known points) are skipped; an index already in the row has its
  // coefficient added to the existing one. Returns false (and adds nothing) for a
  // group or row that does not exist or an index >= t.
  bool AddToRow(int group, int row, const int idx[], const double coef[], int count);

  // Builds the normals, inverts them, and (unless invertOnly) solves.
  // Returns −1e10 when the system is singular (after the messages); with
  // invertOnly sets sigma0 := 1 and returns 0; else returns max |x_i|, i < t.
  double Solve(bool invertOnly);

  // One Helmert re-weighting: |s1 − s2|; 0 (nothing changed) when a group is
  // empty; −1 when a group's redundancy share is below 1e-6 or its variance
  // factor is not positive and finite (weights unchanged then).
  double HelmertStep();

  // The inverter used by Solve (not owned). nullptr restores the defaults:
  // Cholesky without group 3, Gauss-Jordan for the bordered (indefinite) system.
  void SetInverter(INormalInverter* inverter) { inverter_ = inverter; }

  // Residual v = A·x + l of a row of group 1, 2 (x of the last Solve).
  double Residual(int group, int row) const;

  // State (names as the adjustments use them).
  double pvv1 = 0, pvv2 = 0;  // [pvv] of groups 1 and 2
  double sigma0 = 0;          // unit-weight RMS, −1 without redundancy
  int m1 = 0, m2 = 0, m3 = 0; // rows per group
  int t = 0;                  // unknowns
  int k = 0;                  // subtracted twice from the redundancy (callers pass 0)
  std::vector<CWchFchCol> rows1, rows2, rows3;
  CSymMatrix normal1, normal2, normal3;  // group parts of N, order t + m3
  CSymMatrix q;                          // N, then its inverse Q
  std::vector<double> x;                 // solution, t + m3 entries
  std::vector<double> p1, p2;            // weights
  std::vector<double> l1, l2, l3;        // misclosures
  std::vector<double> u1, u2, u3, u;     // right-hand sides, t + m3 entries

 private:
  bool BuildNormals();
  double GroupPvv(const std::vector<CWchFchCol>& rows, const std::vector<double>& p,
                  const std::vector<double>& l) const;

  CGaussJordanInverter gaussJordan_;
  CCholeskyInverter cholesky_;
  INormalInverter* inverter_ = nullptr;
};

}  // namespace survey
