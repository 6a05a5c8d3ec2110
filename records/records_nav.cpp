#include "records/records_nav.h"

#include "records/gcjl_view.h"

namespace records {

app::NavTree BuildRecordsTree(const IRecordsNavTarget* target) {
  static const char* kBooks[3] = {"导线观测记录", "水平角", "水准"};
  static const char* kKeys[3] = {"DX", "SHPJ", "SHZH"};
  app::NavTree tree;
  for (int b = 0; b < 3; ++b) {
    app::NavItem branch = app::NavBranch(kBooks[b], true);
    int pages = target ? target->PageCount(b) : 0;
    int limit = b == 0 ? 990 : 1000;  // keep the codes inside the book's range
    for (int p = 0; p < pages && p < limit; ++p)
      branch.children.push_back(app::NavLeaf("第" + std::to_string(p + 1) + "页", RecordsTreeCode(kKeys[b], p), 1));
    tree.push_back(std::move(branch));
  }
  tree.push_back(app::NavLeaf("边长高差外业成果", RecordsTreeCode("WYZHL", -1), 1));
  return tree;
}

void CRecordsNavSource::OnNavSelect(int code) {
  std::string key;
  int page = 0;
  if (RecordsTreeTarget(code, &key, &page)) target_.ShowPage(key, page);
}

}  // namespace records
