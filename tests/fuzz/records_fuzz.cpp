// The records section reader alone. The input is a job file (GBK); the reader starts
// after its first records banner (or at the top). Checked: it stops at its closing
// line, before the next banner or at the end, never reads into another section,
// keeps no more pages than the tree can show, brings every page to its book's rows,
// and what it read writes, reads and writes again to the same lines.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/doc_section.h"
#include "platform/textfile.h"
#include "records/records_section.h"
#include "tests/fuzz/fuzz_common.h"

namespace {

bool IsBanner(const std::string& line) {
  return line == app::kRecordsBanner || line == app::kTraverseBanner || line == app::kToolsBanner;
}

template <class Book>
void CheckPages(Book& book, std::size_t limit) {
  FUZZ_CHECK(book.m_arrPages.size() <= limit, "more pages kept than the tree can show");
  const int rows = book.RowsPerPage();
  for (const auto& p : book.m_arrPages) FUZZ_CHECK(p.RowCount() == rows, "a page does not have its book's rows");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::string> lines =
      platform::SplitGbkLines(std::string(reinterpret_cast<const char*>(data), size));
  std::size_t start = 0;
  for (std::size_t i = 0; i < lines.size(); ++i)
    if (lines[i] == app::kRecordsBanner) {
      start = i + 1;
      break;
    }
  records::RecordsData d;
  d.Reset();
  std::size_t pos = start;
  records::ReadRecordsSectionLines(lines, pos, d);
  FUZZ_CHECK(pos >= start && pos <= lines.size(), "reader position out of range");
  for (std::size_t i = start; i < pos; ++i) {
    FUZZ_CHECK(!IsBanner(lines[i]), "reader swallowed a section banner");
    FUZZ_CHECK(lines[i] != app::kSectionEnd || i + 1 == pos, "reader read past its closing line");
  }
  if (pos < lines.size())
    FUZZ_CHECK((pos > start && lines[pos - 1] == app::kSectionEnd) || IsBanner(lines[pos]),
               "reader stopped in the middle of its section");
  CheckPages(d.dx, records::kMaxTraversePages);
  CheckPages(d.shpj, records::kMaxBookPages);
  CheckPages(d.shzh, records::kMaxBookPages);

  const std::vector<std::string> first = records::WriteRecordsSectionLines(d);
  std::size_t again = 1;
  records::RecordsData back;
  back.Reset();
  records::ReadRecordsSectionLines(first, again, back);
  FUZZ_CHECK(again == first.size(), "written section not read to its closing line");
  FUZZ_CHECK(records::WriteRecordsSectionLines(back) == first, "write-read-write changed the section");
  FUZZ_CHECK(platform::EncodeGbkLines(first).has_value(), "read texts cannot be saved as GBK");
  return 0;
}
