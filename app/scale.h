#pragma once
// The interface scale: one font size drives the grids, the trees, the tool bar and the
// left column. These are the tables behind CMainFrame::SetFontHeight, kept free of Qt
// so that they are checked without a display. The values in force (g_nFontPt,
// g_nCharHeight, g_nRowHeight, g_fontUI) live with the grid engine's Qt side.
#include <array>

namespace app {

inline constexpr std::array<int, 6> kFontSizes = {9, 10, 12, 14, 16, 18};
inline constexpr int kDefaultFontPt = 9;

bool IsListedFontSize(int pt);
// A stored "FontPt" outside the listed sizes (0, 3, 500, ...) means 9.
int SanitizeFontPt(int pt);
// The size SetFontHeight(requested) ends at: 8 or less keeps (and re-applies) the
// current size; a listed size is taken; anything else falls back to 9.
int ResolveFontPt(int current, int requested);

// Pixel height of a point font at the given dots per inch (rounded like MulDiv).
int CharHeightForPoints(int pt, int dpi);
// max(22, int(charHeight x 1.5 + 6)).
int RowHeightForCharHeight(int charHeight);

// Tool-bar tier by character height.
struct ToolBarTier {
  int bitmap;      // 214, 213, 212, or 128 for the plain tool bar
  int buttonSize;  // square button edge in pixels; 0 = the plain bar's own
  int imageSize;   // 60, 40, 30, or 20 for the plain bar
  int comboFont;   // height g of the size label and combo font
};
ToolBarTier ToolBarTierFor(int charHeight);

// Combo index of a size: 9 -> 0, 10 -> 1, 12 -> 2, ... 18 -> 5.
int FontComboIndex(int pt);
// Menu command ID_FONT_HEIGHT_FIRST + i <-> size 9, 10, 12, 14, 16, 18; 0 for other commands.
int FontPtForCommand(int command);
int CommandForFontPt(int pt);

// Left column width for the default layout command: max(charHeight x 10, W / 6), at
// most W / 3.
int DefaultLeftWidth(int charHeight, int clientWidth);
// Left column width kept on resize: 0 becomes W / 6, anything below 80 becomes 80.
int KeptLeftWidth(int width, int clientWidth);

}  // namespace app
