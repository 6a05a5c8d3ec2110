#include "table/export/word_set_form.h"

#include <algorithm>
#include <cmath>

#include "table/table_set_form.h"
#include "table/table_view.h"

namespace table {

const std::array<WordSetEdit, 7> CWordSetForm::kEdits = {{
    {kWordFontSize, "字体高度", 6, 72, false},
    {kWordPaperHeight, "纸张高度", 50, 1500, true},
    {kWordPaperWidth, "纸张宽度", 50, 1500, true},
    {kWordMarginTop, "上边距", 1, 50, true},
    {kWordMarginBottom, "下边距", 1, 50, true},
    {kWordMarginLeft, "左边距", 1, 50, true},
    {kWordMarginRight, "右边距", 1, 50, true},
}};

const char* const CWordSetForm::kFontSizes[7] = {"8", "9", "10.5", "12", "14", "15", "16"};
const char* const CWordSetForm::kPapers[3] = {"A4", "A3", "自定义"};

namespace {

// Height and width of A4 (0) and A3 (1) by orientation.
void PaperSize(int paper, int orientation, int* height, int* width) {
  const int shortSide = paper == 0 ? 210 : 297, longSide = paper == 0 ? 297 : 420;
  *height = orientation == 1 ? shortSide : longSide;
  *width = orientation == 1 ? longSide : shortSide;
}

int PaperOf(int height, int width, int orientation) {
  for (int p = 0; p < 2; ++p) {
    int h = 0, w = 0;
    PaperSize(p, orientation, &h, &w);
    if (h == height && w == width) return p;
  }
  return 2;
}

}  // namespace

const WordSetEdit* CWordSetForm::FindEdit(int id) {
  for (const WordSetEdit& e : kEdits)
    if (e.id == id) return &e;
  return nullptr;
}

std::string CWordSetForm::Text(int id) const {
  switch (id) {
    case kWordFontSize: return EditNumberText(fontSize);
    case kWordPaperHeight: return std::to_string(paperHeight);
    case kWordPaperWidth: return std::to_string(paperWidth);
    case kWordMarginTop: return std::to_string(marginTop);
    case kWordMarginBottom: return std::to_string(marginBottom);
    case kWordMarginLeft: return std::to_string(marginLeft);
    case kWordMarginRight: return std::to_string(marginRight);
    default: return "";
  }
}

std::string CWordSetForm::SetText(int id, const std::string& text) {
  const WordSetEdit* e = FindEdit(id);
  if (!e) return "";
  double v = 0;
  std::string why = ReadEditNumber(text, e->integer, &v);
  if (!why.empty()) return why;
  int* member = nullptr;
  switch (id) {
    case kWordFontSize: fontSize = v; return "";
    case kWordPaperHeight: member = &paperHeight; break;
    case kWordPaperWidth: member = &paperWidth; break;
    case kWordMarginTop: member = &marginTop; break;
    case kWordMarginBottom: member = &marginBottom; break;
    case kWordMarginLeft: member = &marginLeft; break;
    case kWordMarginRight: member = &marginRight; break;
    default: return "";
  }
  *member = static_cast<int>(v);
  return "";
}

std::string CWordSetForm::Validate(int* failedId) const {
  for (const WordSetEdit& e : kEdits) {
    double v = 0;
    switch (e.id) {
      case kWordFontSize: v = fontSize; break;
      case kWordPaperHeight: v = paperHeight; break;
      case kWordPaperWidth: v = paperWidth; break;
      case kWordMarginTop: v = marginTop; break;
      case kWordMarginBottom: v = marginBottom; break;
      case kWordMarginLeft: v = marginLeft; break;
      default: v = marginRight; break;
    }
    if (std::isfinite(v) && v >= e.lo && v <= e.hi) continue;
    if (failedId) *failedId = e.id;
    return RangeMessage(e.lo, e.hi, e.integer);
  }
  // Margins in range may still leave no paper for the table.
  const struct {
    int paper, a, b, id;
    const char* what;
  } sides[] = {{paperHeight, marginTop, marginBottom, kWordMarginTop, "纸张高度"},
               {paperWidth, marginLeft, marginRight, kWordMarginLeft, "纸张宽度"}};
  for (const auto& s : sides) {
    if (s.paper - s.a - s.b >= kLeastPrintMm) continue;
    if (failedId) *failedId = s.id;
    return std::string(s.what) + std::to_string(s.paper) + "毫米减去两侧边距" + std::to_string(s.a) + "和" +
           std::to_string(s.b) + "毫米后，不足" + std::to_string(kLeastPrintMm) + "毫米，没有输出表格的地方。请减小边距或加大纸张。";
  }
  if (failedId) *failedId = 0;
  return "";
}

void CWordSetForm::SetOrientation(int o) {
  orientation = o == 1 ? 1 : 0;
  if (paper == 0 || paper == 1) PaperSize(paper, orientation, &paperHeight, &paperWidth);
}

void CWordSetForm::SetPaper(int index) {
  paper = std::clamp(index, 0, 2);
  if (paper < 2) PaperSize(paper, orientation, &paperHeight, &paperWidth);
}

CWordSetForm CWordSetForm::FromView(const CTableView& v) {
  CWordSetForm f;
  f.fontSize = v.m_dWordDlgFontSize;
  f.split = v.m_bWordSplitPages ? 1 : 0;
  f.orientation = v.m_nWordOrientation == 1 ? 1 : 0;
  f.paperHeight = v.m_nWordPaperHeight;
  f.paperWidth = v.m_nWordPaperWidth;
  f.paper = PaperOf(f.paperHeight, f.paperWidth, f.orientation);
  f.marginTop = std::clamp(v.m_nMarginTop, 1, 50);
  f.marginBottom = std::clamp(v.m_nMarginBottom, 1, 50);
  f.marginLeft = std::clamp(v.m_nMarginLeft, 1, 50);
  f.marginRight = std::clamp(v.m_nMarginRight, 1, 50);
  f.allowOffset = v.GetRowCount() <= 30;
  return f;
}

void CWordSetForm::ApplyTo(CTableView& v) const {
  v.m_fWordFontSize = static_cast<float>(fontSize);
  v.m_dWordDlgFontSize = fontSize;
  v.m_bWordSplitPages = split == 1;
  v.m_nWordPaperHeight = paperHeight;
  v.m_nWordPaperWidth = paperWidth;
  v.m_nWordOrientation = orientation;
  v.m_nMarginTop = marginTop;
  v.m_nMarginBottom = marginBottom;
  v.m_nMarginLeft = marginLeft;
  v.m_nMarginRight = marginRight;
}

CWordSetForm::ViewValues CWordSetForm::ViewValuesOf(const CTableView& v) {
  return {v.m_fWordFontSize,    v.m_dWordDlgFontSize, v.m_bWordSplitPages, v.m_nWordPaperHeight,
          v.m_nWordPaperWidth,  v.m_nWordOrientation, v.m_nMarginTop,      v.m_nMarginBottom,
          v.m_nMarginLeft,      v.m_nMarginRight};
}

void CWordSetForm::Restore(CTableView& v, const ViewValues& w) {
  v.m_fWordFontSize = w.wordFontSize;
  v.m_dWordDlgFontSize = w.dialogFontSize;
  v.m_bWordSplitPages = w.splitPages;
  v.m_nWordPaperHeight = w.paperHeight;
  v.m_nWordPaperWidth = w.paperWidth;
  v.m_nWordOrientation = w.orientation;
  v.m_nMarginTop = w.marginTop;
  v.m_nMarginBottom = w.marginBottom;
  v.m_nMarginLeft = w.marginLeft;
  v.m_nMarginRight = w.marginRight;
}

}  // namespace table
