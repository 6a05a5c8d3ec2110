#pragma once
// The in-place editors laid over a cell, the title or a header item. The edit box
// filters every character that reaches it, typed, pasted or committed by an input
// method, by the column's input type; the combo box never lets a comma in. Both
// report the end of the edit once, on losing the focus (or Esc / Enter in the box).
#include <QComboBox>
#include <QLineEdit>

class CInPlaceEdit : public QLineEdit {
  Q_OBJECT
 public:
  explicit CInPlaceEdit(QWidget* parent = nullptr);

  static constexpr int kControlId = 100;

  // Starts an edit of (row, col): a read-only box shows the text all selected;
  // otherwise leading blanks go, and the caret goes under the mouse pointer (all
  // selected when the pointer is over no character).
  void BeginEdit(int row, int col, const QString& text, int inputType);
  void SetReadOnly(bool readOnly);
  // The font of the box; its height centres one line vertically.
  void SetCellFont(const QFont& font, int pixelHeight);
  // Degrees as "%3d" (the grid) or "%d" (the editable list).
  void SetPadDegrees(bool pad) { padDegrees_ = pad; }

  int Row() const { return row_; }
  int Col() const { return col_; }
  int InputType() const { return inputType_; }
  bool Cancelled() const { return cancelled_; }
  bool Active() const { return active_; }
  // The final text: trimmed, full-width "｜；％" folded, angles normalised; "" if cancelled.
  QString FinishedText() const;
  // Ends the edit now (as on focus-out); emits editEnded once.
  void End(bool cancelled);
  // Puts text in at the caret through the filter (paste, input method); false and a
  // beep when anything was refused.
  bool InsertFiltered(const QString& text);

 signals:
  // row, col, final text (empty when cancelled), cancelled
  void editEnded(int row, int col, const QString& text, bool cancelled);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void inputMethodEvent(QInputMethodEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void PlaceCaret();
  void CentreText();
  bool AcceptChar(char32_t ch) const;

  int row_ = -1, col_ = -1;
  int inputType_ = 7;
  bool cancelled_ = false;
  bool active_ = false;
  bool padDegrees_ = true;
  int fontHeight_ = 12;
  QString startText_;
};

class CInPlaceCombo : public QComboBox {
  Q_OBJECT
 public:
  explicit CInPlaceCombo(QWidget* parent = nullptr);

  static constexpr int kControlId = 101;

  void BeginEdit(int row, int col, const QString& text);
  void BeginEditWithList(int row, int col, const QString& text, const QStringList& choices);
  int Row() const { return row_; }
  int Col() const { return col_; }
  bool Active() const { return active_; }
  // Trimmed, without commas.
  QString FinishedText() const;
  void End();

 signals:
  void editEnded(int row, int col, const QString& text);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void OnTextEdited(const QString& text);
  bool FocusStillInside() const;

  int row_ = -1, col_ = -1;
  bool active_ = false;
};
