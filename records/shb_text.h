#pragma once
// The number texts the field-book forms are written with, locale-free. The names
// follow the printf forms the paper books have always shown ("%+4.0f" and so on).
#include <string>

#include "platform/number.h"
#include "survey/format.h"

namespace records {

// "%.*f".
inline std::string Fixed(double v, int decimals) { return survey::FormatNumber(v, decimals < 0 ? 0 : decimals); }

// "%+W.*f": sign always shown, right-aligned in at least `width` characters.
inline std::string SignedFixed(double v, int decimals, int width = 0) {
  std::string s = Fixed(v, decimals);
  if (s.empty() || s[0] != '-') s.insert(s.begin(), '+');
  if (static_cast<int>(s.size()) < width) s.insert(0, static_cast<std::size_t>(width) - s.size(), ' ');
  return s;
}

// "%f" without trailing zeros.
inline std::string Trimmed(double v) { return survey::FormatNumber(v, -1); }

// A cell read as a number (atof: empty or garbage is 0).
inline double Num(const std::string& text) { return platform::ParseDouble(text); }

// "%d" into a message.
inline std::string Int(int v) { return std::to_string(v); }

}  // namespace records
