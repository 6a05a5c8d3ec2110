#include "app/ui/main_frame.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProcess>
#include <QStackedWidget>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTabWidget>
#include <QTextEdit>
#include <QToolBar>
#include <QVBoxLayout>

#include "app/scale.h"
#include "app/ui/about_dlg.h"
#include "app/ui/icons.h"
#include "app/ui/nav_pane.h"
#include "app/ui/update_dlg.h"
#include "app/version.h"
#include "platform/commands.h"
#include "platform/services.h"
#include "table/ui/flat_splitter.h"
#include "table/ui/qt_ports.h"
#include "table/ui/table_print.h"
#include "table/ui/table_widget.h"
#include "table/ui/ui_scale.h"

namespace app_ui {

CMainFrame* g_pMainFrame = nullptr;

namespace {

using table_ui::Q;
using table_ui::S;

std::map<int, ViewFactory>& Factories() {
  static std::map<int, ViewFactory> f;
  return f;
}

const char* ViewName(int id) {
  switch (id) {
    case app::kRecordsViewId: return "观测记录";
    case app::kTraverseViewId: return "平差计算";
    case app::kToolsViewId: return "常用工具";
    case app::kHelpViewId: return "帮助";
    case app::kDrawViewId: return "图形";
    default: return "";
  }
}

// Stand-in for a view that has not been built yet.
QWidget* EmptyPane(int id) {
  auto* w = new QLabel(QString::fromUtf8("“%1”视图暂无内容").arg(QString::fromUtf8(ViewName(id))));
  w->setAlignment(Qt::AlignCenter);
  w->setAutoFillBackground(true);
  QPalette pal = w->palette();
  pal.setColor(QPalette::Window, Qt::white);
  pal.setColor(QPalette::WindowText, QColor(110, 110, 110));
  w->setPalette(pal);
  w->setFont(g_fontUI);
  return w;
}

// CLBView: the message pane the frame creates and never shows.
QWidget* MakeMessagePane(QWidget* parent) {
  auto* w = new QWidget(parent);
  auto* lay = new QVBoxLayout(w);
  auto* tabs = new QTabWidget(w);
  for (const char* t : {"实时提示", "错误报告", "数据统计"}) tabs->addTab(new QWidget, QString::fromUtf8(t));
  auto* edit = new QPlainTextEdit(w);
  edit->setReadOnly(true);
  lay->addWidget(tabs);
  lay->addWidget(edit);
  w->hide();
  return w;
}

bool IsEditWidget(QWidget* w) {
  return qobject_cast<QLineEdit*>(w) || qobject_cast<QTextEdit*>(w) || qobject_cast<QPlainTextEdit*>(w);
}

bool IsReadOnly(QWidget* w) {
  if (auto* e = qobject_cast<QLineEdit*>(w)) return e->isReadOnly();
  if (auto* e = qobject_cast<QTextEdit*>(w)) return e->isReadOnly();
  if (auto* e = qobject_cast<QPlainTextEdit*>(w)) return e->isReadOnly();
  return true;
}

bool HasSelection(QWidget* w) {
  if (auto* e = qobject_cast<QLineEdit*>(w)) return e->hasSelectedText();
  if (auto* e = qobject_cast<QTextEdit*>(w)) return e->textCursor().hasSelection();
  if (auto* e = qobject_cast<QPlainTextEdit*>(w)) return e->textCursor().hasSelection();
  return false;
}

bool CanUndo(QWidget* w) {
  if (auto* e = qobject_cast<QLineEdit*>(w)) return e->isUndoAvailable();
  if (auto* e = qobject_cast<QTextEdit*>(w)) return e->document()->isUndoAvailable();
  if (auto* e = qobject_cast<QPlainTextEdit*>(w)) return e->document()->isUndoAvailable();
  return false;
}

template <typename Fn>
void OnEdit(QWidget* w, Fn fn) {
  if (auto* e = qobject_cast<QLineEdit*>(w)) fn(e);
  else if (auto* e = qobject_cast<QTextEdit*>(w)) fn(e);
  else if (auto* e = qobject_cast<QPlainTextEdit*>(w)) fn(e);
}

}  // namespace

void RegisterViewFactory(int id, ViewFactory factory) { Factories()[id] = std::move(factory); }

std::string UserDataDir() {
  QString dir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
  return dir.isEmpty() ? std::string() : S(dir) + "/";
}

CMainFrame::CMainFrame(app::CVornDoc& doc) : doc_(doc) {
  g_pMainFrame = this;
  table::SetFramePort(this);
  m_strProgramDir = S(QCoreApplication::applicationDirPath()) + "/";
  setWindowTitle(Q(app::FrameCaption(doc_.Title())));
  setWindowIcon(ProgramIcon());
  setAcceptDrops(true);
}

CMainFrame::~CMainFrame() {
  // Windows that outlive this part of the frame must not call back into it.
  delete m_dlgUpdate.data();
  disconnect(qApp, nullptr, this, nullptr);
  if (&table::Frame() == this) table::SetFramePort(nullptr);
  doc_.SetParts({});
  nav_.SetHost(nullptr);
  if (g_pMainFrame == this) g_pMainFrame = nullptr;
}

QAction* CMainFrame::Act(QMenu* menu, const QString& text, int id, std::function<void()> fn) {
  QAction* a = menu->addAction(text);
  if (fn) connect(a, &QAction::triggered, this, [fn = std::move(fn)] { fn(); });
  if (id) actions_[id] = a;
  return a;
}

bool CMainFrame::Create() {
  if (created_) return true;
  SetUiScale(app::SanitizeFontPt(g_nFontPt));
  if (!BuildClient()) return false;
  BuildMenus();
  BuildToolBar();
  BuildStatusBar();
  recent_.Load();
  UpdateRecentMenu();
  g_nFontPt = app::SanitizeFontPt(platform::Desktop().profile->GetInt("settings", "FontPt", app::kDefaultFontPt));
  created_ = true;
  UpdatePrintActions();
  SetFontHeight(0);
  return true;
}

void CMainFrame::LoadCustomPrograms() { app::LoadCustomPrograms({m_strProgramDir, UserDataDir()}, m_arrCusProg); }

bool CMainFrame::BuildClient() {
  LoadCustomPrograms();  // before the views, once
  m_wndSplitter = new CFlatSplitterWnd(Qt::Horizontal, this);
  navPane_ = new NavPane(nav_, m_wndSplitter);
  msgView_ = MakeMessagePane(this);
  right_ = new QStackedWidget(m_wndSplitter);
  for (int id : {app::kRecordsViewId, app::kTraverseViewId, app::kToolsViewId, app::kHelpViewId, app::kDrawViewId}) {
    ViewPlug plug;
    auto f = Factories().find(id);
    if (f != Factories().end() && f->second) plug = f->second(*this);
    if (!plug.widget) plug.widget = EmptyPane(id);
    right_->addWidget(plug.widget);
    plugs_[id] = plug;
  }
  m_wndSplitter->addWidget(navPane_);
  m_wndSplitter->addWidget(right_);
  m_wndSplitter->setStretchFactor(0, 0);
  m_wndSplitter->setStretchFactor(1, 1);
  m_wndSplitter->setChildrenCollapsible(false);
  navPane_->setMinimumWidth(20);
  setCentralWidget(m_wndSplitter);
  m_wndSplitter->setMinimumSize(400, 300);

  app::CLTView::Targets t;
  t.frame = this;
  t.records = plugs_[app::kRecordsViewId].nav;
  t.traverse = plugs_[app::kTraverseViewId].nav;
  t.tools = plugs_[app::kToolsViewId].nav;
  t.help = plugs_[app::kHelpViewId].help;
  nav_.SetTargets(t);

  app::DocParts parts;
  parts.records = plugs_[app::kRecordsViewId].section;
  parts.traverse = plugs_[app::kTraverseViewId].section;
  parts.tools = plugs_[app::kToolsViewId].section;
  parts.drawing = plugs_[app::kDrawViewId].drawing;
  parts.traverseFacts = plugs_[app::kTraverseViewId].traverseFacts;
  parts.resetTables = [this] {
    for (const auto& [id, p] : plugs_) {
      if (!p.widget) continue;
      for (CTableWidget* w : p.widget->findChildren<CTableWidget*>())
        if (w->View()) w->View()->ResetTableSettings(g_nCharHeight);
      if (auto* w = qobject_cast<CTableWidget*>(p.widget); w && w->View()) w->View()->ResetTableSettings(g_nCharHeight);
    }
  };
  parts.buildTrees = [this](int s) { nav_.BuildTrees(s); };
  // Taking the focus ends a cell edit still open in a grid, so its text is saved.
  parts.beforeSave = [this] { setFocus(); };
  parts.changed = [this] { UpdateCaption(); };
  parts.addRecent = [this](const std::string& p) { AddRecent(p); };
  doc_.SetParts(std::move(parts));

  m_nRightViewId = kRightViewAtStart;
  right_->setCurrentWidget(plugs_[m_nRightViewId].widget);
  return true;
}

void CMainFrame::BuildMenus() {
  QMenuBar* bar = menuBar();
  auto T = [](const char* s) { return QString::fromUtf8(s); };

  fileMenu_ = bar->addMenu(T("文件(&F)"));
  QMenu* m = fileMenu_;
  Act(m, T("新建\tCtrl+N(&N)"), platform::ID_FILE_NEW, [this] { OnFileNew(); })->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
  Act(m, T("打开...\tCtrl+O(&O)"), platform::ID_FILE_OPEN, [this] { OnFileOpen(); })->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
  Act(m, T("保存\tCtrl+S(&S)"), platform::ID_FILE_SAVE, [this] { OnFileSave(); })->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
  Act(m, T("另存为(&A)..."), platform::ID_FILE_SAVE_AS, [this] { OnFileSaveAs(); });
  m->addSeparator();
  auto toView = [this](int cmd) {
    return [this, cmd] {
      const ViewPlug& p = Plug(ShownViewId());
      if (p.command) p.command(cmd);
    };
  };
  Act(m, T("打印...\tCtrl+P(&P)"), platform::ID_FILE_PRINT, toView(platform::ID_FILE_PRINT))->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
  Act(m, T("打印预览(&V)"), platform::ID_FILE_PRINT_PREVIEW, toView(platform::ID_FILE_PRINT_PREVIEW));
  // The printer of the session, whichever view is shown (nothing view-specific in it).
  Act(m, T("打印设置(&R)..."), platform::ID_FILE_PRINT_SETUP, [this] { table_ui::RunPrintSetup(this); });
  m->addSeparator();
  QAction* mail = Act(m, T("发送(&D)..."), platform::ID_FILE_SEND_MAIL, [this] { OnFileSendMail(); });
  mail->setEnabled(!QStandardPaths::findExecutable(QStringLiteral("xdg-email")).isEmpty());
  m->addSeparator();
  recentAnchor_ = Act(m, T("最近的文件"), platform::ID_FILE_MRU_FIRST, nullptr);
  recentAnchor_->setEnabled(false);
  m->addSeparator();
  Act(m, T("退出(&X)"), platform::ID_APP_EXIT, [this] { close(); });
  connect(m, &QMenu::aboutToShow, this, [this] { UpdatePrintActions(); });

  m = bar->addMenu(T("编辑(&E)"));
  Act(m, T("撤消\tCtrl+Z(&U)"), platform::ID_EDIT_UNDO, [] { OnEdit(QApplication::focusWidget(), [](auto* e) { e->undo(); }); });
  m->addSeparator();
  Act(m, T("剪切\tCtrl+X(&T)"), platform::ID_EDIT_CUT, [] { OnEdit(QApplication::focusWidget(), [](auto* e) { e->cut(); }); });
  Act(m, T("复制\tCtrl+C(&C)"), platform::ID_EDIT_COPY, [] { OnEdit(QApplication::focusWidget(), [](auto* e) { e->copy(); }); });
  Act(m, T("粘贴\tCtrl+V(&P)"), platform::ID_EDIT_PASTE, [] { OnEdit(QApplication::focusWidget(), [](auto* e) { e->paste(); }); });
  connect(m, &QMenu::aboutToShow, this, [this] { UpdateEditActions(); });
  connect(qApp, &QApplication::focusChanged, this, [this] { UpdateEditActions(); });
  // The other accelerators of the table: Ctrl+Insert, Shift+Delete, Shift+Insert, Alt+Backspace.
  actions_[platform::ID_EDIT_COPY]->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Insert)});
  actions_[platform::ID_EDIT_CUT]->setShortcuts({QKeySequence(Qt::SHIFT | Qt::Key_Delete)});
  actions_[platform::ID_EDIT_PASTE]->setShortcuts({QKeySequence(Qt::SHIFT | Qt::Key_Insert)});
  actions_[platform::ID_EDIT_UNDO]->setShortcuts({QKeySequence(Qt::ALT | Qt::Key_Backspace)});

  m = bar->addMenu(T("视图(&V)"));
  QAction* tb = Act(m, T("工具栏(&T)"), platform::ID_VIEW_TOOLBAR, nullptr);
  tb->setCheckable(true);
  tb->setChecked(true);
  QAction* sb = Act(m, T("状态栏(&S)"), platform::ID_VIEW_STATUS_BAR, nullptr);
  sb->setCheckable(true);
  sb->setChecked(true);
  connect(sb, &QAction::toggled, this, [this](bool on) { statusBar()->setVisible(on); });
  Act(m, T("默认布局"), platform::ID_VIEW_DEFAULT_LAYOUT, [this] { OnViewDefaultLayout(); });
  Act(m, T("隐藏左边窗口"), platform::ID_VIEW_HIDE_LEFT, [this] { OnHideLeftPane(); });
  QMenu* fonts = m->addMenu(T("字体高度"));
  auto* group = new QActionGroup(this);
  for (int pt : app::kFontSizes) {
    QString text = pt == 9 ? T("9（标准）") : QString::number(pt);
    QAction* a = Act(fonts, text, app::CommandForFontPt(pt), [this, pt] { SetFontHeight(pt); });
    a->setCheckable(true);
    group->addAction(a);
    fontActions_[pt] = a;
  }

  m = bar->addMenu(T("帮助(&H)"));
  Act(m, T("帮助主题 \tF1"), platform::ID_HELP_TOPICS, [this] { OnHelpTopics(); })->setShortcut(QKeySequence(Qt::Key_F1));
  Act(m, T("软件升级\tF3"), platform::ID_APP_UPDATE, [this] { OnSoftwareUpdate(); })->setShortcut(QKeySequence(Qt::Key_F3));
  Act(m, T("官方网站"), platform::ID_HELP_WEBSITE, [] { platform::Desktop().desktop->OpenWithDesktop(app::kWebsiteUrl); });
  Act(m, T("关于 Quintar(&A)..."), platform::ID_APP_ABOUT, [this] { OnAppAbout(); });

  // F6 / Shift+F6: focus to the next / previous pane.
  auto* next = new QAction(this);
  next->setShortcut(QKeySequence(Qt::Key_F6));
  connect(next, &QAction::triggered, this, [this] {
    if (navPane_->isAncestorOf(QApplication::focusWidget())) right_->currentWidget()->setFocus();
    else navPane_->Tree(nav_.CurrentSection())->setFocus();
  });
  auto* prev = new QAction(this);
  prev->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F6));
  connect(prev, &QAction::triggered, next, &QAction::trigger);
  addAction(next);
  addAction(prev);
}

void CMainFrame::BuildToolBar() {
  m_wndToolBar = addToolBar(QString::fromUtf8("工具栏"));
  m_wndToolBar->setObjectName(QStringLiteral("toolbar128"));
  m_wndToolBar->setMovable(true);
  m_wndToolBar->setAllowedAreas(Qt::AllToolBarAreas);
  auto add = [this](int id) {
    QAction* a = actions_[id];
    a->setIcon(ToolBarIcon(id));
    QString tip = a->text().section('\t', 0, 0).remove(QStringLiteral("(&")).remove(QStringLiteral("...")).remove('&');
    tip = tip.section('(', 0, 0);
    a->setToolTip(tip);
    a->setStatusTip(tip);
    m_wndToolBar->addAction(a);
  };
  add(platform::ID_FILE_NEW);
  add(platform::ID_FILE_OPEN);
  add(platform::ID_FILE_SAVE);
  m_wndToolBar->addSeparator();
  add(platform::ID_EDIT_CUT);
  add(platform::ID_EDIT_COPY);
  add(platform::ID_EDIT_PASTE);
  m_wndToolBar->addSeparator();
  add(platform::ID_FILE_PRINT_SETUP);
  add(platform::ID_FILE_PRINT_PREVIEW);
  add(platform::ID_FILE_PRINT);
  m_wndToolBar->addSeparator();
  auto* holder = new QWidget(m_wndToolBar);
  auto* lay = new QHBoxLayout(holder);
  lay->setContentsMargins(0, 0, 5, 0);
  lay->setSpacing(0);
  m_wndFontLabel = new QLabel(QString::fromUtf8("字高:"), holder);
  m_wndFontLabel->setAlignment(Qt::AlignCenter);
  m_wndFontCombo = new QComboBox(holder);
  m_wndFontCombo->setObjectName(QStringLiteral("fontCombo32776"));
  for (int pt : app::kFontSizes) m_wndFontCombo->addItem(QString::number(pt));
  lay->addWidget(m_wndFontLabel);
  lay->addWidget(m_wndFontCombo);
  comboAction_ = m_wndToolBar->addWidget(holder);
  connect(m_wndFontCombo, &QComboBox::activated, this,
          [this](int index) { SetFontHeight(m_wndFontCombo->itemText(index).toInt()); });
  add(platform::ID_VIEW_DEFAULT_LAYOUT);
  add(platform::ID_VIEW_HIDE_LEFT);
  m_wndToolBar->addSeparator();
  add(platform::ID_HELP_TOPICS);
  connect(actions_[platform::ID_VIEW_TOOLBAR], &QAction::toggled, m_wndToolBar, &QToolBar::setVisible);
  connect(m_wndToolBar, &QToolBar::visibilityChanged, actions_[platform::ID_VIEW_TOOLBAR], &QAction::setChecked);
}

void CMainFrame::BuildStatusBar() {
  QStatusBar* bar = statusBar();
  bar->setObjectName(QStringLiteral("statusbar59393"));
  paneX_ = new QLabel(QString::fromUtf8("坐标X：") + QString(12, ' '), bar);
  paneY_ = new QLabel(QString::fromUtf8("坐标Y：") + QString(12, ' '), bar);
  for (QLabel* l : {paneX_, paneY_}) {
    l->setMinimumWidth(l->sizeHint().width());
    l->setFrameShape(QFrame::StyledPanel);
    bar->addPermanentWidget(l);
  }
  bar->showMessage(QString::fromUtf8("就绪"));
}

void CMainFrame::SetStatusPane(int pane, const std::string& text) {
  if (pane == 0) statusBar()->showMessage(Q(text));
  else if (pane == 1 && paneX_) paneX_->setText(Q(text));
  else if (pane == 2 && paneY_) paneY_->setText(Q(text));
}

void CMainFrame::SwitchView(int id) {
  auto it = plugs_.find(id);
  // Any other id leaves the view that is shown (the right pane always holds one of
  // the five views, and the id says which).
  if (it == plugs_.end()) return;
  right_->setCurrentWidget(it->second.widget);
  it->second.widget->show();
  m_nRightViewId = id;
  it->second.widget->update();
  UpdatePrintActions();
}

void CMainFrame::UpdatePrintActions() {
  // Only a view that prints takes the print commands; an empty pane (a view not in
  // this build) or the help pages have nothing to print.
  const int shown = ShownViewId();
  const bool print = shown != app::kHelpViewId && static_cast<bool>(Plug(shown).command);
  for (int cmd : {platform::ID_FILE_PRINT, platform::ID_FILE_PRINT_PREVIEW})
    if (auto a = actions_.find(cmd); a != actions_.end()) a->second->setEnabled(print);
}

QAction* CMainFrame::Action(int id) const {
  auto it = actions_.find(id);
  return it == actions_.end() ? nullptr : it->second;
}

void CMainFrame::SwitchToDrawing(CTableView&) {
  // The drawing takes the table's place without becoming the remembered view, so
  // that its "表格" button returns to this table and not to the drawing itself.
  auto it = plugs_.find(app::kDrawViewId);
  if (it == plugs_.end()) return;
  right_->setCurrentWidget(it->second.widget);
  it->second.widget->show();
  if (it->second.showTableButton) it->second.showTableButton(true);
  it->second.widget->update();
  UpdatePrintActions();
}

int CMainFrame::ShownViewId() const {
  for (const auto& [id, plug] : plugs_)
    if (plug.widget && plug.widget == right_->currentWidget()) return id;
  return m_nRightViewId;
}

QWidget* CMainFrame::View(int id) const {
  auto it = plugs_.find(id);
  return it == plugs_.end() ? nullptr : it->second.widget;
}

const ViewPlug& CMainFrame::Plug(int id) const {
  static const ViewPlug none;
  auto it = plugs_.find(id);
  return it == plugs_.end() ? none : it->second;
}

QAction* CMainFrame::FontAction(int pt) const {
  auto it = fontActions_.find(pt);
  return it == fontActions_.end() ? nullptr : it->second;
}

void CMainFrame::ApplyToolBarTier() {
  if (!m_wndToolBar) return;
  app::ToolBarTier tier = app::ToolBarTierFor(g_nCharHeight);
  m_wndToolBar->setIconSize(QSize(tier.imageSize, tier.imageSize));
  const int g = tier.comboFont;
  QFont f;
  f.setPixelSize(g);
  f.setWeight(QFont::Normal);
  m_wndFontLabel->setFont(f);
  m_wndFontCombo->setFont(f);
  m_wndFontLabel->setFixedWidth(3 * g);
  m_wndFontCombo->setFixedWidth(4 * g - 5);
  m_wndFontCombo->setFixedHeight(int(g * 1.25 + 6));
  comboAction_->setVisible(true);
}

void CMainFrame::SetFontHeight(int pt) {
  if (pt == g_nFontPt && pt > 0) return;
  int next = app::ResolveFontPt(g_nFontPt, pt);
  SetUiScale(next);
  ApplyToolBarTier();
  setFocus();
  platform::Desktop().profile->SetInt("settings", "FontPt", g_nFontPt);
  for (auto& [id, plug] : plugs_) {
    if (plug.fontChanged) plug.fontChanged();
    else if (auto* l = qobject_cast<QLabel*>(plug.widget)) l->setFont(g_fontUI);
  }
  nav_.RecalcLayout();
  OnViewDefaultLayout();
  statusBar()->setFont(g_fontUI);
  menuBar()->setFont(g_fontUI);
  if (m_wndFontCombo) {
    QSignalBlocker block(m_wndFontCombo);
    m_wndFontCombo->setCurrentIndex(app::FontComboIndex(g_nFontPt));
  }
  if (QAction* a = FontAction(g_nFontPt)) a->setChecked(true);
  update();
}

int CMainFrame::LeftWidth() const {
  QList<int> s = m_wndSplitter->sizes();
  return s.isEmpty() ? 0 : s[0];
}

void CMainFrame::SetLeftWidth(int w) {
  int total = m_wndSplitter->width() - m_wndSplitter->handleWidth();
  if (total <= w) total = w + 1;
  m_wndSplitter->setSizes({w, total - w});
}

void CMainFrame::OnViewDefaultLayout() { SetLeftWidth(app::DefaultLeftWidth(g_nCharHeight, m_wndSplitter->width())); }

void CMainFrame::OnHideLeftPane() { SetLeftWidth(20); }

void CMainFrame::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  if (!m_wndToolBar) return;
  SetLeftWidth(app::KeptLeftWidth(LeftWidth(), m_wndSplitter->width()));
}

void CMainFrame::OnHelpTopics() { nav_.SelectSection(3); }

void CMainFrame::OnSoftwareUpdate() {
  if (!m_dlgUpdate) m_dlgUpdate = new CUpdateDlg(doc_.m_strVersion, this);
  m_dlgUpdate->showNormal();
  m_dlgUpdate->move(geometry().center() - m_dlgUpdate->rect().center());
  m_dlgUpdate->raise();
  m_dlgUpdate->activateWindow();
}

CUpdateDlg* CMainFrame::UpdateDialog() const { return m_dlgUpdate.data(); }

void CMainFrame::OnAppAbout() {
  CAboutDlg dlg(this);
  dlg.exec();
}

void CMainFrame::UpdateCaption() { setWindowTitle(Q(app::FrameCaption(doc_.Title()))); }

void CMainFrame::UpdateEditActions() {
  if (actions_.empty()) return;
  QWidget* w = QApplication::focusWidget();
  bool edit = w && IsEditWidget(w);
  bool writable = edit && !IsReadOnly(w);
  actions_[platform::ID_EDIT_CUT]->setEnabled(writable && HasSelection(w));
  actions_[platform::ID_EDIT_COPY]->setEnabled(edit && HasSelection(w));
  actions_[platform::ID_EDIT_PASTE]->setEnabled(writable && !QGuiApplication::clipboard()->text().isEmpty());
  actions_[platform::ID_EDIT_UNDO]->setEnabled(edit && CanUndo(w));
}

void CMainFrame::AddRecent(const std::string& path) {
  recent_.Add(S(QFileInfo(Q(path)).absoluteFilePath()));
  recent_.Save();
  UpdateRecentMenu();
}

void CMainFrame::UpdateRecentMenu() {
  for (QAction* a : recentActions_) {
    fileMenu_->removeAction(a);
    a->deleteLater();
  }
  recentActions_.clear();
  const auto& paths = recent_.Paths();
  recentAnchor_->setVisible(paths.empty());
  for (std::size_t i = 0; i < paths.size(); ++i) {
    std::string path = paths[i];
    auto* a = new QAction(QStringLiteral("&%1 %2").arg(i + 1).arg(Q(path)), fileMenu_);
    connect(a, &QAction::triggered, this, [this, path] {
      if (!OnFileOpen(path) && !QFileInfo::exists(Q(path))) {
        recent_.Remove(path);
        recent_.Save();
        UpdateRecentMenu();
      }
    });
    fileMenu_->insertAction(recentAnchor_, a);
    recentActions_.push_back(a);
  }
}

bool CMainFrame::OnFileNew() { return doc_.FileNew(); }

bool CMainFrame::OnFileOpen(const std::string& path) {
  if (!doc_.FileOpen(path)) return false;
  AfterLoad();
  return true;
}

bool CMainFrame::OnFileSave() { return doc_.FileSave(); }
bool CMainFrame::OnFileSaveAs() { return doc_.FileSaveAs(); }

void CMainFrame::OnFileSendMail() {
  QString exe = QStandardPaths::findExecutable(QStringLiteral("xdg-email"));
  if (exe.isEmpty()) return;
  std::string file = doc_.PathName();
  if (file.empty() || doc_.IsModified()) {
    // Mail what is on screen: a copy in the temporary folder, the job's own file untouched.
    QString name = Q(doc_.Title());
    if (!name.endsWith(QStringLiteral(".qvt"))) name += QStringLiteral(".qvt");
    file = S(QDir(QDir::tempPath()).filePath(name));
    if (!doc_.SaveCopy(file)) return;
  }
  QProcess::startDetached(exe, {QStringLiteral("--attach"), Q(file)});
}

void CMainFrame::AfterLoad() { nav_.AfterLoad(doc_); }

void CMainFrame::closeEvent(QCloseEvent* event) {
  if (!doc_.SaveModified()) {
    event->ignore();
    return;
  }
  recent_.Save();
  event->accept();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event) {
  for (const QUrl& url : event->mimeData()->urls()) {
    if (!url.isLocalFile()) continue;
    event->acceptProposedAction();
    activateWindow();
    OnFileOpen(S(url.toLocalFile()));
    return;  // one document at a time: the first file only
  }
}

}  // namespace app_ui
