#pragma once
// Dense in-place inversion by Gauss-Jordan elimination with full pivoting, shared by
// the normal matrix and the small dense matrix. The pivot of each step is the
// element of largest magnitude of the remaining sub-matrix (first in row-major
// order); the elimination is spread over the cores for large orders (the result
// does not depend on the number of threads).
#include <vector>

namespace survey::detail {

// a: n×n row-major, replaced by its inverse. Fails (a then undefined) when a
// pivot's magnitude is below minPivot or is zero.
bool GaussJordanInvert(std::vector<double>& a, int n, double minPivot);

}  // namespace survey::detail
