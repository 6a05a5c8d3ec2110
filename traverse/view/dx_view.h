#pragma once
// CDxView: the traverse adjustment presenter (std only).
//
// It shows one traverse job: the job itself, its scheme, rows, point lists,
// solvers and results, is the traverse::CTraverseJob base (traverse/engine/),
// which computes without a grid. The grid it shows is the CTableView it derives
// from; the Qt widget that paints it lives in traverse/ui/.
//
// Flow: the rows arrive as the texts of the data-input grid (ReadInputTable),
// Compute() of the job checks and adjusts them; m_onComputed then tells the
// shell, which shows the fresh result table.
#include <array>
#include <string>
#include <vector>

#include "table/table_view.h"
#include "traverse/engine/traverse_job.h"
#include "traverse/view/cus_table.h"

namespace traverse {
class ITraverseViewPorts;
struct TraverseSectionData;
struct KzdExportPoint;
}  // namespace traverse

class CDxView : public CTableView, public traverse::CTraverseJob {
 public:
  CDxView();
  ~CDxView() override;

  std::array<CCusTable, 10> m_cusTables;
  // Custom result tables (dx_custom_tables.cpp): "table.cus" is read from the program
  // folder, then from the user's data folder, and written to the user's folder only.
  // Folders end with their separator; "" skips one.
  void SetCustomTableFolders(const std::string& programDir, const std::string& userDir);
  // False when neither file could be read (the definitions then stay as they were).
  // Codes it drops are said in one message.
  bool LoadCustomTables();
  // Writes all ten definitions atomically; false after a message with the reason.
  bool SaveCustomTables();
  // "自定义" (1127): the definition dialog on the custom table shown.
  void OnCustomTable();
  std::string m_strProgramDir, m_strUserDataDir;

  // New-document state: the job reset (ResetJob), no table shown, the default
  // header items and decimals.
  void ResetScheme();
  // Copies the data-input grid into m_arrUnit (only while the input table is shown).
  void ReadInputTable();

  // The table settings answer for the texts a computation writes.
  int AngleTextDecimals() const override { return m_nAngleDecimals; }
  int DistanceTextDecimals() const override { return m_nDistDecimals; }
  int DhTextDecimals() const override { return m_nDhDecimals; }

  // ---- view: tables, bar, commands, document section ------------------------
  // The ports (scheme dialog, navigation tree, document flag) are installed by
  // the Qt side; without them the view runs headless.
  void SetViewPorts(traverse::ITraverseViewPorts* ports);
  traverse::ITraverseViewPorts* ViewPorts() const { return m_pViewPorts; }
  void OnInitialUpdate() override;
  void OnTableChanged() override;
  bool OnCommand(int id) override;
  // Client size of the view (WM_SIZE) and the interface scale (g_nRowHeight,
  // g_nCharHeight); both re-lay out the bar.
  void LayoutBar() override;
  void ShowTable(const std::string& code);
  void SetColumnByCode(int col, const std::string& code);
  int SetupTraverseInputTable();
  int SetupCoordTraverseInputTable();
  int SetupLevellingInputTable();
  void UpdateInputTips();
  void ShowLevellingTable();
  void ShowCoordTraverseTable();
  void OnCompute();
  void OnScheme();
  // "读取": the typed point names of the input table get their angles, sides, height
  // differences and weights from the computed field books (through the ports).
  void OnReadObservations();
  // "控制点" (command 1023): the control-point dialog, then by its mode: known
  // coordinates read from a ".kzd" store into the input table, the adjusted points
  // stored into it, or exported for another mapping system.
  void OnControlPoints();
  // Every row's point into the store, one atomic write; false after a message.
  bool StoreControlPoints(const std::string& path, int policy);
  // Fills the input table from the store (mode 0) as one undoable change.
  void ReadControlPoints(const std::string& path);
  // The rows with a plane point, in row order, for the export.
  std::vector<traverse::KzdExportPoint> ExportPoints() const;
  // The input-table column (1-based) that shows a text field of the rows in the
  // current traverse type's layout; 0 when the layout has none.
  int InputColumnOf(std::string CUnit::*field) const;
  // ReadInputTable, but a copy of unchanged texts keeps the computed rows.
  void SaveInputTable();
  // Document section: the model goes through traverse::TraverseSectionData.
  void GetSectionData(traverse::TraverseSectionData& data) const;
  void ApplySectionData(const traverse::TraverseSectionData& data);
  // The settings of data with rows already built (data.rows is not used).
  void ApplySectionData(const traverse::TraverseSectionData& data, std::vector<CUnit> rows);
  // The first-use hint (an extra tab indents each line in the table's copy).
  static std::string FirstUseHint(bool tableCopy);
  traverse::ITraverseViewPorts* m_pViewPorts = nullptr;
  // The job's "computed" notification waits until the command or table switch
  // that computed has finished, so that the tree's answer (ShowTable of the item it
  // reselects) never runs inside it. -1: nothing pending, else the plane flag.
  int m_nPendingComputed = -1;
  int m_nCommandDepth = 0;
  void DeliverComputed();

 private:
  // Marks a command or table switch; the outermost one delivers the notification.
  class CommandScope {
   public:
    explicit CommandScope(CDxView& view) : view_(view) { ++view_.m_nCommandDepth; }
    ~CommandScope() {
      if (--view_.m_nCommandDepth == 0) view_.DeliverComputed();
    }
    CommandScope(const CommandScope&) = delete;
    CommandScope& operator=(const CommandScope&) = delete;

   private:
    CDxView& view_;
  };
};

