#include "table/ui/in_place_edit.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QCursor>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

#include "platform/ports.h"
#include "platform/services.h"
#include "table/cell_edit.h"

namespace {
std::string S(const QString& s) { return s.toUtf8().toStdString(); }
QString Q(const std::string& s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }

// Leading blanks do not count for the filter: "the text" is the box's text without them.
QString LeftTrimmed(const QString& s) {
  int i = 0;
  while (i < s.size() && s[i] == QLatin1Char(' ')) ++i;
  return s.mid(i);
}
}  // namespace

// ---- CInPlaceEdit -------------------------------------------------------------

CInPlaceEdit::CInPlaceEdit(QWidget* parent) : QLineEdit(parent) {
  setFrame(false);
  setAlignment(Qt::AlignCenter);
  setAttribute(Qt::WA_InputMethodEnabled, true);
  // Dropped text would pass by the filter.
  setAcceptDrops(false);
  hide();
}

void CInPlaceEdit::mousePressEvent(QMouseEvent* event) {
  // The X11 selection pasted with the middle button goes through the filter too.
  if (event->button() == Qt::MiddleButton) {
    const QClipboard* c = QGuiApplication::clipboard();
    if (c && c->supportsSelection() && !isReadOnly()) {
      setCursorPosition(cursorPositionAt(event->position().toPoint()));
      InsertFiltered(c->text(QClipboard::Selection));
    }
    event->accept();
    return;
  }
  QLineEdit::mousePressEvent(event);
}

void CInPlaceEdit::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::MiddleButton) {
    event->accept();
    return;
  }
  QLineEdit::mouseReleaseEvent(event);
}

void CInPlaceEdit::BeginEdit(int row, int col, const QString& text, int inputType) {
  row_ = row;
  col_ = col;
  inputType_ = inputType;
  cancelled_ = false;
  active_ = !(row == -1 && col == -1);  // (-1, -1) parks the idle box
  startText_ = text;
  if (isReadOnly()) {
    setText(text);
    selectAll();
  } else {
    setText(LeftTrimmed(text));
    PlaceCaret();
  }
}

void CInPlaceEdit::SetReadOnly(bool readOnly) {
  setFocus();
  setReadOnly(readOnly);
}

void CInPlaceEdit::SetCellFont(const QFont& font, int pixelHeight) {
  setFont(font);
  fontHeight_ = std::abs(pixelHeight);
  CentreText();
  update();
}

void CInPlaceEdit::PlaceCaret() {
  QPoint local = mapFromGlobal(QCursor::pos());
  QFontMetrics fm(font());
  const int textWidth = fm.horizontalAdvance(text());
  // Where the text starts inside the box (centred).
  const int left = (width() - textWidth) / 2;
  if (!text().isEmpty() && rect().contains(local) && local.x() >= left && local.x() < left + textWidth) {
    deselect();
    setCursorPosition(cursorPositionAt(local));
  } else {
    selectAll();
  }
}

void CInPlaceEdit::CentreText() {
  // One line centred vertically: QLineEdit centres its line; keep a pixel for the frame.
  setTextMargins(1, 0, 1, 0);
}

bool CInPlaceEdit::AcceptChar(char32_t ch) const {
  const QString before = LeftTrimmed(text());
  // The caret counted in the trimmed text.
  const int lead = text().size() - before.size();
  int caret = std::max(0, cursorPosition() - lead);
  caret = int(before.left(caret).toUcs4().size());
  return table::AcceptsChar(inputType_, S(before), caret, ch);
}

bool CInPlaceEdit::InsertFiltered(const QString& inserted) {
  if (isReadOnly()) {
    platform::Messages().Beep();
    return false;
  }
  const QString before = LeftTrimmed(text());
  const int lead = text().size() - before.size();
  int caret = std::max(0, cursorPosition() - lead);
  caret = int(before.left(caret).toUcs4().size());
  bool refused = false;
  std::string pass = table::FilterInsertedText(inputType_, S(before), caret, S(inserted), &refused);
  if (!pass.empty()) insert(Q(pass));
  if (refused) platform::Messages().Beep();
  return !refused;
}

void CInPlaceEdit::keyPressEvent(QKeyEvent* event) {
  const int key = event->key();
  if (key == Qt::Key_Escape) {
    End(true);
    return;
  }
  if (key == Qt::Key_Return || key == Qt::Key_Enter) {
    End(false);
    return;
  }
  if (event->matches(QKeySequence::Paste)) {  // Shift+Insert and the like
    if (!isReadOnly()) InsertFiltered(Q(platform::Desktop().clipboard->GetText()));
    else platform::Messages().Beep();
    return;
  }
  // With Ctrl held the box's own editing keys apply (copy, cut, undo).
  if (event->modifiers() & Qt::ControlModifier) {
    QLineEdit::keyPressEvent(event);
    return;
  }
  const QString t = event->text();
  if (key == Qt::Key_Backspace || t.isEmpty() || t[0].unicode() < 0x20 || t[0].unicode() == 0x7f) {
    if (isReadOnly() && key == Qt::Key_Backspace) {
      platform::Messages().Beep();
      return;
    }
    QLineEdit::keyPressEvent(event);
    return;
  }
  if (isReadOnly()) {
    platform::Messages().Beep();
    return;
  }
  for (char32_t ch : t.toUcs4()) {
    if (!AcceptChar(ch)) {
      platform::Messages().Beep();
      return;
    }
  }
  QLineEdit::keyPressEvent(event);
}

void CInPlaceEdit::inputMethodEvent(QInputMethodEvent* event) {
  // Text an input method commits goes through the same filter as typed text.
  if (event->commitString().isEmpty() || isReadOnly()) {
    if (isReadOnly() && !event->commitString().isEmpty()) {
      platform::Messages().Beep();
      QInputMethodEvent none(event->preeditString(), event->attributes());
      QLineEdit::inputMethodEvent(&none);
      return;
    }
    QLineEdit::inputMethodEvent(event);
    return;
  }
  const QString before = LeftTrimmed(text());
  const int lead = text().size() - before.size();
  int caret = std::max(0, cursorPosition() - lead);
  if (hasSelectedText()) caret = std::max(0, selectionStart() - lead);
  QString kept = before;
  if (hasSelectedText()) kept.remove(std::max(0, selectionStart() - lead), selectedText().size());
  caret = int(kept.left(caret).toUcs4().size());
  bool refused = false;
  std::string pass = table::FilterInsertedText(inputType_, S(kept), caret, S(event->commitString()), &refused);
  if (refused) platform::Messages().Beep();
  QInputMethodEvent filtered(event->preeditString(), event->attributes());
  filtered.setCommitString(Q(pass), event->replacementStart(), event->replacementLength());
  QLineEdit::inputMethodEvent(&filtered);
}

void CInPlaceEdit::contextMenuEvent(QContextMenuEvent* event) {
  QMenu* menu = createStandardContextMenu();
  // The menu's paste must pass the filter like every other way in.
  for (QAction* a : menu->actions()) {
    if (a->objectName() == QLatin1String("edit-paste")) {
      a->disconnect();
      connect(a, &QAction::triggered, this, [this] { InsertFiltered(Q(platform::Desktop().clipboard->GetText())); });
    }
  }
  menu->exec(event->globalPos());
  delete menu;
}

void CInPlaceEdit::mouseDoubleClickEvent(QMouseEvent* event) {
  QLineEdit::mouseDoubleClickEvent(event);
  selectAll();
}

void CInPlaceEdit::focusOutEvent(QFocusEvent* event) {
  QLineEdit::focusOutEvent(event);
  // The box's own context menu takes the focus for a moment; the edit goes on.
  if (event->reason() == Qt::PopupFocusReason) return;
  if (isVisible() && active_) End(false);
}

QString CInPlaceEdit::FinishedText() const {
  if (cancelled_) return QString();
  return Q(table::FinishEditText(inputType_, S(text()), padDegrees_));
}

void CInPlaceEdit::End(bool cancelled) {
  if (!active_) return;
  if (!cancelled && !isReadOnly() && !table::EditTextAccepted(inputType_, S(text()))) {
    // An angle with 60 minutes or seconds: refused like a refused character, and the
    // box keeps its text (and the focus, when something else was about to take it).
    platform::Messages().Beep();
    if (!hasFocus()) QTimer::singleShot(0, this, [this] {
      if (active_ && isVisible()) setFocus(Qt::OtherFocusReason);
    });
    return;
  }
  active_ = false;
  cancelled_ = cancelled;
  const QString final = FinishedText();
  if (!cancelled) setText(final);
  emit editEnded(row_, col_, final, cancelled);
}

void CInPlaceEdit::paintEvent(QPaintEvent* event) {
  QLineEdit::paintEvent(event);
  QPainter p(this);
  p.setPen(QPen(QColor(255, 0, 0), 1));
  p.setBrush(Qt::NoBrush);
  p.drawRect(rect().adjusted(0, 0, -1, -1));
}

// ---- CInPlaceCombo --------------------------------------------------------------

CInPlaceCombo::CInPlaceCombo(QWidget* parent) : QComboBox(parent) {
  setEditable(true);
  setInsertPolicy(QComboBox::NoInsert);
  setMaxVisibleItems(12);
  if (lineEdit()) {
    lineEdit()->installEventFilter(this);
  }
  connect(this, &QComboBox::editTextChanged, this, &CInPlaceCombo::OnTextEdited);
  hide();
}

void CInPlaceCombo::BeginEdit(int row, int col, const QString& text) {
  row_ = row;
  col_ = col;
  active_ = true;
  setEditText(text);
  if (lineEdit()) {
    lineEdit()->setFocus();
    lineEdit()->selectAll();
  }
}

void CInPlaceCombo::BeginEditWithList(int row, int col, const QString& text, const QStringList& choices) {
  clear();
  addItems(choices);
  setCurrentIndex(-1);
  BeginEdit(row, col, text);
}

void CInPlaceCombo::OnTextEdited(const QString& text) {
  if (!text.contains(QLatin1Char(','))) return;
  platform::Messages().Beep();
  QString t = text;
  t.remove(QLatin1Char(','));
  setEditText(t);
  if (lineEdit()) lineEdit()->setCursorPosition(int(t.size()));
}

QString CInPlaceCombo::FinishedText() const {
  return Q(table::FinishComboText(S(currentText())));
}

void CInPlaceCombo::End() {
  if (!active_) return;
  active_ = false;
  emit editEnded(row_, col_, FinishedText());
}

bool CInPlaceCombo::FocusStillInside() const {
  QWidget* f = QApplication::focusWidget();
  if (!f) return false;
  if (f == this || isAncestorOf(f)) return true;
  return view() && (f == view() || view()->isAncestorOf(f) || f->window() == view()->window());
}

bool CInPlaceCombo::eventFilter(QObject* watched, QEvent* event) {
  if (watched == lineEdit() && event->type() == QEvent::FocusOut) {
    auto* fe = static_cast<QFocusEvent*>(event);
    if (fe->reason() != Qt::PopupFocusReason && isVisible() && active_ && !FocusStillInside()) End();
  }
  return QComboBox::eventFilter(watched, event);
}

void CInPlaceCombo::focusOutEvent(QFocusEvent* event) {
  QComboBox::focusOutEvent(event);
  if (event->reason() == Qt::PopupFocusReason) return;
  if (isVisible() && active_ && !FocusStillInside()) End();
}

void CInPlaceCombo::paintEvent(QPaintEvent* event) {
  QComboBox::paintEvent(event);
  QPainter p(this);
  p.setPen(QPen(QColor(255, 0, 0), 1));
  p.drawRect(rect().adjusted(0, 0, -1, -1));
}
