#include "traverse/file/traverse_section.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <functional>
#include <map>
#include <string_view>

#include "drawing/draw_view.h"
#include "platform/doc_section.h"
#include "platform/memory.h"
#include "platform/number.h"
#include "platform/ports.h"
#include "survey/format.h"
#include "traverse/codes.h"
#include "traverse/view/dx_view.h"

namespace traverse {

namespace {

using platform::FormatFixed;

std::string I(int v) { return std::to_string(v); }
std::string F(double v) { return FormatFixed(v, 6); }

using app::BlankLineBreaks;
using app::IsSectionBoundary;
using app::SectionSafeText;

int ClampChoice(int v, int lo, int hi, int fallback) { return v >= lo && v <= hi ? v : fallback; }

// One key of the scheme block and the value it sets: an integer or a double of the
// scheme or of the other settings, or (none of them) the header items.
struct Key {
  int SchemeValues::*schemeInt = nullptr;
  double SchemeValues::*schemeDbl = nullptr;
  int TraverseSectionData::*dataInt = nullptr;
  double TraverseSectionData::*dataDbl = nullptr;

  int* IntIn(TraverseSectionData& d) const {
    return schemeInt ? &(d.scheme.*schemeInt) : dataInt ? &(d.*dataInt) : nullptr;
  }
  const int* IntIn(const TraverseSectionData& d) const {
    return schemeInt ? &(d.scheme.*schemeInt) : dataInt ? &(d.*dataInt) : nullptr;
  }
  double* DblIn(TraverseSectionData& d) const {
    return schemeDbl ? &(d.scheme.*schemeDbl) : dataDbl ? &(d.*dataDbl) : nullptr;
  }
  const double* DblIn(const TraverseSectionData& d) const {
    return schemeDbl ? &(d.scheme.*schemeDbl) : dataDbl ? &(d.*dataDbl) : nullptr;
  }
  bool IsText() const { return !schemeInt && !schemeDbl && !dataInt && !dataDbl; }
  // The value in force, and as a message shows it.
  double Value(const TraverseSectionData& d) const {
    if (const int* i = IntIn(d)) return *i;
    if (const double* x = DblIn(d)) return *x;
    return 0;
  }
  std::string Shown(const TraverseSectionData& d) const {
    if (const int* i = IntIn(d)) return std::to_string(*i);
    if (const double* x = DblIn(d)) return platform::FormatRoundTrip(*x);
    return "";
  }
};

Key Int(int SchemeValues::*m) { return {m, nullptr, nullptr, nullptr}; }
Key Dbl(double SchemeValues::*m) { return {nullptr, m, nullptr, nullptr}; }
Key DataInt(int TraverseSectionData::*m) { return {nullptr, nullptr, m, nullptr}; }
Key DataDbl(double TraverseSectionData::*m) { return {nullptr, nullptr, nullptr, m}; }

void SetHeaderItems(TraverseSectionData& d, const std::string& v) {
  std::vector<std::string> items;
  survey::SplitText(BlankLineBreaks(v), items, ',');
  for (std::size_t i = 0; i < items.size() && i < d.headerItems.size(); ++i) d.headerItems[i] = items[i];
}

const std::map<std::string, Key>& CurrentKeys() {
  static const std::map<std::string, Key> keys = {
      {"导线类型", Int(&SchemeValues::m_nTraverseType)},
      {"概算", Int(&SchemeValues::m_bReduce)},
      {"坐标系", Int(&SchemeValues::m_nEllipsoid)},
      {"Y含500", Int(&SchemeValues::m_bY500)},
      {"投影改化", Int(&SchemeValues::m_bProjCorrection)},
      {"边长归算", Int(&SchemeValues::m_bDistReduce)},
      {"边长归算高程面", Dbl(&SchemeValues::m_dReduceHeight)},
      {"自定义椭球长半轴", Dbl(&SchemeValues::m_dEllipA)},
      {"自定义椭球扁率分母", Dbl(&SchemeValues::m_dEllipInvF)},
      {"近似平差反算", Int(&SchemeValues::m_bBackCompute)},
      {"显示改正后坐标增量", Int(&SchemeValues::m_bShowCorrectedIncrements)},
      {"角度改正前坐标闭合差", Int(&SchemeValues::m_bClosureBeforeAngleCorrection)},
      {"严密平差", Int(&SchemeValues::m_bRigorous)},
      {"验后方差定权", Int(&SchemeValues::m_bHelmert)},
      {"测角中误差", Dbl(&SchemeValues::m_dAngleRms)},
      {"测距类型", Int(&SchemeValues::m_nDistErrorType)},
      {"测距A值", Dbl(&SchemeValues::m_dDistA)},
      {"测距B值", Dbl(&SchemeValues::m_dDistB)},
      {"平面等级", Int(&SchemeValues::m_nPlaneGrade)},
      {"方位角闭合差限差", Dbl(&SchemeValues::m_dAzClosureCoef)},
      {"导线全长闭合差限差", Int(&SchemeValues::m_nRelClosureLimit)},
      {"高程等级", Int(&SchemeValues::m_nHeightGrade)},
      {"高程闭合差限差", Dbl(&SchemeValues::m_dHeightClosureCoef)},
      {"高程类型", Int(&SchemeValues::m_nHeightRouteType)},
      {"水准定权", Int(&SchemeValues::m_nLevelWeight)},
      {"高程距离单位", Int(&SchemeValues::m_nDistUnit)},
      {"坐标导线闭合差分配方式", Int(&SchemeValues::m_nClosureDistribution)},
      {"已知点类型", DataInt(&TraverseSectionData::knownSymbol)},
      {"未知点类型", DataInt(&TraverseSectionData::otherSymbol)},
      {"椭圆比例", DataDbl(&TraverseSectionData::ellipseScale)},
      {"角度取位", DataInt(&TraverseSectionData::angleDecimals)},
      {"距离取位", DataInt(&TraverseSectionData::distDecimals)},
      {"坐标取位", DataInt(&TraverseSectionData::coordDecimals)},
      {"高差取位", DataInt(&TraverseSectionData::dhDecimals)},
      {"高程取位", DataInt(&TraverseSectionData::heightDecimals)},
      {"上方行数", DataInt(&TraverseSectionData::linesAbove)},
      {"下方行数", DataInt(&TraverseSectionData::lineBelow)},
      {"签署栏", Key{}},
  };
  return keys;
}

const std::map<std::string, Key>& LegacyKeys() {
  static const std::map<std::string, Key> keys = [] {
    std::map<std::string, Key> k;
    for (const char* name : {"导线类型", "近似平差反算", "角度改正前坐标闭合差", "严密平差", "测角中误差", "测距类型",
                             "测距A值", "测距B值", "高程类型", "水准定权", "高程距离单位", "已知点类型", "未知点类型",
                             "椭圆比例", "上方行数", "下方行数", "签署栏"})
      k.emplace(name, CurrentKeys().at(name));
    k.emplace("图形比例", DataDbl(&TraverseSectionData::printScale));
    return k;
  }();
  return keys;
}

// The number keys a block held, as read: one entry per key in the order first met,
// the last line of a repeated key deciding (as it decides the value).
struct KeyRead {
  std::string name;
  const Key* key = nullptr;
  std::string text;
  bool set = false;     // the text was a value of its kind, and set it
  bool folded = false;  // ... which the range check then changed
  double taken = 0;
};
using KeysRead = std::vector<KeyRead>;

// "key:value" -> the value of the key, if known. A line without ":" has an empty
// key. A value that is not a whole number of its kind sets nothing.
void ApplyKeyLine(const std::map<std::string, Key>& keys, const std::string& line, TraverseSectionData& d,
                  KeysRead& read) {
  auto colon = line.find(':');
  if (colon == std::string::npos) return;
  auto it = keys.find(line.substr(0, colon));
  if (it == keys.end()) return;
  const Key& key = it->second;
  const std::string value = line.substr(colon + 1);
  if (key.IsText()) {
    SetHeaderItems(d, value);
    return;
  }
  KeyRead r{it->first, &key, value};
  if (int* i = key.IntIn(d)) {
    if (auto v = platform::ReadInteger(value)) {
      *i = *v;
      r.taken = *v;
      r.set = true;
    }
  } else if (double* x = key.DblIn(d)) {
    if (auto v = platform::ReadNumber(value)) {
      *x = *v;
      r.taken = *v;
      r.set = true;
    }
  }
  auto same = std::find_if(read.begin(), read.end(), [&](const KeyRead& k) { return k.name == r.name; });
  if (same == read.end()) read.push_back(std::move(r));
  else *same = std::move(r);
}

// After the values were folded into their ranges: the values taken that changed.
// The custom ellipsoid counts only while it is chosen: under a preset its figures
// are not used, and the defaults that replace damaged ones change nothing.
void MarkFolded(KeysRead& read, const TraverseSectionData& d) {
  for (KeyRead& r : read) {
    if (!r.set || r.key->Value(d) == r.taken) continue;
    if (d.scheme.m_nEllipsoid != 0 &&
        (r.key->schemeDbl == &SchemeValues::m_dEllipA || r.key->schemeDbl == &SchemeValues::m_dEllipInvF))
      continue;
    r.folded = true;
  }
}

// Every value not taken as the file has it, with the value used instead.
std::vector<app::SettingFault> Faults(const KeysRead& read, const TraverseSectionData& d) {
  std::vector<app::SettingFault> out;
  for (const KeyRead& r : read) {
    if (r.set && !r.folded) continue;
    const auto kind = r.folded ? app::SettingFault::kOutOfRange : app::FaultOf(r.text, r.key->IntIn(d) != nullptr);
    out.push_back({kind, "计算方案", r.name, r.text, r.key->Shown(d)});
  }
  return out;
}

// Ranges, type rules, and what the user is told: a type rule forces a valid value
// as the scheme dialog does, which needs no word.
void Settle(KeysRead& read, TraverseSectionData& d, app::ReadNotes* notes) {
  d.FoldIntoRanges();
  MarkFolded(read, d);
  d.scheme.ApplyTypeRules();
  app::NoteSettingFaults(Faults(read, d), notes);
}

// The first fields comma-separated texts of a data line into row, the others
// emptied: each trimmed of blanks, a line break read as a blank (as SplitText over
// BlankLineBreaks, without a copy of the line or a list of pieces).
void RowFromLine(std::string_view line, std::size_t fields, SectionRow& row) {
  auto blank = [](char ch) { return ch == ' ' || ch == '\r' || ch == '\n'; };
  std::size_t i = 0;
  for (std::size_t start = 0; !line.empty() && i < fields;) {
    const std::size_t comma = line.find(',', start);
    std::string_view piece = line.substr(start, comma == std::string_view::npos ? comma : comma - start);
    while (!piece.empty() && blank(piece.front())) piece.remove_prefix(1);
    while (!piece.empty() && blank(piece.back())) piece.remove_suffix(1);
    std::string& text = row[i++];
    text.assign(piece);
    for (char& ch : text)
      if (ch == '\r' || ch == '\n') ch = ' ';
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  for (; i < row.size(); ++i) row[i].clear();
}

// The rows in data.rows.
class KeepRows final : public ISectionRowSink {
 public:
  explicit KeepRows(std::vector<SectionRow>& rows) : rows_(rows) {}
  void Reserve(std::size_t n) override { platform::ReserveMore(rows_, n); }
  void Add(SectionRow& row) override { rows_.push_back(std::move(row)); }

 private:
  std::vector<SectionRow>& rows_;
};

// Hands the data lines to rows until end (a line that ends the block), at most
// kMaxSectionRows in all; reserves first for the lines up to the end. count grows by
// every row line met, kept or not.
template <typename IsEnd>
std::size_t ReadDataRows(const std::vector<std::string>& lines, std::size_t pos, std::size_t fields,
                         std::size_t& count, ISectionRowSink& rows, IsEnd isEnd) {
  std::size_t last = pos, n = 0;
  while (last < lines.size() && !isEnd(lines[last])) n += !lines[last++].empty();
  rows.Reserve(std::min(n, kMaxSectionRows - std::min(count, kMaxSectionRows)));
  SectionRow row;
  for (; pos < last; ++pos) {
    if (lines[pos].empty()) continue;
    if (count++ >= kMaxSectionRows) continue;
    RowFromLine(lines[pos], fields, row);
    rows.Add(row);
  }
  return last;
}

// A job with more rows than are read would lose the others at its next save: the
// open is refused instead.
void RefuseTooManyRows(std::size_t count, app::ReadNotes* notes) {
  if (count > kMaxSectionRows && notes && notes->refusal.empty())
    notes->refusal = "平差计算数据有" + std::to_string(count) + "行，超过本程序能读入的" +
                     std::to_string(kMaxSectionRows) + "行";
}

}  // namespace

void TraverseSectionData::FoldIntoRanges() {
  scheme.FoldIntoRanges();
  const TraverseSectionData d;
  knownSymbol = ClampChoice(knownSymbol, 0, 3, d.knownSymbol);
  otherSymbol = ClampChoice(otherSymbol, 0, 3, d.otherSymbol);
  if (!(std::isfinite(ellipseScale) && ellipseScale > 0)) ellipseScale = d.ellipseScale;
  if (!(std::isfinite(printScale) && printScale > 0)) printScale = 0.0;
  angleDecimals = ClampChoice(angleDecimals, 0, 2, d.angleDecimals);
  distDecimals = ClampChoice(distDecimals, 0, 6, d.distDecimals);
  coordDecimals = ClampChoice(coordDecimals, 0, 6, d.coordDecimals);
  dhDecimals = ClampChoice(dhDecimals, 0, 6, d.dhDecimals);
  heightDecimals = ClampChoice(heightDecimals, 0, 6, d.heightDecimals);
  linesAbove = ClampChoice(linesAbove, 0, 3, d.linesAbove);
  lineBelow = ClampChoice(lineBelow, 0, 1, d.lineBelow);
}

std::vector<std::string> WriteTraverseSectionLines(const TraverseSectionData& d) {
  const SchemeValues& s = d.scheme;
  std::vector<std::string> out = {
      app::kTraverseBanner,
      "[计算方案]",
      "导线类型:" + I(s.m_nTraverseType),
      "概算:" + I(s.m_bReduce),
      "坐标系:" + I(s.m_nEllipsoid),
      "Y含500:" + I(s.m_bY500),
      "投影改化:" + I(s.m_bProjCorrection),
      "边长归算:" + I(s.m_bDistReduce),
      "边长归算高程面:" + F(s.m_dReduceHeight),
      "自定义椭球长半轴:" + F(s.m_dEllipA),
      "自定义椭球扁率分母:" + FormatFixed(s.m_dEllipInvF, 11),
      "近似平差反算:" + I(s.m_bBackCompute),
      "显示改正后坐标增量:" + I(s.m_bShowCorrectedIncrements),
      "角度改正前坐标闭合差:" + I(s.m_bClosureBeforeAngleCorrection),
      "严密平差:" + I(s.m_bRigorous),
      "验后方差定权:" + I(s.m_bHelmert),
      "测角中误差:" + F(s.m_dAngleRms),
      "测距类型:" + I(s.m_nDistErrorType),
      "测距A值:" + F(s.m_dDistA),
      "测距B值:" + F(s.m_dDistB),
      "平面等级:" + I(s.m_nPlaneGrade),
      "方位角闭合差限差:" + F(s.m_dAzClosureCoef),
      "导线全长闭合差限差:" + I(s.m_nRelClosureLimit),
      "高程等级:" + I(s.m_nHeightGrade),
      "高程闭合差限差:" + F(s.m_dHeightClosureCoef),
      "高程类型:" + I(s.m_nHeightRouteType),
      "水准定权:" + I(s.m_nLevelWeight),
      "高程距离单位:" + I(s.m_nDistUnit),
      "坐标导线闭合差分配方式:" + I(s.m_nClosureDistribution),
      "已知点类型:" + I(d.knownSymbol),
      "未知点类型:" + I(d.otherSymbol),
      "椭圆比例:" + F(d.ellipseScale),
      "角度取位:" + I(d.angleDecimals),
      "距离取位:" + I(d.distDecimals),
      "坐标取位:" + I(d.coordDecimals),
      "高差取位:" + I(d.dhDecimals),
      "高程取位:" + I(d.heightDecimals),
      "上方行数:" + I(d.linesAbove),
      "下方行数:" + I(d.lineBelow),
  };
  std::string sign = "签署栏:";
  for (std::size_t i = 0; i < d.headerItems.size(); ++i) {
    if (i) sign += ',';
    sign += SectionSafeText(d.headerItems[i]);
  }
  out.push_back(sign);
  out.push_back("[计算方案结束]");
  out.push_back("[数据]");
  for (const SectionRow& row : d.rows) {
    std::string line;
    for (std::size_t i = 0; i < row.size(); ++i) {
      if (i) line += ',';
      line += SectionSafeText(row[i]);
    }
    out.push_back(std::move(line));
  }
  out.push_back("[数据结束]");
  out.push_back(app::kSectionEnd);
  return out;
}

void ReadTraverseSectionLines(const std::vector<std::string>& lines, std::size_t& pos, int fileVersion,
                              TraverseSectionData& d, app::ReadNotes* notes) {
  std::vector<SectionRow> rows;
  KeepRows keep(rows);
  ReadTraverseSectionLines(lines, pos, fileVersion, d, keep, notes);
  d.rows = std::move(rows);
}

void ReadTraverseSectionLines(const std::vector<std::string>& lines, std::size_t& pos, int fileVersion,
                              TraverseSectionData& d, ISectionRowSink& rows, app::ReadNotes* notes) {
  d = TraverseSectionData();
  enum { kOutside, kScheme, kData } block = kOutside;
  KeysRead read;
  std::size_t count = 0;
  while (pos < lines.size()) {
    const std::string& line = lines[pos];
    if (IsSectionBoundary(line)) {
      if (line == app::kSectionEnd) ++pos;  // our closing line; a banner belongs to the next section
      break;
    }
    ++pos;
    if (line.empty()) continue;
    if (line == "[计算方案]") {
      block = kScheme;
      continue;
    }
    if (line == "[数据]") {
      // The rows in one run, up to the next line that means something else.
      pos = ReadDataRows(lines, pos, 15, count, rows, [](const std::string& l) {
        return l == "[数据结束]" || l == "[计算方案]" || l == "[数据]" || IsSectionBoundary(l);
      });
      block = kData;
      continue;
    }
    if (block == kScheme) {
      if (line == "[计算方案结束]") {
        block = kOutside;
        continue;
      }
      ApplyKeyLine(CurrentKeys(), line, d, read);
    } else if (block == kData && line == "[数据结束]") {
      block = kOutside;
    }
  }
  // Files up to 5.0 had no custom ellipsoid at index 0 (a damaged index is left for
  // the range check, never stepped past INT_MAX).
  auto ellipsoid = std::find_if(read.begin(), read.end(), [](const KeyRead& r) { return r.name == "坐标系"; });
  if (ellipsoid != read.end() && ellipsoid->set && fileVersion <= 500 &&
      d.scheme.m_nEllipsoid < INT_MAX) {
    ++d.scheme.m_nEllipsoid;
    ++ellipsoid->taken;
  }
  RefuseTooManyRows(count, notes);
  Settle(read, d, notes);
}

void ReadLegacyTraverseLines(const std::vector<std::string>& lines, TraverseSectionData& d, app::ReadNotes* notes) {
  KeepRows keep(d.rows);
  ReadLegacyTraverseLines(lines, d, keep, notes);
}

void ReadLegacyTraverseLines(const std::vector<std::string>& lines, TraverseSectionData& d, ISectionRowSink& rows,
                             app::ReadNotes* notes) {
  enum { kOutside, kScheme } block = kOutside;
  std::size_t count = d.rows.size();
  KeysRead read;
  for (std::size_t pos = 0; pos < lines.size();) {
    const std::string& line = lines[pos++];
    if (line == "[计算方案]") {
      block = kScheme;
    } else if (line == "[数据]") {
      block = kOutside;
      pos = ReadDataRows(lines, pos, 9, count, rows,
                         [](const std::string& l) { return l == "END" || l == "[计算方案]" || l == "[数据]"; });
    } else if (line == "END") {
      block = kOutside;
    } else if (block == kScheme && !line.empty()) {
      ApplyKeyLine(LegacyKeys(), line, d, read);
    }
  }
  RefuseTooManyRows(count, notes);
  Settle(read, d, notes);
}

}  // namespace traverse

// ---- the view as a section -------------------------------------------------

namespace traverse {

SchemeValues SchemeOf(const CDxView& v) { return v; }

void ApplyScheme(CDxView& v, const SchemeValues& s) { static_cast<SchemeValues&>(v) = s; }

void GetDrawingSettings(const drawing::CDrawView& v, TraverseSectionData& d) {
  d.knownSymbol = v.m_nKnownSymbol;
  d.otherSymbol = v.m_nOtherSymbol;
  d.ellipseScale = v.m_dEllipseScale;
}

void ApplyDrawingSettings(const TraverseSectionData& d, drawing::CDrawView& v) {
  v.m_nKnownSymbol = d.knownSymbol;
  v.m_nOtherSymbol = d.otherSymbol;
  v.m_dEllipseScale = d.ellipseScale;
  if (d.printScale > 0) v.m_dPrintScale = d.printScale;
}

struct CTraverseDocSection::Pending final : ISectionRowSink {
  TraverseSectionData data;
  std::vector<CDxView::CUnit> rows;
  void Reserve(std::size_t n) override {
    platform::ReserveMore(rows, n);
    platform::AdviseLargeBlock(rows.data() + rows.size(), (rows.capacity() - rows.size()) * sizeof(CDxView::CUnit));
  }
  void Add(SectionRow& row) override {
    CDxView::CUnit& u = rows.emplace_back();
    for (std::size_t i = 0; i < row.size(); ++i) u.*kRowTexts[i] = std::move(row[i]);
  }
};

CTraverseDocSection::CTraverseDocSection(CDxView& view, std::function<drawing::CDrawView*()> drawing)
    : view_(view), drawing_(std::move(drawing)) {}

CTraverseDocSection::~CTraverseDocSection() = default;

drawing::CDrawView& CTraverseDocSection::Drawing() {
  if (drawing::CDrawView* v = drawing_ ? drawing_() : nullptr) return *v;
  if (!own_) own_ = std::make_unique<drawing::CDrawView>();
  return *own_;
}

void CTraverseDocSection::Reset() {
  view_.ResetScheme();
  // The frame resets its drawing view itself; a drawing of our own follows the document.
  if (own_ && !(drawing_ && drawing_())) own_->ResetView();
}

void CTraverseDocSection::WriteSection(app::LineWriter& out) {
  if (view_.TableCode == kTableInput) view_.SaveInputTable();
  TraverseSectionData d;
  view_.GetSectionData(d);
  GetDrawingSettings(Drawing(), d);
  for (std::string& line : WriteTraverseSectionLines(d)) out.Write(std::move(line));
}

void CTraverseDocSection::BeginRead(int fileVersion) {
  fileVersion_ = fileVersion;
  pending_ = std::make_unique<Pending>();
}

void CTraverseDocSection::ReadSection(app::LineReader& in) {
  if (!pending_) BeginRead(fileVersion_);
  std::size_t pos = in.Position();
  pending_->rows.clear();  // the reader starts the section afresh
  ReadTraverseSectionLines(in.Lines(), pos, fileVersion_, pending_->data, *pending_, &in.Notes());
  in.Seek(pos);
}

void CTraverseDocSection::ReadLegacySection(app::LineReader& in) {
  if (!pending_) BeginRead(fileVersion_);
  ReadLegacyTraverseLines(in.Lines(), pending_->data, *pending_, &in.Notes());
  in.Seek(in.Lines().size());
}

void CTraverseDocSection::CommitRead() {
  if (!pending_) return;
  view_.ApplySectionData(pending_->data, std::move(pending_->rows));
  ApplyDrawingSettings(pending_->data, Drawing());
  pending_.reset();
}

void CTraverseDocSection::AbortRead() { pending_.reset(); }

}  // namespace traverse

void CDxView::GetSectionData(traverse::TraverseSectionData& d) const {
  d.scheme = traverse::SchemeOf(*this);
  d.angleDecimals = m_nAngleDecimals;
  d.distDecimals = m_nDistDecimals;
  d.coordDecimals = m_nCoordDecimals;
  d.dhDecimals = m_nDhDecimals;
  d.heightDecimals = m_nHeightDecimals;
  d.linesAbove = m_nLinesAbove;
  d.lineBelow = m_nLineBelow;
  for (int i = 0; i < 12; ++i) d.headerItems[static_cast<std::size_t>(i)] = GetHeaderText(i);
  d.rows.clear();
  d.rows.reserve(m_arrUnit.size());
  for (const CUnit& u : m_arrUnit) {
    traverse::SectionRow& row = d.rows.emplace_back();
    for (std::size_t i = 0; i < row.size(); ++i) row[i] = u.*traverse::kRowTexts[i];
  }
}

void CDxView::ApplySectionData(const traverse::TraverseSectionData& d) {
  std::vector<CUnit> rows(d.rows.size());
  for (std::size_t r = 0; r < d.rows.size(); ++r)
    for (std::size_t i = 0; i < d.rows[r].size(); ++i) rows[r].*traverse::kRowTexts[i] = d.rows[r][i];
  ApplySectionData(d, std::move(rows));
}

void CDxView::ApplySectionData(const traverse::TraverseSectionData& d, std::vector<CUnit> rows) {
  traverse::ApplyScheme(*this, d.scheme);
  m_nAngleDecimals = d.angleDecimals;
  m_nDistDecimals = d.distDecimals;
  m_nCoordDecimals = d.coordDecimals;
  m_nDhDecimals = d.dhDecimals;
  m_nHeightDecimals = d.heightDecimals;
  m_nLinesAbove = d.linesAbove;
  m_nLineBelow = d.lineBelow;
  for (int i = 0; i < 12; ++i) SetHeaderText(i, d.headerItems[static_cast<std::size_t>(i)]);
  m_arrUnit = std::move(rows);
  m_bComputed = 0;
  ConfigureProjection();
}

