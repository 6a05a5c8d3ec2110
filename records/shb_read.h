#pragma once
// How the book computations read a typed cell. An empty cell is "not observed"; any
// other text must be one finite number (or, for a circle reading, an angle written
// as "d.mmss" or "d mm ss.s") of a size a field book can hold. Anything else stops
// the computation with a message naming the page, the station and the field, so no
// junk, "nan", "inf" or overflow reads as 0 or writes "inf" into the books.
#include <cctype>
#include <cmath>
#include <optional>
#include <string>
#include <string_view>

#include "platform/number.h"
#include "survey/angle.h"

namespace records {

// Readings, distances and heights beyond this (metres, or millimetres where the
// decimal point is left out) are no field-book figures; within it every sum and
// reduction the books make stays finite.
inline constexpr double kMaxReading = 1e9;

// What a cell holds for the computation.
struct CellValue {
  bool empty = true;
  double value = 0;   // metres, or radians for an angle
  std::string error;  // "" or why the text is refused ("不是数字", "超出范围")
  bool Ok() const { return error.empty(); }
};

inline std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// A number cell: empty, or one finite number within ±kMaxReading.
inline CellValue ReadNumberCell(const std::string& text) {
  CellValue c;
  if (TrimBlanks(text).empty()) return c;
  c.empty = false;
  const std::optional<double> v = platform::ReadNumber(text);
  if (!v) {
    c.error = "不是数字";
  } else if (std::fabs(*v) > kMaxReading) {
    c.error = "超出范围";
  } else {
    c.value = *v;
  }
  return c;
}

// A circle reading: empty, or digits with one point ("d.mmss"), or up to three
// blank-separated fields of digits, the last with an optional point ("d mm ss.s");
// an optional leading "-"; degrees not above 360.
inline CellValue ReadAngleCell(const std::string& text) {
  CellValue c;
  std::string_view s = TrimBlanks(text);
  if (s.empty()) return c;
  c.empty = false;
  std::string_view body = s;
  if (body.front() == '-') body = TrimBlanks(body.substr(1));
  int fields = 0, points = 0, digits = 0;
  bool inField = false, lastHasPoint = false, good = true;
  std::string degrees;
  for (char ch : body) {
    if (ch == ' ') {
      inField = false;
      continue;
    }
    if (!inField) {
      inField = true;
      ++fields;
      if (lastHasPoint) good = false;  // only the last field may hold the point
      lastHasPoint = false;
    }
    if (ch == '.') {
      if (lastHasPoint) good = false;
      lastHasPoint = true;
      ++points;
    } else if (!std::isdigit(static_cast<unsigned char>(ch))) {
      good = false;
    } else {
      ++digits;
      if (fields == 1 && !lastHasPoint) degrees += ch;
    }
  }
  if (fields > 3 || points > 1 || digits == 0) good = false;
  if (!good) {
    c.error = "不是角度";
    return c;
  }
  // The degree field's size: digits, so overflow cannot come in through it.
  std::size_t lead = degrees.find_first_not_of('0');
  const std::string_view deg = lead == std::string::npos ? std::string_view("0") : std::string_view(degrees).substr(lead);
  if (deg.size() > 3 || platform::ParseInt(deg) > 360) {
    c.error = "超出范围";
    return c;
  }
  c.value = survey::ParseAngleText(std::string(s));
  if (!std::isfinite(c.value)) c.error = "不是角度";
  return c;
}

}  // namespace records
