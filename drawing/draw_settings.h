#pragma once
// The values of the drawing's settings dialog ("图形设置"), copied out of the view
// and, on OK, back into it. The layer list holds the texts of its cells, as the
// dialog edits them; OK stores their integer values.
#include <string>
#include <vector>

namespace drawing {

class CDrawView;

struct DrawSettings {
  bool fixedHeight = true;      // m_bFixedTextHeight; also enables the display-height edit
  int displayHeightMm = 4;      // m_nDisplayTextHeight / 10
  double outputHeightMm = 2.5;  // m_dOutputTextHeight / 10
  double printScale = 1000;
  double ellipseScale = 1;
  int knownSymbol = 0;
  int otherSymbol = 3;
  int drawingMode = 0;          // picks the dialog's layout
  struct Row {
    std::string name, visible, colour, style;
  };
  std::vector<Row> layers;      // the used layers, in layer-table order
};

// The symbol names of the two combos, by SymbolType.
inline constexpr const char* kSymbolNames[4] = {"三角点", "小三角点", "导线点", "图根点"};
// The line styles the picker offers.
inline constexpr int kPickStyles[11] = {0, 1, 2, 3, 4, 15, 16, 17, 18, 19, 20};

DrawSettings GetDrawSettings(const CDrawView& view);
// "" when every value lies in its range, else the range message of the first
// that does not (the dialog then stays open).
std::string CheckDrawSettings(const DrawSettings& s);
// The OK path: the values and layer cells the dialog changed into the view (what it
// shows as it was keeps the view's own value), then a redraw.
void ApplyDrawSettings(CDrawView& view, const DrawSettings& s);
// "请输入一个介于 lo 和 hi 之间的数。"
std::string RangeText(double lo, double hi);
// The width label of a style in the list and the picker: "0.5" .. "1.0" for 15..20, else "".
std::string StyleWidthLabel(int style);

}  // namespace drawing
