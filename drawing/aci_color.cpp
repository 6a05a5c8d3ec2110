#include "drawing/aci_color.h"

#include <array>
#include <cmath>

namespace drawing {
namespace {

// Halves round to even (127.5 -> 128, 76.5 -> 76), as the table was made.
std::uint8_t Channel(double v) { return static_cast<std::uint8_t>(std::nearbyint(v)); }

// Hue groups: hue 15° x group; the largest channel at brightness v x 255, the
// smallest at 0 (full colour) or half the largest (half saturation), the middle
// one a quarter step of the way between them.
Rgb HueEntry(int group, int offset) {
  static constexpr double kBrightness[5] = {1.0, 0.65, 0.5, 0.3, 0.15};
  const double hi = 255.0 * kBrightness[offset / 2];
  const double lo = (offset % 2) ? hi / 2.0 : 0.0;
  const int sector = (group * 15) / 60;       // 0..5, 60° each
  const double t = ((group * 15) % 60) / 60.0; // 0, 1/4, 1/2, 3/4 into the sector
  const double rising = lo + (hi - lo) * t;
  const double falling = lo + (hi - lo) * (1.0 - t);
  double r = lo, g = lo, b = lo;
  switch (sector) {
    case 0: r = hi; g = rising; break;   // red to yellow
    case 1: g = hi; r = falling; break;  // yellow to green
    case 2: g = hi; b = rising; break;   // green to cyan
    case 3: b = hi; g = falling; break;  // cyan to blue
    case 4: b = hi; r = rising; break;   // blue to magenta
    default: r = hi; b = falling; break; // magenta to red
  }
  return {Channel(r), Channel(g), Channel(b)};
}

std::array<Rgb, 256> BuildTable() {
  std::array<Rgb, 256> t{};
  const Rgb first[10] = {{255, 255, 255}, {255, 0, 0},   {255, 255, 0},   {0, 255, 0},     {0, 255, 255},
                         {0, 0, 255},     {255, 0, 255}, {0, 0, 0},       {128, 128, 128}, {192, 192, 192}};
  for (int i = 0; i < 10; ++i) t[i] = first[i];
  for (int i = 10; i < 250; ++i) t[i] = HueEntry((i - 10) / 10, (i - 10) % 10);
  const std::uint8_t greys[6] = {84, 118, 152, 187, 221, 255};
  for (int i = 0; i < 6; ++i) t[250 + i] = {greys[i], greys[i], greys[i]};
  return t;
}

}  // namespace

Rgb GetAciColor(int index) {
  static const std::array<Rgb, 256> table = BuildTable();
  if (index < 0 || index > 255) index = 7;
  return table[static_cast<std::size_t>(index)];
}

int ClampLayerColour(int index) { return (index >= 1 && index <= 255) ? index : 7; }

}  // namespace drawing
