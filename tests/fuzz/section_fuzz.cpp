// The traverse section reader alone. The input is a job file (GBK); the reader
// starts after its first traverse banner (or at the top when there is none), with
// the file's version when the file has the job header. Checked: the reader stops
// at its closing line or before the next banner and never reads into another
// section; what it read writes, reads and writes again to the same lines.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/number.h"
#include "platform/textfile.h"
#include "tests/fuzz/fuzz_common.h"
#include "traverse/file/traverse_section.h"

namespace t = traverse;

namespace {

bool IsBanner(const std::string& line) {
  return line == app::kRecordsBanner || line == app::kTraverseBanner || line == app::kToolsBanner;
}

// Write, read back from after the banner, write again: the same lines, all consumed.
void CheckRoundTrip(const t::TraverseSectionData& d) {
  const std::vector<std::string> first = t::WriteTraverseSectionLines(d);
  FUZZ_CHECK(!first.empty() && first.front() == app::kTraverseBanner, "written section lacks its banner");
  std::size_t pos = 1;
  t::TraverseSectionData again;
  t::ReadTraverseSectionLines(first, pos, 520, again);
  FUZZ_CHECK(pos == first.size(), "written section not read to its closing line");
  FUZZ_CHECK(t::WriteTraverseSectionLines(again) == first, "write-read-write changed the section");
  FUZZ_CHECK(platform::EncodeGbkLines(first).has_value(), "read texts cannot be saved as GBK");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::string> lines =
      platform::SplitGbkLines(std::string(reinterpret_cast<const char*>(data), size));
  int version = 520;
  if (lines.size() >= 2 && lines[0] == "Quintar计算文件") version = platform::ParseInt(lines[1]);

  std::size_t start = 0;
  for (std::size_t i = 0; i < lines.size(); ++i)
    if (lines[i] == app::kTraverseBanner) {
      start = i + 1;
      break;
    }

  t::TraverseSectionData d;
  std::size_t pos = start;
  t::ReadTraverseSectionLines(lines, pos, version, d);
  FUZZ_CHECK(pos >= start && pos <= lines.size(), "reader position out of range");
  FUZZ_CHECK(d.rows.size() <= t::kMaxSectionRows, "too many rows kept");
  // Nothing consumed may be a banner, and only the last consumed line may close.
  for (std::size_t i = start; i < pos; ++i) {
    FUZZ_CHECK(!IsBanner(lines[i]), "reader swallowed a section banner");
    FUZZ_CHECK(lines[i] != app::kSectionEnd || i + 1 == pos, "reader read past its closing line");
  }
  // It stops only at its closing line, before a banner, or at the end.
  if (pos < lines.size())
    FUZZ_CHECK((pos > start && lines[pos - 1] == app::kSectionEnd) || IsBanner(lines[pos]),
               "reader stopped in the middle of its section");
  CheckRoundTrip(d);

  if (version < 410) {
    t::TraverseSectionData legacy;
    t::ReadLegacyTraverseLines(lines, legacy);
    FUZZ_CHECK(legacy.rows.size() <= t::kMaxSectionRows, "too many legacy rows kept");
    CheckRoundTrip(legacy);
  }
  return 0;
}
