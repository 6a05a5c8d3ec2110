// CTraverseJob: construction, the job and results reset, and the input rows from
// grid texts.
#include "traverse/engine/traverse_job.h"

#include <cmath>

#include "platform/ports.h"
#include "traverse/engine/dx_text.h"

namespace traverse {

CTraverseJob::CTraverseJob() = default;
CTraverseJob::~CTraverseJob() = default;

int CTraverseJob::RelativeClosure(double sumDMetres, double closureMm) {
  if (!(closureMm > 0) || !std::isfinite(closureMm) || !std::isfinite(sumDMetres))
    return kRelClosureNone;
  const double q = sumDMetres * 1000.0 / closureMm;
  if (!(q < static_cast<double>(INT_MAX))) return kRelClosureNone;
  if (q < 0) return 0;
  return static_cast<int>(q);
}

std::string CTraverseJob::RelClosureText(int denominator) {
  if (denominator == kRelClosureNone) return "∞";
  return std::to_string(denominator);
}

void CTraverseJob::Say(const std::string& text) { platform::Messages().ShowMessage(text); }

std::string CTraverseJob::RowName(int row) const {
  if (row < 0 || row >= static_cast<int>(m_arrUnit.size())) return std::string();
  return m_arrUnit[static_cast<std::size_t>(row)].name;
}

void CTraverseJob::ConfigureProjection() {
  m_gauss.SetEllipsoid(m_nEllipsoid, m_bY500 != 0, m_dEllipA, m_dEllipInvF, 0.0, 20.0, 0);
  m_gauss.SetReductionHeight(m_dReduceHeight);
}

void CTraverseJob::ResetResults() {
  m_bComputed = 0;
  m_bPlane = 0;
  m_bHeight = 0;
  m_bIntermediate = 0;
  m_dSigma0Plane = -1;
  m_dAngleRmsPosterior = -1;
  m_dSigma0Height = -1;
  m_strPlaneGross.clear();
  m_nAngleCount = m_nSideCount = m_nDhCount = 0;
  m_dFx = m_dFy = m_dFs = 0;
  m_dWx = m_dWy = m_dWs = 0;
  m_dWh = 0;
  m_dFBeta = 0;
  m_nRelClosureT = m_nRelClosureK = 0;
  m_dSumD = 0;
  m_dSumWeight = 0;
  m_dMinX = m_dMaxX = m_dMinY = m_dMaxY = 0;
  m_arrSeekErr.clear();
  m_arrDmShzhD.clear();
  m_wchPlane.reset();
  m_wchHeight.reset();
}

void CTraverseJob::ResetJob() {
  ResetResults();
  static_cast<SchemeValues&>(*this) = SchemeValues();
  // The reductions need the projection of the scheme; a new job must never
  // reach the "not set" message.
  ConfigureProjection();
  m_arrKnownPd.clear();
  m_arrUnknownPd.clear();
  m_arrKnownHd.clear();
  m_arrUnknownHd.clear();
  m_knownPdAt.clear();
  m_unknownPdAt.clear();
  m_knownHdAt.clear();
  m_unknownHdAt.clear();
  m_arrDmShzhD.clear();
  m_arrUnit.clear();
}

void CTraverseJob::SetInputRows(const std::vector<std::vector<std::string>>& cells) {
  m_bComputed = 0;
  const std::size_t n = cells.size() < 3 ? 3 : cells.size();
  m_arrUnit.assign(n, CUnit());
  auto cell = [&](std::size_t r, std::size_t c) -> std::string {
    if (r >= cells.size() || c == 0 || c > cells[r].size()) return std::string();
    return cells[r][c - 1];
  };
  for (std::size_t r = 0; r < n; ++r) {
    CUnit& u = m_arrUnit[r];
    u.name = dxtext::Trim(cell(r, 1));
    if (m_nTraverseType <= 4) {
      if (m_nTraverseType <= 3) {
        u.angleText = dxtext::Trim(cell(r, 2));
        u.distanceText = dxtext::Trim(cell(r, 3));
        u.dhText = dxtext::Trim(cell(r, 4));
      } else if (r > 0) {
        u.obsXText = dxtext::Trim(cell(r, 2));
        u.obsYText = dxtext::Trim(cell(r, 3));
        u.obsHText = dxtext::Trim(cell(r, 4));
      }
      // Columns 5 to 9 are laid out alike in both grids.
      u.weightText = dxtext::Trim(cell(r, 5));
      u.xText = dxtext::Trim(cell(r, 6));
      u.yText = dxtext::Trim(cell(r, 7));
      u.hText = dxtext::Trim(cell(r, 8));
      u.remark = cell(r, 9);
      if (m_nTraverseType <= 3 && r + 1 == n) {
        // The last row has no leg and no fore point (its cells are locked in the grid).
        u.angleText.clear();
        u.distanceText.clear();
        u.dhText.clear();
        u.weightText.clear();
      }
    } else {
      u.backsightText = dxtext::Trim(cell(r, 2));
      u.intermediateText = dxtext::Trim(cell(r, 3));
      u.foresightText = dxtext::Trim(cell(r, 4));
      u.hText = dxtext::Trim(cell(r, 5));
      u.remark = cell(r, 6);
    }
  }
}

}  // namespace traverse
