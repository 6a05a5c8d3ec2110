#pragma once
// Angle notations of the program and their conversion to radians.
//
// Inside the program angles are radians. Users type and read sexagesimal angles
// either as a d.mmss number (12.345678 = 12°34'56.78") or as a "d m s" text
// ("12 34 56.78"). These functions convert between the forms; they hold no
// state, show no message and never throw. Unreadable text reads as 0 (atof/atoi
// rules through platform::ParseDouble / ParseInt).
//
// Accuracy: conversions are exact to rounding (tests: 1e-12 rad on the
// worked table of cases). Text formatting applies the carries so that no
// minute or second field ever reads 60.
#include <optional>
#include <string>
#include <string_view>

namespace survey {

// The constants of the program's angle arithmetic (kept as the program has always
// used them, so stored results do not move by the last digit).
inline constexpr double kPi = 3.14159265358979;
inline constexpr double kTwoPi = 6.28318530717958;
inline constexpr double kDegPerRad = 57.2957795130823;
inline constexpr double kSecPerRad = 206264.806247096;

// d.mmss number -> radians. Minutes and seconds above 59 are not refused
// (10.5960 is 11°). A 0.001 guard makes 12.3 read as 12°30' although 12.3 is
// stored as 12.2999... A non-finite number gives NaN.
double DmsToRadians(double dms);

// Radians -> d.mmss number (folded into [0, 360°) first, sign kept). Seconds are
// rounded to 0.000001″ with the carries into minute and degree (59.9999995″ is the
// next minute, 359°59′59.9999995″ is 0); NaN for a non-finite angle.
double RadiansToDms(double radians);

// Angle text ("d m s", or "d.mmss") -> radians; "" gives 0; a leading "-"
// negates. "12.3" is 12°30', "12.30155" 12°30'15.5". Any run of blanks separates
// the sign and the fields, so the grid's "-  5 30 00" (degrees padded to three
// places) is -5°30'. Unreadable parts read as 0 (atoi/atof rules).
double ParseAngleText(const std::string& text);

// The strict reader for angles a computation uses. nullopt unless the whole text
// (blanks around allowed) is one angle: an optional sign, then either d.mmss
// (digits with at most one ".") or two or three blank-separated fields "d m" /
// "d m s" of digits, the seconds with an optional fraction. Empty text, junk,
// an exponent ("1e308"), "nan", "inf", a fourth field and angles of a million
// degrees or more give nullopt. Minutes and seconds of 60 or more are read as
// ParseAngleText reads them. Otherwise the value is exactly ParseAngleText's.
std::optional<double> ReadAngleText(std::string_view text);

// Radians -> text. decimals < 0: minutes form "ddd mm" / "ddd.mm" (rounded to the
// minute, no sign). decimals >= 0: "ddd mm ss.s" (withBlanks) or "ddd.mmsss"
// (without), seconds rounded to `decimals` with the carries into minute and
// degree. Without keepSign a negative angle is shown as its positive equivalent;
// with keepSign a "-" is prefixed unless the text shows zero. A non-finite angle
// gives "".
std::string AngleToText(double radians, bool withBlanks, int decimals, bool keepSign);

// d.mmss number -> "ddd mm ss.s" text with the same carries; "-" in front of a
// negative number that does not show as zero. A non-finite number gives "".
std::string DmsNumberToText(double dms, int decimals);

// Folds the angle in place into [0, 2π) and returns it. Any finite value folds
// in constant time; a non-finite value is refused: it is left unchanged (and
// returned unchanged), so callers test std::isfinite before trusting it.
double NormalizeAngle(double* angle);

// The same fold as a value: angle in [0, 2π); a non-finite value comes back unchanged.
double Fold2Pi(double angle);

// b − a folded into [−π, π] (any finite a, b).
double AngleDifference(double a, double b);

}  // namespace survey
