#pragma once
// Numbers are written and read without the user's locale: a comma-decimal desktop
// still writes "1.500". Reading follows atof/atoi: the leading number counts, garbage
// reads as 0, nothing throws. Non-finite text ("inf", "nan") and overflow read as 0,
// so typed text can never bring a NaN into a computation.
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// Fixed-point text with `decimals` digits after the point (0..15), like "%.*f".
// The sign of a negative value that rounds to zero is kept ("-0.000"), as printf does.
std::string FormatFixed(double value, int decimals);

// Shortest text that reads back as the same double ("%g"-like, never exponent-free
// guarantees); for files where the value must survive a round trip.
std::string FormatRoundTrip(double value);

// atof rules: skips leading blanks, reads the longest number prefix, else 0.
double ParseDouble(std::string_view text);

// atoi rules: skips leading blanks, optional sign, digits; else 0. Clamped to int.
int ParseInt(std::string_view text);

// True when the whole text (blanks around allowed) is one finite number.
bool IsNumber(std::string_view text);

// The strict reader for values a computation uses: the whole text (blanks around
// allowed) must be one finite number. Empty text, junk after the number ("33815X2"),
// "nan", "inf" and overflow ("1e309") give nullopt, so the caller can name the field
// instead of computing on 0.
std::optional<double> ReadNumber(std::string_view text);

// The same for a whole number ("%d" values of a file): blanks around, an optional
// sign and decimal digits only. "2.5", "3x", "3.0", empty text and values beyond
// int give nullopt.
std::optional<int> ReadInteger(std::string_view text);

}  // namespace platform
