// The control-point store reader. Checked: an untouched store gives back its bytes
// exactly; the first line's key is found; a point stored under "overwrite all" reads
// back (or, kept beside more complete data, changes nothing); the result re-reads
// byte for byte.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/fuzz/fuzz_common.h"
#include "traverse/kzd/kzd_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  traverse::CKzdFile f;
  f.LoadBytes(bytes);
  FUZZ_CHECK(f.Bytes() == bytes, "an untouched store changed");

  // The key of the first line, if any, is found (values decode without a crash).
  std::vector<std::string> values;
  const std::string first = bytes.substr(0, bytes.find('\n'));
  std::string key = traverse::KzdKey(first);
  if (!key.empty() && key.back() == '\r') key.clear();  // a CR belongs to the line end
  if (!key.empty() && key.find('\r') == std::string::npos) {
    // GBK keys only: the lookup takes UTF-8 names, so ASCII keys are checked here.
    bool ascii = true;
    for (unsigned char c : key) ascii &= c >= 0x20 && c < 0x7f;
    if (ascii) FUZZ_CHECK(f.FindPoint(key, values), "the first line's key not found");
  }

  f.m_nAnswer = 6;
  const std::string line = "FZ1,1.0000,2.0000,3.0000,";
  const bool stored = f.WritePoint("FZ1", line + "\n");
  const std::string after = f.Bytes();
  if (stored) {
    FUZZ_CHECK(f.FindPoint("FZ1", values) && values.size() == 4 && values[2] == "3.0000", "stored point not read back");
  } else {
    // Kept: only a more complete line of that name may refuse it, and nothing changed.
    FUZZ_CHECK(after == bytes, "a refused point changed the store");
  }
  // Reading the result again keeps it byte for byte.
  traverse::CKzdFile g;
  g.LoadBytes(after);
  FUZZ_CHECK(g.Bytes() == after, "a written store does not read back");
  return 0;
}
