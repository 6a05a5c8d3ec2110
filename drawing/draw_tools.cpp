// The viewing tools: zoom all, window, drag and wheel zoom, pan, query.
#include <algorithm>
#include <cmath>
#include <limits>

#include "drawing/draw_view.h"
#include "platform/number.h"
#include "platform/services.h"

namespace drawing {
namespace {

constexpr double kMinUnits = 10000.0 / kMaxScale;  // what SetScale can hold
constexpr double kMaxUnits = 10000.0 / kMinScale;

DeviceMapping ScreenMap(const ScreenMetrics& m) { return DeviceMapping::Screen(m); }

}  // namespace

DRect CDrawView::ClientLogical() const {
  const DeviceMapping map = ScreenMap(m_metrics);
  const DPoint a = map.ToLogical({0, double(m_metrics.rowHeight)});
  const DPoint b = map.ToLogical({double(m_metrics.clientWidth), double(m_metrics.clientHeight)});
  return {std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
}

void CDrawView::OnToolCommand(int id) {
  switch (id) {
    case kToolSettings:
      m_nToolMode = id;
      if (m_pHost) m_pHost->OpenSettings();
      break;
    case kToolZoomAll:
      m_nToolMode = id;
      OnZoomAll();
      break;
    case kToolWindowZoom:
    case kToolZoom:
    case kToolPan:
      m_nToolMode = id;
      break;
    case kToolCad:
      m_nToolMode = id;
      if (m_pHost) m_pHost->OpenCadExport();
      break;
    case kToolQuery:
      m_nToolMode = id;
      if (m_pHost) m_pHost->SetQueryTip("");
      break;
    case kToolBackToTable:
      if (m_pHost) m_pHost->BackToTable();
      ShowTableButton(0);
      m_nToolMode = -1;
      break;
    default:
      break;
  }
}

void CDrawView::OnZoomAll() {
  m_ptOrigin = {200, -200};
  const double dX = m_dMaxX - m_dMinX, dY = m_dMaxY - m_dMinY;
  if (std::fabs(dX) < 1e-10 && std::fabs(dY) < 1e-10) {
    SetScale(10000);
    return;
  }
  const DRect r = ClientLogical();
  const double W = std::max(1.0, std::fabs(r.Width() - 400)), H = std::max(1.0, std::fabs(r.Height() - 400));
  double N;
  if (dX == 0) {
    N = dY * 10000 / W;
  } else {
    N = dX * 10000 / H;
    if (dY != 0) N = std::max(N, dY * 10000 / W);
  }
  // Through SetScale, so that two points a millimetre apart still give 1:1, not 1:0.
  SetScale(N);
}

void CDrawView::SaveDown(DPoint logical) {
  m_ptDown = m_ptLast = logical;
  m_ptSavedOrigin = m_ptOrigin;
  m_dSavedUnits = m_dUnitsPerMetre;
}

void CDrawView::ZoomAboutDown(double k) {
  SetScale(10000.0 / k);
  const double g = m_dUnitsPerMetre / m_dSavedUnits - 1;
  m_ptOrigin = {m_ptSavedOrigin.x - (m_ptDown.x - m_ptSavedOrigin.x) * g,
                m_ptSavedOrigin.y - (m_ptDown.y - m_ptSavedOrigin.y) * g};
  Redraw();
}

void CDrawView::OnLButtonDown(DPoint device) {
  const DPoint L = ScreenMap(m_metrics).ToLogical(device);
  if (m_nToolMode == kToolQuery) {
    DRect hit;
    std::string text;
    if (QueryPointAt(L, &hit, text)) platform::Desktop().clipboard->SetText(text);
    return;
  }
  if (m_nToolMode == kToolWindowZoom || m_nToolMode == kToolZoom || m_nToolMode == kToolPan) {
    SaveDown(L);
    m_nDragButton = 1;
  }
}

void CDrawView::OnLButtonUp(DPoint device) {
  if (m_nDragButton != 1) return;
  m_nDragButton = 0;
  if (m_nToolMode != kToolWindowZoom) return;
  m_ptLast = ScreenMap(m_metrics).ToLogical(device);
  DRect r = ClientLogical();
  r = {r.left + 50, r.top + 50, r.right - 50, r.bottom - 50};
  const double inf = std::numeric_limits<double>::infinity();
  const double dy = std::fabs(m_ptLast.y - m_ptDown.y), dx = std::fabs(m_ptLast.x - m_ptDown.x);
  double f = std::min(dy > 0 ? std::fabs(r.Height()) / dy : inf, dx > 0 ? std::fabs(r.Width()) / dx : inf);
  f = std::clamp(f, 0.1, 10.0);
  const double oldN = m_dScale;
  SetScale(m_dScale / f);
  const double o = oldN / m_dScale;
  const DPoint s = m_ptSavedOrigin;
  m_ptOrigin.x -= (std::min(m_ptDown.x, m_ptLast.x) - s.x) * o - (r.left - s.x);
  m_ptOrigin.y -= (std::max(m_ptDown.y, m_ptLast.y) - s.y) * o - (r.bottom - s.y);
  Redraw();
}

void CDrawView::OnMButtonDown(DPoint device) {
  SaveDown(ScreenMap(m_metrics).ToLogical(device));
  m_nDragButton = 2;
}

void CDrawView::OnMButtonUp(DPoint) {
  if (m_nDragButton == 2) m_nDragButton = 0;
}

void CDrawView::OnMouseMove(DPoint device, bool leftHeld, bool middleHeld) {
  const DPoint L = ScreenMap(m_metrics).ToLogical(device);
  if (m_nToolMode != kToolQuery) {
    if (m_pHost) m_pHost->SetQueryTip("");
  } else {
    DRect hit{};
    std::string text;
    const bool found = QueryPointAt(L, &hit, text);
    const bool same = found == m_bHit && (!found || (hit.left == m_rcHit.left && hit.top == m_rcHit.top &&
                                                     hit.right == m_rcHit.right && hit.bottom == m_rcHit.bottom));
    if (!same) {
      m_bHit = found;
      m_rcHit = found ? hit : DRect{};
      m_strQuery = text;
      if (m_pHost) m_pHost->SetQueryTip(text);
      Redraw();
    }
  }
  const bool panning = (middleHeld && m_nDragButton == 2) || (leftHeld && m_nDragButton == 1 && m_nToolMode == kToolPan);
  if (panning) {
    m_ptOrigin.x += L.x - m_ptLast.x;
    m_ptOrigin.y += L.y - m_ptLast.y;
    m_ptLast = L;
    Redraw();
    return;
  }
  if (!leftHeld || m_nDragButton != 1) return;
  if (m_nToolMode == kToolWindowZoom) {
    m_ptLast = L;
    Redraw();
  } else if (m_nToolMode == kToolZoom) {
    const double dy = L.y - m_ptLast.y;
    const double k = m_dUnitsPerMetre;
    double nk = 0;
    if (dy >= 1 && k * 1.1 <= 1000) nk = k * 1.1;
    else if (dy < 0 && k / 1.1 >= 0.001) nk = k / 1.1;
    if (nk > 0) {
      ZoomAboutDown(nk);
      m_ptLast = L;
    }
  }
}

void CDrawView::OnMouseWheel(int delta, DPoint device) {
  if (delta == 0) return;
  SaveDown(ScreenMap(m_metrics).ToLogical(device));
  const double k = m_dUnitsPerMetre;
  // A notch (120) zooms by 1.25 in and 0.8 out; a fine wheel sends parts of a
  // notch, which zoom by that part.
  const double notches = std::clamp(delta / 120.0, -100.0, 100.0);
  double nk = k * std::pow(delta > 0 ? 1.25 : 0.8, std::fabs(notches));
  if (delta < 0 && nk < 0.001) return;
  // Held to what SetScale can store; when that leaves the scale as it is, the
  // origin stays too (it would otherwise creep by 1.25 a notch at 1:1).
  nk = std::clamp(nk, kMinUnits, kMaxUnits);
  if (std::fabs(nk - k) <= 1e-12 * k) return;
  ZoomAboutDown(nk);
}

void CDrawView::OnRButtonDown() { m_nToolMode = -1; }

int CDrawView::CursorAt(DPoint device) const {
  if (device.x < 0 || device.x >= m_metrics.clientWidth || device.y < 23 || device.y >= m_metrics.clientHeight)
    return 0;
  switch (m_nToolMode) {
    case kToolWindowZoom:
    case kToolQuery: return kCursorCross;
    case kToolZoom: return kCursorZoom;
    case kToolPan: return kCursorPan;
    default: return 0;
  }
}

bool CDrawView::QueryPointAt(DPoint L, DRect* hit, std::string& text) const {
  text.clear();
  if (hit) *hit = {};
  for (const CKzd& c : m_arrKzd) {
    const DPoint P = WorldToLogical(c.x, c.y);
    const DRect r{P.x - 15, P.y - 15, P.x + 15, P.y + 15};
    if (r.Contains(L)) {
      text = c.name + ": X=" + platform::FormatFixed(c.x, 4) + "; Y=" + platform::FormatFixed(c.y, 4);
      if (hit) *hit = r;
      return true;
    }
  }
  return false;
}

bool CDrawView::RubberBand(DRect* device) const {
  if (m_nDragButton != 1 || m_nToolMode != kToolWindowZoom) return false;
  const DeviceMapping map = ScreenMap(m_metrics);
  const DPoint a = map.ToDevice(m_ptDown), b = map.ToDevice(m_ptLast);
  if (device) *device = {std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
  return true;
}

}  // namespace drawing
