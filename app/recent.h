#pragma once
// The four-entry recent-file list, kept in the profile as "Recent File List"/"File1".."File4".
#include <string>
#include <vector>

namespace app {

class RecentFiles {
 public:
  static constexpr int kSize = 4;
  void Load();  // from the profile
  void Save();  // to the profile
  void Add(const std::string& path);     // to the front, without duplicates
  void Remove(const std::string& path);  // a file that can no longer be opened
  const std::vector<std::string>& Paths() const { return paths_; }

 private:
  std::vector<std::string> paths_;
};

}  // namespace app
