#include "survey/angle.h"

#include <cmath>
#include <limits>
#include <string_view>

#include "platform/number.h"

namespace survey {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

bool IsTrimBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsTrimBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsTrimBlank(s.back())) s.remove_suffix(1);
  return s;
}

std::string Pad3(int v) {
  std::string s = std::to_string(v);
  while (s.size() < 3) s.insert(s.begin(), ' ');
  return s;
}

std::string Pad02(int v) {
  std::string s = std::to_string(v);
  if (s.size() < 2) s.insert(s.begin(), '0');
  return s;
}

// Degrees, minutes and seconds of a display, with the carries that keep every
// field below 60 after the seconds are rounded to `decimals`.
struct Dms {
  int d = 0;
  int m = 0;
  double s = 0;
};

void CarryMinutes(Dms& v) {
  if (v.m >= 60) {
    v.m -= 60;
    v.d += 1;
  }
  if (v.d >= 360) v.d -= 360;
}

// Seconds text with `decimals`, after the carry of a rounding to 60 into the minute.
std::string SecondsText(Dms& v, int decimals) {
  double half = 0.5 * std::pow(10.0, -decimals);
  if (half >= 60 - v.s) {
    v.s = 0;
    v.m += 1;
  }
  std::string text = platform::FormatFixed(v.s, decimals);
  // The comparison above can miss by an ulp; the printed value decides.
  if (platform::ParseDouble(text) >= 60) {
    v.s = 0;
    v.m += 1;
    text = platform::FormatFixed(0.0, decimals);
  }
  CarryMinutes(v);
  if (platform::ParseDouble(text) < 10) text.insert(text.begin(), '0');
  return text;
}

}  // namespace

double NormalizeAngle(double* angle) {
  double v = *angle;
  if (!std::isfinite(v)) return v;
  if (v >= kTwoPi || v < 0) {
    v = std::fmod(v, kTwoPi);
    if (v < 0) v += kTwoPi;
    if (v >= kTwoPi) v = 0;  // -tiny + 2π rounds to 2π
  }
  *angle = v;
  return v;
}

double Fold2Pi(double angle) { return NormalizeAngle(&angle); }

double AngleDifference(double a, double b) {
  double d = b - a;
  if (d > kPi)
    d -= kTwoPi;
  else if (d < -kPi)
    d += kTwoPi;
  if (std::isfinite(d) && (d > kPi || d < -kPi)) d = std::remainder(d, kTwoPi);
  return d;
}

double DmsToRadians(double x) {
  if (!std::isfinite(x)) return kNaN;
  double ax = std::fabs(x);
  double d = std::floor(ax + 0.001);
  double rest = (ax - d) * 100;
  double m = std::floor(rest + 0.001);
  double s = (rest - m) * 100;
  if (s < 0) s = 0;
  double r = (d + m / 60 + s / 3600) / kDegPerRad;
  return x < 0 ? -r : r;
}

double RadiansToDms(double r) {
  if (!std::isfinite(r)) return kNaN;
  double a = std::fabs(r);
  NormalizeAngle(&a);
  // Whole millionths of a second, so that 89°59'59.9999999...″ (π/2 in the
  // program's constants) carries to 90° instead of reading 89.5959999... A half
  // rounds up even when the radians land a hair below it.
  constexpr double kTicksPerSecond = 1e6;
  const double ticks = std::floor(a * kSecPerRad * kTicksPerSecond + 0.5 + 1e-3);
  const double perMinute = 60 * kTicksPerSecond, perDegree = 3600 * kTicksPerSecond;
  double d = std::floor(ticks / perDegree);
  double rest = ticks - d * perDegree;
  double m = std::floor(rest / perMinute);
  double s = (rest - m * perMinute) / kTicksPerSecond;
  if (d >= 360) d -= 360;
  double v = d + m / 100 + s / 10000;
  return r < 0 ? -v : v;
}

double ParseAngleText(const std::string& text) {
  std::string_view s = Trim(text);
  if (s.empty()) return 0;
  bool neg = false;
  if (s.front() == '-') {
    neg = true;
    s.remove_prefix(1);
  }
  double d = 0, m = 0, sec = 0;
  std::size_t blank = s.size() > 1 ? s.find(' ', 1) : std::string_view::npos;
  if (blank != std::string_view::npos) {
    d = platform::ParseInt(s.substr(0, blank));
    std::string_view rest = s.substr(blank + 1);
    std::size_t next = rest.find(' ');
    m = platform::ParseInt(rest.substr(0, next));
    if (next != std::string_view::npos) sec = platform::ParseDouble(rest.substr(next + 1));
  } else {
    std::size_t dot = s.find('.');
    d = platform::ParseInt(s.substr(0, dot));
    std::string frac = dot == std::string_view::npos ? std::string() : std::string(s.substr(dot + 1));
    if (frac.size() < 4) frac += "0000";
    m = platform::ParseInt(frac.substr(0, 2));
    std::string sec_digits = frac.substr(2);
    sec = platform::ParseDouble(sec_digits.substr(0, 2) + "." + sec_digits.substr(2));
  }
  double r = (d + m / 60 + sec / 3600) / kDegPerRad;
  return neg ? -r : r;
}

std::string AngleToText(double r, bool withBlanks, int decimals, bool keepSign) {
  if (!std::isfinite(r)) return {};
  bool neg = false;
  if (keepSign && r < 0) {
    r = -r;
    neg = true;
  }
  NormalizeAngle(&r);
  double deg = r * kDegPerRad;
  Dms v;
  double df = std::floor(deg);
  double mf = (deg - df) * 60;
  double m = std::floor(mf);
  v.d = static_cast<int>(df);
  v.m = static_cast<int>(m);
  v.s = (mf - m) * 60;
  if (v.s < 0) v.s = 0;
  if (v.d >= 360) v.d -= 360;

  if (decimals < 0) {
    if (v.s >= 30) v.m += 1;
    CarryMinutes(v);
    return Pad3(v.d) + (withBlanks ? " " : ".") + Pad02(v.m);
  }
  std::string sec = SecondsText(v, decimals);
  std::string text;
  if (withBlanks) {
    text = Pad3(v.d) + " " + Pad02(v.m) + " " + sec;
  } else {
    std::string digits;
    for (char c : sec)
      if (c != '.') digits += c;
    text = Pad3(v.d) + "." + Pad02(v.m) + digits;
  }
  if (neg) {
    if (!withBlanks) text = std::string(Trim(text));
    text.insert(text.begin(), '-');
  }
  return text;
}

std::string DmsNumberToText(double x, int decimals) {
  // Beyond a billion degrees the number is not an angle anyone typed.
  if (!std::isfinite(x) || std::fabs(x) >= 1e9) return {};
  if (decimals < 0) decimals = 0;
  double ax = std::fabs(x);
  double d = std::floor(ax + 0.001);
  double rest = (ax - d) * 100;
  double m = std::floor(rest + 0.001);
  Dms v;
  v.d = static_cast<int>(d);
  v.m = static_cast<int>(m);
  v.s = (rest - m) * 100;
  if (v.s < 0) v.s = 0;
  CarryMinutes(v);
  std::string sec = SecondsText(v, decimals);
  std::string text = Pad3(v.d) + " " + Pad02(v.m) + " " + sec;
  if (x < 0) text.insert(text.begin(), '-');
  return text;
}

}  // namespace survey
