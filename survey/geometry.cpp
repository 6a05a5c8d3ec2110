#include "survey/geometry.h"

#include <cmath>

#include "survey/angle.h"

namespace survey {
namespace {

bool Finite(std::initializer_list<double> values) {
  for (double v : values)
    if (!std::isfinite(v)) return false;
  return true;
}

}  // namespace

double CalcAzimuth(double x1, double y1, double x2, double y2) {
  double az = std::atan2(y2 - y1, x2 - x1);
  return NormalizeAngle(&az);
}

void InverseProblem(double x1, double y1, double x2, double y2, double* azimuth,
                    double* distance) {
  *azimuth = CalcAzimuth(x1, y1, x2, y2);
  double dx = x2 - x1, dy = y2 - y1;
  *distance = std::sqrt(dx * dx + dy * dy);
}

void PolarPoint(double x, double y, double azimuth, double distance, double* x2, double* y2) {
  NormalizeAngle(&azimuth);
  *x2 = x + distance * std::cos(azimuth);
  *y2 = y + distance * std::sin(azimuth);
}

int StationAngle(double xS, double yS, double referenceAzimuth, double xP, double yP,
                 double* distance, double* angle) {
  double az = 0;
  InverseProblem(xS, yS, xP, yP, &az, distance);
  if (*distance < 1e-10) {
    *angle = 0;
  } else {
    double a = az - referenceAzimuth;
    *angle = NormalizeAngle(&a);
  }
  return 1;
}

int ToLocalFrame(double x0, double y0, double azimuth, double x, double y, double* along,
                 double* across) {
  double s = std::sin(azimuth), c = std::cos(azimuth);
  *along = s * (y - y0) + c * (x - x0);
  *across = c * (y - y0) - s * (x - x0);
  return 1;
}

int IntersectByDistances(double xA, double yA, double sA, double xB, double yB, double sB,
                         double* xP, double* yP) {
  if (!Finite({xA, yA, sA, xB, yB, sB})) return kNoSolution;
  double dx = xB - xA, dy = yB - yA;
  double g = std::sqrt(dx * dx + dy * dy);
  if (g <= 1e-8) return kDegenerate;
  if (sA < 0 || sB < 0) return kNoSolution;
  double h = (sA * sA - sB * sB + g * g) / (2 * g);
  if (sA < h || g > sA + sB || sB > g + sA || sA > g + sB) return kNoSolution;
  // At tangency rounding can leave a tiny negative square: the circles touch.
  double l2 = sA * sA - h * h;
  double l = l2 > 0 ? std::sqrt(l2) : 0.0;
  double x = xA + (l * dy + h * dx) / g;
  double y = yA + (h * dy - l * dx) / g;
  if (!Finite({x, y})) return kNoSolution;
  *xP = x;
  *yP = y;
  return kSolved;
}

int IntersectByDirections(double xA, double yA, double azimuthA, double xB, double yB,
                          double azimuthB, double* xP, double* yP) {
  if (!Finite({xA, yA, azimuthA, xB, yB, azimuthB})) return kNoSolution;
  double dx = xB - xA, dy = yB - yA;
  if (std::fabs(dx) < 1e-8 && std::fabs(dy) < 1e-8) {
    *xP = xA;
    *yP = yA;
    return kDegenerate;
  }
  double sn = std::sin(azimuthA - azimuthB);
  if (std::fabs(sn) < 1e-6) return kNoSolution;
  double t = (std::cos(azimuthA) * dy - std::sin(azimuthA) * dx) / sn;
  double x = xB + t * std::cos(azimuthB);
  double y = yB + t * std::sin(azimuthB);
  if (!Finite({x, y})) return kNoSolution;
  *xP = x;
  *yP = y;
  // Behind a station: the direction to P is opposite to the observed one. A point
  // on the station itself is not behind it.
  auto behind = [&](double xs, double ys, double az) {
    double ex = x - xs, ey = y - ys;
    if (std::sqrt(ex * ex + ey * ey) < 1e-8) return false;
    return std::fabs(AngleDifference(az, CalcAzimuth(xs, ys, x, y))) > 1;
  };
  if (behind(xA, yA, azimuthA) || behind(xB, yB, azimuthB)) return kNoSolution;
  return kSolved;
}

int IntersectByAngles(double xA, double yA, double xB, double yB, double alpha, double beta,
                      double* xP, double* yP) {
  if (!Finite({xA, yA, xB, yB, alpha, beta})) return kNoSolution;
  if (alpha + beta >= kPi) return kNoSolution;
  double dx = xB - xA, dy = yB - yA;
  double base = std::sqrt(dx * dx + dy * dy);
  if (base <= 1e-8) return kDegenerate;
  // Law of sines instead of the cotangents: holds for alpha or beta = 0.
  double sg = std::sin(alpha + beta);
  if (std::fabs(sg) < 1e-12) return kNoSolution;
  double sAP = base * std::sin(beta) / sg;
  double sBP = base * std::sin(alpha) / sg;
  // Both rays must reach P going forward. With mixed signs (or a zero angle) the
  // law of sines gives a negative (or zero) side: the lines meet behind a
  // station, or on it, which is no intersection. Both angles negative is the
  // mirror figure (P on the right of A->B) and still meets ahead.
  if (!(sAP > 0 && sBP > 0)) return kNoSolution;
  double az = CalcAzimuth(xA, yA, xB, yB) - alpha;
  double x = xA + sAP * std::cos(az);
  double y = yA + sAP * std::sin(az);
  if (!Finite({x, y})) return kNoSolution;
  *xP = x;
  *yP = y;
  return kSolved;
}

int Resection(double xA, double yA, double xB, double yB, double xC, double yC, double alpha,
              double beta, double* xP, double* yP) {
  if (!Finite({xA, yA, xB, yB, xC, yC, alpha, beta})) return kDegenerate;
  NormalizeAngle(&alpha);
  NormalizeAngle(&beta);
  double gamma = CalcAzimuth(xB, yB, xC, yC) - CalcAzimuth(xB, yB, xA, yA);
  NormalizeAngle(&gamma);
  // On the circle through A, B, C the three angles add up to a multiple of π
  // (inscribed angles, taken as directed angles): π when P lies on the arc A–C
  // opposite B and seen counter-clockwise, 2π, 3π ... on the other arcs or with
  // A, B, C seen clockwise. The distance to the nearest multiple is the measure.
  double offCircle = std::remainder(alpha + beta + gamma, kPi);
  int status = std::fabs(offCircle) < 0.349065850398866 ? kDegenerate : kSolved;

  // The cotangent form multiplied through by sin(alpha)·sin(beta), with the
  // direction B->P kept as a vector instead of its tangent K: no division by
  // a cotangent or by a cosine of the azimuth, so alpha, beta = 0 or π and an
  // east-west line B->P all stay finite.
  double dxA = xA - xB, dyA = yA - yB, dxC = xC - xB, dyC = yC - yB;
  double sa = std::sin(alpha), ca = std::cos(alpha);
  double sb = std::sin(beta), cb = std::cos(beta);
  double p1 = dyC * cb + dxC * sb;  // P1·sinβ
  double p2 = dyA * ca - dxA * sa;  // P2·sinα
  double p3 = dxC * cb - dyC * sb;  // P3·sinβ
  double p4 = dxA * ca + dyA * sa;  // P4·sinα
  double d1 = sa * p3 + sb * p4;    // (P3 + P4)·sinα·sinβ  ~ Δx of B->P
  double d2 = sa * p1 + sb * p2;    // (P1 + P2)·sinα·sinβ  ~ Δy of B->P
  double num = p1 * p4 - p2 * p3;
  double den = d1 * d1 + d2 * d2;
  if (!(den > 0)) return kDegenerate;
  double x = xB + num * d1 / den;
  double y = yB + num * d2 / den;
  if (!Finite({x, y})) return kDegenerate;
  *xP = x;
  *yP = y;
  return status;
}

void TrigHeightFromSlope(double alpha, double S, double i, double v, double k, double* D,
                         double* h) {
  double f = (1 - k) / kTwoEarthRadius;
  double c = std::cos(alpha);
  *D = S * std::cos(alpha + S * c * f);
  *h = S * std::sin(alpha) + S * S * c * c * f + i - v;
}

void TrigHeightFromHorizontal(double alpha, double D, double i, double v, double k, double* h) {
  *h = D * std::tan(alpha) + (1 - k) * D * D / kTwoEarthRadius + i - v;
}

}  // namespace survey
