#include "survey/least_squares.h"

#include <algorithm>
#include <cassert>
#include <cmath>

#include "platform/ports.h"
#include "survey/cholesky_inverse.h"

namespace survey {

bool CCholeskyInverter::Invert(CSymMatrix& n) {
  double scale = 0;
  for (double v : n.values) {
    if (!std::isfinite(v)) return n.Invert();  // refused there with its message
    scale = std::max(scale, std::fabs(v));
  }
  switch (detail::PivotedCholeskyInverse(n.values, n.n, CSymMatrix::kDefaultRelTol * scale)) {
    case detail::CholeskyResult::Inverted: return true;
    case detail::CholeskyResult::Singular:
      platform::Messages().ShowMessage(kSingularNormalMessage);
      return false;
    case detail::CholeskyResult::NotDefinite: break;
  }
  return n.Invert();
}

void CWchFch::Init(int tIn, int m1In, int m2In, int m3In, int kIn) {
  t = std::max(tIn, 0);
  m1 = std::max(m1In, 0);
  m2 = std::max(m2In, 0);
  m3 = std::max(m3In, 0);
  k = kIn;
  pvv1 = pvv2 = sigma0 = 0;
  badRow_ = false;
  const int n = t + m3;
  normal1.SetSize(n);
  normal2.SetSize(n);
  normal3.SetSize(n);
  q.SetSize(n);
  rows1.assign(m1, CWchFchCol());
  rows2.assign(m2, CWchFchCol());
  rows3.assign(m3, CWchFchCol());
  x.assign(n, 0.0);
  u.assign(n, 0.0);
  u1.assign(n, 0.0);
  u2.assign(n, 0.0);
  u3.assign(n, 0.0);
  l1.assign(m1, 0.0);
  l2.assign(m2, 0.0);
  l3.assign(m3, 0.0);
  // Only resized: the Helmert loop carries the re-scaled weights into the next pass.
  p1.resize(m1, 0.0);
  p2.resize(m2, 0.0);
}

bool CWchFch::AddToRow(int group, int row, const int idx[], const double coef[], int count) {
  std::vector<CWchFchCol>* rows = group == 1 ? &rows1 : group == 2 ? &rows2 : group == 3 ? &rows3 : nullptr;
  bool valid = rows && row >= 0 && row < static_cast<int>(rows->size()) && count >= 0;
  for (int i = 0; valid && i < count; ++i)
    if (idx[i] >= t) valid = false;
  // The adjustments number their rows and unknowns themselves: a miss is a bug
  // in the caller, and a solution without the row would be silently wrong.
  assert(valid && "error-equation row or unknown out of range");
  if (!valid) {
    badRow_ = true;
    return false;
  }
  CWchFchCol& r = (*rows)[row];
  for (int i = 0; i < count; ++i) {
    if (idx[i] < 0) continue;  // a known point
    // An unknown named twice in one row is one term: its products with itself
    // must come out as (c1 + c2)², not c1² + c1·c2 + c2².
    auto it = std::find(r.indices.begin(), r.indices.end(), idx[i]);
    if (it != r.indices.end()) {
      r.coefficients[it - r.indices.begin()] += coef[i];
    } else {
      r.indices.push_back(idx[i]);
      r.coefficients.push_back(coef[i]);
    }
  }
  return true;
}

bool CWchFch::BuildNormals() {
  const int n = t + m3;
  pvv1 = pvv2 = 0;
  normal1.SetSize(n);
  normal2.SetSize(n);
  normal3.SetSize(n);
  x.assign(n, 0.0);
  u1.assign(n, 0.0);
  u2.assign(n, 0.0);
  u3.assign(n, 0.0);

  auto form = [](const std::vector<CWchFchCol>& rows, const std::vector<double>& p,
                 const std::vector<double>& l, CSymMatrix& normal, std::vector<double>& ug) {
    double pll = 0;
    for (std::size_t i = 0; i < rows.size(); ++i) {
      const CWchFchCol& r = rows[i];
      const double pi = p[i], li = l[i];
      const std::size_t cnt = r.indices.size();
      for (std::size_t j = 0; j < cnt; ++j) {
        const double pc = pi * r.coefficients[j];
        for (std::size_t j2 = j; j2 < cnt; ++j2)
          normal.Ref(r.indices[j], r.indices[j2]) += pc * r.coefficients[j2];
        ug[r.indices[j]] += pc * li;
      }
      pll += pi * li * li;
    }
    return pll;
  };
  pvv1 = form(rows1, p1, l1, normal1, u1);
  pvv2 = form(rows2, p2, l2, normal2, u2);
  for (int i = 0; i < m3; ++i) {
    const CWchFchCol& r = rows3[i];
    for (std::size_t j = 0; j < r.indices.size(); ++j) normal3.Ref(r.indices[j], t + i) = r.coefficients[j];
    u3[t + i] = l3[i];
  }
  q = normal1 + normal2 + normal3;
  u = VecSum(VecSum(u1, u2), u3);

  INormalInverter* inv = inverter_ ? inverter_ : m3 == 0 ? static_cast<INormalInverter*>(&cholesky_) : &gaussJordan_;
  if (!inv->Invert(q)) {
    ShowFailure();
    return false;
  }
  return true;
}

void CWchFch::ShowFailure() const {
  const bool plane = network_ == LsqNetwork::ByGroups ? (m2 > 0 || k > 0) : network_ == LsqNetwork::Plane;
  platform::Messages().ShowMessage(plane ? kPlaneSystemFailedMessage : kHeightSystemFailedMessage);
}

double CWchFch::Residual(int group, int row) const {
  const std::vector<CWchFchCol>* rows = group == 1 ? &rows1 : group == 2 ? &rows2 : group == 3 ? &rows3 : nullptr;
  const std::vector<double>* l = group == 1 ? &l1 : group == 2 ? &l2 : &l3;
  if (!rows || row < 0 || row >= static_cast<int>(rows->size())) return 0;
  const CWchFchCol& r = (*rows)[row];
  double v = (*l)[row];
  for (std::size_t j = 0; j < r.indices.size(); ++j) v += r.coefficients[j] * x[r.indices[j]];
  return v;
}

double CWchFch::GroupPvv(const std::vector<CWchFchCol>& rows, const std::vector<double>& p,
                         const std::vector<double>& l) const {
  double s = 0;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const CWchFchCol& r = rows[i];
    double v = l[i];
    for (std::size_t j = 0; j < r.indices.size(); ++j) v += r.coefficients[j] * x[r.indices[j]];
    s += p[i] * v * v;
  }
  return s;
}

double CWchFch::Solve(bool invertOnly) {
  if (badRow_) {
    sigma0 = -1;
    ShowFailure();
    return -1e10;
  }
  if (!BuildNormals()) return -1e10;
  if (invertOnly) {
    sigma0 = 1.0;
    return 0;
  }
  x = q.Multiply(u);
  VecScale(x, -1.0);
  // Each group's [pvv] from its residuals: [pll]_g + xᵀu_g is right only once x
  // is zero, and its cancellation can even go negative.
  pvv1 = GroupPvv(rows1, p1, l1);
  pvv2 = GroupPvv(rows2, p2, l2);
  sigma0 = UnitWeightRms(pvv1 + pvv2, m1 + m2 + m3 - 2 * k - t);
  double largest = 0;
  for (int i = 0; i < t; ++i) largest = std::max(largest, std::fabs(x[i]));
  return largest;
}

double CWchFch::HelmertStep() {
  if (m1 == 0 || m2 == 0) return 0;
  const double r1 = m1 - 2 * k - normal1.TraceOfProduct(q);
  const double r2 = m2 - normal2.TraceOfProduct(q);
  double s1 = 0, s2 = 0;
  const double step = HelmertFactors(pvv1, r1, pvv2, r2, s1, s2);
  if (step < 0) return step;
  s1_ = s1;
  s2_ = s2;
  VecScale(p1, 1 / s1);
  VecScale(p2, 1 / s2);
  return step;
}

}  // namespace survey
