// Reduction of the typed observations to the Gauss plane before the second pass
// of the adjustment: arc-to-chord corrections of the two directions of every
// angle, and the sides to the reduction surface (with the end heights) and/or to
// the plane. The coordinates and heights of the first pass locate the lines.
#include <string>

#include "platform/number.h"
#include "platform/ports.h"
#include "survey/angle.h"
#include "traverse/engine/dx_steps.h"

using traverse::CTraverseJob;

int CTraverseJob::ReduceObservations() {
  if (!m_bReduce) return 0;
  m_dSumD = 0;
  const int n = static_cast<int>(m_arrUnit.size());
  for (int i = 0; i + 1 < n; ++i) {
    CUnit& u = m_arrUnit[i];
    const CUnit& next = m_arrUnit[i + 1];
    if (i >= 1 && !u.angleText.empty()) {
      if (m_bProjCorrection) {
        const CUnit& back = m_arrUnit[i - 1];
        double db = 0, df = 0;
        m_gauss.ArcToChord(u.x, u.y, back.x, back.y, &db);
        m_gauss.ArcToChord(u.x, u.y, next.x, next.y, &df);
        u.observedAngle += df - db;
        survey::NormalizeAngle(&u.observedAngle);
      }
      u.angle = u.observedAngle;
    }
    if (!u.distanceText.empty()) {
      u.distance = platform::ParseDouble(u.distanceText);
      if (!m_bDistReduce) {
        if (m_bProjCorrection) m_gauss.ReduceDistanceToPlane(u.x, u.y, next.x, next.y, &u.distance);
      } else {
        // Row heights: known, or propagated/adjusted by the first pass.
        const bool has1 = u.heightIndex >= 0, has2 = next.heightIndex >= 0;
        const double h1 = u.h, h2 = next.h;
        if (!has1 || !has2) {
          const std::string& missing = has1 ? next.name : u.name;
          platform::Messages().ShowMessage(missing + " 点无高程，" + u.name + "－" + next.name +
                                           "边无法进行高程归化改正！");
          return 0;
        }
        m_gauss.ReduceDistance(u.x, u.y, h1, next.x, next.y, h2, &u.distance,
                               m_bProjCorrection != 0);
      }
      u.observedDistance = u.distance;
      m_dSumD += u.distance;
    }
    if (!u.dhText.empty()) u.dh = platform::ParseDouble(u.dhText);
  }
  return 1;
}
