#pragma once
// The word-processor export settings ("表格输出到WORD") as the dialog edits them: the
// view's Word settings and margins, the paper choices and the checks that keep the
// dialog open. The Qt dialog (table/ui/export_dialogs.h) only shows this model.
#include <array>
#include <string>

class CTableView;

namespace table {

enum WordSetControl : int {
  kWordAllowOffset = 1092,
  kWordOneTable = 210,
  kWordSplit = 211,
  kWordMarginTop = 212,
  kWordMarginBottom = 213,
  kWordMarginLeft = 214,
  kWordMarginRight = 215,
  kWordPortrait = 216,
  kWordLandscape = 217,
  kWordFontSize = 218,
  kWordPaperHeight = 224,
  kWordPaperWidth = 225,
  kWordPaper = 226,
  kWordCurrentFile = 1054,
  kWordNewFile = 1129,
  kWordExit = 219,
  kWordProgress = 250,
};

struct WordSetEdit {
  int id;
  const char* label;
  double lo, hi;
  bool integer;
};

struct CWordSetForm {
  bool allowOffset = true;  // "允许行向下错开"
  int split = 1;            // 0 one table, 1 one table per page
  int orientation = 0;      // 0 portrait, 1 landscape
  int paper = 0;            // index of kPapers
  int paperHeight = 297, paperWidth = 210;
  int marginTop = 20, marginBottom = 20, marginLeft = 20, marginRight = 20;
  double fontSize = 10.5;   // points

  // The edits in the order the export checks them. A font size of 0 or a paper of 0
  // mm would make a document no program can show.
  static const std::array<WordSetEdit, 7> kEdits;
  static const char* const kFontSizes[7];
  static const char* const kPapers[3];  // "A4", "A3", "自定义"
  static const WordSetEdit* FindEdit(int id);

  std::string Text(int id) const;
  // Takes the text of edit id: "" when it reads as a number of the edit's kind, else
  // the message that keeps the dialog open.
  std::string SetText(int id, const std::string& text);
  // "" when the values may be exported, else the range message of the first edit out
  // of range, or the message that the margins leave less than kLeastPrintMm of the
  // paper (the top or left margin's id in *failedId).
  static constexpr int kLeastPrintMm = 20;
  std::string Validate(int* failedId = nullptr) const;

  // Portrait or landscape: A4 and A3 take their sizes for it.
  void SetOrientation(int o);
  // A paper of the list: A4 and A3 fill height and width by the orientation.
  void SetPaper(int index);

  // The dialog as it opens on a view: its Word settings (the font the dialog's own
  // entry kept), its margins (a margin the
  // table settings left at 0 becomes 1, the least a document accepts), the paper
  // that matches the size, and the row offset cleared for a table of more than 30 rows.
  static CWordSetForm FromView(const CTableView& v);
  // Copies the values into the view's Word settings and margins.
  void ApplyTo(CTableView& v) const;

  // What ApplyTo writes, as the view holds it, and the way back.
  struct ViewValues {
    float wordFontSize = 0;
    double dialogFontSize = 0;
    bool splitPages = false;
    int paperHeight = 0, paperWidth = 0, orientation = 0;
    int marginTop = 0, marginBottom = 0, marginLeft = 0, marginRight = 0;
  };
  static ViewValues ViewValuesOf(const CTableView& v);
  static void Restore(CTableView& v, const ViewValues& values);
};

}  // namespace table
