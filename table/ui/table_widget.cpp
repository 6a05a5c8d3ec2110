#include "table/ui/table_widget.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QScrollBar>
#include <QToolTip>
#include <QWheelEvent>

#include "table/ui/bar_icons.h"
#include "table/ui/button_st.h"
#include "table/ui/in_place_edit.h"
#include "platform/commands.h"
#include "table/ui/qt_canvas.h"
#include "table/ui/table_print.h"
#include "table/ui/table_set_dlg.h"
#include "table/ui/tips.h"
#include "table/ui/ui_scale.h"

namespace {
constexpr int kBarThickness = 16;

QString Q(const std::string& s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }
std::string S(const QString& s) { return s.toUtf8().toStdString(); }

table::Color ToColor(const QColor& c) { return table::Rgb(c.red(), c.green(), c.blue()); }
}  // namespace

CTableWidget::CTableWidget(CTableView* view, QWidget* parent) : QWidget(parent), view_(view) {
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_InputMethodEnabled, true);
  setAttribute(Qt::WA_OpaquePaintEvent, true);
  setMouseTracking(true);

  edit_ = new CInPlaceEdit(this);
  edit_->installEventFilter(this);
  connect(edit_, &QLineEdit::textChanged, this, [this](const QString& t) {
    if (edit_->Active() && view_->IsEditing()) view_->SetEditorText(S(t));
  });
  connect(edit_, &CInPlaceEdit::editEnded, this, &CTableWidget::OnEditEnded);

  combo_ = new CInPlaceCombo(this);
  combo_->installEventFilter(this);
  if (combo_->lineEdit()) combo_->lineEdit()->installEventFilter(this);
  connect(combo_, &QComboBox::editTextChanged, this, [this](const QString& t) {
    if (combo_->Active() && view_->IsEditing()) view_->SetEditorText(S(t));
  });
  connect(combo_, &CInPlaceCombo::editEnded, this, &CTableWidget::OnComboEnded);

  vbar_ = new QScrollBar(Qt::Vertical, this);
  hbar_ = new QScrollBar(Qt::Horizontal, this);
  for (QScrollBar* b : {vbar_, hbar_}) {
    b->setFocusPolicy(Qt::NoFocus);
    b->setRange(0, 0);
    b->hide();
  }
  connect(vbar_, &QAbstractSlider::actionTriggered, this, &CTableWidget::OnVAction);
  connect(hbar_, &QAbstractSlider::actionTriggered, this, &CTableWidget::OnHAction);

  dragTimer_.setInterval(50);  // the grid's drag timer (id 513)
  connect(&dragTimer_, &QTimer::timeout, this, &CTableWidget::OnDragTick);

  view_->SetHost(this);
  view_->SetFaceColor(ToColor(g_clrBtnFace));
  view_->SetInterfaceRowHeight(g_nRowHeight);
  view_->SetFont(g_nCharHeight, view_->GetPrintHeight());
  view_->OnInitialUpdate();
  ButtonsChanged();
  ScrollBarsChanged();
}

CTableWidget::~CTableWidget() {
  if (view_ && view_->Host() == this) view_->SetHost(nullptr);
}

CButtonST* CTableWidget::Button(int id) const {
  for (CButtonST* b : buttons_)
    if (b->property("commandId").toInt() == id) return b;
  return nullptr;
}

void CTableWidget::ApplyUiScale() {
  view_->SetInterfaceRowHeight(g_nRowHeight);
  // The cells follow the screen scale; the printed character height is the table's own.
  view_->SetFont(g_nCharHeight, view_->GetPrintHeight());
  for (CButtonST* b : buttons_) b->setFont(g_fontUI);
  ButtonsChanged();
  view_->SetClientSize(width(), height());
  ScrollBarsChanged();
  update();
}

// ---- host -----------------------------------------------------------------------

void CTableWidget::Invalidate() { update(); }

void CTableWidget::TakeFocus() {
  if (!hasFocus()) setFocus(Qt::OtherFocusReason);
}

void CTableWidget::ShowEditor(const table::EditorState& e) {
  if (e.kind == table::EditorState::Edit) {
    combo_->hide();
    edit_->setGeometry(table_ui::ToQRect(e.rect));
    QPalette pal = edit_->palette();
    pal.setColor(QPalette::Base, e.readOnly ? table_ui::ToQColor(view_->GetBackground()) : QColor(Qt::white));
    pal.setColor(QPalette::Text, Qt::black);
    edit_->setPalette(pal);
    edit_->SetCellFont(table_ui::ToQFont(e.font), e.font.pixelHeight);
    edit_->show();
    edit_->SetReadOnly(e.readOnly);
    edit_->BeginEdit(e.row, e.col, Q(e.text), e.inputType);
    if (e.selectAll) edit_->selectAll();
  } else if (e.kind == table::EditorState::Combo) {
    edit_->hide();
    table::Rect r = e.rect;
    // The box itself is one item high; its list opens below on its own.
    if (r.Height() > 200) r.bottom -= 200;
    combo_->setGeometry(table_ui::ToQRect(r));
    combo_->setFont(table_ui::ToQFont(e.font));
    combo_->show();
    QStringList choices;
    for (const std::string& c : e.choices) choices << Q(c);
    combo_->BeginEditWithList(e.row, e.col, Q(e.text), choices);
  }
}

void CTableWidget::HideEditor() {
  if (hidingEditor_) return;
  hidingEditor_ = true;
  QWidget* f = QApplication::focusWidget();
  const bool hadFocus = f && (f == edit_ || f == combo_ || combo_->isAncestorOf(f));
  if (edit_->Active()) edit_->End(false);
  if (combo_->Active()) combo_->End();
  edit_->hide();
  combo_->hide();
  if (hadFocus) setFocus(Qt::OtherFocusReason);
  hidingEditor_ = false;
  update();
}

void CTableWidget::ScrollBarsChanged() {
  const table::ScrollState& s = view_->GetScrollState();
  const int band = g_nRowHeight;
  const int w = width(), h = height();
  {
    const QSignalBlocker block(vbar_);
    vbar_->setRange(0, std::max(0, s.vMax));
    vbar_->setSingleStep(1);
    vbar_->setPageStep(std::max(1, s.vPage));
    vbar_->setValue(s.vPos);
  }
  {
    const QSignalBlocker block(hbar_);
    hbar_->setRange(0, std::max(0, s.hMax));
    hbar_->setSingleStep(50);
    hbar_->setPageStep(std::max(1, s.hPage));
    hbar_->setValue(s.hPos);
  }
  vbar_->setGeometry(w - kBarThickness, band, kBarThickness,
                     std::max(0, h - band - (s.hVisible ? kBarThickness : 0)));
  hbar_->setGeometry(0, h - kBarThickness, std::max(0, w - (s.vVisible ? kBarThickness : 0)), kBarThickness);
  vbar_->setVisible(s.vVisible);
  hbar_->setVisible(s.hVisible);
}

void CTableWidget::ButtonsChanged() {
  std::vector<table::CBarButton>& bar = view_->Buttons();
  while (buttons_.size() > bar.size()) {
    delete buttons_.back();
    buttons_.pop_back();
  }
  while (buttons_.size() < bar.size()) {
    auto* b = new CButtonST(QString(), this);
    b->setFocusPolicy(Qt::NoFocus);
    connect(b, &QPushButton::clicked, this, [this, b] { RunCommand(b->property("commandId").toInt()); });
    buttons_.push_back(b);
  }
  for (std::size_t i = 0; i < bar.size(); ++i) {
    const table::CBarButton& d = bar[i];
    CButtonST* b = buttons_[i];
    b->setProperty("commandId", d.id);
    b->setText(Q(d.caption));
    if (b->property("iconId").toInt() != d.icon) {
      b->setProperty("iconId", d.icon);
      b->SetIcon(BarIcon(d.icon), 16, 16);
    }
    b->setToolTip(Q(d.tip));
    b->setGeometry(d.x, d.y, d.width, std::max(1, g_nRowHeight - 2));
    b->setEnabled(d.enabled);
    b->setVisible(d.visible);
  }
}

void CTableWidget::SetToolTip(const std::string& text) {
  const QString t = Q(text);
  if (t.isEmpty()) {
    tip_.clear();
    QToolTip::hideText();
    return;
  }
  if (t == tip_ && QToolTip::isVisible()) return;
  tip_ = t;
  tips::Show(this, mapToGlobal(lastMouse_) + QPoint(12, 18), t);
}

void CTableWidget::SetEditCursor(bool on) {
  if (on) setCursor(Qt::IBeamCursor);
  else unsetCursor();
}

bool CTableWidget::RunTableSettingsDialog(table::CTableSetForm& form) {
  CTableSetDlg dlg(form, this);
  if (dlg.exec() != QDialog::Accepted) return false;
  form = dlg.Form();
  return true;
}

// ---- commands -------------------------------------------------------------------

bool CTableWidget::RunPrintCommand(int id) {
  switch (id) {
    case platform::ID_FILE_PRINT: Print(); return true;
    case platform::ID_FILE_PRINT_DIRECT: PrintDirect(); return true;
    case platform::ID_FILE_PRINT_PREVIEW: PrintPreview(); return true;
    case platform::ID_FILE_PRINT_SETUP: PrintSetup(); return true;
    default: return false;
  }
}

void CTableWidget::RunCommand(int id) {
  if (RunPrintCommand(id)) return;
  // A command must not be overwritten by an edit that ends after it.
  if (!view_->CommitEditor()) return;
  if (!view_->OnCommand(id)) emit commandUnhandled(id);
}

QMenu* CTableWidget::BuildContextMenu(const std::vector<table::MenuItem>& items, QWidget* parent) {
  auto* menu = new QMenu(parent);
  menu->setFont(g_fontUI);
  for (const table::MenuItem& it : items) {
    QAction* a = menu->addAction(Q(it.text));
    a->setData(it.id);
    a->setEnabled(!it.grayed);
  }
  return menu;
}

void CTableWidget::ShowContextMenu(const QPoint& local, const QPoint& global) {
  if (!view_->CommitEditor()) return;
  std::vector<table::MenuItem> items = view_->OnRButtonDown(local.x(), local.y());
  update();
  if (items.empty()) return;
  QMenu* menu = BuildContextMenu(items, this);
  contextMenuOpen_ = true;
  QAction* chosen = menu->exec(global);
  contextMenuOpen_ = false;
  const int id = chosen ? chosen->data().toInt() : 0;
  delete menu;
  if (id) RunCommand(id);
}

void CTableWidget::Print() {
  if (!view_->CommitEditor()) return;
  QPrinter& printer = table_ui::SessionPrinter();
  const table::PrintPlan plan = table_ui::PlanFor(*view_, printer);
  QPrintDialog dialog(&printer, this);
  dialog.setMinMax(1, std::max(1, plan.pages));
  dialog.setFromTo(1, std::max(1, plan.pages));
  if (dialog.exec() != QDialog::Accepted) return;
  table_ui::PrintTable(*view_, printer);
  // The page range belongs to this print only; the rest of the choice stays.
  printer.setPrintRange(QPrinter::AllPages);
  update();
}

void CTableWidget::PrintDirect() {
  if (!view_->CommitEditor()) return;
  QPrinter& printer = table_ui::SessionPrinter();
  printer.setPrintRange(QPrinter::AllPages);
  table_ui::PrintTable(*view_, printer);
  update();
}

void CTableWidget::PrintPreview() {
  if (!view_->CommitEditor()) return;
  QPrinter& printer = table_ui::SessionPrinter();
  printer.setPrintRange(QPrinter::AllPages);
  QPrintPreviewDialog dialog(&printer, this);
  dialog.setWindowTitle(QStringLiteral("打印预览"));
  connect(&dialog, &QPrintPreviewDialog::paintRequested, this,
          [this](QPrinter* p) { table_ui::PrintTable(*view_, *p); });
  dialog.resize(1000, 800);
  dialog.exec();
  update();
}

void CTableWidget::PrintSetup() {
  if (!view_->CommitEditor()) return;
  table_ui::RunPrintSetup(this);
}

// ---- editors ----------------------------------------------------------------------

void CTableWidget::OnEditEnded(int, int, const QString&, bool cancelled) {
  if (!view_->IsEditing()) return;
  view_->EndEdit(cancelled);
  if (edit_->isVisible() && !hidingEditor_) HideEditor();
}

void CTableWidget::OnComboEnded(int, int, const QString& text) {
  if (!view_->IsEditing()) return;
  view_->SetEditorText(S(text));
  view_->EndEdit(false);
  if (combo_->isVisible() && !hidingEditor_) HideEditor();
}

// ---- scrolling ----------------------------------------------------------------------

namespace {
bool ToAction(int a, table::ScrollAction* out) {
  switch (a) {
    case QAbstractSlider::SliderSingleStepAdd: *out = table::ScrollAction::LineDown; return true;
    case QAbstractSlider::SliderSingleStepSub: *out = table::ScrollAction::LineUp; return true;
    case QAbstractSlider::SliderPageStepAdd: *out = table::ScrollAction::PageDown; return true;
    case QAbstractSlider::SliderPageStepSub: *out = table::ScrollAction::PageUp; return true;
    case QAbstractSlider::SliderToMinimum: *out = table::ScrollAction::Top; return true;
    case QAbstractSlider::SliderToMaximum: *out = table::ScrollAction::Bottom; return true;
    case QAbstractSlider::SliderMove: *out = table::ScrollAction::Thumb; return true;
    default: return false;
  }
}
}  // namespace

void CTableWidget::OnVAction(int action) {
  table::ScrollAction a;
  if (!ToAction(action, &a)) return;
  if (view_->CommitEditor()) view_->OnVScroll(a, vbar_->sliderPosition());
  vbar_->setSliderPosition(view_->GetScrollState().vPos);
}

void CTableWidget::OnHAction(int action) {
  table::ScrollAction a;
  if (!ToAction(action, &a)) return;
  if (view_->CommitEditor()) view_->OnHScroll(a, hbar_->sliderPosition());
  hbar_->setSliderPosition(view_->GetScrollState().hPos);
}

void CTableWidget::wheelEvent(QWheelEvent* event) {
  const int dy = event->angleDelta().y();
  if (dy != 0 && view_->CommitEditor()) view_->OnMouseWheel(dy);
  event->accept();
}

// ---- painting and size ------------------------------------------------------------------

void CTableWidget::paintEvent(QPaintEvent*) {
  QPainter p(this);
  table_ui::QtCanvas canvas(p);
  view_->OnDraw(canvas);
}

void CTableWidget::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  view_->SetClientSize(width(), height());
  ScrollBarsChanged();
}

void CTableWidget::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  view_->SetClientSize(width(), height());
  ScrollBarsChanged();
}

void CTableWidget::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  dragTimer_.stop();
  QToolTip::hideText();
}

// ---- mouse --------------------------------------------------------------------------------

int CTableWidget::MouseFlags(Qt::MouseButtons buttons, Qt::KeyboardModifiers mods) {
  int f = 0;
  if (buttons & Qt::LeftButton) f |= table::kMouseLeft;
  if (buttons & Qt::RightButton) f |= table::kMouseRight;
  if (buttons & Qt::MiddleButton) f |= table::kMouseMiddle;
  if (mods & Qt::ShiftModifier) f |= table::kMouseShift;
  if (mods & Qt::ControlModifier) f |= table::kMouseCtrl;
  return f;
}

void CTableWidget::StartOrStopDragTimer() {
  if (view_->IsDragging()) {
    if (!dragTimer_.isActive()) dragTimer_.start();
  } else {
    dragTimer_.stop();
  }
}

void CTableWidget::mousePressEvent(QMouseEvent* event) {
  const QPoint pt = event->position().toPoint();
  lastMouse_ = pt;
  const int flags = MouseFlags(event->buttons(), event->modifiers());
  switch (event->button()) {
    case Qt::LeftButton:
      view_->OnLButtonDown(pt.x(), pt.y(), flags);
      StartOrStopDragTimer();
      break;
    case Qt::MiddleButton:
      view_->OnMButtonDown(pt.x(), pt.y(), flags);
      break;
    case Qt::RightButton:
      ShowContextMenu(pt, event->globalPosition().toPoint());
      break;
    default: break;
  }
  event->accept();
}

void CTableWidget::mouseReleaseEvent(QMouseEvent* event) {
  const QPoint pt = event->position().toPoint();
  lastMouse_ = pt;
  if (event->button() == Qt::LeftButton) {
    dragTimer_.stop();
    view_->OnLButtonUp(pt.x(), pt.y(), MouseFlags(event->buttons(), event->modifiers()));
    StartOrStopDragTimer();
  }
  event->accept();
}

void CTableWidget::mouseMoveEvent(QMouseEvent* event) {
  lastMouse_ = event->position().toPoint();
  view_->OnMouseMove(lastMouse_.x(), lastMouse_.y(), MouseFlags(event->buttons(), event->modifiers()));
}

void CTableWidget::OnDragTick() {
  if (!view_->IsDragging()) {
    dragTimer_.stop();
    return;
  }
  view_->OnDragTimer(lastMouse_.x(), lastMouse_.y());
}

void CTableWidget::contextMenuEvent(QContextMenuEvent* event) {
  // The mouse's menu opens on the press; the keyboard's at the current cell.
  if (event->reason() == QContextMenuEvent::Keyboard) {
    table::Rect r = view_->GetCellRect(view_->m_nCurRow, view_->m_nCurCol);
    if (!r.IsEmpty()) {
      QPoint c(r.left + r.Width() / 2, r.top + r.Height() / 2);
      ShowContextMenu(c, mapToGlobal(c));
    }
  }
  event->accept();
}

// ---- keys ---------------------------------------------------------------------------------

int CTableWidget::MapKey(int k) {
  switch (k) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return table::kKeyTab;
    case Qt::Key_Return:
    case Qt::Key_Enter: return table::kKeyEnter;
    case Qt::Key_Escape: return table::kKeyEscape;
    case Qt::Key_Left: return table::kKeyLeft;
    case Qt::Key_Up: return table::kKeyUp;
    case Qt::Key_Right: return table::kKeyRight;
    case Qt::Key_Down: return table::kKeyDown;
    case Qt::Key_Delete: return table::kKeyDelete;
    default: break;
  }
  if (k >= Qt::Key_A && k <= Qt::Key_Z) return 'A' + (k - Qt::Key_A);
  return 0;
}

bool CTableWidget::HandleKey(QKeyEvent* event, bool editorHasFocus) {
  const int key = MapKey(event->key());
  const bool ctrl = event->modifiers() & Qt::ControlModifier;
  if (key && view_->PreTranslateKey(key, ctrl, editorHasFocus)) return true;
  if (editorHasFocus) return false;
  if (key && view_->OnKeyDown(key, ctrl)) return true;
  // A character typed on the grid opens the editor with everything selected and
  // goes into it, so it replaces the text.
  const QString t = event->text();
  if (!ctrl && !(event->modifiers() & Qt::AltModifier) && !t.isEmpty() && t[0].unicode() >= 0x20 &&
      t[0].unicode() != 0x7f) {
    // A key that reaches the grid while its editor is open belongs to the editor.
    const bool open = edit_->isVisible() && edit_->Active() && !edit_->isReadOnly();
    if (open || (view_->BeginEditByTyping() && edit_->isVisible())) {
      if (!edit_->hasFocus()) edit_->setFocus();
      QKeyEvent copy(event->type(), event->key(), event->modifiers(), t, event->isAutoRepeat(), event->count());
      QApplication::sendEvent(edit_, &copy);
      return true;
    }
  }
  return false;
}

void CTableWidget::keyPressEvent(QKeyEvent* event) {
  if (!HandleKey(event, false)) QWidget::keyPressEvent(event);
}

bool CTableWidget::event(QEvent* e) {
  if (e->type() == QEvent::KeyPress) {
    auto* k = static_cast<QKeyEvent*>(e);
    // Tab moves between cells, not between widgets.
    if (k->key() == Qt::Key_Tab || k->key() == Qt::Key_Backtab) {
      keyPressEvent(k);
      return true;
    }
  }
  if (e->type() == QEvent::ShortcutOverride) {
    auto* k = static_cast<QKeyEvent*>(e);
    const int key = MapKey(k->key());
    // The grid's own Ctrl keys and Delete win over the frame's menu shortcuts; the
    // frame keeps the rest (Ctrl+N, Ctrl+O, Ctrl+S, ...).
    static const std::string kGridKeys = "ACDIVXYZ";
    if ((k->modifiers() & Qt::ControlModifier) && key >= 'A' && key <= 'Z' &&
        kGridKeys.find(char(key)) != std::string::npos) {
      e->accept();
      return true;
    }
    if (key == table::kKeyDelete && !(k->modifiers() & Qt::ShiftModifier)) {
      e->accept();
      return true;
    }
  }
  return QWidget::event(e);
}

bool CTableWidget::eventFilter(QObject* watched, QEvent* e) {
  const bool inEditor = watched == edit_ || watched == combo_ || (combo_ && watched == combo_->lineEdit());
  if (!inEditor) return QWidget::eventFilter(watched, e);
  if (e->type() == QEvent::ShortcutOverride) {
    auto* k = static_cast<QKeyEvent*>(e);
    const int key = MapKey(k->key());
    if ((k->modifiers() & Qt::ControlModifier) &&
        (key == 'A' || key == 'D' || key == 'I' || key == 'V' || key == 'Y')) {
      e->accept();
      return true;
    }
  }
  if (e->type() == QEvent::KeyPress) {
    auto* k = static_cast<QKeyEvent*>(e);
    if (HandleKey(k, true)) return true;
  }
  return QWidget::eventFilter(watched, e);
}

void CTableWidget::inputMethodEvent(QInputMethodEvent* event) {
  // Text an input method composes or commits on the grid opens the editor like a
  // typed key (so the composition shows in the cell) and reaches the editor's filter.
  const bool text = !event->commitString().isEmpty() || !event->preeditString().isEmpty();
  if (text && !edit_->isVisible() && view_->BeginEditByTyping() && edit_->isVisible()) {
    QApplication::sendEvent(edit_, event);
    return;
  }
  if (edit_->isVisible()) {
    QApplication::sendEvent(edit_, event);
    return;
  }
  event->accept();
}

QVariant CTableWidget::inputMethodQuery(Qt::InputMethodQuery query) const {
  switch (query) {
    case Qt::ImEnabled: return true;
    case Qt::ImCursorRectangle: {
      table::Rect r = view_->GetCellRect(view_->m_nCurRow, view_->m_nCurCol);
      return r.IsEmpty() ? QRect() : table_ui::ToQRect(r);
    }
    case Qt::ImFont: return g_fontUI;
    default: return QWidget::inputMethodQuery(query);
  }
}
