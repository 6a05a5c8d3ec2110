// The three traverse diagrams, fed into the drawing through IDrawFeed.
#include "traverse/engine/dx_diagrams.h"

#include <cmath>
#include <limits>

#include "platform/number.h"
#include "platform/ports.h"
#include "survey/angle.h"
#include "survey/geometry.h"
#include "traverse/engine/traverse_job.h"

namespace traverse {
namespace {

constexpr double kPi = 3.14159265358979;

struct Pt {
  double x = 0, y = 0;
};

bool Empty(const std::string& s) { return s.find_first_not_of(' ') == std::string::npos; }

Pt Polar(Pt p, double azimuth, double distance) {
  Pt q;
  survey::PolarPoint(p.x, p.y, azimuth, distance, &q.x, &q.y);
  return q;
}

// Reads a coordinate pair typed on a row: 1 both, 0 neither, -1 only one.
int Typed(const DiagramRow& r, Pt* p) {
  const bool hx = !Empty(r.xText), hy = !Empty(r.yText);
  if (hx && hy) {
    *p = {platform::ParseDouble(r.xText), platform::ParseDouble(r.yText)};
    return 1;
  }
  return (hx || hy) ? -1 : 0;
}

}  // namespace

void DrawErrorSearchDiagram(const std::vector<DiagramRow>& rows, int traverseType, drawing::IDrawFeed& feed) {
  platform::WaitCursor wait;
  feed.BeginDrawing(drawing::kModeNetwork);
  auto stop = [&](const std::string& message) {
    feed.SetMessage(message);
    feed.Redraw();
  };
  if (traverseType != 0) return stop("仅适应于闭附合导线!");
  const std::size_t n = rows.size();
  if (n <= 4) return stop("数据输入太少!");
  feed.BeginPolyline("往");
  Pt A, B;
  if (Typed(rows[0], &A) != 1) return stop("第一点应输入坐标!");
  if (Typed(rows[1], &B) != 1) return stop("第二点应输入坐标!");
  for (const auto& [p, row] : {std::pair{A, &rows[0]}, std::pair{B, &rows[1]}}) {
    feed.AddPolylineVertex(p.x, p.y);
    feed.AddControlPoint(row->name, 1, p.x, p.y, 0, -1, -1, -1);
  }
  double a0 = 0, d0 = 0;
  survey::InverseProblem(A.x, A.y, B.x, B.y, &a0, &d0);

  // The end point Z and the closing orientation point Q, typed or taken by name.
  const DiagramRow& rz = rows[n - 2];
  const DiagramRow& rq = rows[n - 1];
  Pt Z, Q;
  switch (Typed(rz, &Z)) {
    case 0:
      if (rz.name == rows[1].name) Z = B;
      else if (rz.name == rows[0].name) Z = A;
      else return stop("导线终点(倒数第二点)应输入坐标!");
      break;
    case -1: return stop("导线终点(倒数第二点)坐标应输入完整!");
    default: break;
  }
  bool qKnown = true;
  switch (Typed(rq, &Q)) {
    case 0:
      if (rq.name == rows[1].name) {
        Q = B;
      } else if (rq.name == rows[0].name) {
        Q = A;
      } else if (rq.name == rows[2].name) {
        Q = Polar(B, a0 + survey::ParseAngleText(rows[1].angleText) - kPi, platform::ParseDouble(rows[1].distanceText));
        qKnown = false;
      } else {
        return stop("最后一点应输入坐标!");
      }
      break;
    case -1: return stop("最后一点坐标应输入完整!");
    default: break;
  }
  double aE = 0, dE = 0;
  survey::InverseProblem(Z.x, Z.y, Q.x, Q.y, &aE, &dE);

  // Forward ("往") from B, ending with the recomputed Q.
  std::vector<double> angle(n, 0.0);
  double azimuth = a0;
  Pt P = B;
  for (std::size_t i = 1; i <= n - 2; ++i) {
    if (Empty(rows[i].angleText)) return stop(rows[i].name + "点处角度没有输入!");
    angle[i] = survey::ParseAngleText(rows[i].angleText);
    double side = dE;
    if (i < n - 2) {
      if (Empty(rows[i].distanceText)) return stop(rows[i].name + "-" + rows[i + 1].name + "边长没有输入!");
      side = platform::ParseDouble(rows[i].distanceText);
    }
    azimuth = azimuth + angle[i] - kPi;
    P = Polar(P, azimuth, side);
    feed.AddPolylineVertex(P.x, P.y);
    feed.AddControlPoint(rows[i + 1].name + "'", 0, P.x, P.y, 0, -1, -1, -1);
  }

  // Backward ("返", red and dashed unless the user changed it) from Z, ending with
  // the recomputed A.
  feed.SetLayer("返", -1, 1, drawing::kStyleDash, true);
  feed.BeginPolyline("返");
  feed.AddPolylineVertex(Q.x, Q.y);
  feed.AddControlPoint(rq.name, qKnown ? 1 : 0, Q.x, Q.y, 0, -1, -1, -1);
  feed.AddPolylineVertex(Z.x, Z.y);
  feed.AddControlPoint(rz.name, 1, Z.x, Z.y, 0, -1, -1, -1);
  azimuth = aE + kPi;
  P = Z;
  for (std::size_t j = n - 2; j >= 1; --j) {
    azimuth = azimuth - (angle[j] + kPi);
    const double side = j > 1 ? platform::ParseDouble(rows[j - 1].distanceText) : d0;
    P = Polar(P, azimuth, side);
    feed.AddPolylineVertex(P.x, P.y);
    feed.AddControlPoint(rows[j - 1].name + "\"", 0, P.x, P.y, 0, -1, -1, -1);
  }
  feed.Redraw();
}

void DrawTraverseDiagram(const std::vector<DiagramRow>& rows, bool rigorous, drawing::IDrawFeed& feed) {
  platform::WaitCursor wait;
  feed.BeginDrawing(drawing::kModeNetwork);
  const std::size_t n = rows.size();
  auto plane = [&](std::size_t i) { return i < n && rows[i].plane; };
  for (std::size_t i = 0; i < n; ++i) {
    const DiagramRow& r = rows[i];
    if (!r.plane) break;
    // A leg needs both ends on the plane: a height-only next row draws none
    // (it would run to the origin).
    const bool leg = plane(i + 1);
    if (!Empty(r.angleText)) {
      if (leg) {
        const DiagramRow& s = rows[i + 1];
        if (!Empty(s.angleText)) {
          feed.AddLine("角度", r.x, r.y, s.x, s.y);
        } else {
          const double mx = (r.x + s.x) / 2, my = (r.y + s.y) / 2;
          feed.AddLine("角度", r.x, r.y, mx, my);
          feed.AddLine("角度", mx, my, s.x, s.y);
        }
      }
      if (i > 0 && Empty(rows[i - 1].angleText)) {
        const DiagramRow& s = rows[i - 1];
        const double mx = (r.x + s.x) / 2, my = (r.y + s.y) / 2;
        feed.AddLine("角度", r.x, r.y, mx, my);
        feed.AddLine("角度", mx, my, s.x, s.y);
      }
    }
    if (!Empty(r.distanceText) && leg) feed.AddLine("边长", r.x, r.y, rows[i + 1].x, rows[i + 1].y);
    if (r.knownPlane || !rigorous || !r.hasEllipse)
      feed.AddControlPoint(r.name, r.knownPlane ? 1 : 0, r.x, r.y, 0, -1, -1, -1);
    else
      feed.AddControlPoint(r.name, 0, r.x, r.y, 0, r.ellipseA, r.ellipseB, r.ellipseF);
  }
  feed.Redraw();
}

void DrawPointPlot(const std::vector<DiagramRow>& rows, drawing::IDrawFeed& feed) {
  platform::WaitCursor wait;
  feed.BeginDrawing(drawing::kModePlot);
  for (const DiagramRow& r : rows) {
    if (!r.plane) continue;
    // A point without a height gets an empty value line, not "0.000".
    const double value = r.height ? r.h : std::numeric_limits<double>::quiet_NaN();
    feed.AddControlPoint(r.name, r.knownPlane ? 1 : 0, r.x, r.y, value, -1, -1, -1);
  }
  feed.Redraw();
}

std::vector<DiagramRow> DiagramRows(const CTraverseJob& v) {
  std::vector<DiagramRow> rows;
  rows.reserve(v.m_arrUnit.size());
  for (const auto& u : v.m_arrUnit) {
    DiagramRow r;
    r.name = u.name;
    r.xText = u.xText;
    r.yText = u.yText;
    r.angleText = u.angleText;
    r.distanceText = u.distanceText;
    r.plane = u.planeIndex >= 0;
    r.knownPlane = u.knownPlane != 0;
    r.x = u.x;
    r.y = u.y;
    r.height = u.heightIndex >= 0;
    r.h = u.h;
    if (r.plane && !r.knownPlane && u.planeIndex < static_cast<int>(v.m_arrUnknownPd.size())) {
      const auto& pd = v.m_arrUnknownPd[static_cast<std::size_t>(u.planeIndex)];
      r.hasEllipse = true;
      r.ellipseA = pd.ellipseA;
      r.ellipseB = pd.ellipseB;
      r.ellipseF = pd.ellipseF;
    }
    rows.push_back(std::move(r));
  }
  return rows;
}

}  // namespace traverse
