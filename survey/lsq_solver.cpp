#include "survey/lsq_solver.h"

#include <cmath>

#include "survey/least_squares.h"
#include "survey/sparse_least_squares.h"

namespace survey {

double UnitWeightRms(double pvv, int redundancy) {
  return redundancy > 0 ? std::sqrt(pvv / redundancy) : -1;
}

double HelmertFactors(double pvv1, double r1, double pvv2, double r2, double& s1, double& s2) {
  if (!(r1 >= 1e-6) || !(r2 >= 1e-6)) return -1;
  double f1 = pvv1 / r1, f2 = pvv2 / r2;
  if (!std::isfinite(f1) || !std::isfinite(f2) || f1 < 0 || f2 < 0) return -1;
  // Without residuals a group has nothing to estimate; 1/0 would poison every weight.
  if (!(f1 > kNoResidualFactor)) f1 = 1;
  if (!(f2 > kNoResidualFactor)) f2 = 1;
  s1 = f1;
  s2 = f2;
  return std::fabs(f1 - f2);
}

std::unique_ptr<CLsqSolver> MakeLsqSolver(int unknowns, LsqNetwork network, LsqSolverKind kind) {
  const bool dense = kind == LsqSolverKind::BySize ? unknowns <= kDenseSolverLimit : kind == LsqSolverKind::Dense;
  if (dense) return std::make_unique<CWchFch>(network);
  return std::make_unique<CSparseLsq>(network == LsqNetwork::Height);
}

}  // namespace survey
