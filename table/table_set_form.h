#pragma once
// The table settings ("表格属性设置") as the dialog edits them: a copy of the grid's
// font heights, header-item lines, decimals and print layout, the ranges OK checks
// and the messages that keep the dialog open. The Qt dialog (table/ui/table_set_dlg.h)
// only shows this model. Std only.
#include <array>
#include <string>

class CTableView;

namespace table {

// Control ids of the dialog; the margins pair with their members by id, not by the
// order their labels stand in.
enum TableSetControl : int {
  kSetFontHeight = 1031,
  kSetPrintHeight = 1032,
  kSetLinesAbove = 1073,
  kSetLineBelow = 200,
  kSetAngleDecimals = 1033,
  kSetDistDecimals = 1034,
  kSetDhDecimals = 1036,
  kSetHeightDecimals = 1038,
  kSetCoordDecimals = 201,
  kSetChainageDecimals = 202,  // hidden
  kSetGradeDecimals = 203,     // hidden
  kSetLatLonDecimals = 204,
  kSetAngleUnit = 1020,        // hidden
  kSetPadRows = 1042,
  kSetFitWidth = 1041,
  kSetMarginTop = 212,
  kSetMarginBottom = 213,
  kSetMarginLeft = 214,
  kSetMarginRight = 215,
};

// The numeric edits of the settings dialogs. A number as an edit shows it ("3", "2.5").
std::string EditNumberText(double v);
// Reads an edit's text (blanks around it allowed): "" and *value set when it is a
// number (an integer when `integer`), else the message that keeps the dialog open.
std::string ReadEditNumber(const std::string& text, bool integer, double* value);
// "请输入一个介于 1 和 50 之间的整数。"
std::string RangeMessage(double lo, double hi, bool integer);

// One numeric edit of the dialog: its id, label and range.
struct TableSetEdit {
  int id;
  const char* label;
  double lo, hi;
  bool integer;
  bool hidden;  // exists but is never shown: keeps the value passed in
};

struct CTableSetForm {
  int fontHeight = 0;
  double printHeight = 0;
  int linesAbove = 0;  // index of "0行".."3行"
  int lineBelow = 0;   // index of "0行", "1行"
  int angleDecimals = 0, distDecimals = 0, dhDecimals = 0, heightDecimals = 0, coordDecimals = 0;
  int chainageDecimals = 0, gradeDecimals = 0, latLonDecimals = 0;
  int angleUnit = 0;
  bool padRows = false, fitWidth = false;
  int marginTop = 0, marginBottom = 0, marginLeft = 0, marginRight = 0;

  // The numeric edits in the order OK checks them (the dialog's tab order).
  static const std::array<TableSetEdit, 14> kEdits;
  static const char* const kLinesAbove[4];
  static const char* const kLinesBelow[2];
  static const char* const kAngleUnits[3];
  static const TableSetEdit* FindEdit(int id);

  // The value of edit id as the dialog shows it ("3", "2.5"); "" for an unknown id.
  std::string Text(int id) const;
  // Takes the text of edit id. "" when it reads as a number of the edit's kind, else
  // the message that keeps the dialog open ("请输入一个整数。"); the value is then kept.
  std::string SetText(int id, const std::string& text);
  // "" when OK may close the dialog, else the range message of the first edit out of
  // range (its id in *failedId). Hidden edits are not checked: the user cannot reach
  // them, so a value a job brought in must not lock the dialog.
  std::string Validate(int* failedId = nullptr) const;

  bool operator==(const CTableSetForm&) const = default;

  static CTableSetForm FromView(const CTableView& v);
  // The settings of a table that no job has set yet: the table model's defaults,
  // with the cell font at the frame's character height.
  static CTableSetForm Defaults(int fontHeight);
  // Writes every member back (the font through CTableView::SetFont, which re-lays out).
  void ApplyTo(CTableView& v) const;

 private:
  int* IntMember(int id);
  const int* IntMember(int id) const;
};

}  // namespace table
