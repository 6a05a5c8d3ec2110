// Every text a cell can hold for an angle reads back as the angle it shows: what
// the editor makes of every typed d.mmss and every text the formatters write,
// signed and unsigned, with the grid's padded degrees and the list's bare ones.
#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "survey/angle.h"
#include "table/cell_edit.h"

namespace {

using survey::kDegPerRad;
using survey::kSecPerRad;

// One typed angle: the sign, degrees and minutes, and the seconds as the user
// types them after the minutes of a d.mmss number ("305" is 30.5″).
struct Typed {
  bool negative;
  int d, m;
  std::string secDigits;
  double s;
};

double Radians(const Typed& a) {
  const double r = (a.d + a.m / 60.0 + a.s / 3600) / kDegPerRad;
  return a.negative ? -r : r;
}

std::string Two(int v) { return (v < 10 ? "0" : "") + std::to_string(v); }

// The d.mmss text typed for the angle, and its "d m s" form.
std::string DmsTyped(const Typed& a) {
  return (a.negative ? "-" : "") + std::to_string(a.d) + "." + Two(a.m) + a.secDigits;
}
std::string BlankTyped(const Typed& a) {
  std::string sec = a.secDigits.empty() ? "0" : a.secDigits.substr(0, 2);
  if (a.secDigits.size() > 2) sec += "." + a.secDigits.substr(2);
  return (a.negative ? "-" : "") + std::to_string(a.d) + " " + std::to_string(a.m) + " " + sec;
}

// Every whole minute from -359°59′ to 359°59′, and a set of seconds at three
// minutes of every degree.
std::vector<Typed> WholeMinutes() {
  std::vector<Typed> out;
  for (bool negative : {false, true})
    for (int d = 0; d <= 359; ++d)
      for (int m = 0; m < 60; ++m) out.push_back({negative, d, m, "", 0});
  return out;
}

std::vector<Typed> SecondsSamples() {
  struct Sec {
    const char* digits;
    double value;
  };
  const Sec seconds[] = {{"01", 1}, {"09", 9}, {"10", 10}, {"305", 30.5}, {"59", 59}, {"5999", 59.99},
                         {"000001", 0.0001}, {"595", 59.5}};
  std::vector<Typed> out;
  for (bool negative : {false, true})
    for (int d = 0; d <= 359; ++d)
      for (int m : {0, 30, 59})
        for (const Sec& s : seconds) out.push_back({negative, d, m, s.digits, s.value});
  return out;
}

// Half a unit of the last shown seconds digit, and a hair for the arithmetic.
double Tolerance(int decimals) { return (0.5 * std::pow(10.0, -decimals) + 1e-7) / kSecPerRad; }

// What the editor stores for a typed angle, with the grid's padded degrees and
// the list's bare ones, reads back as the angle typed.
void CheckTyped(const Typed& a, const std::string& typed) {
  ASSERT_TRUE(table::EditTextAccepted(table::kInputSignedAngle, typed)) << typed;
  for (bool pad : {true, false}) {
    const std::string cell = table::FinishEditText(table::kInputSignedAngle, typed, pad);
    const double back = survey::ParseAngleText(cell);
    ASSERT_NEAR(back, Radians(a), 1e-12) << typed << " -> '" << cell << "'";
    ASSERT_EQ(survey::ReadAngleText(cell), back) << cell;
  }
}

TEST(AngleText, EveryTypedAngleReadsBackAsTyped) {
  for (const Typed& a : WholeMinutes()) ASSERT_NO_FATAL_FAILURE(CheckTyped(a, DmsTyped(a)));
  for (const Typed& a : SecondsSamples()) {
    ASSERT_NO_FATAL_FAILURE(CheckTyped(a, DmsTyped(a)));
    ASSERT_NO_FATAL_FAILURE(CheckTyped(a, BlankTyped(a)));
  }
}

// The formatters' texts read back as the angle they show: signed and folded, with
// and without blanks. `decimals` lists the seconds decimals tried.
void CheckFormatted(const Typed& a, std::initializer_list<int> decimalsTried) {
  const double r = Radians(a);
  for (bool keepSign : {true, false}) {
    if (!keepSign && !a.negative) continue;  // the same texts as with keepSign
    const double shown = keepSign ? r : survey::Fold2Pi(r);
    for (bool blanks : {true, false})
      for (int decimals : decimalsTried) {
        const std::string text = survey::AngleToText(r, blanks, decimals, keepSign);
        const double back = survey::ParseAngleText(text);
        // A minus only where the text shows a negative angle, never on zero.
        ASSERT_EQ(!text.empty() && text[0] == '-', keepSign && r < 0 && back != 0) << text;
        ASSERT_LE(std::fabs(survey::AngleDifference(shown, back)), Tolerance(decimals)) << text;
        ASSERT_EQ(survey::ReadAngleText(text), back) << text;
      }
  }
  // The minutes form is never signed and shows the nearest minute.
  for (bool blanks : {true, false}) {
    const std::string text = survey::AngleToText(r, blanks, -1, false);
    ASSERT_LE(std::fabs(survey::AngleDifference(r, survey::ParseAngleText(text))), 30.0001 / kSecPerRad) << text;
  }
  const double dms = (a.negative ? -1 : 1) * (a.d + a.m / 100.0 + a.s / 10000);
  for (int decimals : decimalsTried) {
    const std::string text = survey::DmsNumberToText(dms, decimals);
    const double back = survey::ParseAngleText(text);
    ASSERT_EQ(!text.empty() && text[0] == '-', dms < 0 && back != 0) << text;
    ASSERT_LE(std::fabs(survey::AngleDifference(r, back)), Tolerance(decimals)) << dms << " -> '" << text << "'";
  }
}

TEST(AngleText, EveryFormattedAngleReadsBackAsShown) {
  // Whole minutes: more decimals only add zeros to the seconds.
  for (const Typed& a : WholeMinutes()) ASSERT_NO_FATAL_FAILURE(CheckFormatted(a, {0, 1, 6}));
  for (const Typed& a : SecondsSamples()) ASSERT_NO_FATAL_FAILURE(CheckFormatted(a, {0, 1, 2, 3, 4, 5, 6}));
}

}  // namespace
