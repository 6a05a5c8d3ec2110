#include "survey/sym_matrix.h"

#include <algorithm>
#include <cmath>

#include "platform/ports.h"
#include "survey/gauss_jordan.h"

namespace survey {
namespace {
const char kGetError[] = "获取法方程数据出错！";
const char kSetError[] = "设置法方程数据出错！";
}  // namespace

void CSymMatrix::SetSize(int order) {
  n = order < 0 ? 0 : order;
  values.assign(static_cast<std::size_t>(n) * (n + 1) / 2, 0.0);
}

double CSymMatrix::Get(int i, int j) const {
  if (i < 0 || j < 0 || i >= n || j >= n) {
    platform::Messages().ShowMessage(kGetError);
    return 0;
  }
  return values[Pos(i, j)];
}

void CSymMatrix::Set(int i, int j, double v) {
  if (i < 0 || j < 0 || i >= n || j >= n) {
    platform::Messages().ShowMessage(kSetError);
    return;
  }
  values[Pos(i, j)] = v;
}

void CSymMatrix::Add(int i, int j, double v) {
  if (i < 0 || j < 0 || i >= n || j >= n) {
    platform::Messages().ShowMessage(kSetError);
    return;
  }
  values[Pos(i, j)] += v;
}

bool CSymMatrix::Invert(double relTol) {
  if (n == 0) return true;
  std::vector<double> dense(static_cast<std::size_t>(n) * n);
  double scale = 0;
  bool finite = true;
  std::size_t pos = 0;
  for (int i = 0; i < n; ++i)
    for (int j = i; j < n; ++j, ++pos) {
      double v = values[pos];
      finite = finite && std::isfinite(v);
      scale = std::max(scale, std::fabs(v));
      dense[static_cast<std::size_t>(i) * n + j] = v;
      dense[static_cast<std::size_t>(j) * n + i] = v;
    }
  if (!finite || !detail::GaussJordanInvert(dense, n, relTol * scale)) {
    platform::Messages().ShowMessage(kSingularNormalMessage);
    return false;
  }
  pos = 0;
  for (int i = 0; i < n; ++i)
    for (int j = i; j < n; ++j, ++pos) values[pos] = dense[static_cast<std::size_t>(i) * n + j];
  return true;
}

std::vector<double> CSymMatrix::Multiply(const std::vector<double>& v) const {
  std::vector<double> y(n, 0.0);
  if (static_cast<int>(v.size()) < n) return y;
  std::size_t pos = 0;
  for (int i = 0; i < n; ++i) {
    double yi = values[pos++] * v[i];
    const double vi = v[i];
    for (int j = i + 1; j < n; ++j, ++pos) {
      yi += values[pos] * v[j];
      y[j] += values[pos] * vi;
    }
    y[i] += yi;
  }
  return y;
}

CSymMatrix CSymMatrix::Negated() const {
  CSymMatrix r = *this;
  for (double& v : r.values) v = -v;
  return r;
}

CSymMatrix CSymMatrix::operator+(const CSymMatrix& b) const {
  CSymMatrix r = *this;
  if (b.n != n) return r;
  for (std::size_t i = 0; i < values.size(); ++i) r.values[i] += b.values[i];
  return r;
}

double CSymMatrix::TraceOfProduct(const CSymMatrix& b) const {
  if (b.n != n) return 0;
  double diag = 0, off = 0;
  std::size_t pos = 0;
  for (int i = 0; i < n; ++i) {
    diag += values[pos] * b.values[pos];
    ++pos;
    for (int j = i + 1; j < n; ++j, ++pos) off += values[pos] * b.values[pos];
  }
  return diag + 2 * off;
}

void VecSetZero(std::vector<double>& v, int n) { v.assign(n < 0 ? 0 : n, 0.0); }
void VecAssign(std::vector<double>& dst, const std::vector<double>& src) { dst = src; }
std::vector<double> VecCopyConstruct(const std::vector<double>& src) { return src; }

double VecDot(const std::vector<double>& a, const std::vector<double>& b) {
  double s = 0;
  std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) s += a[i] * b[i];
  return s;
}

std::vector<double> VecSum(const std::vector<double>& a, const std::vector<double>& b) {
  std::vector<double> r = a;
  std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) r[i] += b[i];
  return r;
}

void VecScale(std::vector<double>& v, double f) {
  for (double& x : v) x *= f;
}

}  // namespace survey
