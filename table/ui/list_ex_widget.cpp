#include "table/ui/list_ex_widget.h"

#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QTimer>
#include <QToolTip>
#include <QWheelEvent>

#include "platform/gbk.h"
#include "platform/ports.h"
#include "platform/services.h"
#include "table/ui/header_ctrl_ex.h"
#include "table/ui/in_place_edit.h"
#include "table/ui/tips.h"

namespace {

const QColor kWhite(255, 255, 255), kSelected(182, 202, 234), kReadOnly(240, 240, 240), kGrid(192, 192, 192),
    kFrame(49, 106, 198), kRowSelected(0, 63, 144), kOtherSelected(255, 192, 111), kHeaderOther(255, 193, 111);
constexpr int kTipRefreshPixels = 40;

QString Q(const std::string& s) { return QString::fromStdString(s); }

// A raised button face: light top and left, dark bottom and right.
void Raised(QPainter& p, const QRect& r, const QPalette& pal) {
  p.setPen(pal.color(QPalette::Light));
  p.drawLine(r.topLeft(), r.topRight());
  p.drawLine(r.topLeft(), r.bottomLeft());
  p.setPen(pal.color(QPalette::Dark));
  p.drawLine(r.bottomLeft(), r.bottomRight());
  p.drawLine(r.topRight(), r.bottomRight());
}

}  // namespace

CListExWidget::CListExWidget(CListEx* list, QWidget* parent) : QWidget(parent), list_(list) {
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true);
  const int fh = fontMetrics().height();
  rowHeight_ = std::max(20, static_cast<int>(fh * 1.5 + 2));
  headerHeight_ = std::max(24, static_cast<int>(fh * 1.5 + 6));

  headerModel_ = new QStandardItemModel(0, 0, this);
  header_ = new CHeaderCtrlEx(Qt::Horizontal, this);
  header_->setModel(headerModel_);
  header_->SetHeight(headerHeight_);
  header_->setSectionsClickable(true);
  header_->setSectionResizeMode(QHeaderView::Interactive);
  header_->setStretchLastSection(false);
  header_->setContextMenuPolicy(Qt::CustomContextMenu);
  header_->SetItemPainter([this](QPainter* p, const QRect& r, int col) { PaintHeaderItem(p, r, col); });
  connect(header_, &QHeaderView::sectionResized, this, [this](int col, int, int size) {
    if (col >= 0 && col < static_cast<int>(widths_.size())) widths_[static_cast<std::size_t>(col)] = size;
    update();
  });
  connect(header_, &QHeaderView::sectionPressed, this, [this](int col) {
    list_->Select(-1, col, Flags(QGuiApplication::keyboardModifiers()));
    setFocus();
    update();
    header_->viewport()->update();
  });
  connect(header_, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
    ExecMenu(HeaderMenu(header_->logicalIndexAt(pos)), header_->mapToGlobal(pos));
  });

  vbar_ = new QScrollBar(Qt::Vertical, this);
  vbar_->hide();
  connect(vbar_, &QScrollBar::valueChanged, this, [this](int v) {
    topRow_ = v;
    update();
  });
  hbar_ = new QScrollBar(Qt::Horizontal, this);
  hbar_->hide();
  connect(hbar_, &QScrollBar::valueChanged, this, [this](int v) {
    leftX_ = v;
    header_->setOffset(leftX_);
    update();
  });
  dragTimer_ = new QTimer(this);
  dragTimer_->setInterval(50);
  connect(dragTimer_, &QTimer::timeout, this, &CListExWidget::OnDragTick);

  edit_ = new CInPlaceEdit(this);
  edit_->SetPadDegrees(false);
  edit_->hide();
  connect(edit_, &CInPlaceEdit::editEnded, this, [this](int, int, const QString& text, bool) {
    list_->EndEdit(text.toStdString());
    edit_->hide();
    setFocus();
    SyncRows();
    update();
  });
  list_->beep = [] { platform::Messages().Beep(); };
  list_->SetListener([this](int code, const std::vector<int>& rows, int moved) {
    if (code == CListEx::kCurrentMoved) EnsureVisible(list_->CurrentRow());
    if (code == CListEx::kContentsChanged) FitContent();
    emit listNotify(code, QList<int>(rows.begin(), rows.end()), moved);
  });
}

int CListExWidget::Flags(Qt::KeyboardModifiers m) const {
  int flags = 0;
  if (m & Qt::ShiftModifier) flags |= CListEx::kShift;
  if (m & Qt::ControlModifier) flags |= CListEx::kCtrl;
  return flags;
}

void CListExWidget::AutoSizeColumns() {
  const int n = list_->GetColumnCount();
  widths_.assign(static_cast<std::size_t>(n), 70);
  if (n >= 2) {
    int sum = 0;
    for (int c = 0; c < n; ++c) sum += list_->Column(c).width;
    const double factor = std::min(2.0, sum > 0 ? (width() - 20.0) / sum : 1.0);
    const int fh = fontMetrics().height();
    for (int c = 0; c < n; ++c) {
      const int caption = platform::GbkWidth(list_->Column(c).heading) * fh / 2 + 6;
      widths_[static_cast<std::size_t>(c)] =
          std::max({caption, static_cast<int>(list_->Column(c).width * factor + 0.5), ContentWidth(c)});
    }
  }
  SyncHeader();
  SyncRows();
  update();
}

void CListExWidget::SyncHeader() {
  const int n = list_->GetColumnCount();
  if (headerModel_->columnCount() != n) headerModel_->setColumnCount(n);
  for (int c = 0; c < n; ++c)
    headerModel_->setHeaderData(c, Qt::Horizontal, Q(list_->Column(c).heading));
  const QSignalBlocker block(header_);
  for (int c = 0; c < n && c < static_cast<int>(widths_.size()); ++c)
    header_->resizeSection(c, widths_[static_cast<std::size_t>(c)]);
  header_->viewport()->update();
}

int CListExWidget::ContentWidth(int col) const {
  // The widest text of the column, with the 2-pixel insets and a little air, so that
  // "-2267800.123" is not cut to "-2267800.12".
  int w = 0;
  for (int r = 0; r < list_->GetItemCount(); ++r)
    w = std::max(w, fontMetrics().horizontalAdvance(Q(list_->GetItemText(r, col))));
  return w > 0 ? w + 8 : 0;
}

void CListExWidget::FitContent() {
  bool grown = false;
  for (int c = 0; c < list_->GetColumnCount() && c < static_cast<int>(widths_.size()); ++c) {
    const int need = ContentWidth(c);
    if (need > widths_[static_cast<std::size_t>(c)]) {
      widths_[static_cast<std::size_t>(c)] = need;
      grown = true;
    }
  }
  if (!grown) return;
  SyncHeader();
  SyncRows();
}

int CListExWidget::TotalWidth() const {
  int w = 0;
  for (int x : widths_) w += x;
  return w;
}

int CListExWidget::ViewWidth() const { return std::max(0, width() - (needV_ ? vbar_->sizeHint().width() : 0)); }

int CListExWidget::VisibleRows() const {
  const int bar = needH_ ? hbar_->sizeHint().height() : 0;
  return std::max(1, (height() - headerHeight_ - bar) / rowHeight_);
}

void CListExWidget::SyncRows() {
  // Each bar can make the other necessary: settle them in two passes.
  needH_ = needV_ = false;
  for (int pass = 0; pass < 2; ++pass) {
    needH_ = TotalWidth() > ViewWidth();
    needV_ = list_->GetItemCount() > VisibleRows();
  }
  needH_ = TotalWidth() > ViewWidth();
  const int extra = std::max(0, list_->GetItemCount() - VisibleRows());
  {
    const QSignalBlocker block(vbar_);
    vbar_->setRange(0, extra);
    vbar_->setPageStep(VisibleRows());
    vbar_->setVisible(needV_);
    topRow_ = std::clamp(topRow_, 0, extra);
    vbar_->setValue(topRow_);
  }
  const int wide = std::max(0, TotalWidth() - ViewWidth());
  {
    const QSignalBlocker block(hbar_);
    hbar_->setRange(0, wide);
    hbar_->setPageStep(std::max(1, ViewWidth()));
    hbar_->setSingleStep(20);
    hbar_->setVisible(needH_);
    leftX_ = std::clamp(leftX_, 0, wide);
    hbar_->setValue(leftX_);
  }
  const int vw = needV_ ? vbar_->sizeHint().width() : 0;
  const int hh = needH_ ? hbar_->sizeHint().height() : 0;
  vbar_->setGeometry(width() - vw, headerHeight_, vw, std::max(0, height() - headerHeight_ - hh));
  hbar_->setGeometry(0, height() - hh, ViewWidth(), hh);
  header_->setGeometry(0, 0, ViewWidth(), headerHeight_);
  header_->setOffset(leftX_);
}

void CListExWidget::EnsureVisible(int row) {
  if (row < 0) return;
  if (row < topRow_) topRow_ = row;
  else if (row >= topRow_ + VisibleRows()) topRow_ = row - VisibleRows() + 1;
  // The current cell's column comes into view as well.
  const int col = list_->CurrentCol();
  if (col >= 0 && col < static_cast<int>(widths_.size())) {
    int x = 0;
    for (int c = 0; c < col; ++c) x += widths_[static_cast<std::size_t>(c)];
    const int w = widths_[static_cast<std::size_t>(col)];
    if (x < leftX_) leftX_ = x;
    else if (x + w > leftX_ + ViewWidth()) leftX_ = std::min(x, x + w - ViewWidth());
  }
  SyncRows();
  update();
}

void CListExWidget::resizeEvent(QResizeEvent*) { AutoSizeColumns(); }

QRect CListExWidget::CellRect(int row, int col) const {
  int x = 0;
  for (int c = 0; c < col && c < static_cast<int>(widths_.size()); ++c) x += widths_[static_cast<std::size_t>(c)];
  const int w = col < static_cast<int>(widths_.size()) ? widths_[static_cast<std::size_t>(col)] : 70;
  return QRect(x - leftX_, headerHeight_ + (row - topRow_) * rowHeight_, w, rowHeight_);
}

bool CListExWidget::HitTest(const QPoint& p, int* row, int* col) const {
  *row = p.y() < headerHeight_ ? -1 : topRow_ + (p.y() - headerHeight_) / rowHeight_;
  int x = -leftX_;
  *col = -1;
  for (int c = 0; c < static_cast<int>(widths_.size()); ++c) {
    x += widths_[static_cast<std::size_t>(c)];
    if (p.x() < x) {
      *col = c;
      break;
    }
  }
  return *col >= 0 && *row >= 0 && *row < list_->GetItemCount();
}

void CListExWidget::PaintHeaderItem(QPainter* p, const QRect& r, int col) const {
  const bool sel = list_->IsColumnSelected(col);
  const bool columnMode = list_->SelectionMode() == CListEx::kColumns;
  p->fillRect(r, !sel ? palette().color(QPalette::Button) : columnMode ? kRowSelected : kHeaderOther);
  Raised(*p, r.adjusted(0, 0, -1, -1), palette());
  p->setPen(sel && columnMode ? kWhite : Qt::black);
  if (col >= 0 && col < list_->GetColumnCount()) p->drawText(r, Qt::AlignCenter, Q(list_->Column(col).heading));
}

void CListExWidget::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const QColor face = palette().color(QPalette::Button);
  p.fillRect(rect(), kWhite);
  const int cols = list_->GetColumnCount();
  const int last = std::min(list_->GetItemCount(), topRow_ + VisibleRows() + 1);
  const bool rowMode = list_->SelectionMode() == CListEx::kRows;
  for (int row = topRow_; row < last; ++row) {
    for (int c = 0; c < cols; ++c) {
      const QRect r = CellRect(row, c);
      const bool current = row == list_->CurrentRow() && c == list_->CurrentCol();
      QColor fill = list_->IsEditable(c) ? kWhite : kReadOnly;
      QColor text = Qt::black;
      if (c == 0) {
        const bool sel = list_->IsRowSelected(row);
        fill = !sel ? face : rowMode ? kRowSelected : kOtherSelected;
        if (sel && rowMode) text = kWhite;
      } else if (current) {
        fill = kWhite;
      } else if (list_->IsSelected(row, c)) {
        fill = kSelected;
      }
      p.fillRect(r, fill);
      if (c == 0) Raised(p, r.adjusted(0, 0, -1, -1), palette());
      p.setPen(text);
      // The row header shows the row number where the list leaves it empty.
      QString s = Q(list_->GetItemText(row, c));
      if (c == 0 && s.isEmpty()) s = QString::number(row + 1);
      p.drawText(r.adjusted(2, 0, -2, 0), Qt::AlignLeft | Qt::AlignVCenter, s);
      if (c > 0) {
        p.setPen(kGrid);
        p.drawLine(r.topRight(), r.bottomRight());
        p.drawLine(r.bottomLeft(), r.bottomRight());
      }
    }
  }
  // The selected rectangle, or the current cell when it is selected.
  int r0, c0, r1, c1;
  QRect frame;
  if (list_->SelectionMode() == CListEx::kRect && list_->SelectionBounds(&r0, &c0, &r1, &c1))
    frame = CellRect(r0, c0).united(CellRect(r1, c1));
  else if (list_->CurrentRow() >= 0 && list_->CurrentCol() >= 1 &&
           list_->IsSelected(list_->CurrentRow(), list_->CurrentCol()))
    frame = CellRect(list_->CurrentRow(), list_->CurrentCol());
  if (!frame.isNull()) {
    p.setPen(QPen(kFrame, 2));
    p.drawRect(frame.adjusted(1, 1, -1, -1));
  }
}

void CListExWidget::OpenEditor() {
  if (edit_->isVisible() || !list_->BeginEdit()) return;
  SyncRows();
  const int r = list_->CurrentRow(), c = list_->CurrentCol();
  EnsureVisible(r);
  const int type = list_->Column(c).type;
  if (type == 8 || type == 9) {
    OpenCombo(r, c, type);
    return;
  }
  edit_->setGeometry(CellRect(r, c));
  edit_->show();
  edit_->BeginEdit(r, c, Q(list_->GetItemText(r, c)), list_->Column(c).type);
  edit_->setFocus();
  update();
}

void CListExWidget::OpenCombo(int r, int c, int type) {
  // Made anew for each edit: an editable drop-down (8) or a list to pick from (9),
  // dropping down some 400 pixels.
  if (combo_) combo_->deleteLater();
  combo_ = new CInPlaceCombo(this);
  combo_->setEditable(type == 8);
  QStringList choices;
  for (const std::string& ch : list_->Column(c).choices) choices << Q(ch);
  combo_->addItems(choices);
  combo_->setMaxVisibleItems(std::max(1, 400 / std::max(1, rowHeight_)));
  const QString text = Q(list_->GetItemText(r, c));
  combo_->setCurrentIndex(combo_->findText(text));
  combo_->installEventFilter(this);
  if (combo_->lineEdit()) combo_->lineEdit()->installEventFilter(this);
  CInPlaceCombo* combo = combo_;
  connect(combo, &CInPlaceCombo::editEnded, this, [this, combo](int, int, const QString& t) {
    list_->EndEdit(t.toStdString());
    combo->hide();
    combo->deleteLater();
    if (combo_ == combo) combo_ = nullptr;
    setFocus();
    SyncRows();
    update();
  });
  // Picking an entry ends the edit, as the list's own drop-down does.
  connect(combo, qOverload<int>(&QComboBox::activated), combo, [combo](int) { combo->End(); });
  combo->setGeometry(CellRect(r, c));
  combo->show();
  combo->BeginEdit(r, c, text);
  combo->setFocus();
  update();
}

bool CListExWidget::eventFilter(QObject* watched, QEvent* event) {
  if (combo_ && (watched == combo_ || watched == combo_->lineEdit()) && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    // Enter and Esc end the edit with the text shown: the drop-down never cancels.
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) {
      combo_->End();
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

void CListExWidget::mousePressEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) return;
  int row, col;
  if (!HitTest(e->position().toPoint(), &row, &col)) return;
  const int flags = Flags(e->modifiers());
  pressedCurrent_ = flags == 0 && row == list_->CurrentRow() && col == list_->CurrentCol();
  list_->Select(row, col, flags);
  dragging_ = true;
  dragPos_ = e->position().toPoint();
  dragTimer_->start();
  update();
  header_->viewport()->update();
}

void CListExWidget::mouseMoveEvent(QMouseEvent* e) {
  const QPoint pos = e->position().toPoint();
  if (!(dragging_ && (e->buttons() & Qt::LeftButton))) {
    UpdateTip(pos);
    return;
  }
  dragPos_ = pos;
  int row, col;
  HitTest(pos, &row, &col);
  row = std::clamp(row, 0, list_->GetItemCount() - 1);
  if (col < 0) col = list_->GetColumnCount() - 1;
  // A drag from the row header extends the rows, from a cell the rectangle.
  if (list_->SelectionMode() == CListEx::kRows) col = 0;
  else col = std::max(1, col);
  if (row >= topRow_ && row < topRow_ + VisibleRows()) {
    pressedCurrent_ = false;
    list_->Select(row, col, CListEx::kShift);
    update();
    header_->viewport()->update();
  }
}

void CListExWidget::OnDragTick() {
  if (!dragging_) {
    dragTimer_->stop();
    return;
  }
  if (needH_ && (dragPos_.x() < 0 || dragPos_.x() > ViewWidth())) {
    hbar_->setValue(hbar_->value() + (dragPos_.x() < 0 ? -20 : 20));
    update();
  }
  int edge = -1;
  if (dragPos_.y() < headerHeight_ && topRow_ > 0) edge = --topRow_;
  else if (dragPos_.y() > height() && topRow_ + VisibleRows() < list_->GetItemCount())
    edge = ++topRow_ + VisibleRows() - 1;
  if (edge < 0) return;
  SyncRows();
  int row, col;
  HitTest(QPoint(std::clamp(dragPos_.x(), 0, width() - 1), headerHeight_), &row, &col);
  const int c = list_->SelectionMode() == CListEx::kRows ? 0 : std::max(1, col);
  pressedCurrent_ = false;
  list_->Select(std::min(edge, list_->GetItemCount() - 1), c, CListEx::kShift);
  update();
}

void CListExWidget::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) return;
  dragging_ = false;
  dragTimer_->stop();
  if (pressedCurrent_) OpenEditor();
  pressedCurrent_ = false;
}

void CListExWidget::mouseDoubleClickEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton) OpenEditor();
}

void CListExWidget::UpdateTip(const QPoint& pos) {
  int row, col;
  if (!HitTest(pos, &row, &col)) row = col = -1;
  if (row == tipRow_ && col == tipCol_ && std::abs(pos.y() - tipY_) <= kTipRefreshPixels) return;
  tipRow_ = row;
  tipCol_ = col;
  tipY_ = pos.y();
  tip_ = Q(list_->TipAt(row, col));
  if (tip_.isEmpty()) {
    QToolTip::hideText();
    return;
  }
  tips::Show(this, mapToGlobal(pos) + QPoint(12, 18), tip_);
}

void CListExWidget::leaveEvent(QEvent*) {
  tipRow_ = tipCol_ = -2;
  QToolTip::hideText();
}

QMenu* CListExWidget::MenuOf(const std::vector<table::MenuItem>& items) {
  auto* menu = new QMenu(this);
  for (const table::MenuItem& it : items) {
    QAction* a = menu->addAction(Q(it.text));
    a->setData(it.id);
    a->setEnabled(!it.grayed);
  }
  return menu;
}

QMenu* CListExWidget::CellMenu(int row, int col) {
  const bool canPaste = !platform::Desktop().clipboard->GetText().empty();
  QMenu* menu = MenuOf(list_->OnRButtonDown(row, col, canPaste));
  update();
  return menu;
}

QMenu* CListExWidget::HeaderMenu(int col) {
  const bool canPaste = !platform::Desktop().clipboard->GetText().empty();
  QMenu* menu = MenuOf(list_->OnHeaderRButtonDown(col, canPaste));
  update();
  header_->viewport()->update();
  return menu;
}

void CListExWidget::ExecMenu(QMenu* menu, const QPoint& global) {
  QAction* chosen = menu->exec(global);
  const int id = chosen ? chosen->data().toInt() : 0;
  delete menu;
  if (id) RunCommand(id);
}

void CListExWidget::contextMenuEvent(QContextMenuEvent* e) {
  if (edit_->isVisible()) return;
  int row = list_->CurrentRow(), col = list_->CurrentCol();
  QPoint at = e->pos();
  if (e->reason() == QContextMenuEvent::Keyboard) {
    if (row < 0) return;
    at = CellRect(row, std::max(0, col)).center();
  } else if (!HitTest(e->pos(), &row, &col)) {
    return;
  }
  ExecMenu(CellMenu(row, col), mapToGlobal(at));
}

void CListExWidget::RunCommand(int id) {
  platform::IClipboard* clip = platform::Desktop().clipboard;
  std::string out;
  const bool toClipboard = id == table::ID_CUT || id == table::ID_COPY;
  const std::string in = id == table::ID_PASTE ? clip->GetText() : std::string();
  const bool done =
      list_->OnCommand(id, &out, in, [](const std::string& q) { return platform::Messages().AskYesNo(q); });
  if (done && toClipboard) clip->SetText(out);
  SyncRows();
  EnsureVisible(list_->CurrentRow());
  update();
  header_->viewport()->update();
}

void CListExWidget::Move(int dRow, int dCol) {
  int r = std::max(0, list_->CurrentRow()), c = std::max(1, list_->CurrentCol());
  c += dCol;
  if (c >= list_->GetColumnCount()) {
    c = 1;
    ++r;
  }
  if (c < 1) c = 1;
  r = std::clamp(r + dRow, 0, list_->GetItemCount() - 1);
  list_->Select(r, c, 0);
  update();
}

bool CListExWidget::StepEditableCell(int dir) {
  const int rows = list_->GetItemCount(), cols = list_->GetColumnCount();
  int r = std::max(0, list_->CurrentRow()), c = std::max(1, list_->CurrentCol());
  for (int steps = 0; steps < rows * cols; ++steps) {
    c += dir;
    if (c >= cols) {
      c = 1;
      if (++r >= rows) return false;
    } else if (c < 1) {
      c = cols - 1;
      if (--r < 0) return false;
    }
    if (list_->IsEditable(c)) {
      list_->Select(r, c, 0);
      update();
      header_->viewport()->update();
      return true;
    }
  }
  return false;
}

bool CListExWidget::focusNextPrevChild(bool next) {
  // Tab and Shift+Tab walk the editable cells as Enter does, ending an open edit
  // first (the editor hands Tab up to the list); only past the last cell (the
  // first, backwards) does the focus leave the list.
  if (list_->IsEditing()) {
    if (combo_ && combo_->Active()) combo_->End();
    else if (edit_->Active()) edit_->End(false);
    if (list_->IsEditing()) return true;  // refused text: the editor stays
  }
  if (list_->GetItemCount() == 0 || !StepEditableCell(next ? 1 : -1)) return QWidget::focusNextPrevChild(next);
  setFocus(Qt::TabFocusReason);
  return true;
}

void CListExWidget::wheelEvent(QWheelEvent* e) {
  if (e->angleDelta().x() != 0 && needH_) hbar_->setValue(hbar_->value() - e->angleDelta().x() / 4);
  const int steps = e->angleDelta().y() / 40;
  if (steps == 0 || !needV_) return;
  vbar_->setValue(vbar_->value() - steps);
}

void CListExWidget::keyPressEvent(QKeyEvent* e) {
  if (e->modifiers() & Qt::ControlModifier) {
    int id = 0;
    switch (e->key()) {
      case Qt::Key_A:
        list_->Select(-1, 0, 0);
        update();
        header_->viewport()->update();
        return;
      case Qt::Key_C: id = table::ID_COPY; break;
      case Qt::Key_X: id = table::ID_CUT; break;
      case Qt::Key_V: id = table::ID_PASTE; break;
      case Qt::Key_Z: id = table::ID_UNDO; break;
      case Qt::Key_Y: id = table::ID_REDO; break;
      case Qt::Key_I: id = table::ID_INSERT_ROW; break;
      case Qt::Key_D: id = table::ID_DELETE_ROW; break;
      default: QWidget::keyPressEvent(e); return;
    }
    RunCommand(id);
    return;
  }
  switch (e->key()) {
    case Qt::Key_Delete: RunCommand(table::ID_CLEAR); return;
    case Qt::Key_Left: Move(0, -1); break;
    case Qt::Key_Right: Move(0, 1); break;
    case Qt::Key_Up: Move(-1, 0); break;
    case Qt::Key_Down: Move(1, 0); break;
    case Qt::Key_Return:
    case Qt::Key_Enter: StepEditableCell(1); break;
    default:
      if (!e->text().isEmpty() && e->text()[0].isPrint()) {
        OpenEditor();
        if (combo_ && combo_->Active()) {
          if (combo_->lineEdit()) combo_->lineEdit()->setText(e->text());
        } else if (edit_->isVisible()) {
          edit_->setText(QString());
          edit_->InsertFiltered(e->text());
        }
        return;
      }
      QWidget::keyPressEvent(e);
      return;
  }
  header_->viewport()->update();
}
