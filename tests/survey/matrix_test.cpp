// The small dense matrix against Eigen, and its refusals.
#include <gtest/gtest.h>

#include <Eigen/Dense>
#include <random>

#include "platform/fake_ports.h"
#include "survey/matrix.h"

using namespace survey;

namespace {

CMatrix Random(int n, int m, unsigned seed, Eigen::MatrixXd* e) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> d(-3, 3);
  CMatrix a(n, m);
  *e = Eigen::MatrixXd(n, m);
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < m; ++j) a.At(i, j) = (*e)(i, j) = d(rng) + (i == j ? 4 : 0);
  return a;
}

TEST(Matrix, InverseMatchesEigen) {
  platform::FakeMessagePort port;
  for (int n = 1; n <= 7; ++n) {
    Eigen::MatrixXd e;
    CMatrix a = Random(n, n, n, &e);
    auto inv = a.Inverse();
    ASSERT_TRUE(inv.has_value());
    Eigen::MatrixXd ei = e.inverse();
    for (int i = 0; i < n; ++i)
      for (int j = 0; j < n; ++j) EXPECT_NEAR(inv->At(i, j), ei(i, j), 1e-12);
    EXPECT_NEAR(a.Determinant(), e.determinant(), 1e-9 * std::fabs(e.determinant()));
  }
  CMatrix one(1, 1);
  one.At(0, 0) = 4;
  EXPECT_EQ(one.Inverse()->At(0, 0), 0.25);
  EXPECT_TRUE(port.Messages().empty());
}

TEST(Matrix, ProductTransposeAndLargeDeterminant) {
  Eigen::MatrixXd ea, eb;
  CMatrix a = Random(3, 5, 1, &ea), b = Random(5, 2, 2, &eb);
  CMatrix p = a * b;
  ASSERT_EQ(p.Rows(), 3);
  ASSERT_EQ(p.Cols(), 2);
  Eigen::MatrixXd ep = ea * eb;
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 2; ++j) EXPECT_NEAR(p[i][j], ep(i, j), 1e-12);
  CMatrix t = a.Transpose();
  EXPECT_EQ(t.Rows(), 5);
  EXPECT_EQ(t.At(4, 2), a.At(2, 4));
  CMatrix c = a;
  c = b;  // reshaped by assignment
  EXPECT_EQ(c.Rows(), 5);
  EXPECT_EQ(c.At(3, 1), b.At(3, 1));
  // Orders where n! would not finish still get their determinant.
  Eigen::MatrixXd e12;
  CMatrix big = Random(12, 12, 9, &e12);
  EXPECT_NEAR(big.Determinant(), e12.determinant(), 1e-9 * std::fabs(e12.determinant()));
}

TEST(Matrix, RefusedInverses) {
  platform::FakeMessagePort port;
  CMatrix twoEqual(3, 3);
  double rows[3][3] = {{1, 2, 3}, {4, 5, 6}, {1, 2, 3}};
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) twoEqual.At(i, j) = rows[i][j];
  EXPECT_FALSE(twoEqual.Inverse().has_value());
  EXPECT_EQ(port.Messages(), std::vector<std::string>{"矩阵不能求逆!"});

  port.Clear();
  CMatrix tiny(2, 2);
  tiny.At(0, 0) = 1;
  tiny.At(0, 1) = 0;
  tiny.At(1, 0) = 0;
  tiny.At(1, 1) = 1e-11;  // determinant not 0, second pivot below 1e-10
  EXPECT_NE(tiny.Determinant(), 0.0);
  EXPECT_FALSE(tiny.Inverse().has_value());
  EXPECT_EQ(port.Messages(), std::vector<std::string>{"非可逆阵。"});
}

TEST(Matrix, ShapeErrorsShowTheirMessages) {
  platform::FakeMessagePort port;
  CMatrix a(2, 3), b(2, 3);
  CMatrix p = a * b;
  EXPECT_EQ(p.Rows(), 0);
  a.At(2, 0) = 5;  // lands in a scratch element
  EXPECT_EQ(a.At(-1, 0), 0);
  EXPECT_EQ(a.Determinant(), 0);
  EXPECT_EQ(port.Messages(), (std::vector<std::string>{"这两个矩阵不能相乘!", "无法进行赋值操作!",
                                                       "无法进行赋值操作!", "不能求矩阵的行列式!"}));
}

}  // namespace
