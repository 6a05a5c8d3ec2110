// Angle notations: tables of typed values and the texts a surveyor expects.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <sstream>

#include "survey/angle.h"
#include "survey/format.h"

using namespace survey;

namespace {

// Radians of d°m′s″ with the program's degree constant.
double Rad(double d, double m = 0, double s = 0) { return (d + m / 60 + s / 3600) / kDegPerRad; }

TEST(Angle, DmsNumbersToRadians) {
  struct Case { double dms; double expected; } cases[] = {
      {12.3, Rad(12, 30)},                 // 12.3 is stored as 12.2999...
      {-0.3, -Rad(0, 30)},
      {10.5960, Rad(11)},                  // 59′60″ is not refused
      {12.345678, Rad(12, 34, 56.78)},
      {0.0001, Rad(0, 0, 1)},
      {359.5959, Rad(359, 59, 59)},
      {90, Rad(90)},
      {0, 0},
  };
  for (const Case& c : cases) EXPECT_NEAR(DmsToRadians(c.dms), c.expected, 1e-12) << c.dms;
  EXPECT_TRUE(std::isnan(DmsToRadians(std::numeric_limits<double>::infinity())));
}

TEST(Angle, RadiansToDmsNumbers) {
  struct Case { double rad; double expected; } cases[] = {
      {Rad(12, 34, 56.78), 12.345678},
      {Rad(90), 90},
      {-Rad(1), -1},
      {Rad(360 + 10, 30), 10.3},  // folded first
      {Rad(0, 0, 30), 0.003},
  };
  for (const Case& c : cases) EXPECT_NEAR(RadiansToDms(c.rad), c.expected, 1e-9) << c.rad;
}

// Seconds round to 0.000001″ and carry into the minute and the degree; the expected
// numbers are worked by hand from the d°m′s″ of each case.
TEST(Angle, RadiansToDmsCarries) {
  struct Case { const char* what; double rad; double expected; } cases[] = {
      {"pi/2 in the program's constants", kPi / 2, 90},
      {"pi/2 to the last bit", 1.5707963267948966, 90},
      {"pi in the program's constants", kPi, 180},
      {"59.9999995 seconds carry a minute", Rad(12, 34, 59.9999995), 12.35},
      {"59.9999994 seconds stay", Rad(12, 34, 59.9999994), 12.3459999999},
      {"59.99995 seconds stay", Rad(12, 34, 59.99995), 12.345999995},
      {"59 minutes 59.9999995 carry a degree", Rad(12, 59, 59.9999995), 13},
      {"a hair below 45 degrees", Rad(44, 59, 59.99999999), 45},
      {"a hair below a full turn folds to 0", Rad(359, 59, 59.9999996), 0},
      {"negative carries keep the sign", -Rad(0, 59, 59.9999995), -1},
      {"0.0000006 seconds round up", Rad(7, 0, 0.0000006), 7.0000000001},
      {"exact seconds untouched", Rad(100, 10, 10.123456), 100.1010123456},
  };
  for (const Case& c : cases) EXPECT_NEAR(RadiansToDms(c.rad), c.expected, 1e-11) << c.what;
  EXPECT_TRUE(std::isnan(RadiansToDms(std::numeric_limits<double>::quiet_NaN())));
}

TEST(Angle, ParsingTypedText) {
  struct Case { const char* text; double expected; } cases[] = {
      {"12.3", Rad(12, 30)},
      {"12", Rad(12)},
      {"-12 30 15.5", -Rad(12, 30, 15.5)},
      {"12.30155", Rad(12, 30, 15.5)},
      {"12.3015", Rad(12, 30, 15)},
      {"12.5", Rad(12, 50)},  // a remainder 5 is 50′
      {"12.345678", Rad(12, 34, 56.78)},
      {"  123 45  ", Rad(123, 45)},
      {"123 45 06", Rad(123, 45, 6)},
      {"-0.3", -Rad(0, 30)},
      {"", 0},
      {"   ", 0},
      {"abc", 0},
      {"7x.12", Rad(7, 12)},  // atoi reads the leading digits
      // Any run of blanks separates the sign and the fields: the grid pads the
      // degrees of a signed angle to three places, and files hold such texts.
      {"-  5 30 00", -Rad(5, 30)},
      {"-  0 30 00", -Rad(0, 30)},
      {"- 12 30 00", -Rad(12, 30)},
      {"-123 45 06", -Rad(123, 45, 6)},
      {"  5 30 00", Rad(5, 30)},
      {"12  30   15.5", Rad(12, 30, 15.5)},
      {"-\t5\t30", -Rad(5, 30)},
      {"-  5.3000", -Rad(5, 30)},
      {"12 30 15.5 9", Rad(12, 30, 15.5)},  // a fourth field is not read
  };
  for (const Case& c : cases) EXPECT_NEAR(ParseAngleText(c.text), c.expected, 1e-12) << c.text;
}

// The strict reader: one angle or nothing, and the same value as the lenient one.
TEST(Angle, StrictReadingRefusesWhatIsNotAnAngle) {
  const char* angles[] = {"12.3", "12", "-12 30 15.5", "12.30155", "  123 45  ", "-  5 30 00", "- 12 30 00",
                          "-0.3", ".5", "12.", "0.00120", "359.595999", "10 59 60", "12 30", "999999.5959",
                          "12 30 .5", "12 30 15."};
  for (const char* text : angles) {
    const std::optional<double> r = ReadAngleText(text);
    ASSERT_TRUE(r.has_value()) << text;
    EXPECT_EQ(*r, ParseAngleText(text)) << text;
  }
  const char* refused[] = {"", "   ", "-", "- ", "1e308", "1e3", "nan", "inf", "-inf", "Infinity", "abc", "7x.12",
                           "12.3.4", "12 30 15 5", "12 3a", "12.5 30", "12 30.5 10", "12 30 1e5", "--5", "+5",
                           "1000000", "1000000.0000", "0 60000000 0", "0 0 3600000000", "5,3",
                           "1000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000"
                           "0000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000"
                           "0000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000"
                           "0000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000"};
  for (const char* text : refused) EXPECT_FALSE(ReadAngleText(text).has_value()) << text;
}

TEST(Angle, FormattingWithCarriesAndSigns) {
  struct Case {
    double rad;
    bool blanks;
    int decimals;
    bool keepSign;
    const char* expected;
  } cases[] = {
      {Rad(5, 7, 30), true, 1, false, "  5 07 30.0"},
      {Rad(5, 7, 30), false, 1, false, "  5.07300"},
      {Rad(0, 59, 59.96), true, 1, false, "  1 00 00.0"},     // seconds and minutes carry
      {Rad(359, 59, 59.96), true, 1, false, "  0 00 00.0"},   // and the degrees wrap
      {Rad(359, 59, 59.96), false, 1, false, "  0.00000"},
      {Rad(5, 7, 9.96), true, 1, false, "  5 07 10.0"},       // no leading zero once 10
      {Rad(5, 7, 9.94), true, 1, false, "  5 07 09.9"},
      {Rad(12, 34, 56.78), true, 2, false, " 12 34 56.78"},
      {Rad(12, 34, 56.78), true, 0, false, " 12 34 57"},
      {Rad(0, 59, 59.5), true, 0, false, "  1 00 00"},
      {Rad(123, 45, 6), true, 0, false, "123 45 06"},
      {Rad(123, 45, 6), false, 0, false, "123.4506"},
      {-Rad(1), false, 1, true, "-1.00000"},
      {-Rad(1), true, 1, true, "-  1 00 00.0"},
      {-Rad(1), false, 1, false, "359.00000"},
      {-Rad(0, 0, 59.99), true, 1, true, "-  0 01 00.0"},
      {-Rad(0, 0, 0.04), true, 1, true, "  0 00 00.0"},  // rounds to zero: no sign
      {-Rad(0, 0, 0.04), false, 1, true, "  0.00000"},
      // Minutes form: rounded to the minute, never signed.
      {Rad(12, 34, 30.5), true, -1, false, " 12 35"},
      {Rad(12, 34, 29), false, -1, false, " 12.34"},
      {Rad(359, 59, 40), true, -1, false, "  0 00"},
      {-Rad(12, 34), true, -1, true, " 12 34"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(AngleToText(c.rad, c.blanks, c.decimals, c.keepSign), c.expected) << c.expected;
  EXPECT_EQ(AngleToText(std::nan(""), true, 1, false), "");
}

// Whatever the rounding, no field reads 60 and the text reads back to the angle.
TEST(Angle, NoFieldEverShowsSixty) {
  for (int decimals = 0; decimals <= 4; ++decimals) {
    for (int d : {0, 1, 89, 359}) {
      for (int m : {0, 58, 59}) {
        for (double s = 59.0; s < 60.0; s += 0.00731) {
          double r = Rad(d, m, s);
          std::string text = AngleToText(r, true, decimals, false);
          std::istringstream in(text);
          int dd = -1, mm = -1;
          double ss = -1;
          in >> dd >> mm >> ss;
          ASSERT_TRUE(dd >= 0 && dd < 360 && mm >= 0 && mm < 60 && ss >= 0 && ss < 60) << text;
          double back = ParseAngleText(text);
          double diff = std::fabs(AngleDifference(r, back));
          ASSERT_LE(diff * kSecPerRad, 0.5 * std::pow(10.0, -decimals) + 1e-6) << text;
          // The d.mmss form of the same text carries alike.
          std::string compact = AngleToText(r, false, decimals, false);
          ASSERT_NEAR(std::fabs(AngleDifference(back, ParseAngleText(compact))), 0, 1e-12) << compact;
        }
      }
    }
  }
}

TEST(Angle, DmsNumberTexts) {
  struct Case { double dms; int decimals; const char* expected; } cases[] = {
      {12.345678, 2, " 12 34 56.78"},
      {10.5960, 1, " 11 00 00.0"},
      {-12.3, 0, "- 12 30 00"},
      {0.595999, 1, "  1 00 00.0"},
      {5.0709, 1, "  5 07 09.0"},
      {359.595999, 1, "  0 00 00.0"},
      {-0.000001, 0, "  0 00 00"},  // rounds to zero: no sign
      {-5.3, 0, "-  5 30 00"},
  };
  for (const Case& c : cases) EXPECT_EQ(DmsNumberToText(c.dms, c.decimals), c.expected) << c.dms;
  EXPECT_EQ(DmsNumberToText(std::nan(""), 1), "");
}

TEST(Angle, NormalizeFoldsAnyFiniteValueAndRefusesTheRest) {
  struct Case { double in; double expected; } cases[] = {
      {0.5, 0.5},
      {-0.5, kTwoPi - 0.5},
      {7.0, 7.0 - kTwoPi},
      {kTwoPi, 0},
      {-1e-17, 0},                          // -tiny + 2π rounds to 2π: folded to 0
      {1000 * kTwoPi + 1, 1},
  };
  for (const Case& c : cases) {
    double a = c.in;
    EXPECT_NEAR(NormalizeAngle(&a), c.expected, 1e-9) << c.in;
    EXPECT_EQ(a, NormalizeAngle(&a));
    EXPECT_EQ(Fold2Pi(c.in), a) << c.in;  // the value form folds alike
    EXPECT_GE(a, 0);
    EXPECT_LT(a, kTwoPi);
  }
  // Huge values (typed text) fold at once instead of looping for ever.
  for (double huge : {1e300, -1e300, 1e20, std::numeric_limits<double>::max()}) {
    double a = huge;
    NormalizeAngle(&a);
    EXPECT_GE(a, 0);
    EXPECT_LT(a, kTwoPi);
  }
  for (double bad : {std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
                     std::numeric_limits<double>::quiet_NaN()}) {
    double a = bad;
    double r = NormalizeAngle(&a);
    EXPECT_FALSE(std::isfinite(r));
    EXPECT_FALSE(std::isfinite(a));
    EXPECT_FALSE(std::isfinite(Fold2Pi(bad)));
  }
}

TEST(Angle, DifferenceIsFoldedIntoHalfTurns) {
  struct Case { double a, b, expected; } cases[] = {
      {0.1, 0.3, 0.2},
      {0.1, 6.2, 6.1 - kTwoPi},
      {6.2, 0.1, kTwoPi - 6.1},
      {0, kTwoPi, 0},
      {0, -kTwoPi, 0},
      {0, 7 * kTwoPi + 0.25, 0.25},
      {-3 * kTwoPi, 0.25, 0.25},
  };
  for (const Case& c : cases) EXPECT_NEAR(AngleDifference(c.a, c.b), c.expected, 1e-9) << c.a << " " << c.b;
}

TEST(Format, Numbers) {
  struct Case { double v; int decimals; const char* expected; } cases[] = {
      {3.0, -1, "3"},     {0.25, 3, "0.250"},   {12.5, -1, "12.5"},  {100, -1, "100"},
      {1234.5678, 2, "1234.57"}, {-0.5, -1, "-0.5"}, {2.0, 0, "2"},   {0.0001234, -1, "0.000123"},
      // A figure that rounds to zero has no sign.
      {-0.0004, 3, "0.000"}, {-0.4, 0, "0"},  {-1e-15, 4, "0.0000"}, {-0.0000004, -1, "0"},
      {-0.0, 2, "0.00"},     {-0.0005, 3, "-0.001"}, {-100.0004, 3, "-100.000"},
  };
  for (const Case& c : cases) EXPECT_EQ(FormatNumber(c.v, c.decimals), c.expected) << c.v;
  EXPECT_EQ(IntToText(-42), "-42");
}

TEST(Format, MessagePlaceholders) {
  const std::string longName(3000, 'A');  // beyond any fixed buffer
  struct Case { std::string text, expected; } cases[] = {
      {Format("第%d点(%s)-第%d点(%s)", {3, "K1", 4, "导线点"}), "第3点(K1)-第4点(导线点)"},
      {Format("第%d点(%s)", 12, std::string("甲")), "第12点(甲)"},
      {Format("100%和%x不是占位符%d", {-7}), "100%和%x不是占位符-7"},
      {Format("%s与%s", {"一"}), "一与%s"},       // missing arguments leave the placeholder
      {Format("无占位符", {1, "多余"}), "无占位符"},  // surplus arguments are dropped
      {Format("尾%", {1}), "尾%"},
      {Format("(%s)", {longName}), "(" + longName + ")"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.text, c.expected);
}

TEST(Format, SplitText) {
  struct Case {
    const char* text;
    char sep;
    std::vector<std::string> items;
  } cases[] = {
      {"a,,b,", ',', {"a", "", "b", ""}},
      {" x , y ", ',', {"x", "y"}},
      {"", ',', {}},
      {"abc", ',', {"abc"}},
      {",", ',', {"", ""}},
      {"1;2.5; 3 ", ';', {"1", "2.5", "3"}},
      {"\tq ,r", ',', {"\tq", "r"}},  // only blanks are trimmed
  };
  for (const Case& c : cases) {
    std::vector<std::string> items{"stale"};
    SplitText(c.text, items, c.sep);
    EXPECT_EQ(items, c.items) << c.text;
  }
}

}  // namespace
