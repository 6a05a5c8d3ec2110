// The custom calculation programs file. Checked: every record is consistent (its
// column count is its column list, inputs within it), the caps hold, and the
// program text is whole lines ending in CR LF.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "app/cusprog.h"
#include "tests/fuzz/fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<app::CCusProg> out;
  app::ParseCustomPrograms(std::string_view(reinterpret_cast<const char*>(data), size), out);
  FUZZ_CHECK(out.size() <= static_cast<std::size_t>(app::kMaxCusPrograms), "too many programs");
  std::size_t columns = 0;
  for (const auto& p : out) {
    FUZZ_CHECK(p.m_nColCount == static_cast<int>(p.m_arrCol.size()), "column count differs from the list");
    FUZZ_CHECK(p.m_nColCount <= app::kMaxCusProgColumns, "column cap");
    FUZZ_CHECK(p.m_nInputCols >= 0 && p.m_nInputCols <= p.m_nColCount, "input columns out of range");
    FUZZ_CHECK(p.m_nInitRows >= 0, "negative rows");
    FUZZ_CHECK(p.m_strCode.empty() || p.m_strCode.ends_with("\r\n"), "code not in whole lines");
    columns += p.m_arrCol.size();
  }
  FUZZ_CHECK(columns <= static_cast<std::size_t>(app::kMaxCusProgTotalColumns), "total column cap");
  return 0;
}
