#include "app/cusprog.h"

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>

#include "platform/gbk.h"
#include "platform/number.h"
#include "platform/textfile.h"

namespace app {
namespace {

// Walks the file line by line without splitting it up front: a file of millions of
// empty lines costs nothing beyond its bytes.
class LineCursor {
 public:
  explicit LineCursor(std::string_view bytes) : bytes_(bytes) {}
  bool Next(std::string_view& line) {
    if (pos_ >= bytes_.size()) return false;
    std::size_t end = bytes_.find('\n', pos_);
    std::size_t stop = end == std::string_view::npos ? bytes_.size() : end;
    line = bytes_.substr(pos_, stop - pos_);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    pos_ = end == std::string_view::npos ? bytes_.size() : end + 1;
    return true;
  }

 private:
  std::string_view bytes_;
  std::size_t pos_ = 0;
};

constexpr std::string_view kBegin = "[BEGIN]";
constexpr std::string_view kProgram = "PROGRAM";
constexpr std::string_view kEnd = "[END]";

enum class Stop { Done, Eof, NextBegin };

struct Limits {
  int programs = 0;
  int columns = 0;
};

// Reads one block after its "[BEGIN]" into p. Tells how the block ended.
Stop ReadBlock(LineCursor& cur, CCusProg& p, Limits& used) {
  std::string_view line;
  // A fixed line of the block; a "[BEGIN]" there belongs to the next block.
  auto fixed = [&]() -> Stop {
    if (!cur.Next(line)) return Stop::Eof;
    return line == kBegin ? Stop::NextBegin : Stop::Done;
  };
  auto finish = [&p] {
    p.m_nColCount = static_cast<int>(p.m_arrCol.size());
    p.m_nInputCols = std::clamp(p.m_nInputCols, 0, p.m_nColCount);
  };

  Stop s;
  if ((s = fixed()) != Stop::Done) return s;
  p.m_strName = platform::GbkToUtf8(line);
  if ((s = fixed()) != Stop::Done) return s;
  p.m_nInitRows = std::max(0, platform::ParseInt(line));
  if ((s = fixed()) != Stop::Done) return s;
  int count = std::clamp(platform::ParseInt(line), 0, kMaxCusProgColumns);
  count = std::min(count, kMaxCusProgTotalColumns - used.columns);
  if ((s = fixed()) != Stop::Done) return s;
  p.m_nInputCols = platform::ParseInt(line);

  // Columns are added as they are read, so a count larger than the file costs only
  // what the file holds.
  p.m_arrCol.reserve(static_cast<std::size_t>(std::min(count, 64)));
  bool programSeen = false;
  for (int i = 0; i < count && !programSeen; ++i) {
    col c;
    std::string* fields[4] = {&c.m_strCaption1, &c.m_strCaption2, &c.m_strType, &c.m_strStagger};
    for (int f = 0; f < 4; ++f) {
      s = fixed();
      if (s == Stop::Done && line == kProgram) {
        programSeen = true;
        if (f > 0) p.m_arrCol.push_back(std::move(c));
        break;
      }
      if (s != Stop::Done) {
        if (f > 0) p.m_arrCol.push_back(std::move(c));
        used.columns += static_cast<int>(p.m_arrCol.size());
        finish();
        return s;
      }
      *fields[f] = platform::GbkToUtf8(line);
    }
    if (!programSeen) p.m_arrCol.push_back(std::move(c));
  }
  used.columns += static_cast<int>(p.m_arrCol.size());
  finish();

  if (!programSeen) {
    if ((s = fixed()) != Stop::Done) return s;
    if (line != kProgram) return Stop::Done;
  }
  while (cur.Next(line)) {
    if (line == kEnd) return Stop::Done;
    if (line == kBegin) return Stop::NextBegin;  // "[END]" missing: the next block is not program text
    std::string text = platform::GbkToUtf8(line);
    std::erase_if(text, [](char ch) { return ch == '\r' || ch == '\n'; });
    p.m_strCode += text;
    p.m_strCode += "\r\n";
  }
  return Stop::Eof;
}

}  // namespace

void ParseCustomPrograms(std::string_view bytes, std::vector<CCusProg>& out) {
  LineCursor cur(bytes);
  Limits used;  // the caps hold for everything loaded so far
  used.programs = static_cast<int>(std::min<std::size_t>(out.size(), kMaxCusPrograms));
  for (const CCusProg& p : out)
    used.columns = std::min(kMaxCusProgTotalColumns, used.columns + static_cast<int>(p.m_arrCol.size()));
  std::string_view line;
  bool atBegin = false;  // the last line read was a "[BEGIN]" still to be used
  while (true) {
    if (!atBegin) {
      bool found = false;
      while (cur.Next(line))
        if (line == kBegin) {
          found = true;
          break;
        }
      if (!found) return;
    }
    if (used.programs >= kMaxCusPrograms) return;
    CCusProg p;
    Stop s = ReadBlock(cur, p, used);
    out.push_back(std::move(p));
    ++used.programs;
    if (s == Stop::Eof) return;
    atBegin = s == Stop::NextBegin;
  }
}

void LoadCustomPrograms(const std::vector<std::string>& folders, std::vector<CCusProg>& out) {
  out.clear();
  for (const std::string& folder : folders) {
    if (folder.empty()) continue;
    std::string path = (std::filesystem::path(folder) / kCusProgFileName).string();
    // Only a regular file within the cap is read; the size is known before a byte is.
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
    if (st.st_size < 0 || static_cast<std::size_t>(st.st_size) > kMaxCusProgBytes) continue;
    auto bytes = platform::ReadFileBytes(path, kMaxCusProgBytes);
    if (!bytes) continue;
    ParseCustomPrograms(*bytes, out);
  }
}

}  // namespace app
