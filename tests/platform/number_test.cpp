#include "platform/number.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>

using namespace platform;

TEST(Number, FormatFixedTable) {
  struct { double v; int d; const char* text; } cases[] = {
      {1.5, 3, "1.500"}, {-0.0004, 3, "-0.000"}, {0.0005, 3, "0.001"}, {1234567.12345, 4, "1234567.1235"},
      {2.0, 0, "2"}, {-12.25, 1, "-12.2"}, {0.0, 2, "0.00"},
  };
  for (auto& c : cases) EXPECT_EQ(FormatFixed(c.v, c.d), c.text) << c.v;
}

TEST(Number, ParseFollowsAtofRules) {
  struct { const char* text; double v; } cases[] = {
      {"1.5", 1.5}, {"  -2.25abc", -2.25}, {"+3", 3}, {".5", 0.5}, {"abc", 0}, {"", 0},
      {"1e3", 1000}, {"inf", 0}, {"nan", 0}, {"-", 0}, {"1,5", 1}, {"1e999", 0},
  };
  for (auto& c : cases) EXPECT_DOUBLE_EQ(ParseDouble(c.text), c.v) << c.text;
}

TEST(Number, ParseIntFollowsAtoiRules) {
  struct { const char* text; int v; } cases[] = {
      {"12", 12}, {" -7x", -7}, {"x", 0}, {"3.9", 3}, {"99999999999", 2147483647}, {"-99999999999", -2147483647 - 1},
  };
  for (auto& c : cases) EXPECT_EQ(ParseInt(c.text), c.v) << c.text;
}

TEST(Number, IsNumber) {
  EXPECT_TRUE(IsNumber(" 12.5 "));
  EXPECT_FALSE(IsNumber("12.5a"));
  EXPECT_FALSE(IsNumber(""));
  EXPECT_FALSE(IsNumber("nan"));
}

TEST(Number, ReadNumberTakesOnlyWholeFiniteNumbers) {
  struct Case { const char* text; bool ok; double value; };
  const Case cases[] = {
      {" 3381522.416 ", true, 3381522.416}, {"-0.5", true, -0.5}, {"+7", true, 7},
      {".5", true, 0.5}, {"1e3", true, 1000}, {"1e-400", true, 0},
      {"", false, 0}, {"   ", false, 0}, {"nan", false, 0}, {"NaN", false, 0},
      {"inf", false, 0}, {"-Infinity", false, 0}, {"1e309", false, 0}, {"-1e309", false, 0},
      {"abc", false, 0}, {"33815X2.4.16", false, 0}, {"12.5a", false, 0}, {"1 2", false, 0},
      {"-", false, 0}, {".", false, 0}, {"0x10", false, 0},
  };
  for (const Case& c : cases) {
    auto v = ReadNumber(c.text);
    EXPECT_EQ(v.has_value(), c.ok) << '"' << c.text << '"';
    if (c.ok && v) {
      EXPECT_DOUBLE_EQ(*v, c.value) << c.text;
    }
  }
}

TEST(Number, ReadIntegerTakesOnlyWholeIntegers) {
  struct Case { const char* text; bool ok; int value; };
  const Case cases[] = {
      {"3", true, 3}, {" -7 ", true, -7}, {"+15000", true, 15000}, {"007", true, 7},
      {"2147483647", true, 2147483647}, {"-2147483648", true, -2147483647 - 1},
      {"2147483648", false, 0}, {"99999999999999999999", false, 0}, {"", false, 0}, {" ", false, 0},
      {"-", false, 0}, {"2.5", false, 0}, {"3.0", false, 0}, {"3x", false, 0}, {"2.5x", false, 0},
      {"abc", false, 0}, {"1e3", false, 0}, {"1 2", false, 0}, {"0x10", false, 0},
  };
  for (const Case& c : cases) {
    auto v = ReadInteger(c.text);
    EXPECT_EQ(v.has_value(), c.ok) << '"' << c.text << '"';
    if (c.ok && v) {
      EXPECT_EQ(*v, c.value) << c.text;
    }
  }
}

TEST(Number, CommaDecimalLocaleChangesNothing) {
  const char* old = std::setlocale(LC_ALL, nullptr);
  std::string saved = old ? old : "C";
  if (!std::setlocale(LC_ALL, "de_DE.UTF-8") && !std::setlocale(LC_ALL, "fr_FR.UTF-8"))
    GTEST_SKIP() << "no comma-decimal locale installed";
  EXPECT_EQ(FormatFixed(1.5, 3), "1.500");
  EXPECT_DOUBLE_EQ(ParseDouble("1.5"), 1.5);
  std::setlocale(LC_ALL, saved.c_str());
}
