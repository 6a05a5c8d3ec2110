#include "app/version.h"

namespace app {

std::string FormatVersion(const std::string& version) {
  if (version.size() < 3) return version;
  std::string out = version.substr(0, version.size() - 2) + "." + version.substr(version.size() - 2);
  if (out.back() == '0') out.pop_back();
  return out;
}

std::string ProductTitle(const std::string& version) {
  return std::string(kProductName) + FormatVersion(version) + "版";
}

std::string FrameCaption(const std::string& docTitle, const std::string& version) {
  return ProductTitle(version) + " - " + docTitle;
}

}  // namespace app
