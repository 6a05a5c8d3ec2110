#pragma once
// The colour index every layer colour is given in: 256 fixed RGB entries.
// 0 white, 1..7 the primaries and secondaries with 7 black (on the white
// drawing), 8 and 9 greys, 10..249 twenty-four hue groups of ten (hue 15° x
// group from red; five brightness steps, each full and at half saturation),
// 250..255 six greys.
#include <cstdint>

namespace drawing {

struct Rgb {
  std::uint8_t r = 0, g = 0, b = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

// The table entry of `index`; an index outside 0..255 gives entry 7 (black), so a
// stray value from a file or a dialog never reads past the table.
Rgb GetAciColor(int index);

// The colour index a layer may hold: 1..255; anything else becomes 7.
int ClampLayerColour(int index);

}  // namespace drawing
