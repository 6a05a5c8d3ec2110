#include "table/table_text.h"

#include <algorithm>
#include <cmath>

#include "platform/number.h"
#include "survey/angle.h"
#include "survey/format.h"

namespace table {
std::vector<std::string> SplitItems(std::string_view text, char sep) {
  std::vector<std::string> items;
  survey::SplitText(std::string(text), items, sep);
  return items;
}

std::string FormatInt(int value, int width) {
  std::string s = std::to_string(value);
  if (width > 0 && static_cast<int>(s.size()) < width) s.insert(0, width - s.size(), ' ');
  return s;
}

std::string FormatDouble(double value, int decimals, bool showSign) {
  // Every number a table shows passes here: an overflowed or undefined result
  // leaves its cell empty rather than showing "inf" or "nan".
  if (!std::isfinite(value)) return {};
  std::string s = survey::FormatNumber(value, std::max(0, decimals));
  if (showSign && !s.empty() && s[0] != '-') s.insert(0, 1, '+');
  return s;
}

std::string AngleText(double r, bool withBlanks, int decimals, bool keepSign) {
  return survey::AngleToText(r, withBlanks, decimals, keepSign);
}

}  // namespace table
