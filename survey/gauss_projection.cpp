#include "survey/gauss_projection.h"

#include <cmath>

#include "platform/ports.h"
#include "survey/angle.h"

namespace survey {
namespace {

// The latitude iterations converge by a factor of about e² per pass; 50 passes
// never bind for a real ellipsoid and stop a runaway on hostile input.
constexpr int kMaxIterations = 50;

}  // namespace

const char* EllipsoidTypeName(int type) {
  switch (type) {
    case kEllipsoidBeijing54: return "北京54";
    case kEllipsoidXian80: return "西安80";
    case kEllipsoidWgs84: return "WGS_84";
    case kEllipsoidCgcs2000: return "国家2000";
    default: return "自定义";
  }
}

bool PresetEllipsoid(int type, double* a, double* invF) {
  switch (type) {
    case kEllipsoidBeijing54: *a = 6378245; *invF = 298.3; return true;
    case kEllipsoidXian80: *a = 6378140; *invF = 298.257; return true;
    case kEllipsoidWgs84: *a = 6378137; *invF = 298.257223563; return true;
    case kEllipsoidCgcs2000: *a = 6378137; *invF = 298.257222101; return true;
    default: return false;
  }
}

bool CGaussProjection::SetEllipsoid(int type, bool useY500km, double aIn, double invF,
                                    double projHeight, double centreLat, int expansionMethod) {
  double A = aIn, inv = invF;
  PresetEllipsoid(type, &A, &inv);
  // Refused values leave the ellipsoid set before (if any) exactly as it was.
  if (!std::isfinite(A) || !std::isfinite(inv) || !std::isfinite(projHeight) ||
      !std::isfinite(centreLat) || A <= 0 || inv <= 1)
    return false;
  double f = 1 / inv;
  if (std::fabs(projHeight) > 1e-6) {
    double e2u = 1 - (1 - f) * (1 - f);
    double s = std::sin(centreLat);
    double w2 = 1 - e2u * s * s;
    double W = std::sqrt(w2);
    switch (expansionMethod) {
      case kExpandHOverW: A += projHeight / W; break;
      case kExpandHOverFlat: A += projHeight / (1 - 2 * f * centreLat / kPi); break;
      case kExpandHTimesW: A += projHeight * W; break;
      case kExpandCurvature: A += w2 * projHeight / std::sqrt(1 - e2u); break;
      default: A += projHeight; break;
    }
    if (!std::isfinite(A) || A <= 0) return false;
  }
  centreLatitude = centreLat;
  projectionHeight = projHeight;
  a = A;
  double b = (1 - f) * a;
  c = a * a / b;
  ep2 = c / b - 1;
  e2 = 1 - b * b / (a * a);
  double m0 = a * (1 - e2);
  double m2 = 1.5 * e2 * m0;
  double m4 = 1.25 * e2 * m2;
  double m6 = 7.0 / 6.0 * e2 * m4;
  double m8 = 9.0 / 8.0 * e2 * m6;
  a0 = m0 + m2 / 2 + 3 * m4 / 8 + 5 * m6 / 16 + 35 * m8 / 128;
  a2 = (m2 / 2 + m4 / 2 + 15 * m6 / 32 + 7 * m8 / 16) / 2;
  a4 = (m4 / 8 + 3 * m6 / 16 + 7 * m8 / 32) / 4;
  a6 = (m6 / 32 + m8 / 16) / 6;
  a8 = m8 / 128 / 8;
  y500km = useY500km ? 1 : 0;
  ready = 1;
  return true;
}

bool CGaussProjection::CheckReady() const {
  if (ready == 1) return true;
  platform::Messages().ShowMessage("发生错误，尚未设置坐标类型");
  return false;
}

double CGaussProjection::FootpointLatitude(double x) const {
  double bf = x / a0;
  for (int i = 0; i < kMaxIterations; ++i) {
    double next = (x - (-a2 * std::sin(2 * bf) + a4 * std::sin(4 * bf) - a6 * std::sin(6 * bf) +
                        a8 * std::sin(8 * bf))) /
                  a0;
    bool done = std::fabs(next - bf) <= 1e-12;
    bf = next;
    if (done || !std::isfinite(bf)) break;
  }
  return bf;
}

double CGaussProjection::Rm(double B) const {
  double cb = std::cos(B);
  double V = std::sqrt(1 + ep2 * cb * cb);
  double N = c / V;
  double M = c / (V * V * V);
  return std::sqrt(M * N);
}

void CGaussProjection::GeodeticToPlane(double B, double L, double L0, double* x, double* y) const {
  if (!CheckReady()) return;
  double l = L - L0;
  double sb = std::sin(B), cb = std::cos(B);
  double t = std::tan(B), t2 = t * t;
  double n2 = ep2 * cb * cb;
  double N = c / std::sqrt(1 + n2);
  double X = a0 * B - a2 * std::sin(2 * B) + a4 * std::sin(4 * B) - a6 * std::sin(6 * B) +
             a8 * std::sin(8 * B);
  double cl2 = cb * cb * l * l;
  // The classical terms, completed by the eta² part of the l^6 term of x and the
  // l^8 and l^7 terms: without them the series is 0.1 mm off at 3° from the meridian.
  const double t4 = t2 * t2, t6 = t4 * t2;
  *x = X + N * sb * cb * l * l / 2 *
               (1 + cl2 * (5 - t2 + 9 * n2 + 4 * n2 * n2) / 12 +
                cl2 * cl2 * (61 - 58 * t2 + t4 + 270 * n2 - 330 * n2 * t2) / 360 +
                cl2 * cl2 * cl2 * (1385 - 3111 * t2 + 543 * t4 - t6) / 20160);
  *y = N * cb * l *
       (1 + cl2 * (1 - t2 + n2) / 6 +
        cl2 * cl2 * (5 - 18 * t2 + t4 + 14 * n2 - 58 * n2 * t2) / 120 +
        cl2 * cl2 * cl2 * (61 - 479 * t2 + 179 * t4 - t6) / 5040);
  if (y500km) *y += 500000;
}

double CGaussProjection::PlaneLatitude(double x, double y) const {
  if (!CheckReady()) return 0;
  double bf = FootpointLatitude(x);
  double t = std::tan(bf), t2 = t * t;
  double cb = std::cos(bf);
  double n2 = ep2 * cb * cb;
  double V = std::sqrt(1 + n2);
  double N = c / V, M = c / (V * V * V);
  double y2 = y * y, N2 = N * N;
  // Classical terms, with the eta² parts of the y^6 term and the y^8 term that keep
  // the latitude within 0.1 mm at 3° from the meridian.
  const double t4 = t2 * t2, t6 = t4 * t2;
  return bf - t * y2 / (2 * M * N) *
                  (1 - y2 * (5 + 3 * t2 + n2 - 9 * n2 * t2 - 4 * n2 * n2) / (12 * N2) +
                   y2 * y2 * (61 + 90 * t2 + 45 * t4 + 298 * n2 - 252 * t2 * n2) / (360 * N2 * N2) -
                   y2 * y2 * y2 * (1385 + 3633 * t2 + 4095 * t4 + 1575 * t6) / (20160 * N2 * N2 * N2));
}

void CGaussProjection::PlaneToGeodetic(double x, double y, double L0, double* B, double* L) const {
  if (!CheckReady()) return;
  if (y500km) y -= 500000;
  double bf = FootpointLatitude(x);
  double t = std::tan(bf), t2 = t * t;
  double cb = std::cos(bf);
  double n2 = ep2 * cb * cb;
  double V = std::sqrt(1 + n2);
  double N = c / V;
  double y2 = y * y;
  double y5 = y2 * y2 * y;
  double N5 = N * N * N * N * N;
  *B = PlaneLatitude(x, y);
  const double g = 1 + 2 * t2 + n2;
  // The closed form below reproduces the series to y^5; its implied y^7 term
  // (−g³/216) falls short of the series' −(61 + 662t² + 1320t⁴ + 720t⁶)/5040, which
  // alone is worth 0.3 mm at 3° from the meridian. The difference is added.
  const double y7 = y5 * y2, N7 = N5 * N * N;
  const double c7 = (61 + t2 * (662 + t2 * (1320 + 720 * t2))) / 5040 - g * g * g / 216;
  *L = L0 + y / (cb * (N + y2 * g / (6 * N))) +
       y5 * (5 - 2 * n2 + t2 * (44 + 32 * t2 - 16 * n2)) / (360 * N5 * cb) - c7 * y7 / (N7 * cb);
}

void CGaussProjection::BlhToXyz(double B, double L, double H, double* X, double* Y,
                                double* Z) const {
  double sb = std::sin(B);
  double N = a / std::sqrt(1 - e2 * sb * sb);
  *X = (N + H) * std::cos(B) * std::cos(L);
  *Y = (N + H) * std::cos(B) * std::sin(L);
  *Z = ((1 - e2) * N + H) * sb;
}

void CGaussProjection::XyzToBlh(double X, double Y, double Z, double* B, double* L,
                                double* H) const {
  if (std::fabs(X) < 1e-10 && std::fabs(Y) < 1e-10) {
    *L = 0;
    *B = Z >= 0 ? 1.570796326794895 : -1.570796326794895;
    *H = std::fabs(Z) - a * std::sqrt(1 - e2);
    return;
  }
  *L = std::atan2(Y, X);
  double p = std::sqrt(X * X + Y * Y);
  double b = std::atan2(Z, p);
  double N = a;
  for (int i = 0; i < kMaxIterations; ++i) {
    double sb = std::sin(b);
    N = a / std::sqrt(1 - e2 * sb * sb);
    double next = std::atan2(Z + e2 * N * sb, p);
    bool done = std::fabs(next - b) <= 1e-12;
    b = next;
    if (done || !std::isfinite(b)) break;
  }
  double sb = std::sin(b);
  N = a / std::sqrt(1 - e2 * sb * sb);
  *B = b;
  if (std::fabs(b) < 0.7853981633974475)
    *H = p / std::cos(b) - N;
  else
    *H = Z / sb - (1 - e2) * N;
}

int CGaussProjection::ApplyExpansionShift(double* B, double* H, double da) const {
  if (std::fabs(da) < 1e-10) return 1;
  double sb = std::sin(*B);
  double W = std::sqrt(1 - e2 * sb * sb);
  double M = a * (1 - e2) / (W * W * W);
  *B += std::cos(*B) * e2 * sb * da / (W * (M + *H));
  *H -= W * da;
  return 1;
}

void CGaussProjection::LineFrame(double x1, double y1, double x2, double y2, double* B,
                                 double* rm, double* k, double* ym) const {
  double dy = y2 - y1;
  *ym = (y1 + y2) / 2;
  *B = PlaneLatitude((x1 + x2) / 2, *ym);
  *rm = Rm(*B);
  double r2 = *rm * *rm;
  *k = 1 + *ym * *ym / (2 * r2) + dy * dy / (24 * r2);
}

void CGaussProjection::ReduceDistanceToPlane(double x1, double y1, double x2, double y2,
                                             double* s) const {
  if (!CheckReady()) return;
  if (y500km) { y1 -= 500000; y2 -= 500000; }
  double B, rm, k, ym;
  LineFrame(x1, y1, x2, y2, &B, &rm, &k, &ym);
  *s *= k;
}

namespace {
// Height reduction factor of a horizontal distance to the reduction surface.
double HeightFactor(double e2, double B, double rm, double x1, double y1, double x2, double y2,
                    double hm) {
  double A = std::atan2(y2 - y1, x2 - x1);
  NormalizeAngle(&A);
  double cb = std::cos(B);
  double ra = rm * (1 - e2 / 2 * cb * cb * std::cos(2 * A));
  return 1 - hm / ra + hm * hm / (ra * ra);
}
}  // namespace

void CGaussProjection::ReduceDistance(double x1, double y1, double H1, double x2, double y2,
                                      double H2, double* s, bool toPlane) const {
  if (!CheckReady()) return;
  if (y500km) { y1 -= 500000; y2 -= 500000; }
  double B, rm, k, ym;
  LineFrame(x1, y1, x2, y2, &B, &rm, &k, &ym);
  double hm = (H1 + H2) / 2 - reductionHeight;
  *s *= HeightFactor(e2, B, rm, x1, y1, x2, y2, hm);
  if (toPlane) *s *= k;
}

void CGaussProjection::ArcToChord(double x1, double y1, double x2, double y2, double* d12) const {
  if (!CheckReady()) return;
  if (y500km) { y1 -= 500000; y2 -= 500000; }
  double B, rm, k, ym;
  LineFrame(x1, y1, x2, y2, &B, &rm, &k, &ym);
  *d12 = (x1 - x2) * (2 * y1 + y2) / (6 * rm * rm);
}

void CGaussProjection::ArcToChordPair(double x1, double y1, double x2, double y2, double* d12,
                                      double* d21) const {
  if (!CheckReady()) return;
  if (y500km) { y1 -= 500000; y2 -= 500000; }
  double B, rm, k, ym;
  LineFrame(x1, y1, x2, y2, &B, &rm, &k, &ym);
  *d12 = (x1 - x2) * (2 * y1 + y2) / (6 * rm * rm);
  *d21 = (x2 - x1) * (2 * y2 + y1) / (6 * rm * rm);
}

int CGaussProjection::ReduceDirectionsAndDistance(double x1, double y1, double H1, double x2,
                                                  double y2, double H2, double* d12, double* d21,
                                                  double* s) const {
  if (!CheckReady()) return 0;
  if (y500km) { y1 -= 500000; y2 -= 500000; }
  double B, rm, k, ym;
  LineFrame(x1, y1, x2, y2, &B, &rm, &k, &ym);
  *d12 = (x1 - x2) * (2 * y1 + y2) / (6 * rm * rm);
  *d21 = (x2 - x1) * (2 * y2 + y1) / (6 * rm * rm);
  double hm = (H1 + H2) / 2 - reductionHeight;
  *s *= k * HeightFactor(e2, B, rm, x1, y1, x2, y2, hm);
  return 0;
}

}  // namespace survey
