#include "drawing/draw_view.h"

#include <algorithm>
#include <cmath>

#include "drawing/aci_color.h"

namespace drawing {

CDrawView* g_pDrawView = nullptr;

CDrawView::CDrawView() {
  m_dEllipseScale = 1.0;
  m_dPrintScale = m_dPrintScaleSetting = 1000;
  ResetView();
}

void CDrawView::BeginDrawing(int mode) {
  ClearDrawing();
  DrawingMode = mode;
  m_dPrintScale = m_dPrintScaleSetting;
  Redraw();
}

void CDrawView::ClearDrawing() {
  ShowTableButton(0);
  SetMessage("");
  m_rcHit = {};
  m_bHit = false;
  m_strQuery.clear();
  DrawingMode = kModePlot;
  m_bFixedTextHeight = 1;
  m_nToolMode = -1;
  m_dMinX = m_dMaxX = m_dMinY = m_dMaxY = 0;
  m_bHasExtent = 0;
  m_arrLine.clear();
  m_arrPolyLine.clear();
  m_arrKzd.clear();
  m_arrDlZh.clear();
  m_arrSbd.clear();
  for (auto& l : m_arrLayer) l.used = 0;
}

void CDrawView::ResetView() {
  m_ptOrigin = {200, -200};
  SetScale(10000);
  m_nDisplayTextHeight = 40;
  m_dOutputTextHeight = 25;
  m_nKnownSymbol = kSymbolTriangle;
  m_nOtherSymbol = kSymbolCircle;
  m_arrLayer.clear();
  ClearDrawing();
}

void CDrawView::SetLayer(const std::string& name, int visible, int colour, int style, bool onlyIfNew) {
  const bool existed = FindLayer(name) >= 0;
  const int i = FindOrAddLayer(name, 0);
  if (onlyIfNew && existed) return;
  CLayer& l = m_arrLayer[static_cast<std::size_t>(i)];
  if (visible >= 0) l.visible = visible;
  if (colour > 0) l.colour = ClampLayerColour(colour);
  if (style >= 0) l.style = style;
}

void CDrawView::AddControlPoint(const std::string& name, int known, double x, double y, double value, double E,
                                double F, double orientation) {
  m_arrKzd.emplace_back(x, y, known, name, value, E, F, orientation);
  ExtendExtent(x, y);
}

void CDrawView::AddLine(const std::string& layer, double x1, double y1, double x2, double y2) {
  m_arrLine.emplace_back(FindOrAddLayer(layer, 1), x1, y1, x2, y2);
  ExtendExtent(x1, y1);
  ExtendExtent(x2, y2);
}

int CDrawView::BeginPolyline(const std::string& layer) {
  m_arrPolyLine.emplace_back(FindOrAddLayer(layer, 1), std::vector<CPtEx>{});
  return static_cast<int>(m_arrPolyLine.size()) - 1;
}

void CDrawView::AddPolylineVertex(double x, double y, int polyline) {
  // A vertex with no polyline to go to (none begun since the clear, or an index
  // past the count) is dropped rather than written past the array.
  const int n = static_cast<int>(m_arrPolyLine.size());
  const int i = polyline < 0 ? n - 1 : polyline;
  if (i < 0 || i >= n) return;
  m_arrPolyLine[static_cast<std::size_t>(i)].vertices.push_back({x, y});
  ExtendExtent(x, y);
}

void CDrawView::AddLabelledPoint(const std::string& layer, double x, double y, const std::string& label1,
                                 const std::string& label2, int kind, double direction, int queryable,
                                 double value) {
  m_arrDlZh.emplace_back(FindOrAddLayer(layer, 1), x, y, label1, label2, kind, direction, queryable, value);
  ExtendExtent(x, y);
}

void CDrawView::AddDetailPoint(const std::string& layer, const std::string& name, const std::string& secondText,
                               double x, double y, double radius) {
  m_arrSbd.emplace_back(FindOrAddLayer(layer, 1), x, y, name, radius, secondText);
  ExtendExtent(x, y);
}

void CDrawView::SetMessage(const std::string& text) {
  m_strMessage = text;
  Redraw();
}

void CDrawView::Redraw() {
  if (m_pHost) m_pHost->Invalidate();
}

void CDrawView::SetScale(double N) {
  if (!std::isfinite(N)) return;
  m_dScale = std::clamp(N, kMinScale, kMaxScale);
  m_dUnitsPerMetre = 10000.0 / m_dScale;
  Redraw();
}

void CDrawView::ShowTableButton(int show) {
  m_bTableButtonShown = show != 0;
  if (m_pHost) m_pHost->ShowTableButton(m_bTableButtonShown);
}

int CDrawView::FindLayer(const std::string& name) const {
  for (std::size_t i = 0; i < m_arrLayer.size(); ++i)
    if (m_arrLayer[i].name == name) return static_cast<int>(i);
  return -1;
}

int CDrawView::FindOrAddLayer(const std::string& name, int markUsed) {
  int i = FindLayer(name);
  if (i < 0) {
    CLayer l;
    l.name = name;
    m_arrLayer.push_back(std::move(l));
    i = static_cast<int>(m_arrLayer.size()) - 1;
  }
  if (markUsed == 1) m_arrLayer[static_cast<std::size_t>(i)].used = 1;
  return i;
}

void CDrawView::ExtendExtent(double x, double y) {
  if (!m_bHasExtent) {
    m_dMinX = m_dMaxX = x;
    m_dMinY = m_dMaxY = y;
    m_bHasExtent = 1;
  } else {
    m_dMinX = std::min(m_dMinX, x);
    m_dMaxX = std::max(m_dMaxX, x);
    m_dMinY = std::min(m_dMinY, y);
    m_dMaxY = std::max(m_dMaxY, y);
  }
  Redraw();
}

DPoint CDrawView::WorldToLogical(double x, double y, double k) const {
  return {(y - m_dMinY) * k + m_ptOrigin.x, (x - m_dMaxX) * k + m_ptOrigin.y};
}

}  // namespace drawing
