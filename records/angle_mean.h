#pragma once
// The reductions of circle readings that the traverse and angle books share.
//
// Directions near 0°/360° must not be averaged as plain numbers (359°59′58″ and
// 0°00′04″ would give 180°00′01″): the face-right angle is taken within ±180° of the
// face-left one, and the sets are averaged as differences to the first set. Away
// from 0° this equals the plain mean. Exact to rounding (tests: hand-worked sheets).
#include "survey/angle.h"

namespace records {

// 2C of one reading pair, radians: L − (R − 180°), brought once into (−180°, 180°).
inline double TwoC(double L, double R) {
  constexpr double kPi = 3.14159265358979, kTwoPi = 6.28318530717958;
  double d = L - (R - kPi);
  if (d <= -kPi)
    d += kTwoPi;
  else if (d >= kPi)
    d -= kTwoPi;
  return d;
}

// The angle of one set from the first target (L1, R1) to the second (L2, R2), in [0, 2π).
inline double SetAngle(double L1, double R1, double L2, double R2) {
  double left = L2 - L1, right = R2 - R1;
  survey::NormalizeAngle(&left);
  survey::NormalizeAngle(&right);
  double a = left + 0.5 * survey::AngleDifference(left, right);
  return survey::NormalizeAngle(&a);
}

// Mean of set angles (Add, as directions around the first one) or of vertical angles
// (AddPlain, plain numbers).
class AngleMean {
 public:
  void Add(double a) {
    if (n_ == 0) first_ = a;
    sum_ += survey::AngleDifference(first_, a);
    plain_ += a;
    ++n_;
  }
  void AddPlain(double a) {
    plain_ += a;
    ++n_;
  }
  int Count() const { return n_; }
  // Direction mean in [0, 2π); only after Add.
  double Mean() const {
    double a = first_ + sum_ / n_;
    return survey::NormalizeAngle(&a);
  }
  double PlainMean() const { return plain_ / n_; }

 private:
  double first_ = 0, sum_ = 0, plain_ = 0;
  int n_ = 0;
};

}  // namespace records
