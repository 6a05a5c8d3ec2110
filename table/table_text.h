#pragma once
// Text helpers of the grid that follow the survey library's rules: the splitter
// used by paste and undo, and the angle texts of the cells.
#include <string>
#include <string_view>
#include <vector>

namespace table {

// Cuts text at every sep, trimming blanks around each piece; empty pieces stay;
// a trailing sep gives a final empty item; an empty text gives no items.
std::vector<std::string> SplitItems(std::string_view text, char sep);

// Angle text of a cell: d m s with blanks (or d.mmss without) and `decimals`
// digits of seconds, the angle folded into [0, 2π) unless keepSign holds a minus.
std::string AngleText(double radians, bool withBlanks, int decimals, bool keepSign);

// printf-style formatting without the locale.
std::string FormatInt(int value, int width);               // "%*d"
std::string FormatDouble(double value, int decimals, bool showSign);  // "%.*f" / "%+.*f"; "" when not finite

}  // namespace table
