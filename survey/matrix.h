#pragma once
// CMatrix: a small dense matrix of doubles for the estimation of transformation
// parameters (4 to 7 unknowns): product, transpose, determinant, inverse.
//
// Shape errors are programming errors: they show "这两个矩阵不能相乘!",
// "无法进行赋值操作!" or "不能求矩阵的行列式!" and abandon the operation (an empty
// product, a scratch element, a determinant of 0).
//
// Inverse: refused with "矩阵不能求逆!" when the determinant is exactly 0, with
// "非可逆阵。" when a Gauss-Jordan pivot (full pivoting) falls below 1e-10.
// Accuracy (tests): A·A⁻¹ = I to 1e-12 for well-conditioned 1..7-order matrices.
// Determinant by cofactor expansion (exact zero for repeated integer rows) up to
// order 8; above, by LU with partial pivoting so that the cost stays O(n³).
#include <optional>
#include <vector>

namespace survey {

class CMatrix {
 public:
  CMatrix(int rows, int cols);
  CMatrix(const CMatrix&) = default;
  CMatrix(CMatrix&&) noexcept = default;
  CMatrix& operator=(const CMatrix& other);
  CMatrix& operator=(CMatrix&&) noexcept = default;
  ~CMatrix() = default;

  void Resize(int rows, int cols);  // values zeroed
  int Rows() const { return rows_; }
  int Cols() const { return cols_; }

  // Element (i, j); outside the matrix shows "无法进行赋值操作!" and returns a
  // scratch element.
  double& At(int i, int j);
  double At(int i, int j) const;
  // Row access m[i][j] (unchecked).
  double* operator[](int i) { return &values_[static_cast<size_t>(i) * cols_]; }
  const double* operator[](int i) const { return &values_[static_cast<size_t>(i) * cols_]; }

  // A·B; incompatible shapes show "这两个矩阵不能相乘!" and give a 0×0 matrix.
  CMatrix operator*(const CMatrix& b) const;
  CMatrix Transpose() const;
  // Non-square shows "不能求矩阵的行列式!" and gives 0.
  double Determinant() const;
  // nullopt after its message when the matrix cannot be inverted.
  std::optional<CMatrix> Inverse() const;

 private:
  int rows_ = 0, cols_ = 0;
  std::vector<double> values_;  // row-major
};

}  // namespace survey
