#pragma once
// The traverse section of a job file (app::kTraverseBanner): the scheme as
// "key:value" lines, the drawing and table settings, the 12 header items, and one
// comma-separated line of 15 cell texts per input row. Only input texts and settings
// are stored; results are always recomputed.
//
// Lines are UTF-8 without line ends; the document encodes them as GBK. Numbers are
// written and read without the user's locale. Reading never fails: a value that is
// not a whole number of its kind is not taken, one outside its range falls back to
// the default, and either is named with the value used instead (in the notes, else
// in one message); a section without its closing line stops before the next
// section's banner.
#include <array>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/doc_section.h"
#include "traverse/engine/scheme_form.h"

class CDxView;

namespace drawing {
class CDrawView;
}  // namespace drawing

namespace traverse {

// One input row in file order: name, angle, distance, height difference, weight,
// X, Y, H, remark, observed X, Y, H, backsight, intermediate sight, foresight.
using SectionRow = std::array<std::string, 15>;

// Most rows a job holds: a network this large still opens, computes and saves in
// seconds. A file with more is refused (notes), never read in part.
inline constexpr std::size_t kMaxSectionRows = 200000;

struct TraverseSectionData {
  SchemeValues scheme;
  // The drawing's settings stored with the traverse (the drawing view owns them).
  int knownSymbol = 0;
  int otherSymbol = 3;
  double ellipseScale = 1.0;
  double printScale = 0.0;  // "图形比例" of old files; 0 when the file had none
  // Table settings of the grid.
  int angleDecimals = 0;
  int distDecimals = 3;
  int coordDecimals = 3;
  int dhDecimals = 3;
  int heightDecimals = 3;
  int linesAbove = 1;
  int lineBelow = 1;
  std::array<std::string, 12> headerItems{"工程名称：", "", "等级：", "", "", "", "", "", "", "计算：", "校核：", "日期："};
  std::vector<SectionRow> rows;

  // Values into their ranges: the scheme's (SchemeValues::FoldIntoRanges) and the
  // settings' own.
  void FoldIntoRanges();
};

// Where the data rows go as they are read. The plain readers keep them in data.rows;
// the view's open builds its own rows in place, so a large job is not held twice.
class ISectionRowSink {
 public:
  virtual ~ISectionRowSink() = default;
  // Before the rows of a data block: at most this many follow.
  virtual void Reserve(std::size_t rows) = 0;
  // One row; its texts may be moved out.
  virtual void Add(SectionRow& row) = 0;
};

// The whole section, banner to closing line.
std::vector<std::string> WriteTraverseSectionLines(const TraverseSectionData& data);

// Reads from lines[pos] (the line after the banner) up to and including the closing
// line, or up to (not including) the banner of another section, or the end. pos is
// left after what was consumed. data is reset first. fileVersion applies the rule
// of files up to version 500 (their coordinate-system index lacks the custom entry).
// More than kMaxSectionRows rows: the rows beyond are not read and notes (when
// given) receives the refusal.
void ReadTraverseSectionLines(const std::vector<std::string>& lines, std::size_t& pos, int fileVersion,
                              TraverseSectionData& data, app::ReadNotes* notes = nullptr);
// The same with the rows handed to rows instead (data.rows stays empty).
void ReadTraverseSectionLines(const std::vector<std::string>& lines, std::size_t& pos, int fileVersion,
                              TraverseSectionData& data, ISectionRowSink& rows, app::ReadNotes* notes = nullptr);

// Files before version 410: the whole file, "[计算方案]" key blocks and "[数据]" rows
// of 9 fields, each ended by "END". Does not reset data.
void ReadLegacyTraverseLines(const std::vector<std::string>& lines, TraverseSectionData& data,
                             app::ReadNotes* notes = nullptr);
void ReadLegacyTraverseLines(const std::vector<std::string>& lines, TraverseSectionData& data,
                             ISectionRowSink& rows, app::ReadNotes* notes = nullptr);

// ---- the traverse view as a section of the job file ----------------------------

// The scheme members of the view as plain values, and back.
SchemeValues SchemeOf(const CDxView& view);
void ApplyScheme(CDxView& view, const SchemeValues& scheme);

// The drawing's stored settings (symbols, ellipse scale) out of the view, and back;
// an old file's "图形比例" sets the print scale in force, not the setting, so it
// holds until the next drawing begins.
void GetDrawingSettings(const drawing::CDrawView& drawing, TraverseSectionData& data);
void ApplyDrawingSettings(const TraverseSectionData& data, drawing::CDrawView& drawing);

// The adapter the document talks to. Reads into a fresh model and swaps it in only
// on CommitRead, so a failed open leaves the job on screen as it was.
//
// The symbols and the ellipse scale are the drawing view's own: the section reads
// and writes them there. Without a drawing (no frame) the section keeps them in a
// drawing of its own, so that a round trip still loses nothing.
class CTraverseDocSection final : public app::IDocSection {
 public:
  explicit CTraverseDocSection(CDxView& view, std::function<drawing::CDrawView*()> drawing = {});
  ~CTraverseDocSection() override;
  // Where the drawing view is found at each read and write (it may be built after
  // the traverse view).
  void SetDrawingSource(std::function<drawing::CDrawView*()> drawing) { drawing_ = std::move(drawing); }
  drawing::CDrawView& Drawing();

  std::string Banner() const override { return app::kTraverseBanner; }
  void Reset() override;
  void WriteSection(app::LineWriter& out) override;
  void BeginRead(int fileVersion) override;
  void ReadSection(app::LineReader& in) override;
  void ReadLegacySection(app::LineReader& in) override;
  void CommitRead() override;
  void AbortRead() override;

 private:
  CDxView& view_;
  std::function<drawing::CDrawView*()> drawing_;
  std::unique_ptr<drawing::CDrawView> own_;
  int fileVersion_ = 520;
  struct Pending;  // the settings read and the view's rows built from the file
  std::unique_ptr<Pending> pending_;
};

}  // namespace traverse
