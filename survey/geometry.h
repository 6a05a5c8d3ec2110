#pragma once
// Plane survey geometry: azimuths, the two basic problems, intersections,
// resection and trigonometric heights.
//
// Survey coordinates: x north, y east, metres; azimuths clockwise from north in
// [0, 2π). Results go out through pointers; the geometric functions return
// kSolved, kDegenerate or kNoSolution. No function ever reports a non-finite
// point as solved: non-finite input or a configuration without a finite answer
// gives kDegenerate or kNoSolution and leaves the outputs unchanged (except where
// noted).
//
// Accuracy: the tests recover made-up points from their own observations to
// 1e-6 m for bases of 10 m to 10 km. References: the standard closed forms of
// surveying textbooks; the resection is the cotangent form written without
// divisions by the cotangents or by the tangent of the azimuth B->P, so it holds
// for angles of 0 or π and for any direction of B->P.

namespace survey {

inline constexpr int kSolved = 1;
inline constexpr int kDegenerate = -1;
inline constexpr int kNoSolution = -2;

// Twice the mean earth radius used by the trigonometric heights, metres.
inline constexpr double kTwoEarthRadius = 12742029.4;

// Azimuth 1->2 in [0, 2π) (0 for coincident points).
double CalcAzimuth(double x1, double y1, double x2, double y2);

// Azimuth and distance 1->2.
void InverseProblem(double x1, double y1, double x2, double y2, double* azimuth, double* distance);

// Point at `distance` along `azimuth` (folded first) from (x, y).
void PolarPoint(double x, double y, double azimuth, double distance, double* x2, double* y2);

// Distance S->P and the clockwise angle from the reference azimuth to P, in
// [0, 2π) (0 when P coincides with S). Returns 1.
int StationAngle(double xS, double yS, double referenceAzimuth, double xP, double yP,
                 double* distance, double* angle);

// Coordinates of (x, y) in the frame with origin (x0, y0) and "along" axis on
// `azimuth`; "across" is positive to the right. Returns 1.
int ToLocalFrame(double x0, double y0, double azimuth, double x, double y, double* along,
                 double* across);

// P at distance sA from A and sB from B, on the left of A->B.
// kDegenerate: |AB| <= 1e-8. kNoSolution: the circles do not meet. At tangency
// P lies on the line AB (the tiny negative square of rounding counts as 0).
int IntersectByDistances(double xA, double yA, double sA, double xB, double yB, double sB,
                         double* xP, double* yP);

// P where the ray from A with azimuthA meets the ray from B with azimuthB (any
// finite azimuths; 360° and negative values are the same directions).
// kDegenerate: A = B (P := A). kNoSolution: parallel rays (|sin| < 1e-6), or P
// lies behind a station (P has been written then).
int IntersectByDirections(double xA, double yA, double azimuthA, double xB, double yB,
                          double azimuthB, double* xP, double* yP);

// Forward intersection from base A->B with the angle alpha at A and beta at B,
// P on the left of A->B (both angles negative: the mirror figure, P on the
// right). kSolved only when P lies ahead of both stations. kNoSolution:
// alpha + beta >= π, parallel rays (sin(alpha + beta) ~ 0), or the lines meet
// behind a station or on it (angles of mixed sign, or alpha or beta = 0); P is
// not written then. kDegenerate: A = B.
int IntersectByAngles(double xA, double yA, double xB, double yB, double alpha, double beta,
                      double* xP, double* yP);

// Three-point resection: P from A, B, C and the angles alpha = az(P->A) −
// az(P->B), beta = az(P->B) − az(P->C) measured at P (A, B, C follow each other
// counter-clockwise as seen from P; the clockwise order works as well). P is
// written and kDegenerate returned when P lies near the circle through A, B, C:
// alpha + beta + angle(B: A->C) within 20° of a multiple of π, on any arc and in
// either order. kDegenerate without writing P when no finite point exists (P on
// that circle exactly, or non-finite input).
int Resection(double xA, double yA, double xB, double yB, double xC, double yC, double alpha,
              double beta, double* xP, double* yP);

// Trigonometric height from the vertical angle alpha and the slope distance S,
// instrument height i, target height v, refraction coefficient k, with earth
// curvature: horizontal distance D and height difference h.
void TrigHeightFromSlope(double alpha, double S, double i, double v, double k, double* D,
                         double* h);

// The same from the horizontal distance D.
void TrigHeightFromHorizontal(double alpha, double D, double i, double v, double k, double* h);

}  // namespace survey
