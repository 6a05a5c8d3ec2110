#include "tools/aux_set_form.h"

#include "tools/aux_view.h"

namespace tools {

int AuxSetPageOf(const std::string& code) {
  using namespace ToolCode;
  if (code == XYZTOBLH || code == BLHTOXYZ) return kPageGeocentric;
  if (code == GSZHSH || code == GSFSH) return kPageGauss;
  if (code == ZBHD1 || code == ZBHD2) return kPageZoneChange;
  if (code == FXBCHGH) return kPageReduction;
  if (code == SJGCH) return kPageHeighting;
  if (code == ZBZHH4CSH) return kPageFourParams;
  if (code == ZBZHH7CSH) return kPageSevenParams;
  return kPageOther;
}

CAuxSetForm CAuxSetForm::FromView(const CAuxView& v, int page) {
  CAuxSetForm f;
  f.coordSystem = v.m_nCoordSystem;
  f.y500km = v.m_bY500km;
  f.meridian1 = v.m_dMeridian1;
  f.meridian2 = v.m_dMeridian2;
  f.reductionHeight = v.m_dReductionHeight;
  f.distanceType = v.m_nDistanceType;
  f.refraction = v.m_dRefraction;
  f.ellipsoidA = v.m_dEllipsoidA;
  f.ellipsoidInvF = v.m_dEllipsoidInvF;
  f.centreLatitude = v.m_dCentreLatitude;
  f.expansion = v.m_nExpansion;
  f.projHeight = v.m_dProjHeight;
  f.projHeight2 = v.m_dProjHeight2;
  f.fourParams = v.m_dFourParams;
  f.sevenParams = v.m_dSevenParams;
  f.page = page;
  f.view = const_cast<CAuxView*>(&v);
  return f;
}

void CAuxSetForm::ApplyTo(CAuxView& v) const {
  v.m_nCoordSystem = coordSystem;
  v.m_bY500km = y500km;
  v.m_dMeridian1 = meridian1;
  v.m_dMeridian2 = meridian2;
  v.m_dReductionHeight = reductionHeight;
  v.m_nDistanceType = distanceType;
  v.m_dRefraction = refraction;
  v.m_dEllipsoidA = ellipsoidA;
  v.m_dEllipsoidInvF = ellipsoidInvF;
  v.m_dCentreLatitude = centreLatitude;
  v.m_nExpansion = expansion;
  v.m_dProjHeight = projHeight;
  v.m_dProjHeight2 = projHeight2;
  v.m_dFourParams = fourParams;
  v.m_dSevenParams = sevenParams;
}

}  // namespace tools
