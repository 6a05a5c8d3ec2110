#pragma once
// Inverse of a symmetric positive (semi-)definite matrix through a Cholesky
// factorisation with diagonal pivoting: P·N·Pᵀ = L·Lᵀ, N⁻¹ = Pᵀ·L⁻ᵀ·L⁻¹·P.
//
// For such matrices the largest element of every remaining sub-matrix lies on its
// diagonal, so the pivots are those full-pivoting Gauss-Jordan would take, and the
// singularity test (a pivot below relTol × the largest entry) decides alike.
// The work is blocked for the caches and spread over the cores: about n³ flops
// instead of Gauss-Jordan's 2n³ over a matrix streamed n times from memory.
// Reference: Higham, "Accuracy and Stability of Numerical Algorithms", 2nd ed.,
// §10.3 (Cholesky with complete pivoting) and §14.2 (triangular inversion);
// LAPACK dpstrf / dpotri.
#include <vector>

namespace survey::detail {

enum class CholeskyResult { Inverted, Singular, NotDefinite };

// packed: upper triangle row by row, order n; replaced by the inverse when
// Inverted. Singular: a pivot fell below minPivot while the whole remaining
// sub-matrix is below it too (full pivoting would stop there). NotDefinite: a
// remaining off-diagonal element is larger than every diagonal one (the matrix
// is indefinite); the caller then needs full pivoting. packed is unchanged
// unless Inverted.
CholeskyResult PivotedCholeskyInverse(std::vector<double>& packed, int n, double minPivot);

}  // namespace survey::detail
