#include "table/table_text.h"

#include <cmath>
#include <cstdio>

#include "platform/number.h"

namespace table {
namespace {
constexpr double kTwoPi = 6.28318530717958;
constexpr double kDegPerRad = 57.2957795130823;

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}
}  // namespace

std::vector<std::string> SplitItems(std::string_view text, char sep) {
  std::vector<std::string> items;
  if (text.empty()) return items;
  const bool trailing = text.back() == sep;
  while (!text.empty()) {
    std::size_t p = text.find(sep);
    std::string_view piece = p == std::string_view::npos ? text : text.substr(0, p);
    items.emplace_back(TrimBlanks(piece));
    text.remove_prefix(p == std::string_view::npos ? text.size() : p + 1);
  }
  if (trailing) items.emplace_back();
  return items;
}

double FoldAngle(double r) {
  if (!std::isfinite(r)) return 0;
  if (r >= kTwoPi || r < 0) r = std::fmod(r, kTwoPi);
  while (r >= kTwoPi) r -= kTwoPi;
  while (r < 0) r += kTwoPi;
  return r;
}

std::string FormatInt(int value, int width) {
  std::string s = std::to_string(value);
  if (width > 0 && static_cast<int>(s.size()) < width) s.insert(0, width - s.size(), ' ');
  return s;
}

std::string FormatDouble(double value, int decimals, bool showSign) {
  std::string s = platform::FormatFixed(value, decimals);
  if (showSign && !s.empty() && s[0] != '-') s.insert(0, 1, '+');
  return s;
}

std::string AngleText(double r, bool withBlanks, int decimals, bool keepSign) {
  bool minus = false;
  if (keepSign && r < 0) {
    r = -r;
    minus = true;
  }
  r = FoldAngle(r);
  double deg = r * kDegPerRad;
  int d = static_cast<int>(deg);
  double mf = (deg - d) * 60;
  int m = static_cast<int>(mf);
  double s = (mf - m) * 60;
  if (s < 0) s = 0;
  char buf[64];
  std::string out;
  if (decimals < 0) {
    if (s >= 30) ++m;
    if (m >= 60) { m -= 60; ++d; }
    if (d >= 360) d -= 360;
    std::snprintf(buf, sizeof buf, withBlanks ? "%3d %02d" : "%3d.%02d", d, m);
    return buf;  // the minute form carries no sign
  }
  if (decimals > 15) decimals = 15;
  double half = 0.5 * std::pow(10.0, -decimals);
  if (half >= 60 - s) { s = 0; ++m; }
  if (m >= 60) { m -= 60; ++d; }
  if (d >= 360) d -= 360;
  std::string sec = platform::FormatFixed(s, decimals);
  if (!(half >= 10 - s)) sec.insert(0, 1, '0');
  std::snprintf(buf, sizeof buf, "%3d", d);
  out = buf;
  std::snprintf(buf, sizeof buf, "%02d", m);
  if (withBlanks) {
    out += ' ';
    out += buf;
    out += ' ';
    out += sec;
  } else {
    std::string digits;
    for (char c : sec)
      if (c != '.') digits += c;
    out += '.';
    out += buf;
    out += digits;
  }
  if (minus) {
    if (!withBlanks) out.erase(0, out.find_first_not_of(' '));
    out.insert(0, 1, '-');
  }
  return out;
}

}  // namespace table
