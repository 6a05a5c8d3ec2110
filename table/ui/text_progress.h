#pragma once
// Progress bar with a centred text that changes colour where the bar ends. Used by
// the update and export dialogs. Positions are kept inside the range. A text wider
// than the bar wraps, and the bar's least height grows to show all of it.
#include <QColor>
#include <QWidget>

class CTextProgressCtrl : public QWidget {
  Q_OBJECT
 public:
  explicit CTextProgressCtrl(QWidget* parent = nullptr);

  // Returns the previous position. Repaints only when the bar's pixel width changes.
  int SetPos(int pos);
  int GetPos() const { return pos_; }
  // Stores the bounds without repainting; the position is kept inside them.
  void SetRange(int lower, int upper);
  int Lower() const { return lower_; }
  int Upper() const { return upper_; }
  // Stores the text and repaints when it differs. "" shows the percentage.
  void SetText(const QString& text);
  QString Text() const { return text_; }
  void SetShowText(bool show);

  // The bar's width in pixels for the present position and width.
  int BarWidth() const;
  // The text drawn now: the text, or "N%" when it is empty.
  QString ShownText() const;

  QColor BarColour() const { return bar_; }
  QColor BackgroundColour() const { return background_; }
  QColor TextOnBackground() const { return textOnBackground_; }
  QColor TextOnBar() const { return textOnBar_; }

  QSize sizeHint() const override;
  bool TextFitsOneLine() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  static constexpr int kTextMargin = 2;
  double Fraction() const;
  int TextWidth() const;
  void FitText();

  int pos_ = 0;
  int upper_ = 100;
  int lower_ = 0;
  QString text_;
  bool showText_ = true;
  int lastBarWidth_ = -1;
  QColor bar_, background_, textOnBackground_, textOnBar_;
};
