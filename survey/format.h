#pragma once
// Number texts and the splitter every reader of delimited text uses.
// Locale-free: a comma-decimal desktop still writes "1.5".
#include <string>
#include <vector>

namespace survey {

// decimals >= 0: "%.*f". decimals < 0: "%f" with trailing zeros and then a
// trailing point removed (12.5 -> "12.5", 12.0 -> "12").
std::string FormatNumber(double value, int decimals);

// "%d".
std::string IntToText(int value);

// Splits at every separator, trims blanks (' ' only) around each piece; empty
// pieces stay; a trailing separator yields a final empty item; "" yields none.
void SplitText(const std::string& text, std::vector<std::string>& items, char separator);

}  // namespace survey
