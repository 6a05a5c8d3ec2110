#pragma once
// The records section of a job file ("----------观测记录----------"): the settings of
// the field-results table, then each field book's settings and every page with its
// twelve header texts and one comma-separated line per row holding only the typed
// cells. Results are never stored; the compute command makes them again.
//
// Lines are UTF-8 without line ends; the document encodes them as GBK. Reading never
// fails and never reads past the section: every loop also ends at a block marker, a
// block opener, the 28-dash line or a banner; values outside their ranges keep their
// reset values; every page is brought to the rows of its book's settings.
#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "platform/doc_section.h"
#include "records/dx_shb.h"
#include "records/shpj_shb.h"
#include "records/shzh_shb.h"

namespace records {

inline constexpr const char* kResultsTitle = "边长、高差外业成果";

// The settings of the field-results table ("[外业整理]") and the grid decimals.
struct ResultsSettings {
  int angleDecimals = 0;
  int distDecimals = 3;
  int heightDecimals = 4;
  std::string title = kResultsTitle;
  int linesAbove = 2;
  int linesBelow = 0;
  std::array<std::string, 12> signOff{"工程名称：", "", "等级：", "计算者：", "校核者：", "日期：", "", "", "", "", "", ""};
};

// Everything the section holds, as read into a fresh model.
struct RecordsData {
  ResultsSettings results;
  CShpjShb shpj;
  CDxShb dx;
  CShzhShb shzh;
  // The state of a new job: every book reset.
  void Reset();
};

// Limits of what a file may set (the dialog's own ranges are narrower).
inline constexpr int kMaxSets = 50;
inline constexpr int kMaxTableRows = 400;

// The whole section, banner to the closing line.
std::vector<std::string> WriteRecordsSectionLines(const ResultsSettings& results, const CShpjShb& shpj,
                                                  const CDxShb& dx, const CShzhShb& shzh);
inline std::vector<std::string> WriteRecordsSectionLines(const RecordsData& d) {
  return WriteRecordsSectionLines(d.results, d.shpj, d.dx, d.shzh);
}

// Reads from lines[pos] (the line after the banner) up to and including the closing
// line, or up to (not including) another section's banner, or the end; pos is left
// after what was consumed. `data` must be reset before.
// Pages a book cannot hold are read over; notes (when given) receives how many. A
// setting that is no whole number of its kind, or out of range, keeps the value it
// had and is named with that value (in the notes, else in one message).
void ReadRecordsSectionLines(const std::vector<std::string>& lines, std::size_t& pos, RecordsData& data,
                             app::ReadNotes* notes = nullptr);

}  // namespace records
