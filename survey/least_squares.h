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
// CWchFch implements CLsqSolver (lsq_solver.h); CSparseLsq (sparse_least_squares.h)
// is its sparse counterpart for large networks, with the same messages and the
// same Helmert and σ0 formulas. A row naming an unknown the system does not have
// asserts in debug builds and makes Solve fail with the plane or height text.
#include <vector>

#include "survey/lsq_solver.h"
#include "survey/sym_matrix.h"

namespace survey {

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

class CWchFch final : public CLsqSolver {
 public:
  // One sparse error-equation row: unknown numbers and their coefficients.
  struct CWchFchCol {
    std::vector<int> indices;
    std::vector<double> coefficients;
  };

  // network picks the failure text of a singular system (ByGroups: the plane
  // text when m2 > 0 or k > 0).
  explicit CWchFch(LsqNetwork network = LsqNetwork::ByGroups) : network_(network) {}

  // Stores the counts and clears everything but the weights: p1 and p2 are only
  // resized (weights of unchanged groups survive; new entries are 0).
  void Init(int t, int m1, int m2, int m3, int k);

  // Appends (idx[i], coef[i]) to row `row` of `group` (1, 2 or 3). Negative
  // indices (known points) are skipped; an index already in the row has its
  // coefficient added to the existing one. A group or row that does not exist or
  // an index >= t asserts in debug builds; the row is left out, false is
  // returned and the next Solve fails with the failure text.
  bool AddToRow(int group, int row, const int idx[], const double coef[], int count) override;

  // Builds the normals, inverts them, and (unless invertOnly) solves.
  // Returns −1e10 when the system is singular (after the messages); with
  // invertOnly sets sigma0 := 1 and returns 0; else returns max |x_i|, i < t.
  double Solve(bool invertOnly);

  // One Helmert re-weighting: |s1 − s2|; 0 (nothing changed) when a group is
  // empty; −1 when a group's redundancy share is below 1e-6 or its variance
  // factor is not finite (weights unchanged then). A group without residuals
  // keeps its weights.
  double HelmertStep() override;

  // The inverter used by Solve (not owned). nullptr restores the defaults:
  // Cholesky without group 3, Gauss-Jordan for the bordered (indefinite) system.
  void SetInverter(INormalInverter* inverter) { inverter_ = inverter; }

  // Residual v = A·x + l of a row of group 1, 2 (x of the last Solve).
  double Residual(int group, int row) const override;

  // CLsqSolver: no constraint rows, k = 0.
  void Init(int tIn, int m1In, int m2In) override { Init(tIn, m1In, m2In, 0, 0); }
  int Unknowns() const override { return t; }
  int Rows(int group) const override { return group == 1 ? m1 : group == 2 ? m2 : group == 3 ? m3 : 0; }
  double& Weight(int group, int row) override { return group == 1 ? p1[row] : p2[row]; }
  double& Misclosure(int group, int row) override {
    return group == 1 ? l1[row] : group == 2 ? l2[row] : l3[row];
  }
  void NeedCofactors(const std::vector<std::pair<int, int>>&) override {}  // Q is full
  double Solve() override { return Solve(false); }
  double X(int i) const override { return i >= 0 && i < static_cast<int>(x.size()) ? x[i] : 0.0; }
  double Q(int i, int j) override { return i >= 0 && j >= 0 && i < q.n && j < q.n ? q.Ref(i, j) : 0.0; }
  double Sigma0() const override { return sigma0; }
  double Pvv(int group) const override { return group == 1 ? pvv1 : pvv2; }
  double LastFactor(int group) const override { return group == 1 ? s1_ : s2_; }

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
  void ShowFailure() const;
  double GroupPvv(const std::vector<CWchFchCol>& rows, const std::vector<double>& p,
                  const std::vector<double>& l) const;

  LsqNetwork network_;
  bool badRow_ = false;  // an AddToRow was refused since Init
  double s1_ = 1, s2_ = 1;
  CGaussJordanInverter gaussJordan_;
  CCholeskyInverter cholesky_;
  INormalInverter* inverter_ = nullptr;
};

}  // namespace survey
