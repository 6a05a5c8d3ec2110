#include "drawing/draw_settings.h"

#include <cmath>

#include "drawing/aci_color.h"
#include "drawing/draw_view.h"
#include "platform/number.h"

namespace drawing {

DrawSettings GetDrawSettings(const CDrawView& v) {
  DrawSettings s;
  s.fixedHeight = v.m_bFixedTextHeight != 0;
  s.displayHeightMm = v.m_nDisplayTextHeight / 10;
  s.outputHeightMm = v.m_dOutputTextHeight / 10;
  s.printScale = v.m_dPrintScale;
  s.ellipseScale = v.m_dEllipseScale;
  s.knownSymbol = v.m_nKnownSymbol;
  s.otherSymbol = v.m_nOtherSymbol;
  s.drawingMode = v.DrawingMode;
  for (const auto& l : v.m_arrLayer)
    if (l.used)
      s.layers.push_back({l.name, std::to_string(l.visible), std::to_string(l.colour), std::to_string(l.style)});
  return s;
}

std::string RangeText(double lo, double hi) {
  auto text = [](double x) {
    return x == std::floor(x) && std::fabs(x) < 1e15 ? platform::FormatFixed(x, 0) : platform::FormatRoundTrip(x);
  };
  return "请输入一个介于 " + text(lo) + " 和 " + text(hi) + " 之间的数。";
}

std::string CheckDrawSettings(const DrawSettings& s) {
  auto out = [](double x, double lo, double hi) { return !(std::isfinite(x) && x >= lo && x <= hi); };
  if (s.fixedHeight && out(s.displayHeightMm, kMinDisplayHeightMm, kMaxDisplayHeightMm))
    return RangeText(kMinDisplayHeightMm, kMaxDisplayHeightMm);
  if (out(s.outputHeightMm, kMinOutputHeightMm, kMaxOutputHeightMm))
    return RangeText(kMinOutputHeightMm, kMaxOutputHeightMm);
  if (out(s.printScale, kMinPrintScale, kMaxPrintScale)) return RangeText(kMinPrintScale, kMaxPrintScale);
  if (s.drawingMode == kModeNetwork && out(s.ellipseScale, kMinEllipseScale, kMaxEllipseScale))
    return RangeText(kMinEllipseScale, kMaxEllipseScale);
  return "";
}

void ApplyDrawSettings(CDrawView& v, const DrawSettings& s) {
  // Only what the dialog changed goes back: a value as it was shown keeps what the
  // view holds (an output height that would not survive mm and back exactly, a
  // print scale the job's drawing holds apart from the setting for new drawings).
  const DrawSettings was = GetDrawSettings(v);
  for (const auto& row : s.layers) {
    const int i = v.FindLayer(row.name);
    if (i < 0) continue;
    auto& l = v.m_arrLayer[static_cast<std::size_t>(i)];
    const std::string visible = std::to_string(l.visible), colour = std::to_string(l.colour),
                      style = std::to_string(l.style);
    if (row.visible != visible) l.visible = platform::ParseInt(row.visible);
    if (row.colour != colour) l.colour = ClampLayerColour(platform::ParseInt(row.colour));
    if (row.style != style) l.style = platform::ParseInt(row.style);
  }
  // Off: screen labels keep their paper size relative to the network.
  v.m_bFixedTextHeight = s.fixedHeight ? 1 : 0;
  if (s.displayHeightMm != was.displayHeightMm) v.m_nDisplayTextHeight = s.displayHeightMm * 10;
  if (s.outputHeightMm != was.outputHeightMm) v.m_dOutputTextHeight = s.outputHeightMm * 10;
  if (s.printScale != was.printScale) v.m_dPrintScale = v.m_dPrintScaleSetting = s.printScale;
  v.m_nKnownSymbol = s.knownSymbol;
  v.m_nOtherSymbol = s.otherSymbol;
  // The ellipse edit is disabled in drawing mode 1, so its value is the view's own.
  v.m_dEllipseScale = s.ellipseScale;
  v.Redraw();
}

std::string StyleWidthLabel(int style) {
  if (style < 10) return "";
  return platform::FormatFixed((style - 13 + 3) / 10.0 + 0.001, 1);
}

}  // namespace drawing
