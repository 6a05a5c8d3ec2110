#pragma once
// CSymMatrix: a symmetric matrix stored packed (upper triangle, row by row) and
// the vector helpers of the least-squares system.
//
// Entry (i, j), i <= j, lies at (2n − i − 1)·i/2 + j; indices are swapped when
// i > j. An index outside the matrix shows "获取法方程数据出错！" (Get, returns 0) or
// "设置法方程数据出错！" (Set, Add; nothing changed).
#include <cstddef>
#include <vector>

namespace survey {

// Shown when the normal matrix cannot be inverted.
inline constexpr char kSingularNormalMessage[] =
    "非可逆阵，平差失败！如果选用了“Helmert验后方差守权”，请尝试取消该选项。";

class CSymMatrix {
 public:
  CSymMatrix() = default;
  explicit CSymMatrix(int order) { SetSize(order); }

  void SetSize(int order);  // zeroed
  int Order() const { return n; }
  double Get(int i, int j) const;
  void Set(int i, int j, double v);
  void Add(int i, int j, double v);
  // Unchecked access for the hot loops (i <= j required).
  double& Ref(int i, int j) { return values[Pos(i, j)]; }
  double Ref(int i, int j) const { return values[Pos(i, j)]; }

  // Inverts in place by Gauss-Jordan elimination with full pivoting. A pivot
  // below relTol × (largest |entry| of the matrix) shows
  // "非可逆阵，平差失败！如果选用了“Helmert验后方差守权”，请尝试取消该选项。" and
  // returns false with the matrix unchanged. The test is relative so that the
  // same network is judged alike whatever the unit of its weights. Tests: the
  // inverse matches Eigen to 1e-12 (order 9) and 1e-8 relative (order 300).
  bool Invert(double relTol = kDefaultRelTol);

  std::vector<double> Multiply(const std::vector<double>& v) const;  // A·v
  CSymMatrix Negated() const;
  CSymMatrix operator+(const CSymMatrix& b) const;  // equal order
  double TraceOfProduct(const CSymMatrix& b) const; // tr(A·B)

  static constexpr double kDefaultRelTol = 1e-12;

  int n = 0;                   // order
  std::vector<double> values;  // n(n+1)/2 entries

 private:
  std::size_t Pos(int i, int j) const {
    if (i > j) { int t = i; i = j; j = t; }
    return static_cast<std::size_t>(2 * static_cast<std::size_t>(n) - i - 1) * i / 2 + j;
  }
};

// The vector operations of the system (thin names over std::vector<double>).
void VecSetZero(std::vector<double>& v, int n);
void VecAssign(std::vector<double>& dst, const std::vector<double>& src);
std::vector<double> VecCopyConstruct(const std::vector<double>& src);
double VecDot(const std::vector<double>& a, const std::vector<double>& b);
std::vector<double> VecSum(const std::vector<double>& a, const std::vector<double>& b);
void VecScale(std::vector<double>& v, double f);

}  // namespace survey
