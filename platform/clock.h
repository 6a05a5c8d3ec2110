#pragma once
// Today's date as text, for the date items of tables and signature lines.
#include <string>

namespace platform {

// Today's local date through a strftime pattern: "%Y.%m.%d" gives "2024.03.07",
// "%y.%m.%d" gives "24.03.07". Locale-free for these patterns (digits and points only).
std::string TodayText(const char* pattern = "%Y.%m.%d");

}  // namespace platform
