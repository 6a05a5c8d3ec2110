#pragma once
// CGcJlView: the observation records presenter (std only). It owns the three field
// books and the field-results summary, shows one page of one book (or the summary
// table "WYZHL") in its grid at a time, and adds page navigation, page editing, the
// computation and the settings to the grid's bar. Every edit is stored into the book
// at once (OnTableChanged), so switching pages, computing and saving need no commit.
//
// The traverse view reads the computed books and the summary through
// records::IFieldBooks; only books computed since their last edit take part.
#include <array>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "records/dx_shb.h"
#include "records/records_section.h"
#include "records/shpj_shb.h"
#include "records/shzh_shb.h"
#include "records/wyzhl.h"
#include "table/table_view.h"

namespace records {
class IRecordsViewPorts;
class CShbSetForm;
struct CShbSetValues;

// Command ids of the records bar. Four of them are ids the grid gives its own
// buttons (表格, 自定义, CAD, 图形); the view takes them before the grid does.
enum RecordsCommand : int {
  ID_PREVIOUS_PAGE = 1007,  // "上一页"
  ID_NEXT_PAGE = 1127,      // "下一页"
  ID_MOVE_PAGE = 1022,      // "移动"
  ID_DELETE_PAGE = 1133,    // "删页"
};

// Item codes of the records tree: DX page p = 10 + p, SHPJ 1000 + p, SHZH 2000 + p,
// the summary 10000.
int RecordsTreeCode(const std::string& key, int page);
// The key and page of a tree code; false for codes that show nothing.
bool RecordsTreeTarget(int code, std::string* key, int* page);
}  // namespace records

class CGcJlView : public CTableView, public records::IFieldBooks {
 public:
  using CWyZhl = records::CWyZhl;

  CShpjShb m_shpj;
  CDxShb m_dx;
  CShzhShb m_shzh;
  std::vector<CWyZhl> m_arrResults;
  std::string m_strResultsTitle = records::kResultsTitle;
  std::array<std::string, 12> m_strSignOff{};
  int m_nResultsLinesAbove = 2;
  int m_nResultsLinesBelow = 0;
  std::string m_strCurrentKey;  // RecordsTableKey: "DX", "SHPJ", "SHZH", "WYZHL" or ""
  int m_nCurrentPage = -1;

  CGcJlView();
  ~CGcJlView() override;

  void SetViewPorts(records::IRecordsViewPorts* ports) { m_pPorts = ports; }
  records::IRecordsViewPorts* ViewPorts() const { return m_pPorts; }

  bool ShowPage(const std::string& key, int page);
  bool SaveCurrentPage();
  bool ResetRecords();
  // Legs of the last compute merged into m_arrResults (the books append theirs).
  void AccumulateLeg(const std::string& from, const std::string& to, int kind, double distance, double heightDiff,
                     double length, int stations);
  int PageCount(const std::string& key) const;

  // ---- the view ---------------------------------------------------------------
  void OnInitialUpdate() override;
  void OnTableChanged() override;
  bool OnCommand(int id) override;
  void LayoutBar() override;

  void OnPreviousPage();
  void OnNextPage();
  void OnDeletePage();
  void OnMovePage();
  void OnCompute();
  void OnProjectSettings();

  // The exports of a book write every page of it in turn, one table per page with its
  // header items, as printing does; the page shown is the same afterwards.
  bool WriteTextFile(const std::string& path, int format, std::string* error) override;
  bool ExportToExcel(bool keepHalfRowOffset) override;
  bool ExportToWord(bool keepRowOffset) override;

  // Printing a book prints every page of it, one book page per sheet; the page shown
  // and the undo history are the same afterwards.
  const table::PrintPlan& OnBeginPrinting(const table::PrintDevice& device) override;
  table::PageTransform OnPrepareDC(int page) override;
  void OnEndPrinting() override;

  // ---- document section ---------------------------------------------------------
  std::vector<std::string> WriteRecords();
  // A freshly read model swapped in (after ResetRecords).
  void ApplyRecordsData(records::RecordsData&& data);

  // ---- records::IFieldBooks --------------------------------------------------------
  bool TraverseBookComputed() const override { return m_dx.m_bComputed != 0; }
  bool AngleBookComputed() const override { return m_shpj.m_bComputed != 0; }
  bool LevellingBookComputed() const override { return m_shzh.m_bComputed != 0; }
  const std::vector<CWyZhl>& FieldResults() const override { return m_arrResults; }
  const std::string* TraverseBookAngle(const std::string& station, const std::string& back,
                                       const std::string& fore) const override;
  const std::string* AngleBookAngle(const std::string& station, const std::string& back,
                                    const std::string& fore) const override;

  // What the summary says of its sources: the computed books it holds, and the
  // books left out because they are not computed since their last edit ("" if none).
  std::pair<std::string, std::string> ResultsSources() const;

  // The text under a book page ("第 %d 页 共 %d 页"), "" when no book page is shown.
  std::string PageFooterText() const;

 protected:
  void PaintOverlay(table::ICanvas& canvas, const table::CTableLayout& layout, bool forPrint, int page,
                    int pages) override;

 private:
  bool ShowPageImpl(const std::string& key, int page, bool keepUndo);
  // Shows every page of the book shown in turn and hands it to `each`; then the page
  // shown before again. False when no book page is shown (nothing done).
  bool ForEachBookPage(const std::function<void()>& each);
  bool ShowResultsTable(bool clearUndo);
  bool IsBookKey(const std::string& key) const;
  int BookPages(const std::string& key) const;
  int PageLimit(const std::string& key) const;
  bool RemovePage(const std::string& key, int page);
  bool InsertPageCopy(const std::string& key, int from, int at);
  void SelectPage(const std::string& key, int page);
  void RebuildTree();
  void MarkModified();
  void MarkBookEdited(const std::string& key);
  void RebuildResults();
  records::Decimals GridDecimals() const;
  void ApplyDialog(const records::CShbSetForm& form, const records::CShbSetValues& shown);

  records::IRecordsViewPorts* m_pPorts = nullptr;
  records::LegLog m_dxLegs, m_shzhLegs;  // each book's legs of its last compute
  // While a book prints: the page shown before, and whether the pages are ours.
  bool m_bPrintingBook = false;
  std::string m_strPrintKey;
  int m_nPrintPageBefore = -1;
};
