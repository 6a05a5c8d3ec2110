#include "platform/number.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <system_error>

namespace platform {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }

std::string_view SkipBlanks(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size() && IsBlank(s[i])) ++i;
  return s.substr(i);
}

// Reads the number at the start of s; returns the characters used (0 when none).
// Overflow reads as 0 and sets *overflow when given.
std::size_t ReadDouble(std::string_view s, double* out, bool* overflow = nullptr) {
  bool neg = false;
  std::size_t i = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
    neg = s[i] == '-';
    ++i;
  }
  // from_chars would accept "inf"/"nan"; those are not numbers a surveyor types.
  if (i >= s.size() || !((s[i] >= '0' && s[i] <= '9') || s[i] == '.')) return 0;
  double v = 0;
  auto r = std::from_chars(s.data() + i, s.data() + s.size(), v, std::chars_format::general);
  if (r.ec == std::errc::invalid_argument) return 0;
  if (r.ec == std::errc::result_out_of_range || !std::isfinite(v)) {
    // from_chars reports underflow ("1e-400") as out of range too, and leaves v as
    // it was in both cases: tell them apart by the text. Underflow is a true 0.
    bool tiny = false;
    if (r.ec == std::errc::result_out_of_range) {
      const std::string_view num(s.data() + i, static_cast<std::size_t>(r.ptr - (s.data() + i)));
      const std::size_t e = num.find_first_of("eE");
      if (e != std::string_view::npos) tiny = e + 1 < num.size() && num[e + 1] == '-';
      else tiny = num.substr(0, num.find('.')).find_first_not_of('0') == std::string_view::npos;
    }
    if (!tiny && overflow) *overflow = true;
    v = 0;
  }
  *out = neg ? -v : v;
  return static_cast<std::size_t>(r.ptr - s.data());
}

}  // namespace

std::string FormatFixed(double value, int decimals) {
  if (decimals < 0) decimals = 0;
  if (decimals > 15) decimals = 15;
  if (!std::isfinite(value)) return std::isnan(value) ? "nan" : (value > 0 ? "inf" : "-inf");
  char buf[400];
  auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
  return std::string(buf, r.ptr);
}

std::string FormatRoundTrip(double value) {
  char buf[64];
  auto r = std::to_chars(buf, buf + sizeof buf, value);
  return std::string(buf, r.ptr);
}

double ParseDouble(std::string_view text) {
  double v = 0;
  ReadDouble(SkipBlanks(text), &v);
  return v;
}

namespace {

// A sign and the digits after it at the start of s. The magnitude stops one past
// INT_MAX (enough for INT_MIN); overflow says that more digits followed.
struct IntScan {
  long long value = 0;
  std::size_t end = 0;
  bool digits = false;
  bool overflow = false;
};

IntScan ScanInt(std::string_view s) {
  IntScan r;
  bool neg = false;
  std::size_t i = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
    neg = s[i] == '-';
    ++i;
  }
  const std::size_t first = i;
  constexpr long long kCap = static_cast<long long>(INT_MAX) + 1;
  for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
    r.value = r.value * 10 + (s[i] - '0');
    if (r.value > kCap) {
      r.value = kCap;
      r.overflow = true;
    }
  }
  r.digits = i > first;
  r.end = i;
  if (neg) r.value = -r.value;
  return r;
}

}  // namespace

int ParseInt(std::string_view text) {
  const IntScan r = ScanInt(SkipBlanks(text));
  return static_cast<int>(std::clamp<long long>(r.value, INT_MIN, INT_MAX));
}

bool IsNumber(std::string_view text) { return ReadNumber(text).has_value(); }

std::optional<double> ReadNumber(std::string_view text) {
  std::string_view s = SkipBlanks(text);
  double v = 0;
  bool overflow = false;
  std::size_t n = ReadDouble(s, &v, &overflow);
  if (n == 0 || overflow || !SkipBlanks(s.substr(n)).empty()) return std::nullopt;
  return v;
}

std::optional<int> ReadInteger(std::string_view text) {
  const std::string_view s = SkipBlanks(text);
  const IntScan r = ScanInt(s);
  if (!r.digits || r.overflow || !SkipBlanks(s.substr(r.end)).empty()) return std::nullopt;
  if (r.value > INT_MAX || r.value < INT_MIN) return std::nullopt;
  return static_cast<int>(r.value);
}

}  // namespace platform
