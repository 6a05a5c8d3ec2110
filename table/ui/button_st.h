#pragma once
// Flat push button of the grids' and the drawing's button bars: an icon and an
// optional caption, lit while the mouse is over it, with a hand cursor. Icon size and
// caption font follow the interface scale (g_fontUI, g_nCharHeight).
#include <QColor>
#include <QIcon>
#include <QPushButton>

class CButtonST : public QPushButton {
  Q_OBJECT
 public:
  explicit CButtonST(const QString& caption = QString(), QWidget* parent = nullptr);

  // The icon in use comes from this one icon at 16, 24, 32 or 48 pixels by the scale.
  void SetIcon(const QIcon& icon, int width = 16, int height = 16);
  // 0 icon left of the caption, 1 icon above it, other values icon at the top-left.
  void SetAlign(int align);
  void SetShowText(bool show);
  void SetFlat(bool flat);
  void SetDrawBorder(bool border);
  void SetFlatFocus(bool focus);

  // Each resets its colour to the default; repaint asks for a repaint.
  void SetActiveBgColor(bool repaint = true);
  void SetActiveFgColor(bool repaint = true);
  void SetInactiveBgColor(bool repaint = true);
  void SetInactiveFgColor(bool repaint = true);

  bool IsHovered() const { return hovered_; }
  int IconWidth() const { return iconW_; }
  int IconHeight() const { return iconH_; }
  QColor ActiveBgColor() const { return activeBg_; }
  QColor InactiveBgColor() const { return inactiveBg_; }

  // Icon size for a character height: 48, 32, 24 or 16 pixels.
  static int IconSizeFor(int charHeight);
  // Whether the caption is drawn at the button's present width.
  bool CaptionShown() const;

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  void DrawTheIcon(QPainter& p, bool hasCaption, const QRect& item, QRect* caption, bool pressed,
                   bool disabled);

  int align_ = 0;
  bool showText_ = true;
  bool flat_ = true;
  bool drawBorder_ = true;
  bool flatFocus_ = false;
  QIcon icon_;
  bool hasIcon_ = false;
  int iconW_ = 0, iconH_ = 0;
  QColor activeBg_, activeFg_, inactiveBg_, inactiveFg_;
  bool hovered_ = false;
};
