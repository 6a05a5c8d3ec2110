// The custom result tables file "table.cus". Checked: at most ten definitions are
// touched, every code kept is one the result tables know and within the cap, and a
// written file reads back to the same definitions without a report.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/textfile.h"
#include "tests/fuzz/fuzz_common.h"
#include "traverse/view/cus_table.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > traverse::kMaxCusTableBytes) return 0;  // the loader refuses such a file
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  traverse::CustomTables tables;
  traverse::CusTableReadReport report;
  traverse::ReadCustomTableLines(traverse::CustomTableFileLines(bytes), tables, &report);
  for (const CCusTable& t : tables) {
    FUZZ_CHECK(t.codes.size() <= static_cast<std::size_t>(traverse::kMaxCustomTableCodes), "code cap");
    for (const std::string& c : t.codes) FUZZ_CHECK(traverse::IsKnownCustomCode(c), "unknown code kept");
    FUZZ_CHECK(t.name.find('\n') == std::string::npos, "line break in a name");
  }
  FUZZ_CHECK(report.dropped >= 0 && report.capped >= 0, "negative counts");
  FUZZ_CHECK(report.Clean() == (report.firstTable < 0), "report without its first table");

  // Names that GBK cannot store never reach a file (the dialog refuses them).
  auto encoded = platform::EncodeGbkLines(traverse::WriteCustomTableLines(tables));
  if (!encoded) return 0;
  traverse::CustomTables back;
  traverse::CusTableReadReport again;
  traverse::ReadCustomTableLines(traverse::CustomTableFileLines(*encoded), back, &again);
  FUZZ_CHECK(again.Clean(), "a written file reads with a report");
  // GBK names whose bytes happen to be well-formed UTF-8 read as UTF-8: the reader's
  // guess, made for files an editor saved as UTF-8.
  const bool guessedUtf8 = platform::GuessTextEncoding(*encoded) == platform::TextEncoding::Utf8;
  for (std::size_t i = 0; i < tables.size(); ++i) {
    FUZZ_CHECK(back[i].codes == tables[i].codes, "codes differ after a round trip");
    // A name holding a CR reads back without it (the reader strips a line's CR).
    if (!guessedUtf8 && tables[i].name.find('\r') == std::string::npos)
      FUZZ_CHECK(back[i].name == tables[i].name, "name differs after a round trip");
  }
  return 0;
}
