#pragma once
// The one Qt widget of every grid: paints a CTableView through the canvas, turns
// mouse and keys into its commands, hosts its in-place editors, its own scroll
// bars, the button bar, tool tips and the context menu. The presenter decides;
// this class only shows and forwards.
#include <QPointer>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>
#include <vector>

#include "table/table_ports.h"
#include "table/table_view.h"

class CButtonST;
class CInPlaceCombo;
class CInPlaceEdit;
class QMenu;
class QPrinter;
class QScrollBar;

class CTableWidget : public QWidget, public table::ITableHost {
  Q_OBJECT
 public:
  // The widget shows `view` for its life; the view must outlive it. An owner that
  // keeps the view as a member deletes this widget in its own destructor, since
  // child widgets die only after the owner's members.
  explicit CTableWidget(CTableView* view, QWidget* parent = nullptr);
  ~CTableWidget() override;

  CTableView* View() const { return view_; }
  CInPlaceEdit* Edit() const { return edit_; }
  CInPlaceCombo* Combo() const { return combo_; }
  QScrollBar* VerticalBar() const { return vbar_; }
  QScrollBar* HorizontalBar() const { return hbar_; }
  CButtonST* Button(int id) const;
  const std::vector<CButtonST*>& BarButtons() const { return buttons_; }
  bool DragTimerActive() const { return dragTimer_.isActive(); }

  // Re-reads the interface scale (g_nRowHeight, g_nCharHeight) after a font change:
  // the band, the buttons and the grid's fonts follow it.
  void ApplyUiScale();

  // The context menu the presenter asked for, ready to show (caller owns it).
  QMenu* BuildContextMenu(const std::vector<table::MenuItem>& items, QWidget* parent);

  // Printing through the presenter's print plan: the print dialog, direct print
  // and print preview (the frame's ID_FILE_PRINT... commands) and the print setup,
  // all on the session printer, so a choice made in one holds for the others.
  void Print();
  void PrintDirect();
  void PrintPreview();
  void PrintSetup();
  // One of those four commands (ID_FILE_PRINT, _DIRECT, _PREVIEW, _SETUP); false for
  // any other id.
  bool RunPrintCommand(int id);

  // table::ITableHost
  void Invalidate() override;
  void TakeFocus() override;
  void ShowEditor(const table::EditorState& e) override;
  void HideEditor() override;
  void ScrollBarsChanged() override;
  void ButtonsChanged() override;
  void SetToolTip(const std::string& text) override;
  void SetEditCursor(bool on) override;
  bool RunTableSettingsDialog(table::CTableSetForm& form) override;

 signals:
  // A bar or menu command the presenter did not handle (export dialogs and the like).
  void commandUnhandled(int id);

 protected:
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void inputMethodEvent(QInputMethodEvent* event) override;
  QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  void RunCommand(int id);
  void OnEditEnded(int row, int col, const QString& text, bool cancelled);
  void OnComboEnded(int row, int col, const QString& text);
  void OnVAction(int action);
  void OnHAction(int action);
  void OnDragTick();
  void StartOrStopDragTimer();
  void ShowContextMenu(const QPoint& local, const QPoint& global);
  bool HandleKey(QKeyEvent* event, bool editorHasFocus);
  static int MapKey(int qtKey);
  static int MouseFlags(Qt::MouseButtons buttons, Qt::KeyboardModifiers mods);

  CTableView* view_;
  CInPlaceEdit* edit_ = nullptr;
  CInPlaceCombo* combo_ = nullptr;
  QScrollBar* vbar_ = nullptr;
  QScrollBar* hbar_ = nullptr;
  std::vector<CButtonST*> buttons_;
  QTimer dragTimer_;
  QString tip_;
  QPoint lastMouse_;
  bool hidingEditor_ = false;
  bool contextMenuOpen_ = false;
};

// A pane that owns a grid presenter (CTableView or a view derived from it) and the
// widget that shows it. Child widgets outlive the members of their owner, so the
// pane deletes the widget itself before its presenter goes.
template <class View>
class CTablePane : public QWidget {
 public:
  explicit CTablePane(QWidget* parent = nullptr) : QWidget(parent), grid_(new CTableWidget(&view_, this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(grid_);
  }
  ~CTablePane() override { delete grid_; }
  CTablePane(const CTablePane&) = delete;
  CTablePane& operator=(const CTablePane&) = delete;

  View& GetView() { return view_; }
  CTableWidget* Grid() const { return grid_; }

 private:
  View view_;  // declared first: built before the widget, which calls OnInitialUpdate
  CTableWidget* grid_;
};
