#include "records/records_section.h"

#include <cmath>
#include <functional>
#include <map>
#include <optional>

#include "platform/doc_section.h"
#include "platform/number.h"
#include "survey/format.h"

namespace records {

// A page's rows are read line by line, empty lines included: the document keeps that
// many empty lines in a row.
static_assert(kMaxTableRows <= static_cast<int>(app::kEmptyLinesThatCount));

namespace {

using app::BlankLineBreaks;
using app::SectionSafeText;
using platform::FormatFixed;

constexpr const char* kResultsBlock = "[外业整理]";
constexpr const char* kTraverseBlock = "[导线记录]";
constexpr const char* kAngleBlock = "[水平角记录]";
constexpr const char* kLevelBlock = "[水准记录]";

// Typed cells of a row, in file order.
constexpr int kTraverseFields[] = {0, 1, 2, 3, 6, 7, 10, 12, 13};
constexpr int kAngleFields[] = {0, 1, 2, 3};
constexpr int kLevelFields[] = {0, 1, 2, 3, 6, 7};
constexpr int kSingleFaceFields[] = {0, 1, 2, 3, 5};  // 5: the remark, kept since this build

enum class Block { None, Results, Traverse, Angle, Level };

Block Opener(const std::string& line) {
  if (line == kResultsBlock) return Block::Results;
  if (line == kTraverseBlock) return Block::Traverse;
  if (line == kAngleBlock) return Block::Angle;
  if (line == kLevelBlock) return Block::Level;
  return Block::None;
}

// Lines no row, page list or block reads through.
bool EndsBlock(const std::string& line) { return app::IsSectionBoundary(line) || Opener(line) != Block::None; }
bool EndsPages(const std::string& line) { return EndsBlock(line) || line == "END" || line == "[PAGE]"; }
bool EndsRows(const std::string& line) { return EndsPages(line) || line == "PAGEEND"; }

std::string I(int v) { return std::to_string(v); }

template <class Page>
std::string JoinHeader(const Page& p) {
  std::string s;
  for (std::size_t i = 0; i < p.m_strHeader.size(); ++i) {
    if (i) s += ',';
    s += SectionSafeText(p.m_strHeader[i]);
  }
  return s;
}

template <class Page, std::size_t N>
void WritePages(std::vector<std::string>& out, const std::vector<Page>& pages, const int (&fields)[N]) {
  out.push_back("[PAGE]");
  for (const Page& p : pages) {
    out.push_back(JoinHeader(p));
    for (const auto& row : p.m_arrRows) {
      std::string line;
      for (std::size_t k = 0; k < N; ++k) {
        if (k) line += ',';
        line += SectionSafeText(row[fields[k]]);
      }
      out.push_back(std::move(line));
    }
  }
  out.push_back("PAGEEND");
  out.push_back("END");
}

// ---- reading ----------------------------------------------------------------------

// Sets its value from the text; a text that is no value of its kind, or one out of
// range, sets nothing and gives the fault (the field keeps the value before).
using Setter = std::function<std::optional<app::SettingFault>(const std::string&)>;
using Keys = std::map<std::string, Setter>;

Setter IntIn(int& field, int lo, int hi) {
  return [&field, lo, hi](const std::string& v) -> std::optional<app::SettingFault> {
    const auto n = platform::ReadInteger(v);
    if (n && *n >= lo && *n <= hi) {
      field = *n;
      return std::nullopt;
    }
    return app::SettingFault{n ? app::SettingFault::kOutOfRange : app::FaultOf(v, true), "", "", v, I(field)};
  };
}
Setter DblIn(double& field, double lo, double hi) {
  return [&field, lo, hi](const std::string& v) -> std::optional<app::SettingFault> {
    const auto x = platform::ReadNumber(v);
    if (x && *x >= lo && *x <= hi) {
      field = *x;
      return std::nullopt;
    }
    return app::SettingFault{app::FaultOf(v, false), "", "", v, platform::FormatRoundTrip(field)};
  };
}
Setter Text(std::string& field) {
  return [&field](const std::string& v) -> std::optional<app::SettingFault> {
    field = BlankLineBreaks(v);
    return std::nullopt;
  };
}

std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> items;
  survey::SplitText(BlankLineBreaks(line), items, ',');
  return items;
}

template <std::size_t M>
void FillItems(std::array<std::string, M>& target, const std::string& line) {
  const std::vector<std::string> items = Fields(line);
  for (std::size_t i = 0; i < items.size() && i < M; ++i) target[i] = items[i];
}

class Reader {
 public:
  Reader(const std::vector<std::string>& lines, std::size_t& pos) : lines_(lines), pos_(pos) {}

  // The next line unless it is one that `ends` stops at (then not consumed).
  template <class Stop>
  const std::string* Next(Stop ends) {
    if (pos_ >= lines_.size() || ends(lines_[pos_])) return nullptr;
    return &lines_[pos_++];
  }

  // Settings lines up to "END"; "[PAGE]" hands over to `pages`. The values of the
  // block `where` not taken go to faults; the last line of a repeated key decides.
  void Block(const std::string& where, const Keys& keys, const std::function<void()>& pages,
             std::vector<app::SettingFault>& faults) {
    while (const std::string* line = Next(EndsBlock)) {
      if (line->empty() || *line == "PAGEEND") continue;
      if (*line == "END") return;
      if (*line == "[PAGE]") {
        if (pages) pages();
        continue;
      }
      const std::size_t colon = line->find(':');
      const std::string key = colon == std::string::npos ? std::string() : line->substr(0, colon);
      auto it = keys.find(key);
      if (it == keys.end()) continue;
      std::optional<app::SettingFault> fault = it->second(line->substr(colon + 1));
      std::erase_if(faults, [&](const app::SettingFault& f) { return f.where == where && f.key == key; });
      if (fault) {
        fault->where = where;
        fault->key = key;
        faults.push_back(std::move(*fault));
      }
    }
  }

  // The page list of a book: header line, then the page's rows, until "PAGEEND".
  // `fields` gives the typed cells of a row in file order (asked per page, since the
  // levelling mode read so far decides them).
  // Returns how many pages were read over.
  template <class Book, class FieldsOf>
  int Pages(Book& book, int maxPages, FieldsOf fieldsOf) {
    book.m_arrPages.clear();
    int dropped = 0;
    typename Book::CPage scratch;
    while (const std::string* line = Next(EndsPages)) {
      if (line->empty()) continue;
      if (*line == "PAGEEND") return dropped;
      // Pages past what the tree can address are read over, not kept (the caller
      // says how many).
      const bool keep = static_cast<int>(book.m_arrPages.size()) < maxPages;
      if (keep) {
        book.AddPage();
      } else {
        scratch.Init(book.RowsPerPage());
        ++dropped;
      }
      auto& page = keep ? book.m_arrPages.back() : scratch;
      FillItems(page.m_strHeader, *line);
      const std::vector<int> fields = fieldsOf();
      for (int r = 0; r < page.RowCount(); ++r) {
        const std::string* row = Next(EndsRows);
        if (!row) break;  // rows not read stay empty
        const std::vector<std::string> items = Fields(*row);
        for (std::size_t k = 0; k < items.size() && k < fields.size(); ++k) page.At(r, fields[k]) = items[k];
      }
    }
    return dropped;
  }

 private:
  const std::vector<std::string>& lines_;
  std::size_t& pos_;
};

template <std::size_t N>
std::vector<int> List(const int (&a)[N]) {
  return std::vector<int>(a, a + N);
}

// Every page with the rows of its book's settings.
template <class Book>
void FitPages(Book& book) {
  const int rows = book.RowsPerPage();
  for (auto& p : book.m_arrPages) p.SetRowCount(rows);
}

}  // namespace

void RecordsData::Reset() {
  results = ResultsSettings();
  shpj.Reset();
  dx.Reset();
  shzh.Reset();
}

std::vector<std::string> WriteRecordsSectionLines(const ResultsSettings& rs, const CShpjShb& shpj, const CDxShb& dx,
                                                  const CShzhShb& shzh) {
  std::vector<std::string> out = {
      app::kRecordsBanner,
      kResultsBlock,
      "角度取位:" + I(rs.angleDecimals),
      "边长取位:" + I(rs.distDecimals),
      "高差取位:" + I(rs.heightDecimals),
      "表格名称:" + BlankLineBreaks(rs.title),
      "上方行数:" + I(rs.linesAbove),
      "下方行数:" + I(rs.linesBelow),
  };
  std::string sign = "签署栏:";
  for (std::size_t i = 0; i < rs.signOff.size(); ++i) {
    if (i) sign += ',';
    sign += SectionSafeText(rs.signOff[i]);
  }
  out.push_back(std::move(sign));
  out.push_back("END");

  out.insert(out.end(), {kTraverseBlock, "表格名称:" + BlankLineBreaks(dx.m_strTitle), "上方行数:" + I(dx.m_nLinesAbove),
                         "下方行数:" + I(dx.m_nLinesBelow), "测回数:" + I(dx.m_nSets),
                         "表格行数:" + I(dx.m_nTableRows), "打印字高:" + FormatFixed(dx.m_dPrintHeight, 2),
                         "大气折光系数:" + FormatFixed(dx.m_dRefraction, 6), "90-盘左:" + I(dx.m_bVerticalFrom90),
                         "距离类型:" + I(dx.m_nDistanceType), "测距加常数:" + FormatFixed(dx.m_dEdmConstant, 6),
                         "测距乘常数:" + FormatFixed(dx.m_dEdmScale, 9)});
  WritePages(out, dx.m_arrPages, kTraverseFields);

  out.insert(out.end(), {kAngleBlock, "表格名称:" + BlankLineBreaks(shpj.m_strTitle),
                         "上方行数:" + I(shpj.m_nLinesAbove), "下方行数:" + I(shpj.m_nLinesBelow),
                         "测回数:" + I(shpj.m_nSets), "表格行数:" + I(shpj.m_nTableRows),
                         "打印字高:" + FormatFixed(shpj.m_dPrintHeight, 2)});
  WritePages(out, shpj.m_arrPages, kAngleFields);

  out.insert(out.end(), {kLevelBlock, "表格名称:" + BlankLineBreaks(shzh.m_strTitle),
                         "上方行数:" + I(shzh.m_nLinesAbove), "下方行数:" + I(shzh.m_nLinesBelow),
                         "水准观测方式:" + I(shzh.m_nLevellingMode), "水准数据省略小数点:" + I(shzh.m_bOmitDecimalPoint),
                         "基辅差:" + FormatFixed(shzh.m_dStaffConstant, 6),
                         "水准读数为实际2倍:" + I(shzh.m_bDoubledReadings), "表格行数:" + I(shzh.m_nTableRows),
                         "打印字高:" + FormatFixed(shzh.m_dPrintHeight, 2)});
  if (shzh.m_nLevellingMode == kLevelSingleFace)
    WritePages(out, shzh.m_arrPages, kSingleFaceFields);
  else
    WritePages(out, shzh.m_arrPages, kLevelFields);
  out.push_back(app::kSectionEnd);
  return out;
}

void ReadRecordsSectionLines(const std::vector<std::string>& lines, std::size_t& pos, RecordsData& d,
                             app::ReadNotes* notes) {
  constexpr double kBig = 1e9;
  // Pages a book could not keep are lost at the next save: the document says so.
  auto pages = [notes](const std::string& book, int dropped, int max) {
    if (dropped > 0 && notes)
      notes->lost.push_back(survey::Format("%s有%d页未读入（最多可有%d页），保存后将丢失", book, dropped, max));
  };
  Reader in(lines, pos);
  ResultsSettings& rs = d.results;
  const Keys resultsKeys = {
      {"角度取位", IntIn(rs.angleDecimals, 0, 2)},
      {"边长取位", IntIn(rs.distDecimals, 0, 6)},
      {"高差取位", IntIn(rs.heightDecimals, 0, 6)},
      {"表格名称", Text(rs.title)},
      {"上方行数", IntIn(rs.linesAbove, 0, 3)},
      {"下方行数", IntIn(rs.linesBelow, 0, 1)},
      {"签署栏",
       [&rs](const std::string& v) -> std::optional<app::SettingFault> {
         FillItems(rs.signOff, v);
         return std::nullopt;
       }},
  };
  CDxShb& dx = d.dx;
  const Keys dxKeys = {
      {"表格名称", Text(dx.m_strTitle)},
      {"上方行数", IntIn(dx.m_nLinesAbove, 0, 3)},
      {"下方行数", IntIn(dx.m_nLinesBelow, 0, 1)},
      {"测回数", IntIn(dx.m_nSets, 1, kMaxSets)},
      {"表格行数", IntIn(dx.m_nTableRows, 1, kMaxTableRows)},
      {"打印字高", DblIn(dx.m_dPrintHeight, 0.5, 50)},
      {"大气折光系数", DblIn(dx.m_dRefraction, kRefractionMin, kRefractionMax)},
      {"90-盘左", IntIn(dx.m_bVerticalFrom90, 0, 1)},
      {"距离类型", IntIn(dx.m_nDistanceType, 0, 2)},
      {"测距加常数", DblIn(dx.m_dEdmConstant, -kBig, kBig)},
      {"测距乘常数", DblIn(dx.m_dEdmScale, -kBig, kBig)},
  };
  CShpjShb& shpj = d.shpj;
  const Keys shpjKeys = {
      {"表格名称", Text(shpj.m_strTitle)},
      {"上方行数", IntIn(shpj.m_nLinesAbove, 0, 3)},
      {"下方行数", IntIn(shpj.m_nLinesBelow, 0, 1)},
      {"测回数", IntIn(shpj.m_nSets, 1, kMaxSets)},
      {"表格行数", IntIn(shpj.m_nTableRows, 1, kMaxTableRows)},
      {"打印字高", DblIn(shpj.m_dPrintHeight, 0.5, 50)},
  };
  CShzhShb& shzh = d.shzh;
  const Keys shzhKeys = {
      {"表格名称", Text(shzh.m_strTitle)},
      {"上方行数", IntIn(shzh.m_nLinesAbove, 0, 3)},
      {"下方行数", IntIn(shzh.m_nLinesBelow, 0, 1)},
      {"水准观测方式", IntIn(shzh.m_nLevellingMode, 0, 2)},
      {"水准数据省略小数点", IntIn(shzh.m_bOmitDecimalPoint, 0, 1)},
      {"基辅差", DblIn(shzh.m_dStaffConstant, -kBig, kBig)},
      {"水准读数为实际2倍", IntIn(shzh.m_bDoubledReadings, 0, 1)},
      {"表格行数", IntIn(shzh.m_nTableRows, 1, kMaxTableRows)},
      {"打印字高", DblIn(shzh.m_dPrintHeight, 0.5, 50)},
  };

  std::vector<app::SettingFault> faults;
  while (pos < lines.size()) {
    const std::string& line = lines[pos];
    if (app::IsSectionBoundary(line)) {
      if (line == app::kSectionEnd) ++pos;  // our closing line; a banner belongs to the next section
      break;
    }
    ++pos;
    switch (Opener(line)) {
      case Block::Results: in.Block("外业整理", resultsKeys, nullptr, faults); break;
      case Block::Traverse:
        in.Block("导线记录", dxKeys, [&] {
          pages("导线记录", in.Pages(dx, kMaxTraversePages, [] { return List(kTraverseFields); }), kMaxTraversePages);
        }, faults);
        FitPages(dx);
        break;
      case Block::Angle:
        in.Block("水平角记录", shpjKeys, [&] {
          pages("水平角记录", in.Pages(shpj, kMaxBookPages, [] { return List(kAngleFields); }), kMaxBookPages);
        }, faults);
        FitPages(shpj);
        break;
      case Block::Level:
        in.Block("水准记录", shzhKeys, [&] {
          pages("水准记录",
                in.Pages(shzh, kMaxBookPages,
                         [&shzh] {
                           return shzh.m_nLevellingMode == kLevelSingleFace ? List(kSingleFaceFields)
                                                                            : List(kLevelFields);
                         }),
                kMaxBookPages);
        }, faults);
        FitPages(shzh);
        break;
      case Block::None: break;
    }
  }
  app::NoteSettingFaults(faults, notes);
}

}  // namespace records
