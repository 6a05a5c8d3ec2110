#include "survey/matrix.h"

#include <cmath>
#include <utility>

#include "platform/ports.h"
#include "survey/gauss_jordan.h"

namespace survey {
namespace {
const char kCannotMultiply[] = "这两个矩阵不能相乘!";
const char kBadIndex[] = "无法进行赋值操作!";
const char kNotSquare[] = "不能求矩阵的行列式!";
const char kNoInverse[] = "矩阵不能求逆!";
const char kSingular[] = "非可逆阵。";

// Cofactor expansion along the first column (exact 0 for repeated rows of the
// small systems it serves).
double Cofactor(const std::vector<double>& a, int n) {
  if (n == 1) return a[0];
  double det = 0;
  std::vector<double> minor(static_cast<std::size_t>(n - 1) * (n - 1));
  for (int r = 0; r < n; ++r) {
    std::size_t pos = 0;
    for (int i = 0; i < n; ++i) {
      if (i == r) continue;
      for (int j = 1; j < n; ++j) minor[pos++] = a[static_cast<std::size_t>(i) * n + j];
    }
    double term = a[static_cast<std::size_t>(r) * n] * Cofactor(minor, n - 1);
    det += (r % 2 == 0) ? term : -term;
  }
  return det;
}

// LU with partial pivoting for the orders where n! would not finish.
double LuDeterminant(std::vector<double> a, int n) {
  double det = 1;
  for (int k = 0; k < n; ++k) {
    int p = k;
    for (int i = k + 1; i < n; ++i)
      if (std::fabs(a[static_cast<std::size_t>(i) * n + k]) > std::fabs(a[static_cast<std::size_t>(p) * n + k])) p = i;
    double piv = a[static_cast<std::size_t>(p) * n + k];
    if (piv == 0) return 0;
    if (p != k) {
      for (int j = 0; j < n; ++j) std::swap(a[static_cast<std::size_t>(p) * n + j], a[static_cast<std::size_t>(k) * n + j]);
      det = -det;
    }
    det *= piv;
    for (int i = k + 1; i < n; ++i) {
      double f = a[static_cast<std::size_t>(i) * n + k] / piv;
      for (int j = k; j < n; ++j) a[static_cast<std::size_t>(i) * n + j] -= f * a[static_cast<std::size_t>(k) * n + j];
    }
  }
  return det;
}

double& Scratch() {
  static thread_local double scratch = 0;
  scratch = 0;
  return scratch;
}

}  // namespace

CMatrix::CMatrix(int rows, int cols) { Resize(rows, cols); }

CMatrix& CMatrix::operator=(const CMatrix& other) {
  if (this == &other) return *this;
  if (rows_ != other.rows_ || cols_ != other.cols_) Resize(other.rows_, other.cols_);
  values_ = other.values_;
  return *this;
}

void CMatrix::Resize(int rows, int cols) {
  rows_ = rows < 0 ? 0 : rows;
  cols_ = cols < 0 ? 0 : cols;
  values_.assign(static_cast<std::size_t>(rows_) * cols_, 0.0);
}

double& CMatrix::At(int i, int j) {
  if (i < 0 || j < 0 || i >= rows_ || j >= cols_) {
    platform::Messages().ShowMessage(kBadIndex);
    return Scratch();
  }
  return values_[static_cast<std::size_t>(i) * cols_ + j];
}

double CMatrix::At(int i, int j) const {
  if (i < 0 || j < 0 || i >= rows_ || j >= cols_) {
    platform::Messages().ShowMessage(kBadIndex);
    return 0;
  }
  return values_[static_cast<std::size_t>(i) * cols_ + j];
}

CMatrix CMatrix::operator*(const CMatrix& b) const {
  if (cols_ != b.rows_) {
    platform::Messages().ShowMessage(kCannotMultiply);
    return CMatrix(0, 0);
  }
  CMatrix p(rows_, b.cols_);
  for (int i = 0; i < rows_; ++i)
    for (int j = 0; j < b.cols_; ++j) {
      double s = 0;
      for (int k = 0; k < cols_; ++k) s += (*this)[i][k] * b[k][j];
      p[i][j] = s;
    }
  return p;
}

CMatrix CMatrix::Transpose() const {
  CMatrix r(cols_, rows_);
  for (int i = 0; i < rows_; ++i)
    for (int j = 0; j < cols_; ++j) r[j][i] = (*this)[i][j];
  return r;
}

double CMatrix::Determinant() const {
  if (rows_ != cols_) {
    platform::Messages().ShowMessage(kNotSquare);
    return 0;
  }
  if (rows_ == 0) return 0;
  return rows_ <= 8 ? Cofactor(values_, rows_) : LuDeterminant(values_, rows_);
}

std::optional<CMatrix> CMatrix::Inverse() const {
  double det = Determinant();
  if (det == 0.0) {
    platform::Messages().ShowMessage(kNoInverse);
    return std::nullopt;
  }
  std::vector<double> a = values_;
  bool finite = true;
  for (double v : a) finite = finite && std::isfinite(v);
  if (!finite || !detail::GaussJordanInvert(a, rows_, 1e-10)) {
    platform::Messages().ShowMessage(kSingular);
    return std::nullopt;
  }
  CMatrix r(rows_, cols_);
  r.values_ = std::move(a);
  return r;
}

}  // namespace survey
