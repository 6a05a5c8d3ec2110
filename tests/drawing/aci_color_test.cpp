// The colour index against the table rows a CAD user recognises: the fixed first
// ten, hue groups at their five brightness steps, full and half saturation, and
// the greys at the end.
#include <gtest/gtest.h>

#include "drawing/aci_color.h"

namespace {

TEST(AciColor, TellingRows) {
  struct Row {
    int index;
    int r, g, b;
  } rows[] = {
      {0, 255, 255, 255}, {1, 255, 0, 0},     {2, 255, 255, 0},   {3, 0, 255, 0},     {4, 0, 255, 255},
      {5, 0, 0, 255},     {6, 255, 0, 255},   {7, 0, 0, 0},       {8, 128, 128, 128}, {9, 192, 192, 192},
      {10, 255, 0, 0},    {11, 255, 128, 128}, {12, 166, 0, 0},   {13, 166, 83, 83},  {14, 128, 0, 0},
      {15, 128, 64, 64},  {16, 76, 0, 0},     {17, 76, 38, 38},   {18, 38, 0, 0},     {19, 38, 19, 19},
      {20, 255, 64, 0},   {21, 255, 159, 128}, {22, 166, 41, 0},  {23, 166, 104, 83}, {30, 255, 128, 0},
      {40, 255, 191, 0},  {41, 255, 223, 128}, {50, 255, 255, 0}, {90, 0, 255, 0},    {130, 0, 255, 255},
      {140, 0, 191, 255}, {170, 0, 0, 255},   {210, 255, 0, 255}, {240, 255, 0, 64},  {250, 84, 84, 84},
      {251, 118, 118, 118}, {252, 152, 152, 152}, {253, 187, 187, 187}, {254, 221, 221, 221},
      {255, 255, 255, 255},
  };
  for (const Row& row : rows) {
    const drawing::Rgb c = drawing::GetAciColor(row.index);
    EXPECT_EQ(c, (drawing::Rgb{std::uint8_t(row.r), std::uint8_t(row.g), std::uint8_t(row.b)}))
        << "index " << row.index << " gave " << int(c.r) << "," << int(c.g) << "," << int(c.b);
  }
}

TEST(AciColor, EveryHueGroupDarkensStepByStep) {
  // Within a group the largest channel falls 255 > 166 > 128 > 76 > 38, and the
  // half-saturated entry never has a zero channel.
  for (int base = 10; base < 250; base += 10) {
    int prev = 256;
    for (int step = 0; step < 10; step += 2) {
      const drawing::Rgb full = drawing::GetAciColor(base + step);
      const drawing::Rgb half = drawing::GetAciColor(base + step + 1);
      const int hi = std::max({int(full.r), int(full.g), int(full.b)});
      EXPECT_LT(hi, prev) << base + step;
      EXPECT_EQ(hi, std::max({int(half.r), int(half.g), int(half.b)})) << base + step + 1;
      EXPECT_GT(std::min({int(half.r), int(half.g), int(half.b)}), 0) << base + step + 1;
      prev = hi;
    }
  }
}

TEST(AciColor, OutOfRangeIndicesFallBackToBlack) {
  for (int bad : {-1, 256, 1000, -2147483647}) EXPECT_EQ(drawing::GetAciColor(bad), drawing::GetAciColor(7)) << bad;
  struct {
    int in, out;
  } layer[] = {{0, 7}, {1, 1}, {255, 255}, {256, 7}, {-3, 7}};
  for (auto c : layer) EXPECT_EQ(drawing::ClampLayerColour(c.in), c.out) << c.in;
}

}  // namespace
