// GBK decoding and line splitting on arbitrary bytes: decoding always yields text
// that saves again, a saved file splits back into the same lines, and the width
// helpers never cut a character.
#include <iconv.h>

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gbk.h"
#include "platform/textfile.h"
#include "tests/fuzz/fuzz_common.h"

namespace {

bool IsUtf8(std::string_view s) {
  for (std::size_t i = 0; i < s.size();) {
    std::size_t n = platform::Utf8CharLen(s, i);
    if (n == 1 && static_cast<unsigned char>(s[i]) >= 0x80) return false;
    i += n;
  }
  return true;
}

// The plain decode the codec must agree with: iconv over the whole rest, one "?"
// per byte it refuses (quadratic, fine for fuzz-sized inputs).
std::string ReferenceDecode(std::string_view gbk) {
  static iconv_t cd = iconv_open("UTF-8", "GBK");
  std::string out;
  std::vector<char> buf(gbk.size() * 4 + 16);
  while (!gbk.empty()) {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char* src = const_cast<char*>(gbk.data());
    std::size_t left = gbk.size();
    char* dst = buf.data();
    std::size_t room = buf.size();
    std::size_t r = iconv(cd, &src, &left, &dst, &room);
    out.append(buf.data(), static_cast<std::size_t>(dst - buf.data()));
    if (r != static_cast<std::size_t>(-1)) break;
    out += '?';
    gbk.remove_prefix(gbk.size() - left + 1);
  }
  return out;
}

// The lines a file has: ended by LF (a CR before it is part of the line end), or by
// CR where the file has no LF at all; of a run of empty lines at most keepEmpty count.
std::size_t ReferenceLineCount(std::string_view bytes, std::size_t keepEmpty) {
  const char eol = bytes.find('\n') == std::string_view::npos ? '\r' : '\n';
  std::size_t count = 0, run = 0, start = 0;
  while (start < bytes.size()) {
    std::size_t end = bytes.find(eol, start);
    if (end == std::string_view::npos) end = bytes.size();
    const bool empty = end == start || (eol == '\n' && end == start + 1 && bytes[start] == '\r');
    if (!empty) {
      ++count;
      run = 0;
    } else if (run++ < keepEmpty) {
      ++count;
    }
    start = end + 1;
  }
  return count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);

  // Decoding: valid UTF-8 that GBK can store again, stable after one pass.
  const std::string text = platform::GbkToUtf8(bytes);
  FUZZ_CHECK(IsUtf8(text), "decoded text is not UTF-8");
  FUZZ_CHECK(text == ReferenceDecode(bytes), "decoded text differs from a plain iconv decode");
  auto gbk = platform::Utf8ToGbk(text);
  FUZZ_CHECK(gbk.has_value(), "decoded text cannot be saved as GBK");
  FUZZ_CHECK(platform::GbkToUtf8(*gbk) == text, "decode(encode(decode(x))) != decode(x)");

  // The same bytes taken as UTF-8: what encodes decodes back unchanged.
  if (auto enc = platform::Utf8ToGbk(bytes)) {
    FUZZ_CHECK(platform::GbkToUtf8(*enc) == bytes, "decode(encode(x)) != x");
  } else {
    const std::string bad = platform::FirstNonGbkChar(bytes);
    FUZZ_CHECK(bad.size() <= 4, "bad character longer than one UTF-8 character");
  }

  // Lines: as many as the file has, of a run of empty ones at most keepEmpty; no line
  // holds a line feed, and a saved file reads back line for line.
  const std::size_t keepEmpty = size ? data[size - 1] % 4 : 0;
  const std::vector<std::string> lines = platform::SplitGbkLines(bytes, nullptr, keepEmpty);
  FUZZ_CHECK(lines.size() == ReferenceLineCount(bytes, keepEmpty), "line count");
  for (const std::string& l : lines) FUZZ_CHECK(l.find('\n') == std::string::npos, "line feed inside a line");
  int badLine = 0;
  std::string badChar;
  auto saved = platform::EncodeGbkLines(lines, &badLine, &badChar);
  FUZZ_CHECK(saved.has_value(), "split lines cannot be saved");
  FUZZ_CHECK(platform::SplitGbkLines(*saved, nullptr, keepEmpty) == lines, "saved lines read back differently");

  // Widths: a cut is a prefix within the width, ending on a character boundary.
  const int width = platform::GbkWidth(text);
  FUZZ_CHECK(width >= 0 && static_cast<std::size_t>(width) <= 2 * text.size(), "width out of range");
  const int maxWidth = size ? data[0] % 64 : 0;
  const std::string cut = platform::GbkTruncate(text, maxWidth);
  FUZZ_CHECK(text.compare(0, cut.size(), cut) == 0, "truncation is not a prefix");
  FUZZ_CHECK(platform::GbkWidth(cut) <= maxWidth, "truncation too wide");
  FUZZ_CHECK(IsUtf8(cut), "truncation split a character");
  return 0;
}
