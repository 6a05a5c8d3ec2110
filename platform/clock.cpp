#include "platform/clock.h"

#include <ctime>

namespace platform {

std::string TodayText(const char* pattern) {
  const std::time_t now = std::time(nullptr);
  std::tm tm{};
  localtime_r(&now, &tm);
  char buf[64];
  const std::size_t n = std::strftime(buf, sizeof buf, pattern, &tm);
  return std::string(buf, n);
}

}  // namespace platform
