#pragma once
// Small text helpers of the traverse computation: trimming names and filling
// the "%d"/"%s" placeholders of its messages (locale-free, byte-exact).
#include <initializer_list>
#include <string>

namespace dxtext {

// Blanks, tabs and line ends removed on both sides.
inline std::string Trim(const std::string& s) {
  const char* ws = " \t\r\n";
  const auto b = s.find_first_not_of(ws);
  if (b == std::string::npos) return std::string();
  const auto e = s.find_last_not_of(ws);
  return s.substr(b, e - b + 1);
}

// One placeholder value: an int (for %d) or a text (for %s).
struct Arg {
  Arg(int v) : text(std::to_string(v)) {}
  Arg(const std::string& s) : text(s) {}
  Arg(const char* s) : text(s) {}
  std::string text;
};

// Replaces each "%d" / "%s" of fmt in order with the next argument.
inline std::string Format(const std::string& fmt, std::initializer_list<Arg> args) {
  std::string out;
  auto it = args.begin();
  for (std::size_t i = 0; i < fmt.size(); ++i) {
    if (fmt[i] == '%' && i + 1 < fmt.size() && (fmt[i + 1] == 'd' || fmt[i + 1] == 's') &&
        it != args.end()) {
      out += it->text;
      ++it;
      ++i;
    } else {
      out += fmt[i];
    }
  }
  return out;
}

}  // namespace dxtext
