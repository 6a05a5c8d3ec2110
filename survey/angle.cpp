#include "survey/angle.h"

#include <array>
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

// An angle that rounds to zero is shown without a sign ("-  0 00 00.0" is 0).
bool ShowsZero(const std::string& text) {
  for (char c : text)
    if (c != ' ' && c != '0' && c != '.') return false;
  return true;
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

namespace {

bool IsFieldBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view SkipBlanks(std::string_view s) {
  while (!s.empty() && IsFieldBlank(s.front())) s.remove_prefix(1);
  return s;
}

// The text of an angle without its sign: a leading "-" is taken off with the
// blanks after it (the grid pads degrees to three places: "-  5 30 00").
std::string_view Unsigned(std::string_view s, bool* negative) {
  s = Trim(s);
  *negative = !s.empty() && s.front() == '-';
  if (*negative) s = SkipBlanks(s.substr(1));
  return s;
}

// The blank-separated fields of an unsigned angle text (no blanks around). At
// most four are cut; the last one holds whatever follows.
struct AngleFields {
  std::array<std::string_view, 4> at;
  std::size_t size = 0;
  const std::string_view& operator[](std::size_t i) const { return at[i]; }
};

AngleFields Fields(std::string_view s, std::size_t limit) {
  AngleFields out;
  while (!s.empty()) {
    if (out.size + 1 == limit) {
      out.at[out.size++] = s;
      break;
    }
    std::size_t end = 0;
    while (end < s.size() && !IsFieldBlank(s[end])) ++end;
    out.at[out.size++] = s.substr(0, end);
    s = SkipBlanks(s.substr(end));
  }
  return out;
}

bool AllDigits(std::string_view s) {
  for (char c : s)
    if (c < '0' || c > '9') return false;
  return true;
}

// Digits with at most one "." and at least one digit.
bool IsDecimalDigits(std::string_view s) {
  const std::size_t dot = s.find('.');
  if (dot == std::string_view::npos) return !s.empty() && AllDigits(s);
  return s.size() > 1 && AllDigits(s.substr(0, dot)) && AllDigits(s.substr(dot + 1));
}

// The value of a field of digits (and a point); nullopt past a billion, which no
// field of an angle holds.
std::optional<double> FieldValue(std::string_view s) {
  std::string_view whole = s.substr(0, s.find('.'));
  while (!whole.empty() && whole.front() == '0') whole.remove_prefix(1);
  if (whole.size() > 9) return std::nullopt;
  return platform::ParseDouble(s);
}

double ParseUnsignedAngle(std::string_view s) {
  double d = 0, m = 0, sec = 0;
  const AngleFields f = Fields(s, 3);
  if (f.size > 1) {
    d = platform::ParseInt(f[0]);
    m = platform::ParseInt(f[1]);
    if (f.size > 2) sec = platform::ParseDouble(f[2]);
  } else {
    std::size_t dot = s.find('.');
    d = platform::ParseInt(s.substr(0, dot));
    std::string frac = dot == std::string_view::npos ? std::string() : std::string(s.substr(dot + 1));
    if (frac.size() < 4) frac += "0000";
    m = platform::ParseInt(frac.substr(0, 2));
    std::string sec_digits = frac.substr(2);
    sec = platform::ParseDouble(sec_digits.substr(0, 2) + "." + sec_digits.substr(2));
  }
  return (d + m / 60 + sec / 3600) / kDegPerRad;
}

}  // namespace

double ParseAngleText(const std::string& text) {
  bool neg = false;
  const double r = ParseUnsignedAngle(Unsigned(text, &neg));
  return neg ? -r : r;
}

std::optional<double> ReadAngleText(std::string_view text) {
  bool neg = false;
  const std::string_view s = Unsigned(text, &neg);
  const AngleFields f = Fields(s, 4);
  double degrees = 0;
  if (f.size == 1) {
    if (!IsDecimalDigits(f[0])) return std::nullopt;
    const std::string_view whole = f[0].substr(0, f[0].find('.'));
    const std::optional<double> d = FieldValue(whole);
    if (!d) return std::nullopt;
    degrees = *d;
  } else if (f.size == 2 || f.size == 3) {
    if (!AllDigits(f[0]) || !AllDigits(f[1]) || (f.size == 3 && !IsDecimalDigits(f[2]))) return std::nullopt;
    const double scale[] = {1, 60, 3600};
    for (std::size_t k = 0; k < f.size; ++k) {
      const std::optional<double> v = FieldValue(f[k]);
      if (!v) return std::nullopt;
      degrees += *v / scale[k];
    }
  } else {
    return std::nullopt;
  }
  // Beyond any angle a survey holds; also keeps every field inside an int.
  if (!(degrees < 1e6)) return std::nullopt;
  const double r = ParseUnsignedAngle(s);
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
  if (neg && !ShowsZero(text)) {
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
  if (x < 0 && !ShowsZero(text)) text.insert(text.begin(), '-');
  return text;
}

}  // namespace survey
