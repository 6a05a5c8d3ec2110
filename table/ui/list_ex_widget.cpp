#include "table/ui/list_ex_widget.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "platform/gbk.h"
#include "platform/ports.h"
#include "table/ui/in_place_edit.h"

namespace {

const QColor kWhite(255, 255, 255), kSelected(182, 202, 234), kReadOnly(240, 240, 240), kGrid(192, 192, 192),
    kFrame(49, 106, 198), kRowSelected(0, 63, 144), kOtherSelected(255, 192, 111);

}  // namespace

CListExWidget::CListExWidget(CListEx* list, QWidget* parent) : QWidget(parent), list_(list) {
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
  edit_ = new CInPlaceEdit(this);
  edit_->SetPadDegrees(false);
  edit_->hide();
  connect(edit_, &CInPlaceEdit::editEnded, this, [this](int, int, const QString& text, bool) {
    list_->EndEdit(text.toStdString());
    edit_->hide();
    setFocus();
    update();
  });
  list_->beep = [] { platform::Messages().Beep(); };
  const int fh = fontMetrics().height();
  rowHeight_ = static_cast<int>(fh * 1.5 + 2);
  headerHeight_ = std::max(24, static_cast<int>(fh * 1.5 + 6));
}

void CListExWidget::AutoSizeColumns() {
  const int n = list_->GetColumnCount();
  widths_.assign(static_cast<std::size_t>(n), 70);
  if (n < 2) return;
  int sum = 0;
  for (int c = 0; c < n; ++c) sum += list_->Column(c).width;
  const double factor = std::min(2.0, sum > 0 ? (width() - 20.0) / sum : 1.0);
  const int fh = fontMetrics().height();
  for (int c = 0; c < n; ++c) {
    const int caption = platform::GbkWidth(list_->Column(c).heading) * fh / 2 + 6;
    widths_[static_cast<std::size_t>(c)] = std::max(caption, static_cast<int>(list_->Column(c).width * factor + 0.5));
  }
  update();
}

void CListExWidget::resizeEvent(QResizeEvent*) { AutoSizeColumns(); }

QRect CListExWidget::CellRect(int row, int col) const {
  int x = 0;
  for (int c = 0; c < col && c < static_cast<int>(widths_.size()); ++c) x += widths_[static_cast<std::size_t>(c)];
  const int w = col < static_cast<int>(widths_.size()) ? widths_[static_cast<std::size_t>(col)] : 70;
  return QRect(x, headerHeight_ + row * rowHeight_, w, rowHeight_);
}

bool CListExWidget::HitTest(const QPoint& p, int* row, int* col) const {
  *row = p.y() < headerHeight_ ? -1 : (p.y() - headerHeight_) / rowHeight_;
  int x = 0;
  *col = -1;
  for (int c = 0; c < static_cast<int>(widths_.size()); ++c) {
    x += widths_[static_cast<std::size_t>(c)];
    if (p.x() < x) {
      *col = c;
      break;
    }
  }
  return *col >= 0 && *row < list_->GetItemCount();
}

void CListExWidget::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const QColor face = palette().color(QPalette::Button);
  p.fillRect(rect(), kWhite);
  const int cols = list_->GetColumnCount();
  for (int c = 0; c < cols; ++c) {
    QRect r = CellRect(0, c);
    r.moveTop(0);
    r.setHeight(headerHeight_);
    bool colSelected = list_->SelectionMode() == CListEx::kColumns && list_->IsSelected(0, c);
    p.fillRect(r, colSelected ? kRowSelected : face);
    p.setPen(colSelected ? kWhite : Qt::black);
    p.drawText(r, Qt::AlignCenter, QString::fromStdString(list_->Column(c).heading));
    p.setPen(kGrid);
    p.drawRect(r.adjusted(0, 0, -1, -1));
  }
  for (int row = 0; row < list_->GetItemCount(); ++row) {
    for (int c = 0; c < cols; ++c) {
      const QRect r = CellRect(row, c);
      QColor fill = list_->IsEditable(c) ? kWhite : kReadOnly;
      QColor text = Qt::black;
      if (c == 0) {
        const bool sel = list_->IsSelected(row, 1);
        fill = !sel ? face : list_->SelectionMode() == CListEx::kRows ? kRowSelected : kOtherSelected;
        if (sel && list_->SelectionMode() == CListEx::kRows) text = kWhite;
      } else if (list_->IsSelected(row, c) && !(row == list_->CurrentRow() && c == list_->CurrentCol())) {
        fill = kSelected;
      } else if (row == list_->CurrentRow() && c == list_->CurrentCol()) {
        fill = kWhite;
      }
      p.fillRect(r, fill);
      p.setPen(text);
      // The row header shows the row number where the list leaves it empty.
      QString s = QString::fromStdString(list_->GetItemText(row, c));
      if (c == 0 && s.isEmpty()) s = QString::number(row + 1);
      p.drawText(r.adjusted(2, 0, -2, 0), Qt::AlignLeft | Qt::AlignVCenter, s);
      p.setPen(kGrid);
      p.drawRect(r.adjusted(0, 0, -1, -1));
    }
  }
  if (list_->CurrentRow() >= 0 && list_->CurrentCol() >= 1) {
    p.setPen(QPen(kFrame, 2));
    p.drawRect(CellRect(list_->CurrentRow(), list_->CurrentCol()).adjusted(1, 1, -1, -1));
  }
}

void CListExWidget::OpenEditor() {
  if (!list_->BeginEdit()) return;
  const int r = list_->CurrentRow(), c = list_->CurrentCol();
  edit_->setGeometry(CellRect(r, c));
  edit_->show();
  edit_->BeginEdit(r, c, QString::fromStdString(list_->GetItemText(r, c)), list_->Column(c).type);
  edit_->setFocus();
  update();
}

void CListExWidget::mousePressEvent(QMouseEvent* e) {
  int row, col;
  if (!HitTest(e->position().toPoint(), &row, &col)) return;
  int flags = 0;
  if (e->modifiers() & Qt::ShiftModifier) flags |= CListEx::kShift;
  if (e->modifiers() & Qt::ControlModifier) flags |= CListEx::kCtrl;
  pressedCurrent_ = flags == 0 && row == list_->CurrentRow() && col == list_->CurrentCol();
  list_->Select(row, col, flags);
  update();
}

void CListExWidget::mouseReleaseEvent(QMouseEvent*) {
  if (pressedCurrent_) OpenEditor();
  pressedCurrent_ = false;
}

void CListExWidget::mouseDoubleClickEvent(QMouseEvent*) { OpenEditor(); }

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

void CListExWidget::keyPressEvent(QKeyEvent* e) {
  const bool ctrl = e->modifiers() & Qt::ControlModifier;
  QClipboard* clip = QApplication::clipboard();
  if (ctrl) {
    switch (e->key()) {
      case Qt::Key_A: list_->Select(-1, 0, 0); break;
      case Qt::Key_C: clip->setText(QString::fromStdString(list_->CopyText())); break;
      case Qt::Key_X: clip->setText(QString::fromStdString(list_->Cut())); break;
      case Qt::Key_V:
        list_->Paste(clip->text().toStdString(), [](const std::string& q) { return platform::Messages().AskYesNo(q); });
        break;
      case Qt::Key_Z: list_->Undo(); break;
      case Qt::Key_Y: list_->Redo(); break;
      case Qt::Key_I: list_->InsertRowCommand(); break;
      case Qt::Key_D: list_->DeleteRowCommand(); break;
      default: QWidget::keyPressEvent(e); return;
    }
    update();
    return;
  }
  switch (e->key()) {
    case Qt::Key_Delete: list_->Clear(); break;
    case Qt::Key_Left: Move(0, -1); break;
    case Qt::Key_Right: Move(0, 1); break;
    case Qt::Key_Up: Move(-1, 0); break;
    case Qt::Key_Down: Move(1, 0); break;
    case Qt::Key_Return:
    case Qt::Key_Enter: Move(0, 1); break;
    default:
      if (!e->text().isEmpty() && e->text()[0].isPrint()) {
        OpenEditor();
        if (edit_->isVisible()) {
          edit_->setText(QString());
          edit_->InsertFiltered(e->text());
        }
        return;
      }
      QWidget::keyPressEvent(e);
      return;
  }
  update();
}
