#pragma once
// The small computations of the tools that are not survey-library functions: the
// area of a parcel, the edge-and-angle resection, the reduction of a detail-survey
// sighting. Std only, no table, no drawing.
#include <vector>

namespace tools {

struct PlanePoint {
  double x = 0, y = 0;
};

// Area of the polygon through the vertices in order (either sense), m². The
// shoelace sum runs on coordinates relative to the first vertex: on raw Gauss
// coordinates (x ~ 3.5e6, y ~ 3.9e7 with the zone number) the products would
// cancel to a few centimetres² of noise per metre². Exact to rounding of the
// relative coordinates (tests: 1e-9 m² for a 1 m square at x 3,456,789 m,
// y 38,512,345 m). Fewer than three vertices give 0.
double PolygonArea(const std::vector<PlanePoint>& vertices);

// False for an elevation angle at ±90° or beyond (cos α ≤ 1e-9): a plumb
// sighting has no horizontal distance, and tan α would give a height of
// seventeen digits.
bool IsSighting(double alpha);

// Edge-and-angle resection: P from A and B with the distances sA = |PA|,
// sB = |PB| and the angle gamma at P from P->A counter-clockwise to P->B (A, B
// counter-clockwise round P, so P lies on the left of A->B). The figure is laid
// out from A, turned onto the base A->B, and the misclosure at B shared in
// proportion to the distances.
enum class EdgeAngleStatus { Solved, OverLimit, BadInput };
struct EdgeAngleResult {
  EdgeAngleStatus status = EdgeAngleStatus::BadInput;
  PlanePoint p;            // Solved only
  double misclosure = 0;   // metres, Solved and OverLimit
};
// OverLimit: misclosure / (sA + sB) above 1/2000. BadInput: sA ≤ 0, sB ≤ 0, A and
// B coinciding (|AB| ≤ 1e-8) or a non-finite value.
EdgeAngleResult EdgeAngleResection(PlanePoint a, double sA, PlanePoint b, double sB, double gamma);

}  // namespace tools
