#pragma once
// CMainFrame: the one top-level window. Menu, tool bar with the font-size combo,
// status bar ("坐标X：", "坐标Y："), and a flat splitter with the navigation pane on
// the left and one of the five views (ids 1004..1008) on the right.
#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <map>
#include <memory>

#include "app/cusprog.h"
#include "app/doc.h"
#include "app/nav.h"
#include "app/recent.h"
#include "app/shell.h"
#include "app/views.h"
#include "table/table_ports.h"

class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QStackedWidget;
namespace records {
class IFieldBooks;
}  // namespace records
class QToolBar;
class CFlatSplitterWnd;

namespace app_ui {

class NavPane;
class CMainFrame;
class CUpdateDlg;

// What a view brings to the frame. Only widget is required; the rest are the parts of
// the view the document and the navigation pane talk to.
struct ViewPlug {
  QWidget* widget = nullptr;
  app::IDocSection* section = nullptr;  // records (1004), traverse (1005), tools (1006)
  app::INavSource* nav = nullptr;  // its tree in the navigation pane: records, traverse, tools
  const app::ITraverseFacts* traverseFacts = nullptr;  // traverse (1005)
  app::IHelpNav* help = nullptr;
  app::IDrawingReset* drawing = nullptr;
  const records::IFieldBooks* fieldBooks = nullptr;  // records (1004): read by the traverse's "读取"
  // ID_FILE_PRINT, ..._PREVIEW, ..._SETUP; a view without it prints
  // nothing and the frame greys print and preview while it is shown
  std::function<void(int command)> command;
  std::function<void()> fontChanged;         // the interface scale changed
  std::function<void(bool show)> showTableButton;  // the drawing's "表格" button (1008)
};
using ViewFactory = std::function<ViewPlug(CMainFrame& frame)>;

// The user's own data folder (custom tables and programs beside those of the program
// folder), with its trailing "/"; "" when the desktop names none.
std::string UserDataDir();

// Registers the view for an id (1004..1008) before the frame is built; ids without a
// factory get an empty pane.
void RegisterViewFactory(int id, ViewFactory factory);

class CMainFrame : public QMainWindow, public app::IViewSwitch, public table::ITableFrame {
  Q_OBJECT
 public:
  using CCusProg = app::CCusProg;
  using col = app::col;

  explicit CMainFrame(app::CVornDoc& doc);
  ~CMainFrame() override;

  // Builds bars, splitter and views (OnCreate / OnCreateClient). False when a part
  // cannot be made.
  bool Create();

  // IViewSwitch
  void SwitchView(int id) override;
  int RightViewId() const override { return m_nRightViewId; }

  // The interface scale: 0 (or 8 and below) re-applies the current size.
  void SetFontHeight(int pt);

  // table::ITableFrame. Status panes: 0 message, 1 "坐标X：", 2 "坐标Y：".
  void SetStatusPane(int pane, const std::string& text) override;
  void SetDocumentModified() override { doc_.SetModifiedFlag(true); }
  void SwitchToDrawing(CTableView& view) override;

  // The File commands.
  bool OnFileNew();
  bool OnFileOpen(const std::string& path = "");
  bool OnFileSave();
  bool OnFileSaveAs();
  void OnFileSendMail();

  void OnViewDefaultLayout();
  void OnHideLeftPane();
  void OnHelpTopics();
  void OnAppAbout();
  // 软件升级 (F3): the modeless update dialog, created on first use, shown again later.
  void OnSoftwareUpdate();
  CUpdateDlg* UpdateDialog() const;

  // After a job was opened: trees rebuilt and the right section picked.
  void AfterLoad();

  QWidget* View(int id) const;
  // The view on screen: the remembered right-pane view, or the drawing while it
  // stands in a table's place.
  int ShownViewId() const;
  const ViewPlug& Plug(int id) const;
  NavPane* NavPaneWidget() const { return navPane_; }
  app::CLTView& Nav() { return nav_; }
  // What a view reaches the shell through (handed to the view factories).
  app::IShellServices& Services() { return services_; }
  app::RecentFiles& Recent() { return recent_; }
  QComboBox* FontCombo() const { return m_wndFontCombo; }
  QToolBar* ToolBar() const { return m_wndToolBar; }
  QMenu* RecentMenuOwner() const { return fileMenu_; }
  int LeftWidth() const;
  const std::string& ProgramDir() const { return m_strProgramDir; }
  const std::vector<CCusProg>& CustomPrograms() const { return m_arrCusProg; }
  QAction* FontAction(int pt) const;
  QAction* Action(int id) const;  // a menu command by id (57607 print, ...)

  static constexpr int kRightViewAtStart = app::kTraverseViewId;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void LoadCustomPrograms();
  void BuildMenus();
  void BuildToolBar();
  void BuildStatusBar();
  bool BuildClient();
  void ApplyToolBarTier();
  void UpdateCaption();
  void UpdateRecentMenu();
  void UpdateEditActions();
  void UpdatePrintActions();
  void AddRecent(const std::string& path);
  void SetLeftWidth(int w);
  QAction* Act(QMenu* menu, const QString& text, int id, std::function<void()> fn);

  app::CVornDoc& doc_;
  QPointer<CUpdateDlg> m_dlgUpdate;
  app::CLTView nav_;
  app::CShellServices services_{nav_, doc_, *this};
  app::RecentFiles recent_;
  int m_nRightViewId = kRightViewAtStart;
  std::string m_strProgramDir;
  std::vector<CCusProg> m_arrCusProg;

  std::map<int, ViewPlug> plugs_;
  CFlatSplitterWnd* m_wndSplitter = nullptr;
  NavPane* navPane_ = nullptr;
  QStackedWidget* right_ = nullptr;
  QWidget* msgView_ = nullptr;
  QToolBar* m_wndToolBar = nullptr;
  QComboBox* m_wndFontCombo = nullptr;
  QLabel* m_wndFontLabel = nullptr;
  QAction* comboAction_ = nullptr;
  QLabel* paneX_ = nullptr;
  QLabel* paneY_ = nullptr;
  QMenu* fileMenu_ = nullptr;
  QAction* recentAnchor_ = nullptr;
  std::vector<QAction*> recentActions_;
  std::map<int, QAction*> actions_;
  std::map<int, QAction*> fontActions_;
  bool created_ = false;
};

// The frame while it exists.
extern CMainFrame* g_pMainFrame;

}  // namespace app_ui
