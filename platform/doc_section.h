#pragma once
// The document (".qvt") is a header, a version line and three sections, each opened by
// its banner and closed by a line of 28 dashes. The document only frames the file; the
// records, traverse and tools views read and write their own sections through
// IDocSection. Lines are UTF-8 here; the document encodes them as GBK with CR LF.
//
// The contract belongs to the shell (namespace app) but is declared here, below every
// view, so that a view implements it without including anything of the shell.
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "platform/number.h"
#include "platform/ports.h"

namespace app {

inline constexpr const char* kRecordsBanner = "----------观测记录----------";
inline constexpr const char* kTraverseBanner = "----------Pelmor----------";
inline constexpr const char* kToolsBanner = "----------常用工具----------";
inline constexpr const char* kSectionEnd = "----------------------------";  // 28 dashes

// Lines that end any block of any section: a damaged section must stop there and not
// read into its neighbour.
inline bool IsSectionBoundary(const std::string& line) {
  return line == kSectionEnd || line == kRecordsBanner || line == kTraverseBanner || line == kToolsBanner;
}

// A text as the comma-separated section lines can carry it: "," becomes "，", line
// breaks become blanks.
inline std::string SectionSafeText(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (char ch : text) {
    if (ch == ',')
      out += "，";
    else if (ch == '\r' || ch == '\n')
      out += ' ';
    else
      out += ch;
  }
  return out;
}

// A CR inside a line read is written back as a blank (SectionSafeText); reading it as
// a blank at once lets the field trim take it, so the next load reads the same text.
inline std::string BlankLineBreaks(std::string text) {
  for (char& ch : text)
    if (ch == '\r' || ch == '\n') ch = ' ';
  return text;
}

// Empty lines are dropped when a job is split into lines, except that a run keeps
// this many: a field-book page reads its rows line by line, empty ones included, and
// no page has more rows than this.
inline constexpr std::size_t kEmptyLinesThatCount = 400;

// What the section readers of one file could not read whole. The document says it
// once after the open and asks before the first save replaces the file; a refusal
// fails the open instead, leaving the job on screen as it was.
struct ReadNotes {
  // What was read over or not taken as it stands, one clause each ("水准记录有3页未读入…",
  // "计算方案中的“测角中误差”不是数字（abc），已改用5").
  std::vector<std::string> lost;
  std::string refusal;  // why the file cannot be read without losing part of it
};

// A settings value whose text was not taken as it stands: the job goes on with
// another value, which the user must be told, and a save would replace the text.
struct SettingFault {
  enum Kind { kEmpty, kNotNumber, kNotInteger, kOutOfRange } kind;
  std::string where;  // the block, as the user knows it ("计算方案")
  std::string key;    // as the file names it
  std::string text;   // as the file has it
  std::string used;   // the value the job goes on with
};

// Why text is no value of its kind: empty, not a (whole) number, or a number the
// kind cannot hold (an integer beyond int is out of range, not "no integer").
inline SettingFault::Kind FaultOf(const std::string& text, bool integer) {
  if (text.find_first_not_of(" \t") == std::string::npos) return SettingFault::kEmpty;
  const auto x = platform::ReadNumber(text);
  if (!integer) return x ? SettingFault::kOutOfRange : SettingFault::kNotNumber;
  const bool whole = x && text.find_first_of(".eE") == std::string::npos;
  return whole ? SettingFault::kOutOfRange : SettingFault::kNotInteger;
}

// "计算方案中的“测角中误差”不是数字（abc），已改用5".
inline std::string SettingFaultClause(const SettingFault& f) {
  std::string what;
  switch (f.kind) {
    case SettingFault::kEmpty: what = "没有数值"; break;
    case SettingFault::kNotNumber: what = "不是数字（" + f.text + "）"; break;
    case SettingFault::kNotInteger: what = "不是整数（" + f.text + "）"; break;
    case SettingFault::kOutOfRange: what = "超出范围（" + f.text + "）"; break;
  }
  return f.where + "中的“" + f.key + "”" + what + "，已改用" + f.used;
}

// Into notes, which the document shows once after the open and which make the first
// save over the file ask; read without notes, one message at once.
inline void NoteSettingFaults(const std::vector<SettingFault>& faults, ReadNotes* notes) {
  if (faults.empty()) return;
  std::string text;
  for (const SettingFault& f : faults) {
    if (notes) notes->lost.push_back(SettingFaultClause(f));
    else text += (text.empty() ? "" : "\n") + SettingFaultClause(f) + "。";
  }
  if (!notes) platform::Messages().ShowMessage(text, platform::MsgIcon::Warning);
}

// A cursor over the lines of the file being read (line ends already stripped).
class LineReader {
 public:
  LineReader() = default;
  explicit LineReader(std::vector<std::string> lines) : lines_(std::move(lines)) {}

  bool AtEnd() const { return pos_ >= lines_.size(); }
  // Next line into *line; false at the end of the file (line untouched).
  bool Next(std::string* line) {
    if (AtEnd()) return false;
    *line = lines_[pos_++];
    return true;
  }
  // The next line without consuming it; nullptr at the end.
  const std::string* Peek() const { return AtEnd() ? nullptr : &lines_[pos_]; }
  // 0-based index of the next line to be read.
  std::size_t Position() const { return pos_; }
  void Seek(std::size_t pos) { pos_ = pos < lines_.size() ? pos : lines_.size(); }
  void Rewind() { pos_ = 0; }
  const std::vector<std::string>& Lines() const { return lines_; }
  ReadNotes& Notes() { return notes_; }

 private:
  std::vector<std::string> lines_;
  std::size_t pos_ = 0;
  ReadNotes notes_;
};

// Collects the lines a section writes, in order, without line ends.
class LineWriter {
 public:
  void Write(std::string line) { lines_.push_back(std::move(line)); }
  const std::vector<std::string>& Lines() const { return lines_; }

 private:
  std::vector<std::string> lines_;
};

// One section of the document, implemented by the view that owns its data.
//
// Reading never touches the job on screen: the document calls BeginRead, hands the
// section its lines, and only when the whole file was accepted calls CommitRead (after
// Reset), which swaps the freshly read model in. AbortRead drops it. A failed open
// therefore leaves the current job exactly as it was.
class IDocSection {
 public:
  virtual ~IDocSection() = default;

  // The banner line that opens this section (one of the k...Banner constants).
  virtual std::string Banner() const = 0;

  // Back to the empty job (File New, and before a read is committed).
  virtual void Reset() = 0;

  // Writes the whole section: banner, its lines, the closing 28-dash line. May first
  // store a grid's pending contents into the model (hence not const).
  virtual void WriteSection(LineWriter& out) = 0;

  // Starts a read into a fresh model in the reset state. fileVersion is the file's
  // version number (520 = 5.2); readers apply their own old-version rules with it.
  virtual void BeginRead(int fileVersion) = 0;

  // Reads from the line after the banner up to and including the closing line (or to
  // the end of the file) into the fresh model. Must return, must not read past its
  // closing line, and must not fail the open: damaged content is the section's own
  // concern. Files below version 410 have no banners: the records section is then
  // read from the third line on without one.
  virtual void ReadSection(LineReader& in) = 0;

  // Files below version 410: called with the reader rewound to the first line of the
  // file, after the records were read. Only the traverse section reads anything here.
  virtual void ReadLegacySection(LineReader& in) { (void)in; }

  // Swaps the freshly read model in (called after Reset, in the order records,
  // traverse, tools) / drops it after a failed open.
  virtual void CommitRead() = 0;
  virtual void AbortRead() = 0;
};

}  // namespace app
