#include "app/recent.h"

#include <algorithm>

#include "platform/services.h"

namespace app {

namespace {
constexpr const char* kSection = "Recent File List";
std::string Key(int i) { return "File" + std::to_string(i + 1); }
}  // namespace

void RecentFiles::Load() {
  paths_.clear();
  for (int i = 0; i < kSize; ++i) {
    std::string p = platform::Desktop().profile->GetString(kSection, Key(i), "");
    if (!p.empty() && std::find(paths_.begin(), paths_.end(), p) == paths_.end()) paths_.push_back(p);
  }
}

void RecentFiles::Save() {
  for (int i = 0; i < kSize; ++i)
    platform::Desktop().profile->SetString(kSection, Key(i),
                                           i < static_cast<int>(paths_.size()) ? paths_[static_cast<std::size_t>(i)] : "");
}

void RecentFiles::Add(const std::string& path) {
  if (path.empty()) return;
  Remove(path);
  paths_.insert(paths_.begin(), path);
  if (paths_.size() > static_cast<std::size_t>(kSize)) paths_.resize(kSize);
}

void RecentFiles::Remove(const std::string& path) {
  paths_.erase(std::remove(paths_.begin(), paths_.end(), path), paths_.end());
}

}  // namespace app
