#pragma once
// Number texts, message texts and the splitter every reader of delimited text uses.
// Locale-free: a comma-decimal desktop still writes "1.5".
#include <initializer_list>
#include <string>
#include <vector>

namespace survey {

// decimals >= 0: "%.*f". decimals < 0: "%f" with trailing zeros and then a
// trailing point removed (12.5 -> "12.5", 12.0 -> "12"). A value that rounds to
// zero is written without a sign ("0.000", never "-0.000"). Every number that
// becomes a cell text is written by this rule.
std::string FormatNumber(double value, int decimals);

// "%d".
std::string IntToText(int value);

// Splits at every separator, trims blanks (' ' only) around each piece; empty
// pieces stay; a trailing separator yields a final empty item; "" yields none.
void SplitText(const std::string& text, std::vector<std::string>& items, char separator);

// One value for a placeholder of Format: an int (for %d) or a text (for %s).
struct FormatArg {
  FormatArg(int v) : text(std::to_string(v)) {}
  FormatArg(const std::string& s) : text(s) {}
  FormatArg(const char* s) : text(s ? s : "") {}
  std::string text;
};

// A message text: each "%d" / "%s" of fmt, in order, takes the next argument; other
// text (and placeholders beyond the arguments) stays as it is. No buffer limit, no
// locale, UTF-8 names pass byte for byte. Format("第%d点(%s)", {3, name}) or
// Format("第%d点(%s)", 3, name).
std::string Format(const std::string& fmt, std::initializer_list<FormatArg> args);
template <class... Args>
std::string Format(const std::string& fmt, const Args&... args) {
  return Format(fmt, {FormatArg(args)...});
}

}  // namespace survey
