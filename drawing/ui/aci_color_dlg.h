#pragma once
// CAciColorDlg ("选择颜色"): picks a colour index from the 24 hue columns of ten
// shades, the standard row 1..9 and the greys 250..255.
#include <QDialog>
#include <vector>

class QLabel;
class QLineEdit;

namespace drawing_ui {

class CAciColorDlg : public QDialog {
  Q_OBJECT
 public:
  explicit CAciColorDlg(QWidget* parent = nullptr);

  // Current and old index (both 7 until set); the result is the current one.
  void SetIndex(int current, int old);
  int Index() const { return current_; }
  // The cell of an index in the dialog's picture area, empty for 0 and above 255.
  QRect CellOf(int index) const;
  // The index under a point of the picture area, 0 when none.
  int IndexAt(const QPoint& p) const;
  // Where "旧颜色" (old) or "新颜色" is written under its swatch, in the picture area.
  QRect CaptionRect(bool old) const;
  QString HoverIndexText() const;
  QString HoverRgbText() const;

  void accept() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Layout();
  void Hover(int index);
  void Pick(int index);

  QWidget* area_ = nullptr;
  QLabel* indexLabel_ = nullptr;
  QLabel* rgbLabel_ = nullptr;
  QLineEdit* edit_ = nullptr;
  int current_ = 7, old_ = 7, hover_ = 0;
  std::vector<QRect> cells_;  // by index, 256 entries
  QRect oldRect_, newRect_;
  QRect oldCaption_, newCaption_;
};

}  // namespace drawing_ui
