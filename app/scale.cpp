#include "app/scale.h"

#include <algorithm>

#include "platform/commands.h"

namespace app {

bool IsListedFontSize(int pt) {
  return std::find(kFontSizes.begin(), kFontSizes.end(), pt) != kFontSizes.end();
}

int SanitizeFontPt(int pt) { return IsListedFontSize(pt) ? pt : kDefaultFontPt; }

int ResolveFontPt(int current, int requested) {
  if (requested <= 8) return SanitizeFontPt(current);
  return SanitizeFontPt(requested);
}

int CharHeightForPoints(int pt, int dpi) {
  long long num = static_cast<long long>(pt) * dpi;
  return static_cast<int>((num + 36) / 72);
}

int RowHeightForCharHeight(int charHeight) {
  return std::max(22, static_cast<int>(charHeight * 1.5 + 6));
}

ToolBarTier ToolBarTierFor(int charHeight) {
  if (charHeight >= 34) return {214, 68, 60, 36};
  if (charHeight >= 22) return {213, 48, 40, 24};
  if (charHeight >= 16) return {212, 38, 30, 18};
  return {128, 0, 20, 12};
}

int FontComboIndex(int pt) {
  pt = SanitizeFontPt(pt);
  return pt == 9 ? 0 : (pt - 10) / 2 + 1;
}

int FontPtForCommand(int command) {
  const int i = command - platform::ID_FONT_HEIGHT_FIRST;
  if (i < 0 || i >= static_cast<int>(kFontSizes.size())) return 0;
  return kFontSizes[static_cast<std::size_t>(i)];
}

int CommandForFontPt(int pt) {
  for (std::size_t i = 0; i < kFontSizes.size(); ++i)
    if (kFontSizes[i] == pt) return platform::ID_FONT_HEIGHT_FIRST + static_cast<int>(i);
  return 0;
}

int DefaultLeftWidth(int charHeight, int clientWidth) {
  int w = std::max(charHeight * 10, clientWidth / 6);
  return std::min(w, clientWidth / 3);
}

int KeptLeftWidth(int width, int clientWidth) {
  if (width == 0) width = clientWidth / 6;
  return std::max(width, 80);
}

}  // namespace app
