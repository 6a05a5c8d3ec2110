#include "survey/format.h"

#include "platform/number.h"

namespace survey {

namespace {

// "-0.000" is a figure that rounds to zero: it is shown as zero, without a sign.
void DropSignOfZero(std::string& s) {
  if (s.empty() || s[0] != '-') return;
  for (std::size_t i = 1; i < s.size(); ++i)
    if (s[i] != '0' && s[i] != '.') return;
  s.erase(0, 1);
}

}  // namespace

std::string FormatNumber(double value, int decimals) {
  std::string s = platform::FormatFixed(value, decimals >= 0 ? decimals : 6);
  if (decimals < 0 && s.find('.') != std::string::npos) {
    while (!s.empty() && s.back() == '0') s.pop_back();
    if (!s.empty() && s.back() == '.') s.pop_back();
  }
  DropSignOfZero(s);
  return s;
}

std::string IntToText(int value) { return std::to_string(value); }

std::string Format(const std::string& fmt, std::initializer_list<FormatArg> args) {
  std::string out;
  auto it = args.begin();
  for (std::size_t i = 0; i < fmt.size(); ++i) {
    if (fmt[i] == '%' && i + 1 < fmt.size() && (fmt[i + 1] == 'd' || fmt[i + 1] == 's') && it != args.end()) {
      out += it->text;
      ++it;
      ++i;
    } else {
      out += fmt[i];
    }
  }
  return out;
}

void SplitText(const std::string& text, std::vector<std::string>& items, char separator) {
  items.clear();
  if (text.empty()) return;
  bool endsWithSeparator = text.back() == separator;
  std::string_view rest = text;
  while (!rest.empty()) {
    std::size_t pos = rest.find(separator);
    std::string_view piece = rest.substr(0, pos);
    while (!piece.empty() && piece.front() == ' ') piece.remove_prefix(1);
    while (!piece.empty() && piece.back() == ' ') piece.remove_suffix(1);
    items.emplace_back(piece);
    rest = pos == std::string_view::npos ? std::string_view() : rest.substr(pos + 1);
  }
  if (endsWithSeparator) items.emplace_back();
}

}  // namespace survey
