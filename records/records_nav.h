#pragma once
// The records section of the navigation pane ("观测记录"): a branch of pages for each
// field book and the field-results summary, with the item codes of RecordsTreeCode.
#include <string>

#include "platform/nav_tree.h"

namespace records {

class IRecordsNavTarget {
 public:
  virtual ~IRecordsNavTarget() = default;
  // Field books: 0 traverse ("DX"), 1 horizontal angle ("SHPJ"), 2 levelling ("SHZH").
  virtual int PageCount(int book) const = 0;
  // key "DX", "SHPJ", "SHZH" with a 0-based page, or "WYZHL" with -1.
  virtual bool ShowPage(const std::string& key, int page) = 0;
};

// The tree for the target's page counts (a null target: three empty books).
app::NavTree BuildRecordsTree(const IRecordsNavTarget* target);

class CRecordsNavSource final : public app::INavSource {
 public:
  explicit CRecordsNavSource(IRecordsNavTarget& target) : target_(target) {}
  app::NavTree BuildNavTree() const override { return BuildRecordsTree(&target_); }
  void OnNavSelect(int code) override;

 private:
  IRecordsNavTarget& target_;
};

}  // namespace records
