#pragma once
// CDrawSetDlg ("图形设置"): label heights, print and ellipse scales, point symbols
// and the layer list CLayerList (on/off, colour, line style) with its style
// picker CPickCombo. Works on a copy of the view's values; OK validates them.
#include <QComboBox>
#include <QDialog>
#include <QTableWidget>

#include "drawing/draw_settings.h"

class QCheckBox;
class QLabel;
class QLineEdit;

namespace drawing {
class CDrawView;
}

namespace drawing_ui {

// The line-style picker: "0".."4" and "15".."20", each drawn as its line sample.
class CPickCombo : public QComboBox {
  Q_OBJECT
 public:
  explicit CPickCombo(QWidget* parent = nullptr);
 signals:
  void PickEnd(const QString& text);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
};

class CLayerList : public QTableWidget {
  Q_OBJECT
 public:
  explicit CLayerList(QWidget* parent = nullptr);
  void InsertLayerColumns();
  void SetRows(const std::vector<drawing::DrawSettings::Row>& rows);
  std::vector<drawing::DrawSettings::Row> Rows() const;
  // A click on a cell: 1 toggles, 2 opens the colour picker, 3 the style picker.
  void ClickCell(int row, int column);
  void OnPickEnd(const QString& text);
  CPickCombo* Picker() const { return picker_; }
  // The colour picker a click opens; tests answer it instead of a user.
  std::function<bool(int current, int* chosen)> pickColour;

 protected:
  void mousePressEvent(QMouseEvent* event) override;

 private:
  CPickCombo* picker_ = nullptr;
  int pickRow_ = -1;
};

class CDrawSetDlg : public QDialog {
  Q_OBJECT
 public:
  CDrawSetDlg(const drawing::CDrawView& view, QWidget* parent = nullptr);
  const drawing::DrawSettings& Values() const { return values_; }
  CLayerList* List() const { return list_; }
  void accept() override;
  // Takes the control values into Values(); false with the range message shown.
  bool TakeValues();

  QCheckBox* fixedCheck = nullptr;   // 1041
  QLineEdit* displayEdit = nullptr;  // 1073
  QLineEdit* outputEdit = nullptr;   // 1074
  QLineEdit* printEdit = nullptr;    // 1040
  QLineEdit* ellipseEdit = nullptr;  // 1076
  QLabel* printLabel = nullptr;      // 1120
  QComboBox* knownCombo = nullptr;   // 1068
  QComboBox* otherCombo = nullptr;   // 1086

 private:
  drawing::DrawSettings values_;
  CLayerList* list_ = nullptr;
};

}  // namespace drawing_ui
