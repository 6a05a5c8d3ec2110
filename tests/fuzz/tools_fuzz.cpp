// The tools section reader, then every tool computed on what it read. The input is a
// job file (GBK); the reader starts after its first tools banner (or at the top).
// Checked: it stops at its closing line, before the next banner or at the end, never
// reads into another section, keeps no block beyond its row limit, what it read writes,
// reads and writes again to the same lines, and no tool writes a non-finite figure
// into a cell.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/doc_section.h"
#include "platform/fake_ports.h"
#include "platform/textfile.h"
#include "tests/fuzz/fuzz_common.h"
#include "tools/aux_section.h"

namespace {

bool IsBanner(const std::string& line) {
  return line == app::kRecordsBanner || line == app::kTraverseBanner || line == app::kToolsBanner;
}

bool NonFiniteText(const std::string& s) {
  for (const char* bad : {"nan", "inf", "NaN", "INF"})
    if (s.find(bad) != std::string::npos) return true;
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::string> lines =
      platform::SplitGbkLines(std::string(reinterpret_cast<const char*>(data), size));
  std::size_t start = 0;
  for (std::size_t i = 0; i < lines.size(); ++i)
    if (lines[i] == app::kToolsBanner) {
      start = i + 1;
      break;
    }
  const int version = size > 0 && data[0] % 2 ? 500 : 520;
  app::LineReader in(lines);
  in.Seek(start);
  tools::ToolsSectionData d;
  tools::ReadToolsSectionLines(in, version, d);
  const std::size_t pos = in.Position();
  FUZZ_CHECK(pos >= start && pos <= lines.size(), "reader position out of range");
  for (std::size_t i = start; i < pos; ++i) {
    FUZZ_CHECK(!IsBanner(lines[i]), "reader swallowed a section banner");
    FUZZ_CHECK(lines[i] != app::kSectionEnd || i + 1 == pos, "reader read past its closing line");
  }
  if (pos < lines.size())
    FUZZ_CHECK((pos > start && lines[pos - 1] == app::kSectionEnd) || IsBanner(lines[pos]),
               "reader stopped in the middle of its section");
  for (const auto& store : d.stores) FUZZ_CHECK(store.size() <= tools::kMaxBlockRows, "a block grew past its limit");

  const std::vector<std::string> first = tools::WriteToolsSectionLines(d);
  app::LineReader again(first);
  again.Seek(1);
  tools::ToolsSectionData back;
  tools::ReadToolsSectionLines(again, 520, back);
  FUZZ_CHECK(again.Position() == first.size(), "written section not read to its closing line");
  const std::vector<std::string> second = tools::WriteToolsSectionLines(back);
  if (second != first)
    for (std::size_t i = 0; i < std::max(first.size(), second.size()); ++i)
      if (i >= first.size() || i >= second.size() || first[i] != second[i]) {
        std::fprintf(stderr, "line %zu:\n  first:  %s\n  second: %s\n", i, i < first.size() ? first[i].c_str() : "-",
                     i < second.size() ? second[i].c_str() : "-");
        break;
      }
  FUZZ_CHECK(second == first, "write-read-write changed the section");
  FUZZ_CHECK(platform::EncodeGbkLines(first).has_value(), "read texts cannot be saved as GBK");

  // Every tool on the rows read: messages go to a fake, the cells must stay finite.
  platform::FakeMessagePort messages;
  CAuxView view;
  view.OnInitialUpdate();
  view.ResetToDefaults();
  d.ApplyTo(view);
  for (const tools::ToolInfo& t : tools::kToolTable) {
    if (d.stores[t.store].size() > 2000) continue;  // keep one input quick
    view.ShowTool(t.code);
    view.OnCompute();
    for (int r = 1; r <= view.GetRowCount(); ++r)
      for (int c = view.m_nInputCols + 1; c <= view.GetColCount(); ++c)
        FUZZ_CHECK(!NonFiniteText(view.GetCellText(r, c)), "a tool wrote a non-finite figure");
  }
  return 0;
}
