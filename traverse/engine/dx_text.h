#pragma once
// Small text helpers of the traverse computation: trimming names, and the
// formatter of its messages.
#include <string>

#include "survey/format.h"

namespace dxtext {

// Blanks, tabs and line ends removed on both sides.
inline std::string Trim(const std::string& s) {
  const char* ws = " \t\r\n";
  const auto b = s.find_first_not_of(ws);
  if (b == std::string::npos) return std::string();
  const auto e = s.find_last_not_of(ws);
  return s.substr(b, e - b + 1);
}

// The message texts of the traverse use the program's one formatter.
using survey::Format;

}  // namespace dxtext
